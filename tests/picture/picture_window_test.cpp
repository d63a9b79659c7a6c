#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QtTest/QTest>
#include <QtTest/qtestspontaneevent.h>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "kernel/ui/forms.h"
#include "kernel/ui/shell_values.h"
#include "picture/frame_bild_kk.h"
#include "picture/mal_status_bar.h"
#include "picture/my_scroll_bar.h"
#include "picture/pane_paint_box.h"
#include "picture/pane_splitter.h"
#include "platform/ini_profile.h"
#include "tests/support/qt/test_picture_window.h"
#include "tests/support/test_env.h"

namespace {

std::unique_ptr<TestPictureWindow> ShownWindow(const std::string& iniKey = {})
{
    auto w = std::make_unique<TestPictureWindow>(iniKey);
    w->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    return w;
}

// Gives pane 0's paint box the size asked for.
void SetPaneSize(TFormBildKK& w, int width, int height)
{
    const QSize box = w.Pane(0)->ShowBild->size();
    w.resize(w.width() + width - box.width(), w.height() + height - box.height());
    QApplication::processEvents();
    ASSERT_EQ(w.Pane(0)->ShowBild->size(), QSize(width, height));
}

void RightRelease(QWidget* target, QPoint at)
{
    QTest::mouseRelease(target, Qt::RightButton, {}, at);
}

TEST(PictureWindow, NewWindow)
{
    auto w = ShownWindow();
    EXPECT_EQ(w->PaneCount(), 1);
    EXPECT_EQ(w->Levels().States(), std::vector<uint8_t>{3});
    EXPECT_EQ(w->Levels().CurrentLevel(), 1);
    EXPECT_EQ(w->Levels().ReferenceLevel(), 255);
    EXPECT_EQ(w->PictureWidth(), 1000);
    EXPECT_EQ(w->PictureHeight(), 1000);
    EXPECT_EQ(w->cellWidth, 1);
    EXPECT_EQ(w->cellHeight, 1);
    EXPECT_EQ(w->zoomStepCount, 0);
    EXPECT_EQ(w->wheelDivisor, 65534);
    EXPECT_EQ(w->gridPeriod, 10);
    EXPECT_EQ(w->bottomAnchored, 1);
    EXPECT_EQ(w->closeAllowed, 1);
    EXPECT_EQ(w->splittingAllowed, 1);
    EXPECT_TRUE(w->workBitmapFile.empty());
    EXPECT_EQ(w->windowTitle(), " ");
    EXPECT_EQ(w->minimumSize(), QSize(100, 100));
    // Every value shows blank until a symbol text is given.
    for (const Glyph* g : w->Glyphs())
        ASSERT_EQ(g, &SymbolGlyphs()[0]);

    // The components by name, left to right, and registered as a picture window.
    for (const char* name : {"PanelToolBar", "PanelRegisterGrund", "PanelHintergrund", "PanelVerScrollBar",
                             "PanelVerScrollBarBottom", "PanelZoomGrund", "PanelHintergrundMalStatusBar",
                             "PanelContainerButton", "MalStatusBar", "Frame_0", "SplitterSenk", "ShowBild",
                             "PanelHorScrollBar", "TimerCursorInsideTest", "TimerHint"})
        EXPECT_NE(w->findChild<QObject*>(name), nullptr) << name;
    EXPECT_EQ(w->PanelZoomGrund->property("Tag").toInt(), 18);
    EXPECT_EQ(w->PanelVerScrollBar->width(), 17);
    EXPECT_EQ(w->PanelVerScrollBar->geometry().right() + 1, w->width());
    EXPECT_EQ(w->PanelHintergrundMalStatusBar->height(), 18);
    EXPECT_EQ(w->Pane(0)->HorScrollBar->toolTip(), "\"RT\": Bildschirm teilen");
    EXPECT_EQ(w->Pane(0)->HorScrollBar->property("Tag").toInt(), 0);
    EXPECT_EQ(w->Pane(0)->HorScrollBar->focusPolicy(), Qt::NoFocus);
    bool registered = false;
    for (const FormEntry& f : Forms())
        registered |= f.form == w.get() && f.role == FormRole::Picture;
    EXPECT_TRUE(registered);

    w->zoomFactor = 1.5;
    w->SetCellSize(3);
    EXPECT_EQ(w->cellWidth, 3);
    EXPECT_EQ(w->cellHeight, 4);
    w->ShowViewOrigin(11, 22);
    EXPECT_EQ(w->StatusBar->StatusText(0), "11:22");
}

TEST(PictureWindow, SplitAndJoinWithTheRightButton)
{
    auto w = ShownWindow();
    SetPaneSize(*w, 600, 400);
    std::vector<std::vector<int>> seen;
    QObject::connect(w.get(), &TFormBildKK::panesChanged, [&] { seen.push_back(w->Panes().Widths()); });
    T_MyScrollBar* bar = w->Pane(0)->HorScrollBar;
    RightRelease(bar, {20, 8});
    RightRelease(bar, {580, 8});
    w->splittingAllowed = 0;
    RightRelease(bar, {200, 8});
    EXPECT_TRUE(seen.empty());
    w->splittingAllowed = 1;
    RightRelease(bar, {200, 8});
    ASSERT_EQ(w->PaneCount(), 2);
    EXPECT_EQ(w->Panes().Widths(), (std::vector<int>{195, 405}));
    EXPECT_EQ(w->Pane(0)->width(), 195);
    EXPECT_EQ(w->Pane(0)->ShowBild->width(), 190);
    EXPECT_EQ(w->Pane(1)->objectName(), "Frame_1");
    EXPECT_EQ(w->Pane(1)->HorScrollBar->property("Tag").toInt(), 1);
    EXPECT_FALSE(w->Pane(1)->SplitterSenk->isVisible());
    EXPECT_EQ(w->WidestPane(), 1);
    w->ShowViewOrigin(11, 22);
    EXPECT_EQ(w->StatusBar->StatusText(0), ":22");

    // Dragging the splitter gives the width to the next pane.
    PaneSplitter* splitter = w->Pane(0)->SplitterSenk;
    QTest::mousePress(splitter, Qt::LeftButton, {}, {2, 20});
    QTest::mouseMove(splitter, {12, 20});
    QTest::mouseRelease(splitter, Qt::LeftButton, {}, {12, 20});
    EXPECT_EQ(w->Panes().Widths(), (std::vector<int>{205, 395}));

    RightRelease(w->Pane(0)->SplitterSenk, {2, 20});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(w->PaneCount(), 1);
    EXPECT_EQ(w->Panes().Widths(), std::vector<int>{600});
    EXPECT_EQ(w->Pane(0)->objectName(), "Frame_0");
    EXPECT_EQ(w->minimumWidth(), 30 + 17);
    EXPECT_EQ(w->findChildren<TFrameBildKK*>().size(), 1);
}

struct TabCase {
    const char* states;
    std::bitset<256> exclusive;
    std::vector<std::pair<int, Qt::MouseButton>> clicks;
    std::vector<uint8_t> after;
    uint16_t current;
    uint16_t reference;
};

std::unique_ptr<TestPictureWindow> TabWindow(std::vector<uint8_t> states, std::bitset<256> exclusive = {})
{
    auto w = ShownWindow();
    w->BuildLevelTabs({"A", "B", "C"}, {-25, -25, -25}, states, exclusive);
    return w;
}

TEST(PictureWindow, LevelTabsFollowClicks)
{
    const TabCase cases[] = {
        {"311", {}, {{1, Qt::LeftButton}}, {3, 2, 1}, 1, 2},
        {"311", {}, {{1, Qt::LeftButton}, {1, Qt::LeftButton}}, {2, 3, 1}, 2, 1},
        {"311", {}, {{1, Qt::LeftButton}, {1, Qt::LeftButton}, {0, Qt::RightButton}}, {1, 3, 1}, 2, 255},
        {"311",
         {},
         {{1, Qt::LeftButton}, {1, Qt::LeftButton}, {0, Qt::RightButton}, {2, Qt::RightButton}},
         {1, 2, 3},
         3,
         2},
        {"311", std::bitset<256>("11"), {{1, Qt::LeftButton}}, {1, 3, 1}, 2, 255},
        {"011", {}, {}, {0, 1, 1}, 0, 255},
    };
    for (const TabCase& c : cases) {
        std::vector<uint8_t> states;
        for (const char* s = c.states; *s; ++s)
            states.push_back(static_cast<uint8_t>(*s - '0'));
        auto w = TabWindow(states, c.exclusive);
        for (const auto& [tab, button] : c.clicks)
            QTest::mouseClick(w->LevelTab(tab), button);
        EXPECT_EQ(w->Levels().States(), c.after) << c.states;
        EXPECT_EQ(w->Levels().CurrentLevel(), c.current) << c.states;
        EXPECT_EQ(w->Levels().ReferenceLevel(), c.reference) << c.states;
    }
}

TEST(PictureWindow, LevelTabsLookAndDoubleClick)
{
    auto w = TabWindow({3, 2, 1});
    EXPECT_EQ(w->PanelRegisterGrund->height(), 30);
    QLabel* a = w->LevelTab(0);
    QLabel* b = w->LevelTab(1);
    QLabel* c = w->LevelTab(2);
    EXPECT_EQ(a->property("Tag").toInt(), 0);
    EXPECT_EQ(c->property("Tag").toInt(), 2);
    EXPECT_EQ(a->toolTip(), QString::fromUtf8("\"LT\": Ebene Stufe h\u00f6her\n\"RT\": Ebene ein oder aus"));
    EXPECT_EQ(a->x(), 5);
    QFont bold = w->PanelRegisterGrund->font();
    bold.setBold(true);
    EXPECT_EQ(a->width(), QFontMetrics(bold).horizontalAdvance("A") + 25);
    EXPECT_EQ(b->x(), 5 + a->width() + 1);
    EXPECT_EQ(a->geometry(), QRect(a->x(), 0, a->width(), 30));
    EXPECT_EQ(b->y(), 2);
    EXPECT_EQ(b->height(), 28);
    EXPECT_EQ(c->y(), 6);
    EXPECT_TRUE(a->font().bold());
    EXPECT_FALSE(c->font().bold());
    const QImage shot = w->grab().toImage();
    const QPoint inA = a->mapTo(w.get(), QPoint(4, 4));
    const QPoint inB = b->mapTo(w.get(), QPoint(4, 4));
    EXPECT_EQ(shot.pixelColor(inA), QColor(255, 255, 0));
    EXPECT_EQ(shot.pixelColor(inB), QColor(255, 255, 160));

    // A second set of tabs, or none, changes nothing.
    w->BuildLevelTabs({"X"}, {40}, {3}, {});
    w->BuildLevelTabs({}, {}, {}, {});
    EXPECT_EQ(w->Levels().TabCount(), 3);

    QTest::mouseDClick(c, Qt::LeftButton);
    EXPECT_EQ(w->Levels().States(), (std::vector<uint8_t>{1, 1, 3}));
    EXPECT_EQ(w->Levels().CurrentLevel(), 3);
    EXPECT_EQ(w->Levels().ReferenceLevel(), 255);
}

TEST(PictureWindow, CloseOnlyWhenAllowed)
{
    auto w = ShownWindow();
    w->closeAllowed = 0;
    EXPECT_FALSE(w->close());
    EXPECT_TRUE(w->isVisible());
    w->closeAllowed = 1;
    EXPECT_TRUE(w->close());
    EXPECT_FALSE(w->isVisible());
}

TEST(PictureWindow, WorkBitmapOnlyWhenNamed)
{
    const std::string drive = std::getenv("ZORIT_DRIVE_ROOT");
    WriteTestFile(drive + "/Bild.Bmp", "BM");
    WriteTestFile(TestHome() + "Temp/Clip.bmp", "BM");
    ShownWindow().reset();
    EXPECT_TRUE(std::filesystem::exists(drive + "/Bild.Bmp"));
    auto w = ShownWindow();
    w->workBitmapFile = TestHome() + "Temp/Clip.bmp";
    w.reset();
    EXPECT_FALSE(std::filesystem::exists(TestHome() + "Temp/Clip.bmp"));
}

TEST(PictureWindow, PlacementReadAndWritten)
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    IniProfile ini(TestHome() + "Zorit.INI");
    ini.WriteString("Windows", "Probe", "X     40  5000   300   200  0");
    ini.WriteString("Windows", "Bad", "X   abcd     0   300   200  0");
    {
        auto w = ShownWindow("Probe");
        EXPECT_EQ(w->pos(), QPoint(40, screen.height() - 50));
        EXPECT_EQ(w->size(), QSize(300, 200));
        w->move(60, 70);
        w->resize(320, 210);
    }
    EXPECT_EQ(ini.ReadString("Windows", "Probe", ""), "X     60    70   320   210  0");
    {
        // A line edited by hand leaves the window where it would open anyway.
        TestPictureWindow plain;
        auto w = ShownWindow("Bad");
        EXPECT_EQ(w->size(), plain.size());
        EXPECT_EQ(w->SavedMonitor(), 0);
        EXPECT_TRUE(w->isVisible());
    }
    {
        // Never placed: below the tool bars at a size to work in.
        const QRect free = QGuiApplication::primaryScreen()->availableGeometry();
        ListWindowLeft = 0;
        ListWindowTop = 90;
        auto w = ShownWindow("New");
        EXPECT_EQ(w->pos(), QPoint(free.left(), std::max(90, free.top())));
        EXPECT_EQ(w->size(), QSize(std::min(800, free.width() * 2 / 3),
                                   std::min(600, (free.bottom() - std::max(90, free.top())) * 2 / 3)));
        ListWindowTop = 0;
    }
    // Without a key nothing is read or written.
    ShownWindow().reset();
    EXPECT_EQ(ini.ReadSectionKeys("Windows"), (std::vector<std::string>{"Probe", "Bad", "New"}));
}

// As the window system moves a window: the widget's place, then a
// spontaneous move event.
void MoveAsTheWindowSystem(QWidget& w, QPoint to)
{
    const QPoint from = w.pos();
    w.move(to);
    w.setAttribute(Qt::WA_PendingMoveEvent, false);
    QMoveEvent event(to, from);
    QSpontaneKeyEvent::setSpontaneous(&event);
    // Not sendEvent: that makes every event one of the program's own.
    qApp->notify(&w, &event);
}

// A window manager letting go of a window the program hid may move it (the
// client where the frame stood): shown again, and in the placement written,
// it is where it was hidden.
TEST(PictureWindow, AHiddenWindowKeepsItsPlace)
{
    IniProfile ini(TestHome() + "Zorit.INI");
    ini.WriteString("Windows", "Probe", "X     60    70   300   200  0");
    {
        auto w = ShownWindow("Probe");
        for (int i = 0; i < 2; ++i) {
            w->hide();
            MoveAsTheWindowSystem(*w, QPoint(30, 40));
            w->show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
            EXPECT_EQ(w->pos(), QPoint(60, 70)) << i;
        }
        w->hide();
        MoveAsTheWindowSystem(*w, QPoint(30, 40));
    }
    EXPECT_EQ(ini.ReadString("Windows", "Probe", ""), "X     60    70   300   200  0");
}

TEST(PictureWindow, MaximumSizeFromMargins)
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    TestPictureWindow w;
    w.SetMaxWidthMargin(100);
    EXPECT_EQ(w.maximumWidth(), screen.width() - 100);
    w.SetMaxWidthMargin(50);
    EXPECT_EQ(w.maximumWidth(), screen.width() - 100);
    w.SetMaxHeightMargin(60);
    EXPECT_EQ(w.maximumHeight(), screen.height() - 60);
}

}  // namespace

// No status panel cuts a number: the first three fit the largest cell
// coordinates of the picture, and a text wider still widens its panel.
TEST(PictureWindow, StatusPanelsHoldTheirLongestText)
{
    auto w = ShownWindow();
    w->SetPictureWidth(2000);
    w->SetPictureHeight(9999);
    MalStatusBar& bar = *w->StatusBar;
    const QFontMetrics m = bar.fontMetrics();
    // The text is drawn 2 px inside the panel's 1 px frame on either side.
    const auto room = [&](int panel) { return bar.PanelRect(panel).width() - 6; };
    for (int panel = 0; panel < 3; ++panel) {
        for (const char* text : {"2000:9999", "1236:9465", "1888:8888"})
            EXPECT_GE(room(panel), m.horizontalAdvance(text)) << panel << " " << text;
    }
    EXPECT_EQ(bar.PanelRect(1).left(), bar.PanelRect(0).right() + 1);
    if (const char* dir = std::getenv("ZORIT_SHOT_DIR")) {
        bar.SetStatusText(0, "1:9999");
        bar.SetStatusText(1, "1236:9465");
        bar.SetStatusText(2, "2000:9999");
        bar.grab().save(QString::fromStdString(std::string(dir) + "/picture_status.png"));
    }

    bar.SetStatusText(1, "123456:1234567");
    EXPECT_GE(room(1), m.horizontalAdvance("123456:1234567"));
    EXPECT_GE(bar.PanelRect(3).width(), 50);

    // A small picture keeps the first widths.
    auto small = ShownWindow();
    small->SetPictureWidth(20);
    small->SetPictureHeight(30);
    EXPECT_EQ(small->StatusBar->PanelWidth(0), 60);
}
