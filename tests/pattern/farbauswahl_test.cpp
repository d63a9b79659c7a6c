// The colour window "Farben" as the painting form and the user meet it: the
// grid for the symbol text, the foreground and background marking, the
// ".TAB" hints, refused closing, and the motif panels that store and give
// back motifs.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QSignalSpy>
#include <QTabWidget>
#include <QtTest/QTest>

#include "kernel/model/globals.h"
#include "kernel/services/services.h"
#include "pattern/farbauswahl.h"
#include "pattern/pattern_tool_windows.h"
#include "picture/core/bmp8_file.h"
#include "picture/core/palette_table.h"
#include "tests/support/test_env.h"

namespace {

const QString kSymbols = "VO*()+/^<>=#IX.-%&$ABCDEFGHJKLMN";

class ColourWindowTest : public testing::Test {
protected:
    ColourWindowTest()
    {
        w.layoutScreen = ScreenRect{0, 0, 1280, 1024};
        w.motifFolder = TempPfad;
        w.move(0, 400);
    }
    void Show(const QString& symbols)
    {
        w.colourText = symbols;
        if (w.isVisible())
            w.BuildColourGrid();
        else
            w.show();
    }
    std::vector<int> MarkedPanels() const
    {
        std::vector<int> marked;
        for (int i = 1; i <= w.ColourCount(); ++i)
            if (w.Panel(i)->Marked())
                marked.push_back(i);
        return marked;
    }
    std::string WriteTab(const std::string& bytes)
    {
        return WriteTestFile(w.tabFile, bytes);
    }

    TFarbauswahl w;
};

TEST_F(ColourWindowTest, PanelsFollowTheSymbolText)
{
    Show(kSymbols);
    EXPECT_EQ(w.objectName(), "Farbauswahl");
    EXPECT_EQ(w.windowTitle(), "Farben");
    EXPECT_TRUE(w.windowFlags() & Qt::Tool);
    ASSERT_EQ(w.ColourCount(), 32);
    EXPECT_EQ(w.Layout().columns, 12);
    EXPECT_EQ(w.Panel(32)->geometry().topLeft(), QPoint(7 * 26, 2 * 26));  // the last row holds 8
    EXPECT_EQ(w.MotifCount(), 32);
    EXPECT_EQ(w.Panel(1)->Caption(), "V");
    EXPECT_EQ(w.Panel(32)->Caption(), "N");
    EXPECT_EQ(w.Panel(5)->toolTip(), QString::fromUtf8("\"LT\": Vordergrundfarbe\n\"RT\": Hintergrundfarbe"));
    EXPECT_EQ(w.MotifPanel(3)->toolTip(), QString::fromUtf8("\"LT\": Mit Motiv malen\n\"RT\": Motiv speichern"));
    // Only the colour page is offered.
    int visibleTabs = 0;
    for (int i = 0; i < w.FAPageControl->count(); ++i)
        visibleTabs += w.FAPageControl->isTabVisible(i);
    EXPECT_EQ(visibleTabs, 1);
    EXPECT_EQ(w.FAPageControl->tabText(0), "Farbe");
    EXPECT_GE(w.width(), 12 * 26);

    Show(kSymbols.left(8));
    EXPECT_EQ(w.ColourCount(), 8);
    EXPECT_EQ(w.MotifCount(), 40);
    // A text of the same length still shows its own symbols.
    Show("abcdefgh");
    EXPECT_EQ(w.Panel(8)->Caption(), "h");
}

TEST_F(ColourWindowTest, ForegroundAndBackgroundMarkOnlyPanelsThatExist)
{
    Show(kSymbols);
    EXPECT_EQ(MarkedPanels(), (std::vector<int>{1, 7}));
    w.SetForeground(3);
    EXPECT_EQ(MarkedPanels(), (std::vector<int>{4, 7}));
    w.SetBackground(255);  // the pipette may pick any colour
    EXPECT_EQ(MarkedPanels(), (std::vector<int>{4}));
    EXPECT_EQ(w.Background(), 255);
    w.SetMark(PanelMark::Protect, 4, true);
    w.SetMark(PanelMark::Transparent, 255, true);
    EXPECT_TRUE(w.MarkShown(PanelMark::Protect, 4));
    EXPECT_FALSE(w.MarkShown(PanelMark::Transparent, 255));

    // A rebuild starts again from colours 0 and 6, with fewer panels too.
    Show(kSymbols.left(5));
    EXPECT_EQ(MarkedPanels(), (std::vector<int>{1}));
    EXPECT_EQ(w.Background(), 6);
}

TEST_F(ColourWindowTest, PanelsTakeThePaletteAndGiveTheirPresses)
{
    Show(kSymbols);
    PaletteTable palette;
    w.PaintPanels(palette);
    EXPECT_EQ(w.Panel(3)->Fill(), QColor(palette.Red(2), palette.Green(2), palette.Blue(2)));

    QSignalSpy colours(&w, &TFarbauswahl::ColourPanelPressed);
    QTest::mouseClick(w.Panel(5), Qt::RightButton);
    ASSERT_EQ(colours.count(), 1);
    EXPECT_EQ(colours[0][0].toInt(), 5);
    EXPECT_EQ(colours[0][1].value<Qt::MouseButton>(), Qt::RightButton);
}

TEST_F(ColourWindowTest, TabFileGivesHintsAsFarAsItReaches)
{
    WriteTab(std::string("\x64\x00\1\2\3\4\5\xd0\x07\0\0\0\0\0", 14));
    Show(kSymbols);
    EXPECT_EQ(w.Panel(1)->toolTip(), "100");
    EXPECT_EQ(w.Panel(2)->toolTip(), "2000");
    const QString standard = w.Panel(3)->toolTip();
    EXPECT_NE(standard, "0");

    WriteTab(std::string("\x64\x00\1\2\3\4\5\xd0\x07\0", 10));
    Show(kSymbols.left(12));
    EXPECT_EQ(w.Panel(1)->toolTip(), "100");
    EXPECT_EQ(w.Panel(2)->toolTip(), standard);

    // A foreign file becomes the program's own when asked.
    const std::string other = WriteTestFile(TestHome() + "other.tab", std::string("\x01\x01\0\0\0\0\0", 7));
    EXPECT_TRUE(w.LoadTabHints(true, other));
    EXPECT_EQ(w.Panel(1)->toolTip(), "257");
    EXPECT_EQ(ReadTestFile(w.tabFile), ReadTestFile(other));
    EXPECT_FALSE(w.LoadTabHints(false, TestHome() + "none.TAB"));
}

TEST_F(ColourWindowTest, CloseIsRefusedAndTheToolWindowsGoAway)
{
    w.iniKey = "FarbauswahlTest";
    Show(kSymbols);
    EXPECT_FALSE(w.close());
    EXPECT_TRUE(w.isVisible());
    HidePatternToolWindows();
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(w.F_Visible(1), 0);
    EXPECT_TRUE(w.isVisible());
    {
        TFarbauswahl other;
        other.iniKey = "FarbauswahlTest";
    }
    EXPECT_EQ(F_ReadIni("Windows", "FarbauswahlTest", "").substr(0, 2), "X ");
}

TEST_F(ColourWindowTest, MotifPanelsStoreTheWorkBitmapAndPaintWithIt)
{
    Show(kSymbols);
    Bmp8 motif;
    motif.width = 3;
    motif.height = 2;
    motif.pixels = {1, 2, 3, 4, 5, 6};
    for (int i = 0; i < 256; ++i)
        motif.colours[i] = 0xff000000u | (i << 16) | ((3 * i % 256) << 8) | (255 - i);
    const std::string clip = TempPfad + "Clip.bmp";
    ASSERT_EQ(WriteBmp8(clip, motif), "");
    QLabel foreground;
    uint8_t tool = 27;
    std::vector<TFarbauswahl::MotifPress> results;
    QObject::connect(&w, &TFarbauswahl::MotifPanelPressed, [&](int n, Qt::MouseButton b) {
        results.push_back(w.PressMotifPanel(n, b, tool, clip, &foreground));
    });

    QTest::mouseClick(w.MotifPanel(3), Qt::RightButton);
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0], TFarbauswahl::MotifPress::Stored);
    EXPECT_EQ(ReadTestFile(TempPfad + "Motiv3.BMP"), ReadTestFile(clip));
    EXPECT_TRUE(w.MotifPanel(3)->ImageShown());
    EXPECT_FALSE(foreground.isVisible());

    // Left, or right outside the motif tools: paint with the stored motif.
    tool = 1;
    QTest::mouseClick(w.MotifPanel(3), Qt::RightButton);
    QTest::mouseClick(w.MotifPanel(4), Qt::LeftButton);
    EXPECT_EQ(results[1], TFarbauswahl::MotifPress::Painting);
    EXPECT_EQ(results[2], TFarbauswahl::MotifPress::Nothing);
    EXPECT_EQ(foreground.pixmap().size(), QSize(3, 2));
    EXPECT_FALSE(foreground.isHidden());

    // Without a work bitmap nothing is stored over an earlier motif.
    tool = 28;
    std::remove(clip.c_str());
    EXPECT_EQ(w.PressMotifPanel(3, Qt::RightButton, tool, clip, nullptr), TFarbauswahl::MotifPress::Nothing);
    EXPECT_FALSE(ReadTestFile(TempPfad + "Motiv3.BMP").empty());

    // A new grid shows the motifs kept in the folder.
    Show(kSymbols.left(8));
    EXPECT_TRUE(w.MotifPanel(3)->ImageShown());
    EXPECT_FALSE(w.MotifPanel(4)->ImageShown());
}

}  // namespace
