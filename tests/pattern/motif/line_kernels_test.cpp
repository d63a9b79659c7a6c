#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "pattern/motif/line_kernels.h"

namespace {

std::vector<uint8_t> Numbered(size_t n, uint8_t from)
{
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; ++i)
        v[i] = static_cast<uint8_t>(from + i * 3);
    return v;
}

// Lengths below, at and around the vector and block sizes, each in a buffer
// of its own size so that a sanitizer sees any cell read or written past it.
TEST(LineKernels, ReverseEveryLength)
{
    for (auto reverse : {ReverseCells, ReverseCellsPortably}) {
        for (int32_t n = 0; n <= 200; ++n) {
            const std::vector<uint8_t> in = Numbered(static_cast<size_t>(n), 1);
            const std::vector<uint8_t> upcoming = Numbered(static_cast<size_t>(n), 2);
            std::vector<uint8_t> out(static_cast<size_t>(n), 0);
            std::vector<uint8_t> want(in.rbegin(), in.rend());
            reverse(in.data(), out.data(), n, n > 0 ? upcoming.data() : in.data());
            ASSERT_EQ(out, want) << n;
        }
    }
}

TEST(LineKernels, HalveAndTurnEverySize)
{
    for (int32_t n = 0; n <= 70; ++n) {
        const std::vector<uint8_t> in = Numbered(static_cast<size_t>(2 * n), 5);
        std::vector<uint8_t> out(static_cast<size_t>(n), 0);
        OddCells(in.data(), out.data(), n);
        for (int32_t i = 0; i < n; ++i)
            ASSERT_EQ(out[static_cast<size_t>(i)], in[static_cast<size_t>(2 * i + 1)]) << n;
    }
    for (int32_t width : {1, 2, 15, 16, 17, 33, 70})
        for (int32_t rows : {1, 3, 16, 31, 48, 1041}) {
            const std::vector<uint8_t> in = Numbered(static_cast<size_t>(width * rows), 9);
            std::vector<uint8_t> out(static_cast<size_t>(width * rows), 0);
            TurnBlock(in.data(), static_cast<size_t>(width), width, rows, out.data(), static_cast<size_t>(rows));
            for (int32_t r = 0; r < width; ++r)
                for (int32_t x = 0; x < rows; ++x)
                    ASSERT_EQ(out[static_cast<size_t>(r * rows + x)], in[static_cast<size_t>(x * width + width - 1 - r)])
                        << width << "x" << rows;
        }
}

}  // namespace
