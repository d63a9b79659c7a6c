#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "pattern/motif/motif_transform.h"
#include "pattern/motif/take_over_palette.h"
#include "tests/pattern/motif/motif_files.h"

using LinesT = std::vector<std::vector<uint8_t>>;

namespace {

constexpr uint8_t T = 255;

MotifImage Motif(const LinesT& lines, int32_t levels = 1)
{
    return MotifImage::FromBmp(motif_files::Picture(lines), levels);
}

LinesT Lines(const MotifImage& m)
{
    return motif_files::Lines(m.ToBmp());
}

const LinesT k123456 = {{1, 2, 3}, {4, 5, 6}};
const LinesT k12345 = {{1, 2, 3, 4, 5}};
const LinesT k123456Tall = {{1, 2}, {3, 4}, {5, 6}};

// Cells of a turn by degrees into its box that differ from the rule: target
// (x, r) takes the source cell of the doubled coordinates about the centres,
// odd sides taken one larger, cells from outside transparent.
int DifferingFromTurnRule(const MotifImage& m, double degrees)
{
    const int32_t rows = m.Rows();
    const MotifSize box = RotatedMotifSize(m.width, rows, degrees);
    const MotifImage t = RotateMotif90(m, degrees, box.width, box.rows, T);
    const double a = degrees * 3.14159265358979323846 / 180.0;
    const int32_t scx = (m.width + 1) / 2, scy = (rows + 1) / 2;
    const int32_t dcx = (box.width + 1) / 2, dcy = (box.rows + 1) / 2;
    int differing = 0;
    for (int32_t k = 0; k < m.levels; ++k)
        for (int32_t r = 0; r < box.rows; ++r)
            for (int32_t x = 0; x < box.width; ++x) {
                const double u = 2.0 * (x - dcx) + 1, v = 2.0 * (r - dcy) + 1;
                const long su = std::lrint(u * std::cos(a) - v * std::sin(a));
                const long sv = std::lrint(u * std::sin(a) + v * std::cos(a));
                const long sx = static_cast<long>(std::floor((su - 1) / 2.0)) + scx;
                const long sy = static_cast<long>(std::floor((sv - 1) / 2.0)) + scy;
                const bool inside = sx >= 0 && sx < m.width && sy >= 0 && sy < rows;
                const uint8_t want = inside ? m.Line(k * rows + int32_t(sy))[sx] : T;
                differing += t.Line(k * box.rows + r)[x] != want;
            }
    return differing;
}

TEST(MotifTransform, IndicesOfEachLevel)
{
    struct Case {
        const char* name;
        LinesT in;
        int32_t levels;
        std::function<MotifImage(const MotifImage&)> op;
        LinesT out;
    } cases[] = {
        {"quarter turn", k123456, 1, [](auto& m) { return RotateMotif90(m); }, {{3, 6}, {2, 5}, {1, 4}}},
        {"half turn", k123456, 1, [](auto& m) { return MirrorScaleMotif(m, 0, 0, kMirrorBoth); },
         {{6, 5, 4}, {3, 2, 1}}},
        {"left-right", k123456, 1, [](auto& m) { return MirrorScaleMotif(m, 0, 0, kMirrorLeftRight); },
         {{3, 2, 1}, {6, 5, 4}}},
        {"top-bottom", k123456, 1, [](auto& m) { return MirrorScaleMotif(m, 0, 0, kMirrorTopBottom); },
         {{4, 5, 6}, {1, 2, 3}}},
        {"left-right twice as high", k123456, 1, [](auto& m) { return MirrorScaleMotif(m, 0, 4, kMirrorLeftRight); },
         {{3, 2, 1}, {3, 2, 1}, {6, 5, 4}, {6, 5, 4}}},
        {"half turn twice as high", k123456, 1, [](auto& m) { return MirrorScaleMotif(m, 0, 4, kMirrorBoth); },
         {{6, 5, 4}, {6, 5, 4}, {3, 2, 1}, {3, 2, 1}}},
        {"levels half-turn apart", {{1, 2}, {3, 4}, {5, 6}, {7, 8}}, 2,
         [](auto& m) { return MirrorScaleMotif(m, 0, 0, kMirrorBoth); }, {{4, 3}, {2, 1}, {8, 7}, {6, 5}}},
        {"to width 2", k12345, 1, [](auto& m) { return MirrorScaleMotif(m, 2, 1, kMirrorNone); }, {{2, 4}}},
        {"to width 4", k12345, 1, [](auto& m) { return MirrorScaleMotif(m, 4, 1, kMirrorNone); }, {{1, 2, 4, 5}}},
        {"halving 1 keeps 1", {{8}}, 1, [](auto& m) { return MirrorScaleMotif(m, 1, 1, kMirrorNone); }, {{8}}},
        {"doubled", {{1, 2}}, 1, [](auto& m) { return MirrorScaleMotif(m, 4, 2, kMirrorNone); },
         {{1, 1, 2, 2}, {1, 1, 2, 2}}},
        {"shear right", k123456Tall, 1, [](auto& m) { return StretchMotif(m, 2, false, T); },
         {{T, T, 1, 2}, {T, 3, 4, T}, {5, 6, T, T}}},
        {"shear left", k123456Tall, 1, [](auto& m) { return StretchMotif(m, -2, false, T); },
         {{1, 2, T, T}, {T, 3, 4, T}, {T, T, 5, 6}}},
        {"shear up", k123456, 1, [](auto& m) { return StretchMotif(m, 1, true, T); },
         {{T, T, 3}, {1, 2, 6}, {4, 5, T}}},
        {"shear of one row", {{1, 2}}, 1, [](auto& m) { return StretchMotif(m, 3, false, T); }, {{1, 2, T, T, T}}},
        {"no turn", k123456, 1, [](auto& m) { return RotateMotif90(m, 0, 3, 2, T); }, k123456},
        {"turn by a quarter", {{1, 2, 3, 4}, {5, 6, 7, 8}}, 1, [](auto& m) { return RotateMotif90(m, 90, 2, 4, T); },
         {{4, 8}, {3, 7}, {2, 6}, {1, 5}}},
        {"turn into a larger box", {{1, 2}, {3, 4}}, 1, [](auto& m) { return RotateMotif90(m, 0, 4, 4, T); },
         {{T, T, T, T}, {T, 1, 2, T}, {T, 3, 4, T}, {T, T, T, T}}},
        {"levels flip in place", {{1, 2}, {3, 4}, {5, 6}, {7, 8}, {9, 10}, {11, 12}}, 3,
         [](auto& m) { return MirrorScaleMotif(m, 0, 0, kMirrorTopBottom); },
         {{3, 4}, {1, 2}, {7, 8}, {5, 6}, {11, 12}, {9, 10}}},
        {"levels scale apart", {{1, 2}, {3, 4}}, 2, [](auto& m) { return MirrorScaleMotif(m, 1, 2, kMirrorNone); },
         {{2}, {2}, {4}, {4}}},
        {"levels turn apart", {{1, 2}, {3, 4}}, 2, [](auto& m) { return RotateMotif90(m); }, {{2}, {1}, {4}, {3}}},
        {"levels shear apart", {{1}, {2}, {3}, {4}}, 2, [](auto& m) { return StretchMotif(m, 1, false, T); },
         {{T, 1}, {2, T}, {T, 3}, {4, T}}},
    };
    for (const Case& c : cases) {
        const MotifImage out = c.op(Motif(c.in, c.levels));
        EXPECT_EQ(Lines(out), c.out) << c.name;
        EXPECT_EQ(out.levels, c.levels) << c.name;
        EXPECT_EQ(out.colours, motif_files::PPal()) << c.name;
    }
}

TEST(MotifTransform, FourQuarterTurnsRestore)
{
    for (const LinesT& lines : {k123456, LinesT{{1, 2}, {3, 4}, {5, 6}, {7, 8}, {9, 10}}}) {
        MotifImage m = Motif(lines);
        for (int i = 0; i < 4; ++i)
            m = RotateMotif90(m);
        EXPECT_EQ(Lines(m), lines);
    }
}

// Motifs larger than the blocks the transformations work in, against the
// cell rules one cell at a time.
TEST(MotifTransform, LargeMotifsFollowTheCellRules)
{
    MotifImage m = MotifImage::Blank(53, 37, 2, 0);
    uint32_t seed = 5;
    for (uint8_t& v : m.indices)
        v = static_cast<uint8_t>((seed = seed * 1103515245u + 12345u) >> 24);
    const int32_t rows = m.Rows();
    auto cell = [&](int32_t k, int32_t x, int32_t r) { return m.Line(k * rows + r)[x]; };

    const MotifImage turned = RotateMotif90(m);
    const MotifImage flipped = MirrorScaleMotif(m, 0, 0, kMirrorLeftRight);
    const MotifImage halved = MirrorScaleMotif(m, 26, 0, kMirrorNone);
    for (int32_t k = 0; k < 2; ++k)
        for (int32_t r = 0; r < rows; ++r)
            for (int32_t x = 0; x < m.width; ++x) {
                ASSERT_EQ(turned.Line(k * m.width + x)[r], cell(k, m.width - 1 - x, r)) << k << " " << x << " " << r;
                ASSERT_EQ(flipped.Line(k * rows + r)[x], cell(k, m.width - 1 - x, r));
                if (x < 26) {
                    ASSERT_EQ(halved.Line(k * rows + r)[x], cell(k, 2 * x + 1, r));
                }
            }

    for (double degrees : {17.0, -33.3, 45.0, 71.0, 90.0})
        EXPECT_EQ(DifferingFromTurnRule(m, degrees), 0) << degrees;
}

// Turns of motifs down to one cell, and of boxes over several of the
// blocks a turn walks in.
TEST(MotifTransform, TurnsOfAnySizeFollowTheCellRule)
{
    const struct {
        int32_t width, rows, levels;
    } sizes[] = {{1, 1, 1}, {1, 5, 2}, {6, 1, 1}, {7, 2, 1}, {2, 9, 3}, {150, 310, 1}, {301, 77, 2}};
    for (const auto& size : sizes) {
        MotifImage m = MotifImage::Blank(size.width, size.rows, size.levels, 0);
        for (size_t i = 0; i < m.indices.size(); ++i)
            m.indices[i] = static_cast<uint8_t>(i * 7 + 1);
        for (double degrees : {0.0, 5.5, 16.7, -40.0, 63.0, 89.9, 89.99999999, -89.99999999, 90.0})
            EXPECT_EQ(DifferingFromTurnRule(m, degrees), 0) << size.width << "x" << size.rows << " " << degrees;
    }
}

TEST(MotifTransform, DragAngleAndTurnedSize)
{
    struct Case {
        double gx, gy, x, y, degrees;
    } cases[] = {
        {20, 10, 20, 20, 45},   {10, 20, 0, 20, 45},  {20, 10, 10, 20, 90},
        {20, 10, 10, 10, 0},    {10, 10, 20, 20, 45}, {20, 10, 20, 0, -45},
        {10, 20, 20, 10, 90},   {20, 20, 0, 0, 0},    {0, 20, 20, 20, 90},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(MotifRotationAngle(5, 5, 15, 15, c.gx, c.gy, c.x, c.y), c.degrees, 1e-9)
            << c.gx << "," << c.gy << " to " << c.x << "," << c.y;
    EXPECT_EQ(RotatedMotifSize(4, 2, 90).width, 2);
    EXPECT_EQ(RotatedMotifSize(4, 2, 90).rows, 4);
    EXPECT_EQ(RotatedMotifSize(10, 10, 45).width, 14);
    EXPECT_EQ(RotatedMotifSize(0, 0, 30).rows, 1);
}

TEST(TakeOverPalette, PanelsSpecialIndicesAndEntry256)
{
    std::array<uint32_t, 256> table;
    table.fill(0xff010203u);
    const auto pal = motif_files::PPal();
    TakeOverPalette(pal, table, {.count = 5, .transparent = 3, .fill = std::nullopt, .second = 7});
    EXPECT_EQ(table[0], pal[0]);
    EXPECT_EQ(table[4], pal[4]);
    EXPECT_EQ(table[3], 0xfffdfdfdu);
    EXPECT_EQ(table[5], 0xff010203u);
    EXPECT_EQ(table[7], 0xff323232u);
    EXPECT_EQ(table[255], 0xffffffffu);
    // All 256 panels: the motif's entry 256 comes in, the transparent one stays special.
    TakeOverPalette(pal, table, {.count = 256, .transparent = 255, .fill = 0, .second = std::nullopt});
    EXPECT_EQ(table[255], 0xfffdfdfdu);
    EXPECT_EQ(table[0], 0xfffefefeu);
    EXPECT_EQ(table[254], pal[254]);
}

}  // namespace
