// The mouse tool machine: choosing tools, phases, the pipette, colour keys
// and panels, marking and measuring.
#include <gtest/gtest.h>

#include "paint_fixture.h"

namespace {

void Choose(PaintFixture& f, const char* button, MouseButton mouse = MouseButton::Left)
{
    f.core.SpeedButtonMouseUp(button, mouse);
}

struct AbandonCase {
    const char* button;
    uint8_t tool;
    uint8_t expectedPhase;
};

// A zoom pick while a drag runs and no button is held abandons the drag.
TEST(ToolMachine, ZoomPickAbandonsTheDragByTool)
{
    const AbandonCase cases[] = {
        {"FreiHand_SpeedButton", 1, 2},
        {"LinieEndlos_SpeedButton", 15, 3},
        {"Lineal_SpeedButton", 30, 0},
        {"BereichMarkieren_SpeedButton", 4, 1},
    };
    for (const AbandonCase& c : cases) {
        PaintFixture f;
        Choose(f, c.button);
        ASSERT_EQ(f.core.ToolNow(), c.tool);
        f.Ev(3, 3, 0);
        f.Ev(3, 3, 1);
        ASSERT_EQ(f.core.Phase(), 1) << c.button;
        f.Ev(3, 3, 0, true);
        EXPECT_EQ(f.core.Phase(), c.expectedPhase) << c.button;
    }
}

TEST(ToolMachine, ShapeButtonsShowTheChosenVariant)
{
    PaintFixture f;
    Choose(f, "RechteckVoll_SpeedButton", MouseButton::Right);
    EXPECT_EQ(f.core.ToolNow(), 6);
    EXPECT_TRUE(f.view.Has("GLYPH RechteckVoll_SpeedButton 5"));
    EXPECT_TRUE(f.view.Has("TOOLHINT Gefülltes Rechteck:\xc2\xbf\"LT\" Vordergrundfarbe\xc2\xbf\"RT\" Hintergrundfarbe"));
    Choose(f, "RechteckVoll_SpeedButton");
    EXPECT_TRUE(f.view.Has("GLYPH RechteckVoll_SpeedButton 4"));
    EXPECT_EQ(f.core.PreviousTool(), 6);
    // A button without a right-button tool: nothing changes.
    Choose(f, "Spray_SpeedButton", MouseButton::Right);
    EXPECT_EQ(f.core.ToolNow(), 5);
}

TEST(ToolMachine, TemporaryPickLeavesTheToolAsItWas)
{
    PaintFixture f;
    f.grid.SetCell(1, 3, 3, 9);
    Choose(f, "Linie_SpeedButton");
    f.Ev(3, 3, 0);
    f.Ev(3, 3, 3);
    EXPECT_TRUE(f.view.Has("FG 9"));
    EXPECT_EQ(f.core.ToolNow(), 14);
    EXPECT_EQ(f.core.Phase(), 2);
    EXPECT_EQ(f.core.PreviousTool(), 1);
    EXPECT_EQ(f.At(3, 3), 9);
}

TEST(ToolMachine, ChosenPipetteReturnsAfterAnyButton)
{
    for (uint8_t b : {uint8_t{2}, uint8_t{3}}) {
        PaintFixture f;
        f.grid.SetCell(1, 3, 3, 9);
        Choose(f, "Linie_SpeedButton");
        f.Ev(3, 3, 0);
        Choose(f, "ColPipette_SpeedButton");
        f.view.lines.clear();
        f.Ev(3, 3, b);
        EXPECT_TRUE(f.view.Has(b == 2 ? "BG 9" : "FG 9"));
        EXPECT_TRUE(f.view.Has("BUTTON Linie_SpeedButton 1"));
        EXPECT_EQ(f.core.ToolNow(), 14);
        EXPECT_EQ(f.core.Phase(), 0);
    }
}

TEST(ToolMachine, PipetteOutsideThePictureDoesNothing)
{
    PaintFixture f;
    Choose(f, "ColPipette_SpeedButton");
    f.view.lines.clear();
    f.Ev(25, 3, 1);
    EXPECT_EQ(f.core.ToolNow(), 19);
    EXPECT_TRUE(f.view.lines.empty());
    f.Ev(3, 3, 1);
    EXPECT_TRUE(f.view.Has("FG 0"));
    f.core.P_SetzeFarbenInFarbauswahl(MouseButton::Left, 256);
    EXPECT_TRUE(f.view.Has("FG 255"));
}

TEST(ToolMachine, KeysAndPanelsPickColours)
{
    PaintFixture f;
    EXPECT_TRUE(f.core.HandleKey(U'A'));
    EXPECT_TRUE(f.core.HandleKey(U'+'));
    EXPECT_TRUE(f.core.HandleKey(U'-'));
    EXPECT_FALSE(f.core.HandleKey(U'z'));
    f.core.IkonCol_MouseDown(5, MouseButton::Left);
    f.core.IkonCol_MouseDown(5, MouseButton::Right);
    EXPECT_EQ(f.view.lines, (std::vector<std::string>{"FG 19", "FG 5", "FG 15", "FG 4", "BG 4"}));
    f.core.SetSymbols(U"ab1c");
    EXPECT_FALSE(f.core.HandleKey(U'1'));
    EXPECT_TRUE(f.core.HandleKey(U'c'));
    EXPECT_EQ(f.core.Foreground(), 3);
}

TEST(ToolMachine, ProtectToolTogglesFlagsByPanel)
{
    PaintFixture f;
    Choose(f, "ColSchutz_SpeedButton");
    f.core.IkonCol_MouseDown(5, MouseButton::Left);
    EXPECT_EQ(f.core.State().P[4], 1);
    f.core.IkonCol_MouseDown(5, MouseButton::Left);
    EXPECT_EQ(f.core.State().P[4], 0);
    Choose(f, "ColSchutz_SpeedButton");
    EXPECT_EQ(f.core.ToolNow(), 1);
}

TEST(ToolMachine, MarkingTakesTheRectangleAndGivesThePreviousToolBack)
{
    PaintFixture f;
    Choose(f, "BereichMarkieren_SpeedButton");
    f.Ev(3, 2, 1);
    f.Ev(6, 4, 1);
    EXPECT_TRUE(f.view.Has("HINT 4:3"));
    EXPECT_EQ(f.grid.status.back().text, "4:3");
    f.Ev(6, 4, 0);
    EXPECT_EQ(f.core.ToolNow(), 1);
    const MotifBlock& m = f.core.Motif();
    EXPECT_EQ(std::vector<int32_t>({m.x1, m.y1, m.x2, m.y2, m.width, m.height}),
              std::vector<int32_t>({3, 2, 6, 4, 4, 3}));
    Choose(f, "BereichMarkieren_SpeedButton", MouseButton::Right);
    EXPECT_TRUE(m.Empty());
    EXPECT_EQ(m.x2, 0);
}

TEST(ToolMachine, MarkingPastThePictureIsClipped)
{
    PaintFixture f;
    Choose(f, "BereichMarkieren_SpeedButton");
    f.Ev(15, 2, 1);
    f.Ev(26, 4, 1);
    EXPECT_TRUE(f.view.Has("HINT 12:3"));
    f.Ev(26, 4, 0);
    EXPECT_EQ(f.core.Motif().x2, 20);
    EXPECT_EQ(f.core.Motif().width, 6);
}

TEST(ToolMachine, MeasureChangesNothing)
{
    PaintFixture f;
    f.core.UndoPosInc();
    Choose(f, "Lineal_SpeedButton");
    f.Ev(3, 2, 1);
    f.Ev(6, 4, 1);
    f.Ev(6, 4, 0);
    EXPECT_TRUE(f.view.Has("HINT 4:3"));
    EXPECT_EQ(f.core.Undo().StepIndex(), 1);
    EXPECT_EQ(f.core.Phase(), 0);
}

TEST(ToolMachine, HidingDropsTheTool)
{
    PaintFixture f;
    f.core.UndoPosInc();
    f.core.InUndoSchreiben(1, 1, 0, std::vector<uint8_t>{0});
    f.core.Hide();
    EXPECT_EQ(f.core.ToolNow(), 0);
    EXPECT_TRUE(f.view.Has("UNDO 0"));
    f.Ev(3, 3, 0);
    f.Ev(3, 3, 1);
    EXPECT_EQ(f.core.Phase(), 0);
}

}  // namespace
