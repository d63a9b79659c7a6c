// The four-line progress box: layout, repaint economy, Esc and modality.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include "kernel/ui/form_info4z.h"

namespace {

// Counts the posted events of its own type that reached it.
class EventCounter : public QObject {
public:
    static QEvent::Type Type()
    {
        static const auto t = static_cast<QEvent::Type>(QEvent::registerEventType());
        return t;
    }
    int count = 0;
    bool event(QEvent* e) override
    {
        if (e->type() == Type()) {
            ++count;
            return true;
        }
        return QObject::event(e);
    }
    void Post() { QCoreApplication::postEvent(this, new QEvent(Type())); }
};

}  // namespace

TEST(FormInfo4Z, Layout)
{
    TFormInfo4Z box;
    EXPECT_EQ(box.objectName(), "FormInfo4Z");
    EXPECT_EQ(box.size(), QSize(254, 112));
    EXPECT_TRUE(box.windowFlags().testFlag(Qt::Tool));
    EXPECT_TRUE(box.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    const int rows[] = {8, 32, 56, 80};
    for (int line = 1; line <= 4; ++line) {
        QLabel* caption = box.Panel(1, line);
        QLabel* middle = box.Panel(2, line);
        QLabel* value = box.Panel(3, line);
        ASSERT_TRUE(caption && middle && value);
        EXPECT_EQ(caption->objectName(), QString("Panel1%1").arg(line));
        EXPECT_EQ(value->objectName(), QString("Panel3%1").arg(line));
        EXPECT_EQ(value->mapTo(&box, QPoint(0, 0)).y(), rows[line - 1]);
        EXPECT_EQ(caption->mapTo(&box, QPoint(0, 0)).y(), rows[line - 1]);
        EXPECT_EQ(caption->width(), 90);
        EXPECT_EQ(value->width(), 130);
        EXPECT_LE(caption->geometry().right(), middle->x());
        EXPECT_LE(middle->geometry().right(), value->x());
        EXPECT_LE(value->mapTo(&box, QPoint(value->width(), 0)).x(), 254);
        EXPECT_NE(middle->font().bold(), value->font().bold());
    }
    EXPECT_EQ(box.Panel(0, 1), nullptr);
    EXPECT_EQ(box.Panel(3, 5), nullptr);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_LE(std::abs(box.x() - (screen.width() - 254) / 2), 1);
    EXPECT_LE(std::abs(box.y() - (screen.height() - 112) / 2), 1);
}

// Counts the paints of a widget.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* w) { w->installEventFilter(this); }
    int count = 0;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

TEST(FormInfo4Z, NewTextsShowAtTheDisplaysPace)
{
    TFormInfo4Z box;
    int64_t now = 1000;
    box.SetFrameClock([&now] { return now; });
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    EventCounter passes;
    PaintCounter paints(box.Panel(3, 4));

    // The first text of a shown box shows at once, with one pass.
    passes.Post();
    box.SetInfoLine(2, "abc");
    EXPECT_EQ(box.Panel(3, 2)->text(), "abc");
    EXPECT_EQ(passes.count, 1);
    // The same text again, and lines that do not exist, cost nothing.
    passes.Post();
    box.SetInfoLine(2, "abc");
    box.SetInfoLine(0, "x");
    box.SetInfoLine(5, "x");
    EXPECT_EQ(passes.count, 1);
    for (int line = 1; line <= 4; ++line)
        EXPECT_EQ(box.Panel(3, line)->text(), line == 2 ? "abc" : "") << line;

    // A job counting its rows within one frame: no pass and no paint per
    // row; the whole text is known at once, the panel follows.
    for (int row = 2000; row >= 1; --row)
        box.SetInfoLine(4, QString::number(row));
    EXPECT_EQ(passes.count, 1);
    EXPECT_LE(paints.count, 1);
    EXPECT_EQ(box.InfoLine(4), "1");
    // The box stays up: within a frame or two its last text shows.
    QTRY_COMPARE_WITH_TIMEOUT(box.Panel(3, 4)->text(), QString("1"), 1000);
    EXPECT_EQ(passes.count, 2);
    EXPECT_LE(paints.count, 3);

    // A frame later the next text shows at once, with one pass.
    now += FramePace::kFrameMs;
    passes.Post();
    box.SetInfoLine(4, "17");
    EXPECT_EQ(box.Panel(3, 4)->text(), "17");
    EXPECT_EQ(passes.count, 3);
}

TEST(FormInfo4Z, EscRequestsAbortAndNeverCloses)
{
    TFormInfo4Z box;
    box.show();
    EXPECT_FALSE(box.AbortRequested());
    QTest::keyClick(&box, Qt::Key_Escape);
    EXPECT_TRUE(box.AbortRequested());
    EXPECT_TRUE(box.isVisible());
    // Neither the title-bar close nor a reject closes it.
    EXPECT_FALSE(box.close());
    box.reject();
    EXPECT_TRUE(box.isVisible());
    EXPECT_TRUE(box.AbortRequested());
    box.hide();
    EXPECT_TRUE(box.AbortRequested());
    box.show();
    EXPECT_FALSE(box.AbortRequested());
}

TEST(FormInfo4Z, HidingMakesEveryPanelVisibleAgain)
{
    TFormInfo4Z box;
    box.show();
    box.Panel(3, 4)->hide();
    box.Panel(1, 4)->hide();
    box.Panel(2, 3)->hide();
    auto* back = box.findChild<QWidget*>("Panel1");
    ASSERT_TRUE(back);
    back->hide();
    box.hide();
    box.show();
    EXPECT_TRUE(back->isVisible());
    for (int column = 1; column <= 3; ++column)
        for (int line = 1; line <= 4; ++line)
            EXPECT_TRUE(box.Panel(column, line)->isVisible()) << column << line;
}

TEST(FormInfo4Z, BlocksOtherWindowsWhileShownWithoutItsOwnLoop)
{
    QWidget main;
    main.resize(200, 100);
    auto* start = new QPushButton("Laden", &main);
    start->setGeometry(10, 10, 80, 30);
    int starts = 0;
    QObject::connect(start, &QPushButton::clicked, [&] { ++starts; });
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    // Clicks as the window system delivers them, so that modality applies.
    const auto click = [&] {
        QTest::mouseClick(main.windowHandle(), Qt::LeftButton, {}, QPoint(30, 20));
        QCoreApplication::processEvents();
    };
    click();
    EXPECT_EQ(starts, 1);

    TFormInfo4Z box;
    box.show();  // returns at once: the job goes on
    EXPECT_EQ(QApplication::activeModalWidget(), &box);
    click();
    EXPECT_EQ(starts, 1);
    QTest::keyClick(&box, Qt::Key_Escape);
    EXPECT_TRUE(box.AbortRequested());
    box.hide();
    click();
    EXPECT_EQ(starts, 2);
}
