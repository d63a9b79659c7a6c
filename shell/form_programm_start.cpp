#include "shell/form_programm_start.h"

#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>

#include "shell/jpeg_decode.h"

TFormProgrammStart* FormProgrammStart = nullptr;

// The shell is a static library: its resources are not found unless
// registered by hand (outside any namespace, as the macro declares).
static void InitShellResources()
{
    Q_INIT_RESOURCE(shell);
}

namespace {

constexpr int StartInterval = 1500;

QImage StartPicture()
{
    InitShellResources();
    QFile file(QStringLiteral(":/shell/start.jpg"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return DecodeJpeg(file.readAll());
}

}  // namespace

TFormProgrammStart::TFormProgrammStart(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("FormProgrammStart"));
    setWindowTitle(QStringLiteral("ZORIT Start"));

    const QImage picture = StartPicture();
    image1_ = new QLabel(this);
    image1_->setObjectName(QStringLiteral("Image1"));
    image1_->setPixmap(QPixmap::fromImage(picture));
    image1_->setGeometry(0, 0, picture.width(), picture.height());
    setFixedSize(picture.size());
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(0, 0), picture.size());
        frame.moveCenter(screen->geometry().center());
        move(frame.topLeft());
    }

    timerStart_ = new QTimer(this);
    timerStart_->setObjectName(QStringLiteral("TimerStart"));
    timerStart_->setSingleShot(true);
    timerStart_->setInterval(StartInterval);
    connect(timerStart_, &QTimer::timeout, this, &TFormProgrammStart::TimerStartTimer);
    timerStart_->start();
}

TFormProgrammStart::~TFormProgrammStart()
{
    if (FormProgrammStart == this)
        FormProgrammStart = nullptr;
}

void TFormProgrammStart::MainPainted()
{
    state_.mainPainted();
    Follow();
}

void TFormProgrammStart::TimerStartTimer()
{
    timerStart_->stop();
    state_.tick();
    Follow();
}

void TFormProgrammStart::Follow()
{
    if (state_.up() || gone_)
        return;
    gone_ = true;
    setObjectName(QString());
    hide();
    deleteLater();
}
