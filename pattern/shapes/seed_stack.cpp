#include "pattern/shapes/seed_stack.h"

#include <utility>

SeedStack::SeedStack(std::string fileName) : fileName_(std::move(fileName))
{
    memory_.reserve(kInMemory);
}

SeedStack::~SeedStack()
{
    if (file_ == nullptr)
        return;
    std::fclose(file_);
    std::remove(fileName_.c_str());
}

bool SeedStack::Push(Seed seed)
{
    if (count_ < kInMemory) {
        memory_.push_back(seed);
        ++count_;
        return true;
    }
    if (file_ == nullptr) {
        if (fileName_.empty())
            return false;
        file_ = std::fopen(fileName_.c_str(), "w+b");
        if (file_ == nullptr)
            return false;
    }
    const auto offset = static_cast<long>((count_ - kInMemory) * 4);
    const unsigned char bytes[4] = {static_cast<unsigned char>(seed.x & 0xff), static_cast<unsigned char>(seed.x >> 8),
                                    static_cast<unsigned char>(seed.y & 0xff), static_cast<unsigned char>(seed.y >> 8)};
    // Flushed at once, so a full disk fails this seed and not a later one.
    if (std::fseek(file_, offset, SEEK_SET) != 0 || std::fwrite(bytes, 1, 4, file_) != 4 || std::fflush(file_) != 0)
        return false;
    ++count_;
    ++spilled_;
    return true;
}

bool SeedStack::Pop(Seed& seed)
{
    if (count_ > kInMemory) {
        const auto offset = static_cast<long>((count_ - 1 - kInMemory) * 4);
        unsigned char bytes[4];
        if (std::fseek(file_, offset, SEEK_SET) != 0 || std::fread(bytes, 1, 4, file_) != 4)
            return false;
        seed.x = static_cast<uint16_t>(bytes[0] | bytes[1] << 8);
        seed.y = static_cast<uint16_t>(bytes[2] | bytes[3] << 8);
        --count_;
        return true;
    }
    seed = memory_.back();
    memory_.pop_back();
    --count_;
    return true;
}
