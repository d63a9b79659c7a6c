#pragma once
// The line type pop-up: free, snapped to the slope, staircase.
#include "pattern/tool_option_popup.h"

class TLokalLinienart_Form : public ToolOptionPopup {
    Q_OBJECT
public:
    explicit TLokalLinienart_Form(QWidget* parent = nullptr);
};
