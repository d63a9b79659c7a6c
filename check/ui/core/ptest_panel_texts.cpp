#include "check/ui/core/ptest_panel_texts.h"

#include "kernel/services/services.h"

PTestPanelTexts MakePTestPanelTexts(const T_CheckPosition& p)
{
    PTestPanelTexts t;
    t.s = "S" + F_ZeroPadNum(p.sLine, 4);
    t.z = "Z" + F_ZeroPadNum(p.zRow, 4);
    t.d = F_ZeroPadNum(p.rowRepeat, 4);
    if (p.parentSLine != 0) {
        t.sInner = "S" + F_ZeroPadNum(p.parentSLine, 4);
        t.dInner = F_ZeroPadNum(p.seqRepeat, 4);
    }
    return t;
}
