#include "textedit/form_text_edit_skrel.h"

#include "kernel/language/language.h"

void TFormTextEditSkrel::SetOpenSaveVar()
{
    TFormTextEdit::SetOpenSaveVar();
    T_OpenSaveVar& v = OpenSaveVar();
    v.DefaultExt = ".Skx";
    v.FilterIndex = 3;
    v.Filter += F_TRANS("Skrel-Script") + " (*.Skx)|*.Skx|";
}
