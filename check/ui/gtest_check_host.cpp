#include "check/ui/gtest_check_host.h"

#include "check/ui/form_gtest.h"

GTestCheckHost::GTestCheckHost(TFormGTest& window) : window_(window)
{
    SetCheckHost(this);
}

GTestCheckHost::~GTestCheckHost()
{
    SetCheckHost(nullptr);
}

void GTestCheckHost::showNewRows()
{
    window_.P_SimulationAnzeigen(false);
}

bool GTestCheckHost::simRunAborted()
{
    return window_.Run().mode() == GTestRunState::Aborted;
}

void GTestCheckHost::runEnded(bool)
{
    window_.Run().RunEnded();
    window_.P_SimulationAnzeigen(true);
}
