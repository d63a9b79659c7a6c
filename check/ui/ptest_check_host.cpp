#include "check/ui/ptest_check_host.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include "check/rules/checkstate.h"
#include "check/ui/wait_loop.h"

PTestCheckHost::PTestCheckHost(T_CheckPosition& strokePosition) : strokePosition_(strokePosition)
{
    SetCheckHost(this);
}

PTestCheckHost::~PTestCheckHost()
{
    SetCheckHost(nullptr);
}

void PTestCheckHost::processEvents()
{
    strokePosition_ = CheckPosition;
    if (pace_.Due())
        QCoreApplication::processEvents();
}

void PTestCheckHost::waitForContinue()
{
    strokePosition_ = CheckPosition;
    WaitLoop([] { return CheckState.continueFlag != 0 || CheckState.userAbort != 0; });
    pace_.Reset();
}
