#pragma once
// A text editor whose block and insert dialogs offer script files.
#include "textedit/form_text_edit.h"

class TFormTextEditSkrel : public TFormTextEdit {
    Q_OBJECT
public:
    using TFormTextEdit::TFormTextEdit;
    void SetOpenSaveVar() override;
};
