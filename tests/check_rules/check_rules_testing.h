#pragma once
// Helpers of the checker rule tests: a recording message sink, system
// blocks built byte by byte at the knitting scheme line's offsets, a
// pattern plane to select from and the action arrays of one system.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "check/rules/checkstate.h"
#include "check/rules/needleaction.h"
#include "kernel/model/bytes.h"
#include "kernel/model/globals.h"
#include "kernel/model/programmodel.h"

namespace checktest {

// Every case starts with a clean message state and records the sink.
class CheckRulesTest : public testing::Test {
protected:
    std::vector<std::string> sink;

    void SetUp() override
    {
        CheckState = T_CheckState();
        ResetCheckMessages();
        CheckState.messageSink = [this](const std::string& text) { sink.push_back(text); };
        TestModus = 1;
    }
    void TearDown() override { CheckState = T_CheckState(); }

    // The message lines written, without the empty text after each.
    std::vector<std::string> Lines() const
    {
        std::vector<std::string> out;
        for (const std::string& s : sink)
            if (!s.empty())
                out.push_back(s);
        return out;
    }
};

// One system block of 88 bytes; side 0 at 8, side 1 at 48.
struct SystemBlock {
    std::array<uint8_t, 88> b{};

    static size_t side(int s) { return s == 0 ? 8 : 48; }
    SystemBlock& cam(int s, uint8_t setting)
    {
        b[side(s) + 0] = setting;
        return *this;
    }
    // Entry 0 needle selection 1, 1 needle selection 2, 2 second density.
    SystemBlock& entry(int s, int e, uint32_t colours, uint8_t kind)
    {
        put_u32(b.data(), side(s) + 16 + 8 * size_t(e), colours);
        put_u32(b.data(), side(s) + 20 + 8 * size_t(e), kind);
        return *this;
    }
    SystemBlock& variableNetBack(int s)
    {
        b[side(s) + 12] = 1;
        return *this;
    }
    SystemBlock& carriers(uint8_t bits)
    {
        b[2] = bits;
        return *this;
    }
    SystemBlock& positionList(uint16_t ref)
    {
        put_u16(b.data(), 0, ref);
        return *this;
    }
};

// Plane 0 with the given width and height, all cells colour 0.
inline void MakePattern(uint16_t width, uint16_t height)
{
    ProgrammKopf.SetWidth(width);
    ProgrammKopf.SetHeight(height);
    BildEbene0.allocate(height);
    BildEbene0.present = true;
}
inline void SetCell(uint16_t x, uint16_t y, uint8_t colour)
{
    BildEbene0.rows[size_t(y) * kPatternStride + (x - 1)] = colour;
}

// Needle i reads column i.
inline std::vector<uint16_t> IdentityMap(int width)
{
    std::vector<uint16_t> map(size_t(width) + 1);
    for (int i = 1; i <= width; ++i)
        map[size_t(i)] = uint16_t(i);
    return map;
}

// The needles 1..W that carry action a.
inline std::vector<int> NeedlesWith(const std::vector<T_NadelAktion>& bed, T_NadelAktion a)
{
    std::vector<int> out;
    for (size_t i = 1; i < bed.size(); ++i)
        if (bed[i] == a)
            out.push_back(int(i));
    return out;
}
inline std::vector<int> Needles(std::initializer_list<std::pair<int, int>> ranges)
{
    std::vector<int> out;
    for (auto [first, last] : ranges)
        for (int i = first; i <= last; ++i)
            out.push_back(i);
    return out;
}

}  // namespace checktest
