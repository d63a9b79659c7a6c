// The write rule, its run forms and the protect and transparent pop-ups.
#include <gtest/gtest.h>

#include <random>

#include "paint_fixture.h"
#include "pattern/paint/write_rule.h"

namespace {

struct RuleCase {
    uint8_t colour, old;
    std::vector<uint8_t> protectedColours, transparentColours;
    uint8_t expected;
};

TEST(WriteRule, KeepsProtectedCellsAndTransparentColours)
{
    const RuleCase cases[] = {
        {3, 5, {5}, {}, 5},     // the old colour is protected
        {3, 7, {5}, {}, 3},     // an unprotected cell takes the colour
        {3, 7, {}, {3}, 7},     // a transparent colour is never written
        {3, 5, {5}, {3}, 5},    // both
        {255, 0, {}, {255}, 0}, // a new form: 255 is transparent
        {0, 255, {255}, {}, 255},
    };
    for (const RuleCase& c : cases) {
        ColourFlags T{}, P{};
        for (uint8_t p : c.protectedColours)
            P[p] = 1;
        for (uint8_t t : c.transparentColours)
            T[t] = 1;
        uint8_t cell = c.old;
        FilterPaintColour(T, P, c.colour, cell);
        EXPECT_EQ(cell, c.expected) << int{c.colour} << " over " << int{c.old};
        std::vector<uint8_t> run(5, c.old), row(5, c.old);
        const std::vector<uint8_t> colours(5, c.colour);
        FilterPaintRun(T, P, c.colour, run);
        FilterPaintRow(T, P, colours, row);
        EXPECT_EQ(run, std::vector<uint8_t>(5, c.expected));
        EXPECT_EQ(row, std::vector<uint8_t>(5, c.expected));
    }
}

// A few protected colours and many take different ways through the runs.
void CheckRunsAgainstCells(int protectedCount)
{
    std::mt19937 random(7);
    ColourFlags T{}, P{};
    for (int i = 0; i < 40; ++i)
        T[random() % 256] = 1;
    for (int i = 0; i < protectedCount; ++i)
        P[random() % 40] = 1;
    T[77] = 0;
    std::vector<uint8_t> cells(1003), colours(1003);
    for (size_t i = 0; i < cells.size(); ++i) {
        cells[i] = static_cast<uint8_t>(random() % 40);
        colours[i] = static_cast<uint8_t>(random());
    }
    std::vector<uint8_t> expected = cells, row = cells;
    for (size_t i = 0; i < cells.size(); ++i)
        FilterPaintColour(T, P, colours[i], expected[i]);
    FilterPaintRow(T, P, colours, row);
    EXPECT_EQ(row, expected) << protectedCount << " protected";

    for (uint8_t colour : {uint8_t{0}, uint8_t{77}, uint8_t{255}}) {
        std::vector<uint8_t> byCell = cells, run = cells;
        for (uint8_t& c : byCell)
            FilterPaintColour(T, P, colour, c);
        FilterPaintRun(T, P, colour, run);
        EXPECT_EQ(run, byCell) << int{colour} << " with " << protectedCount << " protected";
    }
}

TEST(WriteRule, RunFormsMatchTheRuleCellByCell)
{
    for (int protectedCount : {1, 3, 40})
        CheckRunsAgainstCells(protectedCount);
}

struct PopupCase {
    const char* name;
    ColourFlagKind kind;
    std::vector<uint8_t> set;
    std::vector<FlagPopupItem> items;
    size_t expectedCount;
    std::vector<uint8_t> expectedSet;
};

TEST(WriteRule, PopupsSwitchSaveAndInvertTheFlags)
{
    using I = FlagPopupItem;
    const auto P = ColourFlagKind::Protected;
    const auto T = ColourFlagKind::Transparent;
    const PopupCase cases[] = {
        {"off and on", P, {5, 9}, {I::Ausschalten, I::Einschalten}, 2, {5, 9}},
        // Switching off twice keeps what the first time saved.
        {"off twice", P, {5, 9}, {I::Ausschalten, I::Ausschalten, I::Einschalten}, 2, {5, 9}},
        {"off", P, {5, 9}, {I::Ausschalten}, 0, {}},
        {"clear and on", P, {5, 9}, {I::Loeschen, I::Einschalten}, 0, {}},
        {"invert", T, {}, {I::Umkehren}, 255, {0, 31, 32, 254}},
        {"invert and on", T, {}, {I::Umkehren, I::Einschalten}, 1, {255}},
        {"invert twice", T, {4}, {I::Umkehren, I::Umkehren}, 2, {4, 255}},
    };
    for (const PopupCase& c : cases) {
        PaintFixture f;
        for (uint8_t colour : c.set)
            f.core.SetFlag(c.kind, colour, true);
        for (FlagPopupItem item : c.items)
            f.core.ColSchutzTranspPopUp_Click(c.kind, item);
        const ColourFlags& flags = c.kind == P ? f.core.State().P : f.core.State().T;
        size_t count = 0;
        for (uint8_t v : flags)
            count += v;
        EXPECT_EQ(count, c.expectedCount) << c.name;
        for (uint8_t colour : c.expectedSet)
            EXPECT_EQ(flags[colour], 1) << c.name << " colour " << int{colour};
    }
}

TEST(WriteRule, PopupMarksOnlyColoursWithAPanel)
{
    PaintFixture f;
    f.core.ColSchutzTranspPopUp_Click(ColourFlagKind::Transparent, FlagPopupItem::Umkehren);
    EXPECT_TRUE(f.view.Has("T 31 1"));
    EXPECT_FALSE(f.view.Has("T 32 1"));
    EXPECT_EQ(f.view.lines.size(), 32u);
}

}  // namespace
