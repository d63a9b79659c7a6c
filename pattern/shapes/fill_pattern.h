#pragma once
// The motif image tiled over the picture when the tools paint with the motif
// instead of the foreground colour.
#include <cstddef>
#include <cstdint>
#include <vector>

struct FillPattern {
    int32_t width = 0;
    int32_t height = 0;
    // The picture cell the image's lower left pixel lies on (the motif
    // rectangle's first column and row).
    int32_t originX = 1;
    int32_t originY = 1;
    // width x height palette indices, top row first (as a bitmap stores them).
    std::vector<uint8_t> pixels;

    bool Empty() const;
};
