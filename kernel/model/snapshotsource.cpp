#include "kernel/model/snapshotsource.h"

#include <algorithm>

#include "kernel/services/stream.h"

SnapshotSource::SnapshotSource(std::string_view bytes)
    : size_(bytes.size()), data_(reinterpret_cast<const uint8_t*>(bytes.data())), available_(bytes.size())
{
}

SnapshotSource::SnapshotSource(uint64_t fileSize, bool readAhead)
    : fromFile_(true), readAhead_(readAhead), size_(fileSize)
{
}

const uint8_t* SnapshotSource::Take(size_t n)
{
    if (size_ - position_ < n)
        return nullptr;
    const bool atHand = position_ >= start_ && position_ - start_ + n <= available_;
    if (!atHand && !Fill(n))
        return nullptr;
    const uint8_t* at = data_ + (position_ - start_);
    position_ += n;
    return at;
}

bool SnapshotSource::Skip(uint64_t n)
{
    if (size_ - position_ < n)
        return false;
    position_ += n;
    return true;
}

bool SnapshotSource::Fill(size_t n)
{
    if (!fromFile_ || n > kChunk)
        return false;
    const size_t want = static_cast<size_t>(std::min<uint64_t>(readAhead_ ? kChunk : n, size_ - position_));
    chunk_.resize(std::max(want, chunk_.size()));
    P_DiskSeek(static_cast<uint32_t>(position_), error_);
    P_DiskReadBulk(chunk_.data(), static_cast<uint32_t>(want), error_);
    if (error_) {
        available_ = 0;
        return false;
    }
    data_ = chunk_.data();
    start_ = position_;
    available_ = want;
    return true;
}
