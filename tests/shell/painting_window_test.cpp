// Painting in "Patrone" as a user meets it: a brush drag, the palette's
// buttons and pop-ups, undo through the main window's Edit entry, and the
// entry following hiding, activation and a redisplay.
#include "kernel/model/workrecord.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QToolButton>
#include <QtTest/QTest>
#include <filesystem>
#include <fstream>

#include "kernel/model/globals.h"
#include "kernel/model/programmodel.h"
#include "kernel/ui/forms.h"
#include "pattern/colour_panel.h"
#include "pattern/farbauswahl.h"
#include "pattern/form_patrone.h"
#include "pattern/zeichenfunktionen.h"
#include "picture/frame_bild_kk.h"
#include "picture/pane_paint_box.h"
#include "shell/program_windows.h"
#include "tests/shell/pattern_window_fixture.h"
#include "tests/support/test_env.h"

namespace {

class PaintingWindowTest : public PatternWindowFixture {
protected:
    void Click(const char* button, Qt::MouseButton mouse = Qt::LeftButton)
    {
        QTest::mouseClick(palette->Button(button), mouse);
    }
    bool UndoEnabled() { return A("MnuRueckgaengig")->isEnabled() && A("ToolButtonRueckgaengig")->isEnabled(); }
};

TEST_F(PaintingWindowTest, BrushDragWritesThePlaneAndUndoTakesItBack)
{
    QTest::keyClick(FormPatrone, 'A');  // colour 19
    EXPECT_EQ(FormPatrone->Core().Foreground(), 19);
    EXPECT_EQ(palette->Vordergrund_Panel->text(), "A");
    EXPECT_EQ(palette->Vordergrund_Panel->palette().color(QPalette::Window).rgb(),
              FormPatrone->Palette().Argb()[19] | 0xff000000u);
    Drag(5, 10, 12, 10);
    for (int32_t x = 5; x <= 12; ++x)
        EXPECT_EQ(Cell(x, 10), 19) << x;
    EXPECT_TRUE(palette->Button("FreiHand_SpeedButton")->isChecked());
    EXPECT_TRUE(UndoEnabled());

    QTest::keyClick(FormPatrone, Qt::Key_Backspace, Qt::AltModifier);
    EXPECT_EQ(Cell(8, 10), 0);
    EXPECT_FALSE(UndoEnabled());
}

TEST_F(PaintingWindowTest, PaletteButtonsChooseTools)
{
    Click("Linie_SpeedButton");
    EXPECT_TRUE(palette->Button("Linie_SpeedButton")->isChecked());
    EXPECT_FALSE(palette->Button("FreiHand_SpeedButton")->isChecked());
    EXPECT_EQ(FormPatrone->Core().ToolNow(), 14);

    Click("RechteckVoll_SpeedButton", Qt::RightButton);
    EXPECT_EQ(palette->Button("RechteckVoll_SpeedButton")->property("glyph").toInt(), 5);
    EXPECT_EQ(FormPatrone->Core().ToolNow(), 6);
    EXPECT_TRUE(FormPatrone->toolTip().startsWith(QString::fromUtf8("Gefülltes Rechteck")));
    Click("Spray_SpeedButton");
    EXPECT_EQ(FormPatrone->Core().ToolNow(), 2);

    QTest::mousePress(palette->Button("ColTransp_SpeedButton"), Qt::RightButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return palette->ColTransp_PopupMenu->isVisible(); }));
    EXPECT_EQ(palette->ColTransp_PopupMenu->actions().size(), 4);
    palette->ColTransp_PopupMenu->actions()[3]->trigger();  // Umkehren
    EXPECT_EQ(FormPatrone->Core().State().T[255], 0);
    palette->ColTransp_PopupMenu->hide();
}

TEST_F(PaintingWindowTest, UndoEntryFollowsHidingActivationAndRedisplay)
{
    Drag(3, 3, 6, 3);
    ASSERT_TRUE(UndoEnabled());

    // Another window takes the shared entry; back in "Patrone" it is ours again.
    A("MnuRueckgaengig")->setEnabled(false);
    A("ToolButtonRueckgaengig")->setEnabled(false);
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    FormPatrone->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(FormPatrone));
    EXPECT_TRUE(QTest::qWaitFor([this] { return UndoEnabled(); }));

    P_UpdateFenster();
    EXPECT_FALSE(UndoEnabled());

    Drag(3, 5, 6, 5);
    ASSERT_TRUE(UndoEnabled());
    FormPatrone->hide();
    EXPECT_EQ(FormPatrone->Core().ToolNow(), 0);
    EXPECT_FALSE(UndoEnabled());
}

TEST_F(PaintingWindowTest, ToolsStopAtThePicturesEdges)
{
    // Cells beyond the pattern's width lie in the same plane row: they must
    // stay as they are.
    QTest::keyClick(FormPatrone, 'A');  // colour 19
    Drag(36, 30, 45, 30);
    Click("RechteckVoll_SpeedButton", Qt::RightButton);
    Drag(38, 1, 44, 2);
    Click("KreisVoll_SpeedButton", Qt::RightButton);
    Drag(20, 15, 100, 15);  // a filled circle over the whole picture
    for (int32_t y = 1; y <= 30; ++y)
        for (int32_t x = 1; x <= 60; ++x)
            ASSERT_EQ(Cell(x, y), x <= 40 ? 19 : 0) << x << ", " << y;
    for (int32_t x = 1; x <= 60; ++x)
        ASSERT_EQ(PatternPlane(0)->rows[x - 1], 0) << x;

    // The circle's step: what the brush and the rectangle painted stays.
    QTest::keyClick(FormPatrone, Qt::Key_Backspace, Qt::AltModifier);
    EXPECT_EQ(Cell(1, 1), 0);
    EXPECT_EQ(Cell(20, 15), 0);
    EXPECT_EQ(Cell(40, 30), 19);
    EXPECT_EQ(Cell(40, 1), 19);
}

TEST_F(PaintingWindowTest, OneCellPatternTakesNothingAroundIt)
{
    // The plane keeps its 30 rows; the pattern shrinks to one cell.
    ProgrammKopf.SetWidth(1);
    ProgrammKopf.SetHeight(1);
    P_UpdateFenster();
    FormPatrone->SetCellSize(4);
    QTest::keyClick(FormPatrone, 'A');  // colour 19
    Click("RechteckVoll_SpeedButton", Qt::RightButton);
    Drag(1, 1, 5, 5);
    for (int32_t y = 1; y <= 6; ++y)
        for (int32_t x = 1; x <= 6; ++x)
            EXPECT_EQ(Cell(x, y), x == 1 && y == 1 ? 19 : 0) << x << ", " << y;
    QTest::keyClick(FormPatrone, Qt::Key_Backspace, Qt::AltModifier);
    EXPECT_EQ(Cell(1, 1), 0);
}

TEST_F(PaintingWindowTest, ReloadedPatternHasNoHistory)
{
    QTest::keyClick(FormPatrone, 'A');  // colour 19
    Drag(5, 10, 12, 10);
    ASSERT_TRUE(UndoEnabled());
    FormPatrone->MarkForRebuild();  // as after loading a pattern file
    EXPECT_FALSE(UndoEnabled());
    QTest::keyClick(FormPatrone, Qt::Key_Backspace, Qt::AltModifier);
    EXPECT_EQ(Cell(8, 10), 19);
}

TEST_F(PaintingWindowTest, WorkingLevelSwitchPaintsTheOtherPlane)
{
    PatternPlane(1)->allocate(30);
    PatternPlane(1)->present = true;
    P_UpdateFenster();
    FormPatrone->SetCellSize(4);
    QTest::mouseDClick(static_cast<QWidget*>(FormPatrone->LevelTab(1)), Qt::LeftButton);
    ASSERT_EQ(FormPatrone->Levels().CurrentLevel(), 2);
    QTest::keyClick(FormPatrone, 'A');  // colour 19
    Drag(5, 10, 12, 10);
    EXPECT_EQ(PatternPlane(1)->rows[10 * kPatternStride + 7], 19);
    EXPECT_EQ(Cell(8, 10), 0);

    // The step names its plane: undo restores it from the other level too.
    QTest::mouseDClick(static_cast<QWidget*>(FormPatrone->LevelTab(0)), Qt::LeftButton);
    ASSERT_EQ(FormPatrone->Levels().CurrentLevel(), 1);
    QTest::keyClick(FormPatrone, Qt::Key_Backspace, Qt::AltModifier);
    EXPECT_EQ(PatternPlane(1)->rows[10 * kPatternStride + 7], 0);
    EXPECT_EQ(Cell(8, 10), 0);
}

TEST_F(PaintingWindowTest, FillStopsAtThePatternsTopRow)
{
    // After a redisplay the picture is the pattern's 30 rows; the fill
    // stays in them.
    P_UpdateFenster();
    FormPatrone->SetCellSize(4);
    ASSERT_EQ(FormPatrone->PictureHeight(), 30);
    QTest::keyClick(FormPatrone, 'A');  // colour 19
    Click("Fuellen_SpeedButton");
    Drag(3, 3, 3, 3);
    for (int32_t y = 0; y <= 30; ++y)
        for (int32_t x = 1; x <= 41; ++x)
            ASSERT_EQ(PatternPlane(0)->rows[y * kPatternStride + x - 1], x <= 40 && y >= 1 ? 19 : 0) << x << ", " << y;
    QTest::keyClick(FormPatrone, Qt::Key_Backspace, Qt::AltModifier);
    EXPECT_EQ(Cell(40, 30), 0);
}

// "Farben" stands by the palette and keeps clear of "Patrone", also after
// "Patrone" has taken its size on the first activation and after it has
// been moved over the colours.
TEST_F(PaintingWindowTest, ColourWindowKeepsClearOfThePicture)
{
    TFarbauswahl* colours = FormPatrone->ColourWindow();
    ASSERT_TRUE(colours && colours->isVisible());
    colours->layoutScreen = ScreenRect{0, 0, 1280, 1024};
    const auto clear = [&] {
        QApplication::processEvents();
        const QRect c = colours->frameGeometry();
        const QRect p = palette->frameGeometry();
        EXPECT_FALSE(c.intersects(FormPatrone->frameGeometry()));
        EXPECT_TRUE(QRect(0, 0, 1280, 1024).contains(c));
        // Below the palette at its left, or right of it at its top, or
        // further down in the palette's column.
        EXPECT_TRUE((c.left() == p.left() && c.top() > p.bottom()) ||
                    (c.left() > p.right() && c.top() == p.top()) || c.top() > FormPatrone->frameGeometry().bottom())
            << c.x() << "," << c.y();
    };
    FormPatrone->move(palette->frameGeometry().right() + 1, palette->y());
    FormPatrone->resize(600, 500);
    FormPatrone->MarkForRebuild();
    clear();
    // Moved over the colours: they make way once the move has ended.
    FormPatrone->move(colours->pos());
    clear();
    FormPatrone->move(0, colours->y() - 10);
    clear();
}

// Closed and shown again, or after a load, "Farben" stands where it stood:
// where it was placed, or where the user moved it.
TEST_F(PaintingWindowTest, ColourWindowComesBackWhereItWas)
{
    TFarbauswahl* colours = FormPatrone->ColourWindow();
    ASSERT_TRUE(colours && colours->isVisible());
    const auto reopen = [&] {
        FormPatrone->close();
        QApplication::processEvents();
        ASSERT_FALSE(colours->isVisible());
        A("MnuPatronenansehen")->trigger();
        ASSERT_TRUE(QTest::qWaitForWindowActive(FormPatrone));
        QApplication::processEvents();
        ASSERT_TRUE(colours->isVisible());
    };
    const QPoint placed = colours->pos();
    reopen();
    EXPECT_EQ(colours->pos(), placed);
    EXPECT_FALSE(colours->frameGeometry().intersects(palette->frameGeometry()));

    // Moved clear of both windows by hand.
    const QRect patrone = FormPatrone->frameGeometry();
    const QPoint moved(patrone.right() + 20, patrone.top() + 30);
    colours->move(moved);
    QApplication::processEvents();
    reopen();
    EXPECT_EQ(colours->pos(), moved);
    FormPatrone->MarkForRebuild();
    QApplication::processEvents();
    EXPECT_EQ(colours->pos(), moved);
}

// A ".TAB" beside the program (its name + ".TAB") gives the panels their
// hints; protecting or making a colour transparent marks its panel.
class PaintingColourTableTest : public PaintingWindowTest {
protected:
    void SetUp() override
    {
        tab = ProgrammPfad + QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName().toStdString() +
              ".TAB";
        const unsigned char records[] = {0x64, 0, 1, 2, 3, 4, 5, 0xd0, 0x07, 9, 9, 9, 9, 9};
        std::ofstream(tab, std::ios::binary).write(reinterpret_cast<const char*>(records), sizeof records);
        PaintingWindowTest::SetUp();
    }
    void TearDown() override
    {
        PaintingWindowTest::TearDown();
        std::filesystem::remove(tab);
    }
    std::string tab;
};

TEST_F(PaintingColourTableTest, HintsFromTheProgramsTableAndMarksOfFlaggedColours)
{
    TFarbauswahl* colours = FormPatrone->ColourWindow();
    ASSERT_TRUE(colours);
    ASSERT_GE(colours->ColourCount(), 8);
    EXPECT_EQ(colours->Panel(1)->toolTip(), "100");
    EXPECT_EQ(colours->Panel(2)->toolTip(), "2000");
    EXPECT_NE(colours->Panel(3)->toolTip(), "");  // the panels' own hint
    EXPECT_NE(colours->Panel(3)->toolTip(), colours->Panel(1)->toolTip());

    Click("ColSchutz_SpeedButton");
    QTest::mouseClick(colours->Panel(3), Qt::LeftButton);
    EXPECT_EQ(FormPatrone->Core().State().P[2], 1);
    EXPECT_TRUE(colours->MarkShown(PanelMark::Protect, 2));
    EXPECT_FALSE(colours->MarkShown(PanelMark::Transparent, 2));
    Click("ColTransp_SpeedButton");
    QTest::mouseClick(colours->Panel(5), Qt::LeftButton);
    EXPECT_EQ(FormPatrone->Core().State().T[4], 1);
    EXPECT_TRUE(colours->MarkShown(PanelMark::Transparent, 4));
    QTest::mouseClick(colours->Panel(5), Qt::LeftButton);
    EXPECT_FALSE(colours->MarkShown(PanelMark::Transparent, 4));
    EXPECT_TRUE(colours->MarkShown(PanelMark::Protect, 2));
}

}  // namespace
