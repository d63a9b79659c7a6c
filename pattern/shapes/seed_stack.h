#pragma once
// The flood fill's pending seeds: 1000 in memory, the rest in a file of
// 4-byte records (column, row: 16 bits each, little-endian), made on the
// first spill and deleted again when the stack goes.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

class SeedStack {
public:
    static constexpr size_t kInMemory = 1000;

    struct Seed {
        uint16_t x;
        uint16_t y;
    };

    explicit SeedStack(std::string fileName);
    ~SeedStack();
    SeedStack(const SeedStack&) = delete;
    SeedStack& operator=(const SeedStack&) = delete;

    // False when the file could not be made or written.
    bool Push(Seed seed);
    // False when the file could not be read.
    bool Pop(Seed& seed);
    bool Empty() const { return count_ == 0; }
    // Seeds that went to the file.
    int32_t Spilled() const { return spilled_; }

private:
    std::string fileName_;
    std::vector<Seed> memory_;
    size_t count_ = 0;
    std::FILE* file_ = nullptr;
    int32_t spilled_ = 0;
};
