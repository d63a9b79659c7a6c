#include <QAction>
#include <QImage>
#include <QKeyEvent>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <fstream>
#include <utility>

#include "check/programcheck.h"
#include "check/ui/form_gtest_text.h"
#include "check/ui/form_gtest_zorit.h"
#include "check/ui/form_ptest.h"
#include "check/ui/form_tool_bar_sim.h"
#include "kernel/services/services.h"
#include "picture/frame_bild_kk.h"
#include "picture/mal_status_bar.h"
#include "picture/pane_paint_box.h"
#include "simlib/vpsimmod_abi.h"
#include "tests/check_ui/check_windows_fixture.h"
#include "tests/check_ui/core/fake_sim_rows.h"

namespace {

using GTestWindowTest = CheckWindowsTest;

std::vector<std::string> MessageLines()
{
    std::vector<std::string> lines;
    for (const QString& l : GTestText->ShownLines())
        lines.push_back(l.toStdString());
    return lines;
}

void PostKey(QWidget* w, Qt::Key key, const QString& text)
{
    QCoreApplication::postEvent(w, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, text));
}

// Polls until the condition holds, then runs `then` once.
void When(std::function<bool()> condition, std::function<void()> then)
{
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, condition, then] {
        if (!condition())
            return;
        poll->stop();
        poll->deleteLater();
        then();
    });
    poll->start(10);
}

// Palette entry i = (i, 3i mod 256, 255 - i).
void WritePalette()
{
    std::string bytes;
    for (int i = 0; i < 256; ++i)
        bytes += {char(i), char((3 * i) % 256), char(255 - i), 0};
    WriteTestFile(ProgrammPfad + "P.pal", bytes);
    P_WriteIni("Files", "Palette", "P.pal");
}

TEST_F(GTestWindowTest, FastRunEndsWithTheStrokeCount)
{
    ASSERT_TRUE(Compile("nested.Skx"));
    QWidget patrone, tools;
    patrone.setObjectName("Patrone");
    tools.setObjectName("Zeichenfunktionen");
    tools.show();
    MnuGTestClick();
    EXPECT_FALSE(tools.isVisible()) << "the pattern window's tools go away";
    ASSERT_TRUE(G_Test);
    TFormGTestZorit& g = *G_Test;
    EXPECT_EQ(g.objectName(), "G_Test");
    EXPECT_EQ(g.windowTitle(), "G-Test");
    EXPECT_EQ(g.Run().mode(), GTestRunState::Ended);
    EXPECT_EQ(g.ShownRows(), 24);
    EXPECT_EQ(g.PictureHeight(), 24);
    EXPECT_FALSE(g.ToolButton("ToolButtonStart")->isEnabled());
    EXPECT_FALSE(g.ToolButton("ToolButtonSchrittweise")->isEnabled());
    const auto lines = MessageLines();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(lines.end() - 3, lines.end()),
              (std::vector<std::string>{"Keine Fehler gefunden! ", "", "Anzahl der Schlittenhübe: 12"}));
    for (const char* name : {"MnuGTest", "MnuPTest", "MnuExportSkrel"})
        EXPECT_FALSE(A(name)->isEnabled()) << name;
    g.resize(500, 400);
    g.SetCellSize(8);
    Screenshot(g, "gtest.png");
    GTestText->show();
    Screenshot(*GTestText, "gtesttext.png");
    QTest::keyClick(GTestText, Qt::Key_X);
    QTest::keyClick(GTestText, Qt::Key_Delete);
    EXPECT_EQ(MessageLines(), lines) << "the messages cannot be edited";

    // The carrier bar: 8 rows above the fabric.
    g.ToolButton("ToolButtonFadenfuehrer")->trigger();
    EXPECT_EQ(g.ShownRows(), 32);
    EXPECT_EQ(g.FabricRows(), 24);

    g.close();
    EXPECT_FALSE(g.isVisible());
    EXPECT_EQ(g.Run().mode(), GTestRunState::Created) << "a closed window starts anew";
    EXPECT_TRUE(A("MnuGTest")->isEnabled());
}

// The message window and the program test window open where they hide
// nothing the user needs and stay in front of the simulation.
TEST_F(GTestWindowTest, MessageAndTestWindowsOpenBesideWhatTheyWouldCover)
{
    ASSERT_TRUE(Compile("first_row.Skx"));
    shell->main.setGeometry(0, 0, 1200, 900);
    auto* bar = new QToolBar(&shell->main);
    bar->setGeometry(0, 30, 1200, 50);
    MnuGTestClick();
    ASSERT_TRUE(G_Test);
    G_Test->resize(300, 300);
    G_Test->ToolButton("ToolButtonFehler")->trigger();
    ASSERT_TRUE(GTestText->isVisible());
    EXPECT_FALSE(GTestText->frameGeometry().intersects(G_Test->frameGeometry()))
        << "beside the simulation, not under it";
    EXPECT_TRUE(GTestText->windowFlags() & Qt::WindowStaysOnTopHint) << "on the simulation's level";
    G_Test->close();

    MnuPTestClick();
    ASSERT_TRUE(FormPTest);
    // Its frame is placed once it is framed, at its first paint.
    QCoreApplication::processEvents();
    EXPECT_GE(FormPTest->frameGeometry().top(), shell->main.mapToGlobal(QPoint(0, 80)).y())
        << "below the main window's tool bars";
}

// Program test and export open where the list windows do, frame and all
// on the screen, also when the window manager has put the main window's
// border one pixel past the screen's left edge.
TEST_F(GTestWindowTest, ProgramTestAndExportOpenWithTheirWholeFrameOnTheScreen)
{
    ASSERT_TRUE(Compile("first_row.Skx"));
    const QRect screen = shell->main.screen()->geometry();
    shell->main.setGeometry(screen.left() - 1, screen.top(), screen.width() - 20, screen.height() - 40);
    auto* bar = new QToolBar(&shell->main);
    bar->setGeometry(0, 30, shell->main.width(), 50);
    for (const auto& [what, open] : {std::pair{"P-Test", &MnuPTestClick}, {"Export", &MnuExportSkrelClick}}) {
        SCOPED_TRACE(what);
        open();
        ASSERT_TRUE(FormPTest);
        ASSERT_EQ(FormPTest->windowTitle(), what);
        QCoreApplication::processEvents();
        const QRect frame = FormPTest->frameGeometry();
        EXPECT_TRUE(screen.contains(frame)) << frame.x() << "," << frame.y() << " " << frame.width() << "x"
                                            << frame.height();
        EXPECT_EQ(frame.left(), screen.left()) << "at the main window's left, as far as the screen goes";
        EXPECT_GE(frame.top(), shell->main.mapToGlobal(QPoint(0, 80)).y()) << "below the tool bars";
        FormPTest->close();
        delete FormPTest;
        FormPTest = nullptr;
    }
}

TEST_F(GTestWindowTest, StepsWaitAndACloseOnlyStopsTheWalk)
{
    ASSERT_TRUE(Compile("nested.Skx"));
    MnuGTestClick();
    TFormGTestZorit& g = *G_Test;
    g.close();
    const std::string log = TestHome() + "sim.log";
    setenv("VPSIMMOD_LOG", log.c_str(), 1);

    PostKey(&g, Qt::Key_E, "E");
    int checks = 0;
    When([&g] { return g.Run().mode() == GTestRunState::Waiting; }, [&g, &checks] {
        ++checks;
        EXPECT_EQ(g.ShownRows(), 2);
        PostKey(&g, Qt::Key_E, "E");
        When([&g] { return g.Run().mode() == GTestRunState::Waiting && g.ShownRows() == 4; }, [&g, &checks] {
            ++checks;
            g.close();
            EXPECT_TRUE(g.isVisible()) << "the close waits for the walk";
            EXPECT_EQ(g.Run().mode(), GTestRunState::Aborted);
        });
    });
    MnuGTestClick();
    EXPECT_EQ(checks, 2);
    EXPECT_FALSE(g.isVisible());
    const auto lines = MessageLines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "S0003 Z0001: Abbruch durch Anwender! "), lines.end());
    EXPECT_EQ(g.Run().mode(), GTestRunState::Created);
    // The library is freed once the walk has stopped using it.
    const std::vector<std::string> calls = SplitLines(ReadTestFile(log));
    auto last = [&calls](const std::string& name) {
        for (size_t i = calls.size(); i-- > 0;)
            if (calls[i].rfind(name, 0) == 0)
                return static_cast<int>(i);
        return -1;
    };
    EXPECT_GT(last("P_DllSpeicherFrei"), last("P_DllZeileFertig"));
    EXPECT_GE(last("P_DllZeileFertig"), 0);

    MnuGTestClick();
    unsetenv("VPSIMMOD_LOG");
    EXPECT_EQ(g.Run().mode(), GTestRunState::Ended) << "the next show runs again in full";
    EXPECT_EQ(g.ShownRows(), 24);
    int inits = 0;
    for (const std::string& line : SplitLines(ReadTestFile(log)))
        inits += line.rfind("P_DllInit ", 0) == 0;
    EXPECT_EQ(inits, 2) << "the library starts anew";
}

TEST_F(GTestWindowTest, ALongFastRunLooksOnceAFrameAndAStepKeyStopsItAtOnce)
{
    ASSERT_TRUE(Compile("long_run.Skx"));
    // A zero timer fires whenever the window handles its events.
    int looks = 0;
    QTimer look;
    look.setInterval(0);
    QObject::connect(&look, &QTimer::timeout, [&looks] { ++looks; });
    look.start();
    MnuGTestClick();
    look.stop();
    TFormGTestZorit& g = *G_Test;
    EXPECT_EQ(g.Run().mode(), GTestRunState::Ended);
    EXPECT_EQ(MessageLines().back(), "Anzahl der Schlittenhübe: 30000");
    EXPECT_EQ(g.ShownRows(), g.RowSource().height()) << "the end shows every row";
    EXPECT_LT(looks, 3000) << "30,000 strokes, not a look each";
    g.close();

    PostKey(&g, Qt::Key_E, "E");
    bool stopped = false;
    When([&g] { return g.Run().mode() == GTestRunState::Waiting; }, [&g, &stopped] {
        stopped = true;
        EXPECT_LE(g.ShownRows(), 4) << "the key counts at the first frame";
        g.close();
    });
    MnuGTestClick();
    EXPECT_TRUE(stopped);
    const auto lines = MessageLines();
    EXPECT_NE(std::find_if(lines.begin(), lines.end(),
                           [](const std::string& l) { return l.find("Abbruch durch Anwender!") != std::string::npos; }),
              lines.end());
}

TEST_F(GTestWindowTest, RemoteStepsNeverWait)
{
    ASSERT_TRUE(Compile("nested.Skx"));
    Fernsteuerung = true;
    MnuGTestClick();
    TFormGTestZorit& g = *G_Test;
    EXPECT_FALSE(g.isVisible()) << "under remote control the window closes itself";
    Fernsteuerung = true;
    PostKey(&g, Qt::Key_E, "E");
    MnuGTestClick();
    EXPECT_FALSE(g.isVisible());
    Fernsteuerung = false;
}

TEST_F(GTestWindowTest, StitchesShowInTheCarrierColour)
{
    WritePalette();
    ASSERT_TRUE(Compile("stitches.Skx"));
    MnuGTestClick();
    TFormGTestZorit& g = *G_Test;
    EXPECT_EQ(g.ShownRows(), 4);
    g.resize(500, 400);
    g.SetCellSize(8);
    Screenshot(g, "gtest_stitches.png");
    const PictureGeometry geo = g.Geometry(0);
    const QImage& image = g.Pane(0)->keptImage;
    // Both strokes knit on the front bed: its rows are the odd ones.
    for (const int32_t row : {1, 3}) {
        int carrier = 0, ground = 0;
        const int top = geo.CellTop(row, g.FirstVisibleRow());
        for (int y = top; y < top + 9; ++y)
            for (int x = 0; x < image.width(); ++x) {
                carrier += (image.pixel(x, y) & 0xffffff) == 0x2060df;
                ground += (image.pixel(x, y) & 0xffffff) == 0x0000ff;
            }
        EXPECT_GT(carrier, 0) << "the stitches of carrier 1 in row " << row;
        EXPECT_GT(ground, 0) << row;
    }
    g.ToolButton("ToolButtonFehler")->trigger();
    EXPECT_TRUE(GTestText->isVisible());
    EXPECT_EQ(MessageLines().back(), "Anzahl der Schlittenhübe: 2");
}

TEST_F(GTestWindowTest, AStartFillsTheStartRowWithTheSideMargin)
{
    ASSERT_TRUE(Compile("nested.Skx"));
    // A machine with the comb take-down: margin = round(7 x 6.37) + 5.
    ProgrammKopf.b[11] = 1;
    ProgrammKopf.SetGauge(7);
    MnuGTestClick();
    TFormGTestZorit& g = *G_Test;
    EXPECT_EQ(g.marks.start, 50);
    EXPECT_EQ(g.MarkedRows(), (std::pair<uint16_t, uint16_t>{0, 0})) << "no row is marked";
    g.ToolButton("ToolButtonGitter")->trigger();
    EXPECT_EQ(g.marks.state, 0) << "the margin alone switches no marks on";
}

// -- a window on a scripted library --------------------------------------------

class FakeWindowTest : public CheckWindowsTest {
protected:
    void SetUp() override
    {
        CheckWindowsTest::SetUp();
        WritePalette();
        G_Test = new TFormGTestZorit(&shell->main);
        auto source = std::make_unique<FakeSimRows>();
        rows = source.get();
        for (uint16_t y = 1; y <= 12; ++y)
            rows->rows[y] = FakeSimRows::Uniform(3, 0, 17, -1, 0);
        rows->rows[1].shape = {1, 0, 9};
        rows->rowsAvailable = 12;
        G_Test->SetRowSource(std::move(source));
        G_Test->resize(400, 300);
        G_Test->show();
        G_Test->LibraryStarted(3, TestShapeTables());
        G_Test->RefreshRows(12);
        G_Test->SetCellSize(4);
    }
    // The colour of cell (x, y)'s pixel (i, j) from its top left, as shown.
    QRgb Pixel(int32_t x, int32_t y, int i, int j)
    {
        const PictureGeometry geo = G_Test->Geometry(0);
        const int left = geo.CellLeft(x, G_Test->FirstVisibleColumn());
        const int top = geo.CellTop(y, G_Test->FirstVisibleRow());
        return G_Test->Pane(0)->keptImage.pixel(left + i, top + j) | 0xff000000u;
    }
    // A left click on cell (2, y).
    void Click(int32_t y)
    {
        TFormGTestZorit& g = *G_Test;
        g.currentCellX = 2;
        g.currentCellY = y;
        const PictureGeometry geo = g.Geometry(0);
        const QPoint at(geo.CellLeft(2, g.FirstVisibleColumn()) + 1, geo.CellTop(y, g.FirstVisibleRow()) + 2);
        QTest::mouseClick(g.Pane(0)->ShowBild, Qt::LeftButton, {}, at);
    }
    FakeSimRows* rows = nullptr;
};

TEST_F(FakeWindowTest, DrawsShapesGridAndMarkedRows)
{
    TFormGTestZorit& g = *G_Test;
    EXPECT_EQ(Pixel(1, 1, 0, 0), 0xff1133eeu) << "code 1 shows the cell's colour 17";
    EXPECT_EQ(Pixel(2, 1, 0, 0), 0xff0000ffu);
    EXPECT_EQ(Pixel(3, 1, 0, 0), 0xff0000ffu) << "shape 9 holds codes the drawing does not know";

    g.ToolButton("ToolButtonGitter")->trigger();
    EXPECT_EQ(Pixel(2, 2, 3, 0), 0xffd68229u);
    EXPECT_EQ(Pixel(2, 2, 0, 3), 0xffd68229u);
    g.ToolButton("ToolButtonGitter")->trigger();

    A("MnuExportSkrel")->setProperty("Tag", 1);
    auto click = [this](int32_t y) { Click(y); };
    g.ToolButton("ToolButtonTrindelStart")->trigger();
    click(5);
    g.ToolButton("ToolButtonTrindelEnde")->trigger();
    click(10);
    EXPECT_EQ(g.MarkedRows(), (std::pair<uint16_t, uint16_t>{3, 5}));
    for (int32_t y = 1; y <= 12; ++y)
        EXPECT_EQ(Pixel(2, y, 1, 1), y >= 5 && y <= 10 ? 0xff0000ffu : 0xffda8e25u) << "row " << y;
    const SimInitSettings next = CurrentSimInitSettings("", 3);
    EXPECT_EQ(next.markStart, 3);
    EXPECT_EQ(next.markEnd, 5);
    P_GTestReset();
    EXPECT_EQ(CurrentSimInitSettings("", 3).markStart, 0);
    EXPECT_EQ(CurrentSimInitSettings("", 3).markEnd, 0);

    Screenshot(g, "gtest_fake.png");
    for (auto [step, w, h] : {std::tuple{1, 1, 1}, {8, 8, 9}, {12, 12, 14}}) {
        g.SetCellSize(static_cast<uint8_t>(step));
        EXPECT_EQ(g.cellWidth, w);
        EXPECT_EQ(g.cellHeight, h);
    }
}

TEST_F(FakeWindowTest, TheMarginStartsTheMarksButMarkedRowsStay)
{
    TFormGTestZorit& g = *G_Test;
    g.TakeSideMargin(2);
    g.ToolButton("ToolButtonGitter")->trigger();
    EXPECT_EQ(g.marks.state, 0);
    EXPECT_EQ(Pixel(2, 1, 1, 1), 0xff0000ffu) << "no row is dimmed";
    g.ToolButton("ToolButtonTrindelEnde")->trigger();
    Click(10);
    EXPECT_EQ(g.MarkedRows(), (std::pair<uint16_t, uint16_t>{2, 5})) << "the margin is the start row";
    EXPECT_EQ(Pixel(2, 2, 1, 1), 0xffda8e25u);
    EXPECT_EQ(Pixel(2, 3, 1, 1), 0xff0000ffu);
    g.ToolButton("ToolButtonTrindelStart")->trigger();
    Click(7);
    g.TakeSideMargin(2);
    EXPECT_EQ(g.MarkedRows(), (std::pair<uint16_t, uint16_t>{4, 5})) << "a marked start row stays";
}

TEST_F(FakeWindowTest, NewRowsDrawnAloneMatchAFullRepaint)
{
    TFormGTestZorit& g = *G_Test;
    for (uint16_t y = 1; y <= 90; ++y) {
        rows->rows[y] = FakeSimRows::Uniform(3, static_cast<uint8_t>(y % 3), static_cast<uint8_t>(32 + y % 9), -1, 0);
        rows->comments[y] = "S0001 Z0001";
    }
    g.resize(300, 200);
    g.RefreshRows(0);
    for (uint16_t h = 2; h <= 90; h += 2)
        g.RefreshRows(h);
    EXPECT_EQ(g.PictureHeight(), 90);
    const QImage stepwise = g.Pane(0)->keptImage.copy();
    EXPECT_EQ(g.FirstVisibleRow() + g.Geometry(0).visibleRows - 1, 90) << "the view follows the newest row";
    g.RedrawCells();
    const QImage& whole = g.Pane(0)->keptImage;
    int differing = -1;
    for (int y = 0; y < whole.height() && differing < 0; ++y)
        for (int x = 0; x < whole.width(); ++x)
            if (whole.pixel(x, y) != stepwise.pixel(x, y)) {
                differing = y;
                break;
            }
    EXPECT_EQ(differing, -1) << "first differing pixel line";
}

TEST_F(FakeWindowTest, PointingShowsTheStrokeAndMovesTheLists)
{
    TFormGTestZorit& g = *G_Test;
    rows->rows[7] = FakeSimRows::Uniform(3, 1, 0x21, -1, 0);
    rows->carriers[0x21] = 2;
    rows->comments[7] = "S0003 Z0012 System2 YV0001 YH0001";
    rows->extra = {2, 2, 3, 1250};
    auto point = [&g](int32_t y) {
        g.currentCellX = 2;
        g.currentCellY = y;
        g.Cache().Drop();
        g.CellEvent();
    };
    point(7);
    EXPECT_EQ(g.StatusBar->StatusText(3).toStdString(),
              "S0003 Z0012 System2 YV0001 YH0001 Ff 2A Festigkeit 12 Versatz 3: L");
    EXPECT_EQ(moves, (std::vector<ListMove>{{"Z_Liste", 12, 0x102}, {"S_Liste", 3, 65535}}));
    point(7);
    EXPECT_EQ(moves.size(), 2u) << "once per change";
    rows->extra.racking = static_cast<uint8_t>(-2);
    point(7);
    EXPECT_TRUE(g.StatusBar->StatusText(3).endsWith("Versatz 2: R"));

    moves.clear();
    rows->comments[7] = "Z0012 System2";
    point(7);
    EXPECT_TRUE(moves.empty());
    rows->comments[7] = "S0003 Z12345 System2";
    point(7);
    EXPECT_EQ(moves, (std::vector<ListMove>{{"Z_Liste", 12345, 0x102}}));
}

TEST_F(FakeWindowTest, ColourPopUpActsOnTheClickedCarrier)
{
    TFormGTestZorit& g = *G_Test;
    rows->rows[1].colour = {33, 33, 33};
    rows->carriers[33] = 2;
    g.Cache().Drop();
    const uint32_t original = g.SimColours()[33];
    g.selectedColour = 33;
    g.MnuFarbenClick(3);
    EXPECT_EQ(g.SimColours()[33], g.SimColours()[3]);
    EXPECT_EQ(Pixel(1, 1, 0, 0), g.SimColours()[3] | 0xff000000u);
    g.SetCellSize(1);
    EXPECT_EQ(Pixel(1, 1, 0, 0), g.SimColours()[3] | 0xff000000u) << "the chosen colour at one pixel a cell";
    FormToolBarSim->MnuFarbenOriginal->trigger();
    EXPECT_EQ(g.SimColours()[33], original);
    EXPECT_EQ(Pixel(1, 1, 0, 0), original | 0xff000000u);
    g.SetCellSize(4);
    EXPECT_EQ(Pixel(1, 1, 0, 0), original | 0xff000000u);
}

}  // namespace

TEST_F(GTestWindowTest, ANewProgramClosesOnlyAShownSimulation)
{
    ASSERT_TRUE(Compile("nested.Skx"));
    MnuGTestClick();
    TFormGTestZorit& g = *G_Test;
    ASSERT_EQ(g.Run().mode(), GTestRunState::Ended);

    // Shown and ended: the new program closes it and frees the items.
    CloseSimulationWindow(&g);
    EXPECT_FALSE(g.isVisible());
    EXPECT_EQ(g.Run().mode(), GTestRunState::Created);
    EXPECT_TRUE(A("MnuGTest")->isEnabled());

    // Put away before: the program test that is open keeps the items off.
    MnuPTestClick();
    ASSERT_FALSE(A("MnuGTest")->isEnabled());
    CloseSimulationWindow(&g);
    for (const char* name : {"MnuGTest", "MnuPTest", "MnuExportSkrel", "ToolButtonGTest"})
        EXPECT_FALSE(A(name)->isEnabled()) << name;
    EXPECT_EQ(g.Run().mode(), GTestRunState::Created);
    FormPTest->close();
    MnuGTestClick();
    EXPECT_EQ(g.Run().mode(), GTestRunState::Ended) << "the next simulation runs";
    EXPECT_EQ(g.ShownRows(), 24);
}

TEST_F(GTestWindowTest, MarkedRowsGoToTheNextStartUntilANewProgram)
{
    ASSERT_TRUE(Compile("nested.Skx"));
    MnuGTestClick();
    TFormGTestZorit& g = *G_Test;
    g.resize(500, 400);
    g.SetCellSize(4);
    auto click = [&g](int32_t y) {
        g.currentCellX = 2;
        g.currentCellY = y;
        const PictureGeometry geo = g.Geometry(0);
        const QPoint at(geo.CellLeft(2, g.FirstVisibleColumn()) + 1, geo.CellTop(y, g.FirstVisibleRow()) + 1);
        QTest::mouseClick(g.Pane(0)->ShowBild, Qt::LeftButton, {}, at);
    };
    g.ToolButton("ToolButtonTrindelStart")->trigger();
    click(5);
    g.ToolButton("ToolButtonTrindelEnde")->trigger();
    click(10);
    EXPECT_EQ(g.MarkedRows(), (std::pair<uint16_t, uint16_t>{3, 5}));

    const std::string log = TestHome() + "sim.log";
    setenv("VPSIMMOD_LOG", log.c_str(), 1);
    auto initBlock = [&log] {
        std::string last;
        for (const std::string& line : SplitLines(ReadTestFile(log)))
            if (line.rfind("P_DllInit ", 0) == 0)
                last = line.substr(10, 162);
        return last;
    };
    g.close();
    MnuGTestClick();
    ASSERT_EQ(initBlock().size(), 162u);
    EXPECT_EQ(initBlock().substr(2 * 77, 8), "03000500") << "the marks outlive the close";

    g.close();
    P_GTestReset();
    MnuGTestClick();
    unsetenv("VPSIMMOD_LOG");
    EXPECT_EQ(initBlock().substr(2 * 77, 8), "00000000") << "a new program drops them";
}
