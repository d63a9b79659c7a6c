#pragma once
// The outline pop-up: all four sides, or below, above, right of or left of
// a protected colour.
#include "pattern/tool_option_popup.h"

class TLokalUmranden_Form : public ToolOptionPopup {
    Q_OBJECT
public:
    explicit TLokalUmranden_Form(QWidget* parent = nullptr);
};
