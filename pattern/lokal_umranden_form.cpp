#include "pattern/lokal_umranden_form.h"

TLokalUmranden_Form::TLokalUmranden_Form(QWidget* parent) : ToolOptionPopup(ToolOption::Outline, 5, parent) {}
