#include "pattern/lokal_ins_del_form.h"

TLokalInsDel_Form::TLokalInsDel_Form(QWidget* parent) : ToolOptionPopup(ToolOption::InsertDelete, 4, parent) {}
