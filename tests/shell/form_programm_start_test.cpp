// The start window: its picture pixel for pixel, its place, and when it goes.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include "shell/form_programm_start.h"
#include "tests/shell/start_picture_util.h"

namespace {

void DeleteLaterNow()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace

TEST(FormProgrammStart, ShowsThePictureFramelessInTheMiddle)
{
    TFormProgrammStart form;
    form.show();
    EXPECT_EQ(form.objectName(), "FormProgrammStart");
    EXPECT_EQ(form.windowTitle(), "ZORIT Start");
    EXPECT_TRUE(form.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(form.windowType(), Qt::SplashScreen);
    EXPECT_EQ(form.size(), QSize(480, 300));
    EXPECT_EQ(form.frameGeometry(), form.geometry());
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_LE(std::abs(form.geometry().center().x() - screen.center().x()), 1);
    EXPECT_LE(std::abs(form.geometry().center().y() - screen.center().y()), 1);
    ASSERT_NE(form.Image1(), nullptr);
    EXPECT_EQ(form.Image1()->objectName(), "Image1");
    EXPECT_EQ(form.Image1()->geometry(), QRect(0, 0, 480, 300));

    const QImage shown = form.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shown, DjpegImage(StartJpegBytes()));

    EXPECT_EQ(form.TimerStart()->objectName(), "TimerStart");
    EXPECT_EQ(form.TimerStart()->interval(), 1500);
    EXPECT_TRUE(form.TimerStart()->isSingleShot());
    EXPECT_TRUE(form.TimerStart()->isActive());
}

TEST(FormProgrammStart, TwoPaintsOfTheMainWindowEndIt)
{
    auto* form = new TFormProgrammStart;
    FormProgrammStart = form;
    QPointer<TFormProgrammStart> alive(form);
    form->show();
    form->MainPainted();
    EXPECT_TRUE(form->isVisible());
    form->MainPainted();
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(form->objectName().isEmpty());
    form->MainPainted();
    DeleteLaterNow();
    EXPECT_TRUE(alive.isNull());
    EXPECT_EQ(FormProgrammStart, nullptr);
}

TEST(FormProgrammStart, TimerThenPaintEndsIt)
{
    auto* form = new TFormProgrammStart;
    QPointer<TFormProgrammStart> alive(form);
    form->show();
    form->TimerStart()->start(1);
    QTRY_VERIFY(!form->TimerStart()->isActive());
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(form->State().up());
    form->MainPainted();
    EXPECT_FALSE(form->isVisible());
    DeleteLaterNow();
    EXPECT_TRUE(alive.isNull());
}

TEST(FormProgrammStart, ClearsOnlyItsOwnGlobal)
{
    TFormProgrammStart other;
    {
        TFormProgrammStart form;
        FormProgrammStart = &other;
    }
    EXPECT_EQ(FormProgrammStart, &other);
    FormProgrammStart = nullptr;
}
