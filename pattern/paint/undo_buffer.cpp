#include "pattern/paint/undo_buffer.h"

#include <algorithm>
#include <cstring>
#include <new>

UndoBuffer::UndoBuffer(uint64_t limit) : limit_(limit) {}

void UndoBuffer::Reset() {
    pool_.clear();
    records_.clear();
    used_ = 0;
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

bool UndoBuffer::Fits(size_t bytes)
{
    if (used_ + bytes + sizeof(UndoRecord) > limit_ || pool_.size() + bytes > UINT32_MAX) {
        refused_ = records_.size() + 1;
        return false;
    }
    return true;
}

bool UndoBuffer::Push(const UndoRecord& record, const uint8_t* bytes, size_t n)
{
    try {
        // The record's slot first, so that the push below cannot fail after
        // the pool has grown.
        if (records_.size() == records_.capacity())
            records_.reserve(std::max<size_t>(64, records_.capacity() * 2));
        // Most records are one painted cell.
        if (n == 1)
            pool_.push_back(*bytes);
        else
            pool_.insert(pool_.end(), bytes, bytes + n);
    } catch (const std::bad_alloc&) {
        refused_ = records_.size() + 1;
        return false;
    }
    records_.push_back(record);
    used_ += n + sizeof(UndoRecord);
    return true;
}

bool UndoBuffer::AppendRun(uint8_t level, uint16_t y, uint16_t x0, std::span<const uint8_t> bytes)
{
    if (bytes.size() > UINT16_MAX || !Fits(bytes.size()))
        return false;
    return Push({x0, y, level, UndoKind::RowRun, static_cast<uint16_t>(bytes.size()),
                 static_cast<uint32_t>(pool_.size())},
                bytes.data(), bytes.size());
}

bool UndoBuffer::AppendMotif(const MotifBlock& block)
{
    if (!Fits(sizeof block))
        return false;
    uint8_t raw[sizeof block];
    std::memcpy(raw, &block, sizeof block);
    return Push({0, 0, kMotifLevel, UndoKind::Motif, static_cast<uint16_t>(sizeof block),
                 static_cast<uint32_t>(pool_.size())},
                raw, sizeof block);
}

// Records that follow each other row by row and never share a cell give
// the same result in either order; forward, both pool and rows are read and
// written as the memory lies, which a large snapshot needs to undo at
// copying speed.
bool UndoBuffer::OrderedAndDisjoint(size_t first) const
{
    for (size_t i = first; i < records_.size(); ++i) {
        const UndoRecord& r = records_[i];
        if (r.kind != UndoKind::RowRun)
            return false;
        if (i == first)
            continue;
        const UndoRecord& p = records_[i - 1];
        const bool sameRow = p.y == r.y && p.level == r.level;
        const bool after = r.y > p.y || (r.y == p.y && r.level > p.level) ||
                           (sameRow && r.x0 >= static_cast<uint32_t>(p.x0) + p.length);
        if (!after)
            return false;
    }
    return true;
}

bool UndoBuffer::PopStep(const std::function<void(const UndoRecord&, std::span<const uint8_t>)>& each)
{
    if (stepIndex_ < 0)
        return false;
    const size_t mark = std::min(static_cast<size_t>(marks_.back()), records_.size());
    auto hand = [&](size_t i) {
        const UndoRecord& r = records_[i];
        each(r, std::span<const uint8_t>(pool_.data() + r.offset, r.length));
    };
    if (OrderedAndDisjoint(mark)) {
        for (size_t i = mark; i < records_.size(); ++i)
            hand(i);
    } else {
        // Last first: a cell saved twice gets its older byte back.
        for (size_t i = records_.size(); i > mark; --i)
            hand(i - 1);
    }
    if (mark < records_.size()) {
        pool_.resize(records_[mark].offset);
        records_.resize(mark);
        used_ = pool_.size() + uint64_t{sizeof(UndoRecord)} * records_.size();
    }
    marks_.pop_back();
    --stepIndex_;
    return true;
}
