#include "check/ui/wait_loop.h"

#include <QEventLoop>
#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>

#include "kernel/language/language.h"
#include "lists/form_fortschritt.h"

void WaitLoop(const std::function<bool()>& done)
{
    if (done())
        return;
    QEventLoop loop;
    QTimer look;
    look.setInterval(10);
    QObject::connect(&look, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    look.start();
    loop.exec();
}

WaitNote::WaitNote()
{
    if (!FormFortschritt)
        return;
    FormFortschritt->ProgressBar1->hide();
    FormFortschritt->setWindowTitle(QString());
    FormFortschritt->Label1->setText(QString::fromStdString(F_TRANS("Bitte warten")));
    FormFortschritt->show();
    QCoreApplication::processEvents();
}

WaitNote::~WaitNote()
{
    if (!FormFortschritt)
        return;
    FormFortschritt->hide();
    FormFortschritt->ProgressBar1->show();
}
