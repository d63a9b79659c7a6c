#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QWheelEvent>
#include <QtTest/QTest>
#include <memory>

#include "kernel/ui/my_hint_window.h"
#include "picture/frame_bild_kk.h"
#include "picture/mal_status_bar.h"
#include "picture/my_scroll_bar.h"
#include "picture/pane_paint_box.h"
#include "tests/support/qt/test_picture_window.h"

namespace {

struct Cell {
    int x, y, button;
    bool operator==(const Cell&) const = default;
};

// A shown window with pane 0 of the given size; every CellEvent recorded.
struct Window {
    std::unique_ptr<TestPictureWindow> w = std::make_unique<TestPictureWindow>();
    std::vector<Cell> cells;

    Window(int width, int height, int paneWidth, int paneHeight, int cell = 1)
    {
        w->pointerPosition = [] { return QPoint(-5000, -5000); };
        w->SetPictureWidth(static_cast<uint16_t>(width));
        w->SetPictureHeight(static_cast<uint16_t>(height));
        w->setMinimumSize(1, 1);
        w->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(w.get()));
        const QSize box = Box()->size();
        w->resize(w->width() + paneWidth - box.width(), w->height() + paneHeight - box.height());
        QApplication::processEvents();
        EXPECT_EQ(Box()->size(), QSize(paneWidth, paneHeight));
        if (cell > 1)
            w->SetCellSize(static_cast<uint8_t>(cell));
        w->onCell = [this] { cells.push_back({w->currentCellX, w->currentCellY, w->buttonState}); };
    }
    PanePaintBox* Box() const { return w->Pane(0)->ShowBild; }
    void Move(QPoint at)
    {
        QMouseEvent e(QEvent::MouseMove, at, Box()->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(Box(), &e);
    }
    QImage Grab() const { return Box()->grab().toImage().convertToFormat(QImage::Format_RGB32); }
    void Wheel(int delta, Qt::KeyboardModifiers modifiers = {})
    {
        QWheelEvent e(QPointF(10, 10), Box()->mapToGlobal(QPointF(10, 10)), QPoint(), QPoint(0, delta), Qt::NoButton,
                      modifiers, Qt::NoScrollPhase, false);
        // A wheel event from the system travels up from the paint box.
        QApplication::sendEvent(w.get(), &e);
    }
};

TEST(PictureInputWindow, PressAndReleaseReachTheWindowWithTheirButtons)
{
    Window t(50, 40, 200, 160, 4);
    struct Case {
        Qt::MouseButton button;
        Qt::KeyboardModifiers modifiers;
        int state;
    } cases[] = {{Qt::LeftButton, {}, 1}, {Qt::LeftButton, Qt::ControlModifier, 3}, {Qt::RightButton, {}, 2},
                 {Qt::MiddleButton, {}, 3}};
    for (const Case& c : cases) {
        t.cells.clear();
        QTest::mousePress(t.Box(), c.button, c.modifiers, QPoint(9, 150));
        QTest::mouseRelease(t.Box(), c.button, c.modifiers, QPoint(9, 150));
        EXPECT_EQ(t.cells, (std::vector<Cell>{{3, 3, c.state}, {3, 3, 0}})) << c.state;
    }
    // A wider pane than the picture reports cells past the width.
    Window wide(10, 40, 200, 160, 4);
    wide.Move(QPoint(100, 150));
    ASSERT_FALSE(wide.cells.empty());
    EXPECT_EQ(wide.cells.back(), (Cell{26, 3, 0}));
}

TEST(PictureInputWindow, WheelScrollsAThirdOfAPagePerNotch)
{
    Window t(30, 1000, 30, 200);
    EXPECT_EQ(t.w->StatusBar->StatusText(0), "1:1");
    t.Wheel(120);
    EXPECT_EQ(t.w->StatusBar->StatusText(0), "1:67");
    t.Wheel(-120);
    EXPECT_EQ(t.w->StatusBar->StatusText(0), "1:1");
    t.Wheel(0);
    EXPECT_EQ(t.w->wheelDivisor, 120);
    t.Wheel(40);
    EXPECT_EQ(t.w->StatusBar->StatusText(0), "1:67");
    t.Wheel(120);
    EXPECT_EQ(t.w->StatusBar->StatusText(0), "1:265");
}

TEST(PictureInputWindow, ClaimedKeysNeverReachTheMenus)
{
    Window t(50, 40, 200, 160, 4);
    t.w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(t.w.get()));
    int fired = 0;
    std::vector<QAction*> actions;
    for (const QKeySequence& key : {QKeySequence(Qt::Key_Tab), QKeySequence(Qt::Key_F3),
                                    QKeySequence(Qt::CTRL | Qt::Key_Left), QKeySequence(Qt::CTRL | Qt::Key_F6)}) {
        auto* a = new QAction(t.w.get());
        a->setShortcut(key);
        a->setShortcutContext(Qt::ApplicationShortcut);
        QObject::connect(a, &QAction::triggered, [&fired] { ++fired; });
        t.w->addAction(a);
    }
    QTest::keyClick(t.w.get(), Qt::Key_Tab);
    QTest::keyClick(t.w.get(), Qt::Key_F3);
    QTest::keyClick(t.w.get(), Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(fired, 0);
    EXPECT_TRUE(t.w->keyboardCursor);
    QTest::keyClick(t.w.get(), Qt::Key_F6, Qt::ControlModifier);
    EXPECT_EQ(fired, 1);
}

TEST(PictureInputWindow, ScrollingByAColumnDrawsOnlyTheNewColumn)
{
    Window moved(200, 50, 400, 200, 4);
    std::vector<int> columns;
    QObject::connect(moved.w.get(), &TFormBildKK::bandRendered, [&](int, int, int c, int) { columns.push_back(c); });
    moved.w->activateWindow();
    QTest::keyClick(moved.w.get(), Qt::Key_Right);
    EXPECT_EQ(columns, std::vector<int>{1});
    Window jumped(200, 50, 400, 200, 4);
    jumped.w->Pane(0)->HorScrollBar->setValue(2);
    EXPECT_EQ(moved.Grab(), jumped.Grab());
}

TEST(PictureInputWindow, AutoScrollAfterASecondAtTheEdge)
{
    Window t(2000, 100, 400, 200, 4);
    int64_t now = 0;
    QPoint pointer(390, 100);
    t.w->clock = [&] { return now; };
    t.w->pointerPosition = [&] { return t.Box()->mapToGlobal(pointer); };
    QTest::mousePress(t.Box(), Qt::LeftButton, {}, pointer);
    QScrollBar* bar = t.w->Pane(0)->HorScrollBar;
    std::vector<int> positions;
    for (; now <= 1000; now += 50) {
        t.w->CursorInsideTest();
        EXPECT_EQ(bar->value(), 1) << now;
    }
    for (int i = 0; i < 12; ++i, now += 50) {
        t.w->CursorInsideTest();
        positions.push_back(bar->value());
    }
    EXPECT_EQ(positions, (std::vector<int>{2, 4, 7, 11, 16, 22, 29, 37, 46, 56, 66, 76}));
    QTest::mouseRelease(t.Box(), Qt::LeftButton, {}, pointer);
    t.w->CursorInsideTest();
    EXPECT_EQ(bar->value(), 76);
    // Leaving the pane ends the tracking and tells the window.
    t.cells.clear();
    pointer = QPoint(-20, 100);
    t.w->CursorInsideTest();
    EXPECT_EQ(t.w->mouseTracking, 0);
    EXPECT_EQ(t.cells.size(), 1u);
}

TEST(PictureInputWindow, MarkedRangeCrosshairAndFrameOverlays)
{
    Window t(10, 10, 100, 100, 10);
    const QRgb mark = t.w->Palette().Argb()[207], cross = t.w->Palette().Argb()[206];
    t.w->SetMarkedRange(6, 4, 3, 2);
    EXPECT_EQ(t.w->StatusBar->StatusText(2), "4:3");
    QImage shot = t.Grab();
    EXPECT_EQ(shot.pixel(20, 70), mark);
    EXPECT_EQ(shot.pixel(40, 59), mark);
    EXPECT_NE(shot.pixel(40, 70), mark);
    t.w->SetMarkedRange(-1, -1, -1, -1);
    EXPECT_EQ(t.w->StatusBar->StatusText(2), "");
    shot = t.Grab();
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x)
            ASSERT_NE(shot.pixel(x, y), mark) << x << "," << y;
    t.w->CrosshairOn();
    t.w->DrawCrosshair(33, 44);
    shot = t.Grab();
    EXPECT_EQ(shot.pixel(90, 44), cross);
    EXPECT_EQ(shot.pixel(33, 5), cross);
    t.w->DrawCrosshair(-1, -1);
    EXPECT_NE(t.Grab().pixel(90, 44), cross);
    t.w->FeedbackBegin();
    t.w->FeedbackFrame(0, 2, 2, 3, 3);
    t.w->FeedbackShowAndDrop();
    const QRgb frame = t.w->Palette().Argb()[205];
    EXPECT_EQ(t.Grab().pixel(10, 85), frame);
    t.w->FeedbackBegin();
    t.w->FeedbackWipe();
    EXPECT_NE(t.Grab().pixel(10, 85), frame);
    t.w->FeedbackEnd();
}

TEST(PictureInputWindow, ZoomBarPlacesTheChosenStep)
{
    Window t(2000, 1000, 800, 600);
    t.w->EnableZoomBar(0);
    EXPECT_EQ(t.w->PanelZoomGrund->width(), 0);
    t.w->EnableZoomBar(16);
    t.w->EnableZoomBar(8);
    EXPECT_EQ(t.w->ZoomPanelCount(), 16);
    EXPECT_EQ(t.w->PanelZoomGrund->width(), 18);
    t.w->setToolTip("before");
    QLabel* four = t.w->ZoomPanel(3);
    QTest::mouseRelease(four, Qt::LeftButton, {}, four->rect().center());
    EXPECT_TRUE(t.w->ZoomPending());
    EXPECT_EQ(t.w->toolTip(), "Zoom \u00e4ndern");
    EXPECT_EQ(t.w->TargetColumns(), t.Box()->width() / 4);
    QTest::mousePress(t.Box(), Qt::LeftButton, {}, QPoint(300, 100));
    EXPECT_FALSE(t.w->ZoomPending());
    EXPECT_EQ(t.w->cellWidth, 4);
    EXPECT_EQ(t.w->toolTip(), "before");
    EXPECT_EQ(four->palette().color(QPalette::Window), QColor(255, 255, 0));
}

TEST(PictureInputWindow, CellHintBesideThePointer)
{
    Window t(50, 40, 200, 160, 4);
    t.w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(t.w.get()));
    t.Move(QPoint(20, 30));
    t.w->ShowCellHint("Zelle");
    QTRY_VERIFY(t.w->HintWindow->isVisible());
    EXPECT_EQ(t.w->HintWindow->Caption(), "Zelle");
    EXPECT_EQ(t.w->HintWindow->pos(), t.Box()->mapToGlobal(QPoint(36, 46)));
    t.w->ShowCellHint("");
    EXPECT_FALSE(t.w->HintWindow->isVisible());
}

}  // namespace
