// The pattern window and its tool palette as a user meets them: the planes
// as levels, the first activation, rows beyond the pattern, the palette that
// comes and goes with the window.
#include "kernel/model/workrecord.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QToolButton>
#include <QtTest/QTest>
#include <functional>
#include <initializer_list>
#include <memory>

#include "kernel/model/globals.h"
#include "kernel/model/programmodel.h"
#include "kernel/ui/forms.h"
#include "pattern/farbauswahl.h"
#include "pattern/colour_panel.h"
#include "pattern/form_patrone.h"
#include "pattern/motif_file_dialog.h"
#include "pattern/shapes/shapes.h"
#include "pattern/tool_title_bar.h"
#include "pattern/zeichenfunktionen.h"
#include "picture/core/bmp8_file.h"
#include "picture/frame_bild_kk.h"
#include "tests/support/test_env.h"

namespace {

// A program of 40 x 30 cells with the given planes; cell (x, y) of plane p
// holds (x + y + p) mod 50.
void MakeProgram(std::initializer_list<int> planes, uint16_t width = 40, uint16_t height = 30)
{
    ProgrammKopf.SetWidth(width);
    ProgrammKopf.SetHeight(height);
    for (int p : planes) {
        T_Patrone* plane = PatternPlane(p);
        plane->allocate(height);
        plane->present = true;
        for (size_t y = 1; y <= height; ++y)
            for (size_t x = 1; x <= width; ++x)
                plane->rows[y * kPatternStride + x - 1] = static_cast<uint8_t>((x + y + p) % 50);
    }
}

TZeichenfunktionen* Palette()
{
    return qobject_cast<TZeichenfunktionen*>(FindForm("Zeichenfunktionen"));
}

class PatternWindowTest : public testing::Test {
protected:
    void TearDown() override
    {
        delete FormPatrone;
        delete Palette();
        QApplication::processEvents();
    }
    // The window as the show routine leaves it, before the window system
    // got to it.
    TFormPatrone& Create()
    {
        ShowPatternWindow(0);
        return *FormPatrone;
    }
    TFormPatrone& Open()
    {
        Create();
        EXPECT_TRUE(QTest::qWaitForWindowActive(FormPatrone));
        return *FormPatrone;
    }
};

uint8_t Shown(TFormPatrone& w, uint16_t x, uint16_t y)
{
    uint32_t shown = 0;
    uint8_t reference = 0, combined = 0;
    w.GetDisplayCell(x, y, shown, reference, combined);
    return static_cast<uint8_t>(shown);
}

TEST_F(PatternWindowTest, PlanesBecomeLevelsAtTheFirstActivation)
{
    struct Case {
        std::initializer_list<int> planes;
        std::vector<uint8_t> states;
        uint16_t current;
    };
    for (const Case& c : {Case{{}, {0, 0, 0}, 0}, Case{{1}, {0, 3, 0}, 2}, Case{{0, 2}, {3, 0, 1}, 1}}) {
        for (int p = 0; p < 3; ++p)
            *PatternPlane(p) = T_Patrone{};
        MakeProgram(c.planes);
        TFormPatrone& w = Create();
        EXPECT_EQ(w.Levels().States(), (std::vector<uint8_t>{3, 0, 0}));
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
        EXPECT_EQ(w.Levels().States(), c.states);
        EXPECT_EQ(w.Levels().CurrentLevel(), c.current);
        for (int i = 0; i < 3; ++i)
            if (c.states[i] == 3) {
                EXPECT_EQ(w.LevelTab(i)->palette().color(QPalette::Window), QColor(255, 255, 0));
            }
        delete FormPatrone;
    }
}

TEST_F(PatternWindowTest, ConstructionAndFirstActivation)
{
    MakeProgram({0});
    TFormPatrone& w = Create();
    EXPECT_EQ(w.objectName(), "Patrone");
    EXPECT_EQ(w.windowTitle(), "Patrone");
    EXPECT_EQ(w.IniKey(), "PatroneMalen");
    EXPECT_TRUE(w.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(w.zoomStepCount, 16);
    EXPECT_EQ(w.temporaryZoomCellSize, 7);
    EXPECT_EQ(w.cellWidth, 1);
    EXPECT_EQ(w.LevelTable().size(), 4u);
    EXPECT_EQ(w.LevelTab(1)->text(), QString::fromUtf8("Fadenf\u00fchrer"));
    EXPECT_EQ(w.stepByte, 1);
    EXPECT_EQ(w.cutFillsWithBackground, 1);
    EXPECT_EQ(w.currentTool, 1);
    EXPECT_EQ(w.previousTool, 1);
    EXPECT_EQ(w.transparentColour, 255);
    EXPECT_EQ(w.transparentFlags[255], 1);
    EXPECT_EQ(w.workBitmapFile, TempPfad + "Clip.bmp");
    EXPECT_EQ(w.fillFile, TempPfad + "Fuell.Tmp");
    EXPECT_EQ(w.Zeichenfunktionen, Palette());

    EXPECT_EQ(w.PictureWidth(), 2000);
    EXPECT_EQ(w.PictureHeight(), 9999);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    EXPECT_EQ(w.firstActivation, 0);
    EXPECT_EQ(w.PictureWidth(), 40);
    EXPECT_EQ(w.PictureHeight(), 30);
    EXPECT_TRUE(Palette()->isVisible());

    // A second show brings the same window.
    ShowPatternWindow(0);
    EXPECT_EQ(FormPatrone, &w);
}

TEST_F(PatternWindowTest, RowsBeyondThePatternReadZeros)
{
    MakeProgram({0, 1});
    BildEbene0.rows[5] = 77;  // row 0 of plane 0
    TFormPatrone& w = Create();
    // Before the first activation the picture reaches far above the pattern.
    EXPECT_EQ(Shown(w, 6, 31), 0);
    EXPECT_TRUE(w.LevelRowBytes(1, 31).empty());
    EXPECT_TRUE(w.LevelRowBytes(1, 0).empty());
    EXPECT_TRUE(w.LevelRowBytes(3, 1).empty());  // no stitch setting plane
    EXPECT_EQ(w.ReadLevelRow(3, 1)[0], 0);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    EXPECT_EQ(Shown(w, 6, 30), (6 + 30) % 50);
    EXPECT_EQ(Shown(w, 0, 30), 0);

    // A row inside is the plane's own storage.
    const std::span<uint8_t> row = w.LevelRowBytes(1, 1);
    ASSERT_EQ(row.size(), 40u);
    EXPECT_EQ(row.data(), BildEbene0.rows.data() + kPatternStride);
    EXPECT_EQ(w.LevelRowBytes(2, 4).data(), BildEbene1.rows.data() + 4 * kPatternStride);
    // Any other level reads plane 0.
    EXPECT_EQ(w.ReadLevelRow(0, 2).data(), BildEbene0.rows.data() + 2 * kPatternStride);
    EXPECT_EQ(w.GetCellPointer(3, 2).data(), BildEbene0.rows.data() + 2 * kPatternStride + 2);
}

TEST_F(PatternWindowTest, ShapeRoutinesPaintThePlanes)
{
    MakeProgram({0});
    BildEbene0.rows[5] = 77;
    TFormPatrone& w = Create();
    w.UpdatePaintState();
    w.currentColour = 9;
    const std::vector<uint8_t> before = BildEbene0.rows;
    // Above the pattern, before the first activation: nothing to write.
    int32_t x1 = 8, y1 = 31;
    PaintBrush(w, w.paint, false, true, 6, x1, 31, y1);
    EXPECT_EQ(BildEbene0.rows, before);
    EXPECT_EQ(Shown(w, 6, 31), 0);
    EXPECT_EQ(w.LevelTable()[1].changed, 0);

    x1 = 8;
    y1 = 1;
    PaintBrush(w, w.paint, false, true, 6, x1, 1, y1);
    for (size_t x = 6; x <= 8; ++x)
        EXPECT_EQ(BildEbene0.rows[kPatternStride + x - 1], 9) << x;
    EXPECT_EQ(BildEbene0.rows[5], 77);
    EXPECT_EQ(w.LevelTable()[1].changed, 1);
}

TEST_F(PatternWindowTest, LinePreviewFramesTheCellsTheBrushPaints)
{
    MakeProgram({0});
    TFormPatrone& w = Open();
    w.SetCellSize(7);
    QApplication::processEvents();
    w.UpdatePaintState();
    const int32_t firstColumn = w.Pane(0)->firstVisibleColumn, firstRow = w.FirstVisibleRow();
    StepLine(w, w.paint, 0, firstColumn + 1, firstColumn + 9, firstRow + 1, firstRow + 5);
    const QImage frames = w.Pane(0)->feedbackImage;
    ASSERT_FALSE(frames.isNull());
    const QRgb frameColour = w.Palette().Argb()[205];
    const PictureGeometry g = w.Geometry(0);

    w.currentColour = 45;  // no cell of the region holds it yet
    int32_t x1 = firstColumn + 9, y1 = firstRow + 5;
    PaintBrush(w, w.paint, false, false, firstColumn + 1, x1, firstRow + 1, y1);
    int painted = 0;
    for (int32_t y = firstRow; y < firstRow + 8; ++y)
        for (int32_t x = firstColumn; x < firstColumn + 12; ++x) {
            const Outline o = g.CellOutline(x, y, x, y, firstColumn, firstRow);
            const bool framed = frames.pixel((o.left + o.right) / 2, o.top) == frameColour &&
                                frames.pixel((o.left + o.right) / 2, o.bottom) == frameColour &&
                                frames.pixel(o.left, (o.top + o.bottom) / 2) == frameColour &&
                                frames.pixel(o.right, (o.top + o.bottom) / 2) == frameColour;
            const bool brushed = w.ReadLevelRow(1, y)[x - 1] == 45;
            painted += brushed;
            EXPECT_EQ(framed, brushed) << x << "," << y;
        }
    EXPECT_GE(painted, 9);
}

TEST_F(PatternWindowTest, CombinedViewWriteRuleAndRenderMode)
{
    MakeProgram({0, 1, 2});
    BildEbene1.rows[kPatternStride] = 0x25;
    BildEbene2.rows[kPatternStride] = 0x13;
    TFormPatrone& w = Open();
    w.ApplyLevelStates({3, 2, 2});
    uint32_t shown = 0;
    uint8_t reference = 0, combined = 0;
    w.GetDisplayCell(1, 1, shown, reference, combined);
    EXPECT_EQ(combined, 0x87);
    EXPECT_EQ(reference, 255);  // two included levels: no reference
    w.ApplyLevelStates({3, 2, 1});
    w.GetDisplayCell(1, 1, shown, reference, combined);
    EXPECT_EQ(combined, (0x25 & 15) | 128);
    EXPECT_EQ(reference, 0x25);

    uint8_t mode = 0, symbol = 0, grid = 0, accent = 0;
    w.ChooseRenderMode(mode, symbol, grid, accent, 1, 1);
    EXPECT_EQ(mode, 0);  // a reference level is blended
    w.ApplyLevelStates({3, 1, 1});
    w.ChooseRenderMode(mode, symbol, grid, accent, 1, 1);
    EXPECT_EQ(mode, 6);
    w.gridFlag = 0;
    grid = 1;
    w.ChooseRenderMode(mode, symbol, grid, accent, 3, 3);
    EXPECT_EQ(grid, 0);

    struct Write {
        uint8_t colour, old, expected;
    };
    w.protectedFlags[9] = 1;
    for (const Write& c : {Write{4, 1, 4}, Write{4, 9, 9}, Write{255, 1, 1}}) {
        uint8_t cell = c.old;
        w.FilterPaintColour(c.colour, cell);
        EXPECT_EQ(cell, c.expected) << int(c.colour) << " on " << int(c.old);
    }
}

TEST_F(PatternWindowTest, PaletteComesAndGoesWithTheWindow)
{
    MakeProgram({0});
    TFormPatrone& w = Open();
    w.FormActivate();
    TZeichenfunktionen* palette = Palette();
    ASSERT_NE(palette, nullptr);
    EXPECT_TRUE(palette->isVisible());
    w.close();
    EXPECT_FALSE(w.isVisible());
    EXPECT_FALSE(palette->isVisible());
    EXPECT_TRUE(FormExists("Patrone"));
    ShowPatternWindow(0);
    w.FormActivate();
    EXPECT_TRUE(palette->isVisible());

    // Freed with the program: the palette does not stay for it.
    delete FormPatrone;
    EXPECT_EQ(FormPatrone, nullptr);
    EXPECT_FALSE(palette->isVisible());
}

// Records a tool window shown while the pattern window is not on the screen:
// a window manager learns whom a window belongs to when it maps it, and does
// not know a window it has not met.
class ToolShownEarly : public QObject {
public:
    std::vector<std::string> shown;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QString name = watched->objectName();
        if (event->type() == QEvent::Show && (name == "Zeichenfunktionen" || name == "Farbauswahl") &&
            !(FormPatrone && FormPatrone->windowHandle() && FormPatrone->windowHandle()->isVisible()))
            shown.push_back(name.toStdString());
        return false;
    }
};

// Whatever their Qt parent, the tool windows belong to the pattern window
// they serve: every window manager shows them with it and keeps them above
// it. They outlive one pattern window and go with the next.
TEST_F(PatternWindowTest, ToolWindowsAreTransientForThePatternWindow)
{
    MakeProgram({0});
    ToolShownEarly early;
    qApp->installEventFilter(&early);
    // The window the person opens the pattern window from again.
    QWidget main;
    main.show();
    const std::function<void()> steps[] = {
        [] {},
        [&main] {
            FormPatrone->close();
            main.activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
            ShowPatternWindow(0);
        },
        [] {
            delete FormPatrone;
            ShowPatternWindow(0);
        },
    };
    Open();
    for (size_t i = 0; i < std::size(steps); ++i) {
        steps[i]();
        ASSERT_TRUE(QTest::qWaitFor([] { return FormPatrone->isActiveWindow() && Palette()->isVisible(); })) << i;
        TFarbauswahl* colours = FormPatrone->ColourWindow();
        for (QWidget* tool : {static_cast<QWidget*>(Palette()), static_cast<QWidget*>(colours)}) {
            ASSERT_TRUE(tool && tool->isVisible() && tool->windowHandle()) << i;
            EXPECT_EQ(tool->windowHandle()->transientParent(), FormPatrone->windowHandle())
                << i << " " << tool->windowTitle().toStdString();
        }
        EXPECT_EQ(early.shown, std::vector<std::string>{}) << i;
    }
}

// The tool windows are shown and hidden by the program only: the window
// manager is asked for no title bar (its buttons would minimise, maximise or
// close them); their own bar shows the title whole and moves the window.
TEST_F(PatternWindowTest, ToolWindowsOfferNoWindowManagerButtonsAndShowTheirTitleWhole)
{
    TZeichenfunktionen palette;
    TFarbauswahl colours;
    for (QWidget* w : {static_cast<QWidget*>(&palette), static_cast<QWidget*>(&colours)}) {
        const std::string name = w->windowTitle().toStdString();
        w->show();
        const Qt::WindowFlags flags = w->windowFlags();
        EXPECT_TRUE(flags.testFlag(Qt::CustomizeWindowHint)) << name;
        // The window they serve keeps the keys, whatever the window manager.
        EXPECT_TRUE(flags.testFlag(Qt::WindowDoesNotAcceptFocus)) << name;
        for (Qt::WindowType hint : {Qt::WindowTitleHint, Qt::WindowSystemMenuHint, Qt::WindowMinimizeButtonHint,
                                    Qt::WindowMaximizeButtonHint, Qt::WindowCloseButtonHint}) {
            EXPECT_FALSE(flags.testFlag(hint)) << name << " asks for " << hint;
        }
        auto* bar = w->findChild<ToolTitleBar*>();
        ASSERT_TRUE(bar) << name;
        EXPECT_EQ(bar->geometry(), QRect(0, 0, w->width(), ToolTitleBar::BarHeight())) << name;
        EXPECT_LE(bar->fontMetrics().horizontalAdvance(w->windowTitle()), bar->width() - 4) << name;
        for (QWidget* child : w->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (child != bar && child->isVisibleTo(w)) {
                EXPECT_GE(child->y(), bar->height()) << name << " " << child->objectName().toStdString();
            }
        }
    }
}

TEST_F(PatternWindowTest, ToolPalette)
{
    TZeichenfunktionen palette;
    EXPECT_EQ(palette.windowTitle(), "Werkzeuge");
    EXPECT_EQ(palette.size(), QSize(109, ToolTitleBar::BarHeight() + 244));
    EXPECT_TRUE(palette.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(palette.findChildren<QToolButton*>().size(), 29);
    for (QToolButton* b : palette.findChildren<QToolButton*>())
        EXPECT_EQ(b->size(), QSize(26, 26)) << b->objectName().toStdString();
    EXPECT_EQ(palette.Button("Fuellen_SpeedButton")->toolTip(), QString::fromUtf8("F\u00fcllen"));
    EXPECT_EQ(palette.Button("Ellipse_SpeedButton")->toolTip(),
              QString::fromUtf8("\"LT\": Rahmen\n\"RT\": Gef\u00fcllte Ellipse"));
    // The colour panels' hints are translated too, the symbol letter's panel included.
    EXPECT_EQ(palette.Vordergrund_Panel->toolTip(),
              QString::fromUtf8("\"LT\": Vordergrundfarbe aktivieren\n\"RT\": Motiv als Vordergrundfarbe definieren"));
    EXPECT_EQ(palette.Hintergrund_Panel->statusTip(),
              QString::fromUtf8("aktuelle Hintergrundfarbe  (beim Kopieren Transparentfarbe)  "));
    EXPECT_EQ(palette.Button("LinienStufe_SpeedButton")->text(), "11");
    EXPECT_EQ(palette.ImageList1.size(), 8);
    EXPECT_EQ(palette.ColSchutz_PopupMenu->actions().size(), 4);

    EXPECT_EQ(palette.F_Visible(1), 0);
    EXPECT_TRUE(palette.isVisible());
    EXPECT_EQ(palette.F_Visible(0), 1);
    EXPECT_FALSE(palette.isVisible());
    palette.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&palette));

    // One drawing button down at a time; none down is fine too.
    QToolButton* fill = palette.Button("Fuellen_SpeedButton");
    QToolButton* brush = palette.Button("FreiHand_SpeedButton");
    QToolButton* slope = palette.Button("LinienStufe_SpeedButton");
    QTest::mouseClick(slope, Qt::LeftButton);
    QTest::mouseClick(fill, Qt::LeftButton);
    EXPECT_TRUE(fill->isChecked());
    QTest::mouseClick(brush, Qt::LeftButton);
    EXPECT_TRUE(brush->isChecked());
    EXPECT_FALSE(fill->isChecked());
    EXPECT_TRUE(slope->isChecked());
    QTest::mouseClick(brush, Qt::LeftButton);
    EXPECT_FALSE(brush->isChecked());
    EXPECT_FALSE(palette.Button("GrosserCursor_SpeedButton")->isCheckable());
}

// "Einfügen aus" with a palette of its own: the picture and the colour
// panels take it at once. A 24-bit file has none to give: the panels and
// the picture keep the program's colours.
TEST_F(PatternWindowTest, ColourPanelsFollowAnInsertedPalette)
{
    MakeProgram({0});
    TFormPatrone& w = Open();
    w.FormActivate();
    TFarbauswahl* colours = w.ColourWindow();
    ASSERT_NE(colours, nullptr);
    ASSERT_GE(colours->ColourCount(), 3);
    const QColor before = colours->Panel(3)->Fill();

    Bmp8 own;
    own.width = 3;
    own.height = 2;
    own.pixels = {1, 2, 1, 2, 1, 2};
    for (uint32_t i = 0; i < 256; ++i)
        own.colours[i] = 0xff000000u | (255 - i) << 16 | i << 8 | 40;
    own.colours[2] = 0xff0ac81e;
    const std::string ownFile = TestHome() + "own.bmp";
    ASSERT_EQ(WriteBmp8(ownFile, own), "");
    SetMotifFileChooser([&](QWidget*, bool, const QString&) { return QString::fromStdString(ownFile); });
    w.Einfuegenaus1Click();
    EXPECT_EQ(colours->Panel(3)->Fill(), QColor(10, 200, 30));
    EXPECT_EQ(QColor(w.Palette().Red(2), w.Palette().Green(2), w.Palette().Blue(2)), QColor(10, 200, 30));

    // Back to the program's colours, then a 24-bit file changes none.
    w.SetPaletteColours([&] {
        std::array<uint32_t, 256> table{};
        for (uint32_t i = 0; i < 256; ++i)
            table[i] = 0xff000000u | i << 16 | i << 8 | i;
        return table;
    }());
    w.FarbpaletteamBildschirmaktualisieren();
    const QColor grey = colours->Panel(3)->Fill();
    // 2 x 2 light grey pixels, lines of 8 bytes.
    std::string bmp24(54 + 16, static_cast<char>(0xc8));
    const unsigned char header[] = {'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 2, 0, 0, 0,
                                    2, 0, 0, 0, 1, 0, 24, 0};
    std::fill(bmp24.begin(), bmp24.begin() + 54, '\0');
    std::copy(std::begin(header), std::end(header), bmp24.begin());
    const std::string trueFile = WriteTestFile(TestHome() + "true.bmp", bmp24);
    SetMotifFileChooser([&](QWidget*, bool, const QString&) { return QString::fromStdString(trueFile); });
    w.Einfuegenaus1Click();
    SetMotifFileChooser(nullptr);
    EXPECT_EQ(w.Core().Motif().width, 2);
    EXPECT_EQ(colours->Panel(3)->Fill(), grey);
    EXPECT_EQ(w.Palette().Red(2), 2);
    EXPECT_NE(grey, before);
}

}  // namespace
