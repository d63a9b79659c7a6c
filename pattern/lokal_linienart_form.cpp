#include "pattern/lokal_linienart_form.h"

TLokalLinienart_Form::TLokalLinienart_Form(QWidget* parent) : ToolOptionPopup(ToolOption::LineType, 3, parent) {}
