#include "pattern/paint/undo_buffer.h"

#include <algorithm>
#include <cstring>
#include <new>

UndoBuffer::UndoBuffer(uint64_t limit) : limit_(limit) {}

void UndoBuffer::Reset() {
    pool_.clear();
    records_.clear();
    marks_.assign(1, 0);
    stepIndex_ = 0;
}

void UndoBuffer::PosInc() {
    marks_.push_back(static_cast<int32_t>(records_.size()));
    stepIndex_ = static_cast<int32_t>(marks_.size()) - 1;
}

void UndoBuffer::Reserve(size_t poolBytes, size_t records) {
    pool_.reserve(pool_.size() + poolBytes);
    records_.reserve(records_.size() + records);
}

bool UndoBuffer::Grow(size_t bytes) {
    const uint64_t used = pool_.size() + uint64_t{sizeof(UndoRecord)} * records_.size();
    const uint64_t wanted = uint64_t{bytes} + sizeof(UndoRecord);
    if (used + wanted > limit_ || pool_.size() + bytes > UINT32_MAX) {
        refused_ = records_.size() + 1;
        return false;
    }
    try {
        // The record's slot first, so the push below cannot fail after the
        // pool has grown.
        if (records_.size() == records_.capacity())
            records_.reserve(std::max<size_t>(64, records_.capacity() * 2));
        pool_.resize(pool_.size() + bytes);
    } catch (const std::bad_alloc&) {
        refused_ = records_.size() + 1;
        return false;
    }
    return true;
}

bool UndoBuffer::Append(uint8_t level, uint16_t y, uint16_t x0, std::span<const uint8_t> bytes) {
    const size_t offset = pool_.size();
    if (bytes.size() > UINT16_MAX || !Grow(bytes.size()))
        return false;
    if (!bytes.empty())
        std::memcpy(pool_.data() + offset, bytes.data(), bytes.size());
    records_.push_back({x0, y, level, UndoKind::RowRun, static_cast<uint16_t>(bytes.size()),
                        static_cast<uint32_t>(offset)});
    return true;
}

bool UndoBuffer::AppendMotif(const MotifBlock& block) {
    const size_t offset = pool_.size();
    if (!Grow(sizeof block))
        return false;
    std::memcpy(pool_.data() + offset, &block, sizeof block);
    records_.push_back({0, 0, kMotifLevel, UndoKind::Motif, static_cast<uint16_t>(sizeof block),
                        static_cast<uint32_t>(offset)});
    return true;
}

bool UndoBuffer::PopStep(const std::function<void(const UndoRecord&, std::span<const uint8_t>)>& each) {
    if (stepIndex_ < 0)
        return false;
    const size_t mark = std::min(static_cast<size_t>(marks_.back()), records_.size());
    for (size_t i = records_.size(); i > mark; --i) {
        const UndoRecord& r = records_[i - 1];
        each(r, std::span<const uint8_t>(pool_.data() + r.offset, r.length));
    }
    if (mark < records_.size()) {
        pool_.resize(records_[mark].offset);
        records_.resize(mark);
    }
    marks_.pop_back();
    --stepIndex_;
    return true;
}
