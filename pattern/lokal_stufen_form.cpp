#include "pattern/lokal_stufen_form.h"

TLokalStufen_Form::TLokalStufen_Form(QWidget* parent) : ToolOptionPopup(ToolOption::Slope, 4, parent) {}
