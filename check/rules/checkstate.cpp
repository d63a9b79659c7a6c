#include "check/rules/checkstate.h"

#include "kernel/language/language.h"

T_CheckState CheckState;

void ResetCheckMessages()
{
    CheckState.abortFlag = 0;
    CheckState.errorCount = 0;
    CheckState.messageActive = 0;
    CheckState.pauseFlag = 0;
    CheckState.sideText = {F_TRANS("vorne"), F_TRANS("hinten")};
}

void CallSink(const T_MeldungProc& sink, const std::string& text)
{
    if (sink)
        sink(text);
}
