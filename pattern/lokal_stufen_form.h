#pragma once
// The line slope pop-up: sixteen buttons "11" to "44", slope x growing to
// the right, slope y downwards.
#include "pattern/tool_option_popup.h"

class TLokalStufen_Form : public ToolOptionPopup {
    Q_OBJECT
public:
    explicit TLokalStufen_Form(QWidget* parent = nullptr);
};
