#pragma once
// The painting form's history: the old bytes of every row run a step is
// about to overwrite, in a byte pool, with one record per run and a mark
// where each step begins. Undoing a step replays its records last to first,
// so a run saved twice gets its older bytes back, then cuts pool and records
// back to the step's mark.
//
// Memory is bounded: a record whose bytes (plus its 12-byte record) would
// pass the limit is refused before anything is appended, so a refusal never
// leaves a record without its bytes.
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "pattern/paint/motif_block.h"
#include "pattern/paint/undo_record.h"

class UndoBuffer {
public:
    static constexpr uint64_t kDefaultLimit = uint64_t{1} << 30;
    static constexpr uint8_t kMotifLevel = 'c';

    explicit UndoBuffer(uint64_t limit = kDefaultLimit);

    // Step 0 with one mark at record 0, nothing saved.
    void Reset();
    // Begins a new step at the current record count.
    void PosInc();
    // Saves a row run; false when the limit (or memory) refuses it.
    bool Append(uint8_t level, uint16_t y, uint16_t x0, std::span<const uint8_t> bytes)
    {
        // A painted cell is one byte: with room already there it is two
        // stores, which keeps a long stroke's saving close to a plain copy.
        if (bytes.size() == 1 && records_.size() < records_.capacity() && pool_.size() < pool_.capacity() &&
            used_ + 1 + sizeof(UndoRecord) <= limit_ && pool_.size() < UINT32_MAX) {
            records_.push_back({x0, y, level, UndoKind::RowRun, 1, static_cast<uint32_t>(pool_.size())});
            pool_.push_back(bytes[0]);
            used_ += 1 + sizeof(UndoRecord);
            return true;
        }
        return AppendRun(level, y, x0, bytes);
    }
    // Saves the motif block; false when refused.
    bool AppendMotif(const MotifBlock& block);

    // Hands the current step's records, last first, with their bytes, then
    // drops the step. False (nothing handed) when no step is left.
    bool PopStep(const std::function<void(const UndoRecord&, std::span<const uint8_t>)>& each);

    int32_t StepIndex() const { return stepIndex_; }
    size_t RecordCount() const { return records_.size(); }
    size_t PoolSize() const { return pool_.size(); }
    const std::vector<UndoRecord>& Records() const { return records_; }
    // The number of records the last refused save asked for.
    size_t RefusedCount() const { return refused_; }
    // Room for a pool of this many bytes, so that a known large save does
    // not grow the pool step by step.
    void Reserve(size_t poolBytes, size_t records);

private:
    bool OrderedAndDisjoint(size_t first) const;
    bool AppendRun(uint8_t level, uint16_t y, uint16_t x0, std::span<const uint8_t> bytes);
    // Within the limit; notes the refused count when not.
    bool Fits(size_t bytes);
    bool Push(const UndoRecord& record, const uint8_t* bytes, size_t n);

    uint64_t limit_;
    // Pool bytes plus 12 bytes a record.
    uint64_t used_ = 0;
    std::vector<uint8_t> pool_;
    std::vector<UndoRecord> records_;
    std::vector<int32_t> marks_{0};
    int32_t stepIndex_ = 0;
    size_t refused_ = 0;
};
