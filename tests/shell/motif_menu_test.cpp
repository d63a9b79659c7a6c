// The motif in "Patrone" through the main window's Edit menu: the entries a
// marked region binds, the submenus they show, the short-cuts, the file
// exchange through the dialogs (a chooser here), and hiding the window.
#include "kernel/model/workrecord.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <set>
#include <QMenu>
#include <QToolButton>
#include <QtTest/QTest>

#include "kernel/model/globals.h"
#include "kernel/model/programmodel.h"
#include "kernel/ui/edit_bindings.h"
#include "pattern/farbauswahl.h"
#include "pattern/form_patrone.h"
#include "pattern/motif_file_dialog.h"
#include "pattern/zeichenfunktionen.h"
#include "picture/core/bmp8_file.h"
#include "picture/frame_bild_kk.h"
#include "picture/pane_paint_box.h"
#include "tests/shell/pattern_window_fixture.h"
#include "tests/support/test_env.h"

namespace {

class MotifMenuTest : public PatternWindowFixture {
protected:
    void TearDown() override
    {
        SetMotifFileChooser(nullptr);
        PatternWindowFixture::TearDown();
    }
    void Mark(int32_t x0, int32_t y0, int32_t x1, int32_t y1)
    {
        QTest::mouseClick(palette->Button("BereichMarkieren_SpeedButton"), Qt::LeftButton);
        Drag(x0, y0, x1, y1);
    }
    std::vector<T_EditPair*> MotifEntries()
    {
        std::vector<T_EditPair*> pairs = BildEditBindung.pairs();
        return {pairs.begin() + 1, pairs.end()};
    }
    std::vector<QMenu*> Submenus()
    {
        std::vector<QMenu*> menus;
        for (QAction* a : BildEditBindung.MnuBearbeiten->actions())
            if (a->menu())
                menus.push_back(a->menu());
        return menus;
    }
    const MotifBlock& Motif() { return FormPatrone->Core().Motif(); }
};

TEST_F(MotifMenuTest, MarkedRegionBindsTheEntriesAndTheirSubmenus)
{
    Mark(5, 2, 9, 9);
    EXPECT_EQ(Motif().width, 5);
    EXPECT_EQ(Motif().height, 8);
    for (T_EditPair* pair : MotifEntries())
        EXPECT_TRUE(pair->item()->isEnabled() && pair->item()->isVisible()) << pair->item()->objectName().toStdString();
    const std::vector<QMenu*> menus = Submenus();
    ASSERT_EQ(menus.size(), 6u);
    for (QMenu* m : menus)
        EXPECT_TRUE(m->menuAction()->isVisible() && m->menuAction()->isEnabled()) << m->title().toStdString();
    EXPECT_FALSE(A("MnuSuchen")->isVisible());
    EXPECT_FALSE(A("MnuErsetzen")->isVisible());
    for (const char* name : {"RasterKopie_SpeedButton", "Bewegen_SpeedButton", "Kopieren_SpeedButton"})
        EXPECT_TRUE(palette->Button(name)->isEnabled()) << name;

    A("MnuKopieren")->trigger();
    const std::string work = TempPfad + "Clip.bmp";
    EXPECT_EQ(ReadTestFile(work), ReadTestFile(work + "O"));
    QTest::keyClick(FormPatrone, Qt::Key_H, Qt::ControlModifier);
    EXPECT_EQ(Motif().width, 2);
    EXPECT_EQ(Motif().height, 4);
    QTest::keyClick(FormPatrone, Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(Motif().width, 4);
    EXPECT_EQ(Motif().height, 2);

    FormPatrone->hide();
    for (T_EditPair* pair : MotifEntries())
        EXPECT_FALSE(pair->item()->isEnabled()) << pair->item()->objectName().toStdString();
    for (QMenu* m : Submenus())
        EXPECT_FALSE(m->menuAction()->isEnabled()) << m->title().toStdString();
}

TEST_F(MotifMenuTest, CopyToAndInsertFromAPcxFile)
{
    Cell(1, 2) = 7;
    Cell(4, 2) = 62;
    Cell(3, 1) = 200;
    const QString pcx = QString::fromStdString(TestHome() + "muster.PCX");
    SetMotifFileChooser([&](QWidget*, bool, const QString&) { return pcx; });
    Mark(1, 1, 5, 2);
    A("MnuKopierenNach")->trigger();
    EXPECT_EQ(FormPatrone->windowTitle(), pcx + "  (5x2)");
    // 128 header bytes, the runs, the marker and 768 palette bytes.
    ASSERT_GT(ReadTestFile(pcx.toStdString()).size(), 896u);

    A("MnuEinfuegenAus")->trigger();
    EXPECT_EQ(FormPatrone->Core().ToolNow(), 29);
    Send(QEvent::MouseMove, Pixel(20, 20), Qt::NoButton, Qt::NoButton);
    Send(QEvent::MouseButtonPress, Pixel(20, 20), Qt::LeftButton, Qt::LeftButton);
    Send(QEvent::MouseButtonRelease, Pixel(20, 20), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(Cell(20, 21), 7);
    EXPECT_EQ(Cell(23, 21), 62);
    EXPECT_EQ(Cell(22, 20), 200);

    // A cancelled dialog changes nothing.
    SetMotifFileChooser([](QWidget*, bool, const QString&) { return QString(); });
    A("MnuEinfuegenAus")->trigger();
    EXPECT_EQ(FormPatrone->windowTitle(), pcx + "  (5x2)");
}

// Typed text becomes the motif: drawn without smoothing, only the
// foreground colour on the transparent one, the copy refreshed with it.
TEST_F(MotifMenuTest, TypedTextIsTheMotif)
{
    QFont font("DejaVu Sans", 14);
    FormPatrone->fontChooser = [&](const QFont&) { return std::optional<QFont>(font); };
    QTest::keyClick(FormPatrone, 'A');  // colour 19
    QTest::mouseClick(palette->Button("Letter_SpeedButton"), Qt::LeftButton);
    ASSERT_EQ(FormPatrone->Core().ToolNow(), 31);
    Send(QEvent::MouseMove, Pixel(3, 5), Qt::NoButton, Qt::NoButton);
    Send(QEvent::MouseButtonPress, Pixel(3, 5), Qt::LeftButton, Qt::LeftButton);
    Send(QEvent::MouseButtonRelease, Pixel(3, 5), Qt::LeftButton, Qt::NoButton);
    QTest::keyClicks(FormPatrone, "AB");
    font.setStyleStrategy(QFont::NoAntialias);
    const QFontMetrics metrics(font);
    Bmp8 picture;
    std::string error;
    const std::string work = TempPfad + "Clip.bmp";
    ASSERT_TRUE(ReadBmp8(work, picture, error)) << error;
    EXPECT_EQ(picture.width, metrics.horizontalAdvance("AB"));
    EXPECT_EQ(picture.height, metrics.height());
    std::set<uint8_t> used(picture.pixels.begin(), picture.pixels.end());
    EXPECT_EQ(used, (std::set<uint8_t>{19, 255}));
    EXPECT_EQ(ReadTestFile(work), ReadTestFile(work + "O"));
    EXPECT_EQ(Motif().x1, 3);
    EXPECT_EQ(Motif().width, picture.width);
    // The text stands in the plane; Backspace draws it shorter.
    int inked = 0;
    for (int32_t y = 5; y < 5 + picture.height && y <= 30; ++y)
        for (int32_t x = 3; x < 3 + picture.width; ++x)
            inked += Cell(x, y) == 19;
    EXPECT_GT(inked, 0);
    QTest::keyClick(FormPatrone, Qt::Key_Backspace);
    ASSERT_TRUE(ReadBmp8(work, picture, error));
    EXPECT_EQ(picture.width, metrics.horizontalAdvance("A"));
}

// "Farben" comes with the window: its panels pick the colours and show
// the flags; a stored motif becomes the pattern the brush paints with.
TEST_F(MotifMenuTest, ColourWindowPicksAndMarksColours)
{
    TFarbauswahl* colours = FormPatrone->ColourWindow();
    ASSERT_TRUE(colours);
    EXPECT_TRUE(colours->isVisible());
    EXPECT_EQ(colours->ColourCount(), static_cast<int>(FormPatrone->Core().PanelCount()));
    emit colours->ColourPanelPressed(5, Qt::LeftButton);
    EXPECT_EQ(FormPatrone->Core().Foreground(), 4);
    EXPECT_EQ(colours->Foreground(), 4);
    emit colours->ColourPanelPressed(8, Qt::RightButton);
    EXPECT_EQ(FormPatrone->Core().Background(), 7);
    QTest::mouseClick(palette->Button("ColSchutz_SpeedButton"), Qt::LeftButton);
    emit colours->ColourPanelPressed(3, Qt::LeftButton);
    EXPECT_TRUE(colours->MarkShown(PanelMark::Protect, 2));
    EXPECT_EQ(FormPatrone->paint.P[2], 1);

    // Stored from the work bitmap while copying, then painted with.
    Cell(1, 1) = 9;
    Mark(1, 1, 1, 1);
    QTest::mouseClick(palette->Button("Kopieren_SpeedButton"), Qt::LeftButton);
    emit colours->MotifPanelPressed(3, Qt::RightButton);
    EXPECT_EQ(ReadTestFile(colours->MotifFile(3)), ReadTestFile(TempPfad + "Clip.bmp"));
    emit colours->MotifPanelPressed(3, Qt::LeftButton);
    EXPECT_EQ(FormPatrone->paint.motifIsForeground, 1);
    QTest::mouseClick(palette->Button("FreiHand_SpeedButton"), Qt::LeftButton);
    Drag(10, 10, 12, 10);
    EXPECT_EQ(Cell(11, 10), 9);

    FormPatrone->close();
    EXPECT_FALSE(colours->isVisible());
}

}  // namespace
