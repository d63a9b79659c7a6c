#pragma once
// The line width pop-up: brushes of one to four cells.
#include "pattern/tool_option_popup.h"

class TLokalLinienStaerke_Form : public ToolOptionPopup {
    Q_OBJECT
public:
    explicit TLokalLinienStaerke_Form(QWidget* parent = nullptr);
};
