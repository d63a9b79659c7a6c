#pragma once
// A scripted simulation library for the window core: rows set by the test,
// every read counted.
#include <map>
#include <string>
#include <vector>

#include "check/ui/core/sim_row_source.h"
#include "simlib/vpsimmod_abi.h"

class FakeSimRows : public SimRowSource {
public:
    std::map<uint16_t, SimDllRow> rows;
    std::map<uint16_t, std::string> comments;
    std::map<uint8_t, uint8_t> carriers;
    SimExtras extra;
    uint16_t rowsAvailable = 0;
    int reads = 0;
    bool lastOldYarnHidden = false;
    bool lastDensityHidden = false;

    // A row of n cells: every shape, colour and third value the same.
    static SimDllRow Uniform(size_t n, uint8_t shape, uint8_t colour, int8_t third, uint8_t background = 0,
                             uint8_t xOffset = 0)
    {
        SimDllRow r;
        r.shape.assign(n, shape);
        r.colour.assign(n, colour);
        r.third.assign(n, third);
        r.background = background;
        r.xOffset = xOffset;
        return r;
    }

    uint16_t height() override { return rowsAvailable; }
    bool row(uint16_t, uint16_t, uint16_t row, bool oldYarnHidden, bool densityHidden, SimDllRow& out) override
    {
        ++reads;
        lastOldYarnHidden = oldYarnHidden;
        lastDensityHidden = densityHidden;
        const auto it = rows.find(row);
        if (it == rows.end())
            return false;
        out = it->second;
        return true;
    }
    uint8_t carrierOf(uint8_t colour) override
    {
        const auto it = carriers.find(colour);
        return it == carriers.end() ? 0 : it->second;
    }
    SimExtras extras(uint8_t, uint16_t, uint16_t) override { return extra; }
    std::string comment(uint16_t row) override
    {
        const auto it = comments.find(row);
        return it == comments.end() ? std::string() : it->second;
    }
};

// Shape tables as the library hands them over: shape k of every width is
// filled with code k & 127, shape 128 + k is k with the grid (code 5 on its
// last line, 6 in its last column, 7 in that corner).
inline std::vector<uint8_t> TestShapeTables()
{
    std::vector<uint8_t> t(vpsim::kShapeBytes, 0);
    for (int w = 2; w <= 12; ++w) {
        const int h = vpsim::ShapeHeight(w);
        uint8_t* table = t.data() + vpsim::ShapeTableOffset(w);
        for (int k = 0; k < 256; ++k)
            for (int j = 0; j < h; ++j)
                for (int i = 0; i < w; ++i) {
                    uint8_t code = static_cast<uint8_t>(k & 127);
                    if (k >= 128)
                        code = j == h - 1 && i == w - 1 ? 7 : j == h - 1 ? 5 : i == w - 1 ? 6 : code;
                    table[size_t(k) * w * h + size_t(j * w + i)] = code;
                }
    }
    return t;
}
