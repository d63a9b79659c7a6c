#include "pattern/lokal_linien_staerke_form.h"

TLokalLinienStaerke_Form::TLokalLinienStaerke_Form(QWidget* parent) : ToolOptionPopup(ToolOption::LineWidth, 4, parent) {}
