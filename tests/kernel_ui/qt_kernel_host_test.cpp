// The Qt host: messages, the progress box, events and the forwarded calls;
// window icons from an image list.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QTest>
#include <cstring>

#include "kernel/model/globals.h"
#include "kernel/model/programmodel.h"
#include "kernel/pattern/tiffpattern.h"

#include "kernel/ui/form_info4z.h"
#include "kernel/ui/icon.h"
#include "kernel/ui/lan_dialogs.h"
#include "kernel/ui/qt_kernel_host.h"
#include "tests/kernel_ui/ui_test_util.h"
#include "tests/support/test_env.h"

TEST(QtKernelHost, MessagesGoToTheTranslatedDialog)
{
    QtKernelHost host;
    QString title;
    QString text;
    WhenModal([&](QWidget* w) {
        auto* d = qobject_cast<TMessageForm*>(w);
        ASSERT_NE(d, nullptr);
        title = d->windowTitle();
        text = d->MessageLabel()->text();
        QTest::keyClick(d, Qt::Key_Return);
    });
    EXPECT_EQ(host.messageDlg("Datei fehlt \u00fcberall", MsgKind::Error, {MsgButton::OK, MsgButton::Cancel}), mrOk);
    EXPECT_EQ(title, "Fehler");
    EXPECT_EQ(text, "Datei fehlt \u00fcberall");
}

TEST(QtKernelHost, ProgressCallsDriveTheBox)
{
    QtKernelHost host;
    // No box yet: nothing happens.
    host.infoShow("Laden", {"Datei"});
    host.infoLine(1, "x");
    EXPECT_FALSE(host.infoAbortRequested());
    host.infoHide();

    TFormInfo4Z box;
    FormInfo4Z = &box;
    box.Panel(3, 3)->setText("alt");
    host.infoShow("Muster laden", {"Datei", "Zeile"});
    EXPECT_TRUE(box.isVisible());
    EXPECT_EQ(box.windowTitle(), "Muster laden");
    EXPECT_EQ(box.Panel(1, 1)->text(), "Datei");
    EXPECT_EQ(box.Panel(1, 2)->text(), "Zeile");
    EXPECT_EQ(box.Panel(1, 3)->text(), "");
    EXPECT_EQ(box.Panel(3, 3)->text(), "");
    host.infoLine(2, "17 von 20");
    EXPECT_EQ(box.Panel(3, 2)->text(), "17 von 20");
    EXPECT_FALSE(host.infoAbortRequested());
    QTest::keyClick(&box, Qt::Key_Escape);
    EXPECT_TRUE(host.infoAbortRequested());
    host.infoHide();
    EXPECT_FALSE(box.isVisible());
    FormInfo4Z = nullptr;
}

TEST(QtKernelHost, ProcessEventsAndForwardedCalls)
{
    QtKernelHost host;
    bool delivered = false;
    QMetaObject::invokeMethod(QCoreApplication::instance(), [&] { delivered = true; }, Qt::QueuedConnection);
    host.processEvents();
    EXPECT_TRUE(delivered);

    // Without handlers the calls are harmless.
    host.statusText("x");
    host.closeProgramWindows();
    host.setScriptCursor(1, 2);
    EXPECT_EQ(host.scriptText(), "");

    std::string status;
    int closes = 0;
    int line = 0, column = 0;
    host.onStatusText = [&](const std::string& s) { status = s; };
    host.onCloseProgramWindows = [&] { ++closes; };
    host.onScriptText = [] { return std::string("SKRIPT"); };
    host.onSetScriptCursor = [&](int l, int c) {
        line = l;
        column = c;
    };
    host.statusText("Bereit");
    host.closeProgramWindows();
    host.setScriptCursor(3, 7);
    EXPECT_EQ(status, "Bereit");
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(host.scriptText(), "SKRIPT");
    EXPECT_EQ(line, 3);
    EXPECT_EQ(column, 7);
}

TEST(GetIcon, ImageOfTheListOrNone)
{
    QList<QPixmap> images;
    for (QColor c : {QColor(Qt::red), QColor(Qt::blue)}) {
        QPixmap p(16, 16);
        p.fill(c);
        images << p;
    }
    const QIcon icon = F_GetIcon(images, 1);
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(icon.pixmap(16, 16).toImage().pixelColor(3, 3), QColor(Qt::blue));
    EXPECT_TRUE(F_GetIcon(images, 65535).isNull());
    EXPECT_TRUE(F_GetIcon(images, 2).isNull());
    EXPECT_TRUE(F_GetIcon(images, -1).isNull());
}

// Esc pressed while a big pattern loads stops the load within a frame of
// the key, though the box shows only once a frame.
TEST(QtKernelHost, EscDuringALongPatternLoadStopsIt)
{
    constexpr uint16_t kWidth = 2000;
    constexpr uint16_t kHeight = 3000;
    ProgrammKopf.SetWidth(kWidth);
    ProgrammKopf.SetHeight(kHeight);
    T_Patrone* plane = PatternPlane(0);
    plane->allocate(kHeight);
    for (size_t row = 1; row <= kHeight; ++row)
        std::memset(plane->rows.data() + row * kPatternStride, int(1 + row % 7), kWidth);
    const std::string file = TestHome() + "big.TIF";
    ASSERT_TRUE(WriteTiffPattern(true, file, 0, true, true));

    QtKernelHost host;
    setKernelHost(&host);
    TFormInfo4Z box;
    FormInfo4Z = &box;
    Fernsteuerung = true;  // no message at the end: the test is not there to answer it
    // A millisecond a new text; the key comes with the 200th.
    int64_t now = 0;
    int calls = 0;
    box.SetFrameClock([&] {
        if (++calls == 200)
            QCoreApplication::postEvent(&box, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
        return ++now;
    });
    ProgrammKopf.SetWidth(0);
    ProgrammKopf.SetHeight(0);
    EXPECT_FALSE(ReadTiffPattern(file, false, 0));
    EXPECT_FALSE(box.isVisible());
    // Three lines before the rows, then a row a text: the key came at row
    // kHeight - 196; a frame and the rest of a strip of four rows later the
    // load stands.
    const int last = box.InfoLine(4).toInt();
    EXPECT_GT(last, kHeight - 196 - int(FramePace::kFrameMs) - 4);
    EXPECT_LE(last, kHeight - 196);
    // The rows below were not read.
    EXPECT_EQ(plane->rows[1 * kPatternStride], 0);
    setKernelHost(nullptr);
    FormInfo4Z = nullptr;
}
