#pragma once
// The insert/delete pop-up: inserting above, deleting below; columns or
// rows, in the picture or within the motif.
#include "pattern/tool_option_popup.h"

class TLokalInsDel_Form : public ToolOptionPopup {
    Q_OBJECT
public:
    explicit TLokalInsDel_Form(QWidget* parent = nullptr);
};
