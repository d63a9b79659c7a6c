#pragma once
// The position panels of the program test window.
#include <string>

#include "check/programcheck.h"

struct PTestPanelTexts {
    std::string s, z, d, sInner, dInner;

    bool operator==(const PTestPanelTexts&) const = default;
};

// "S0001", "Z0001", "0001"; the inner pair only inside a nested sequence.
PTestPanelTexts MakePTestPanelTexts(const T_CheckPosition& p);
