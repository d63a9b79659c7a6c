#include "lists/list_editors.h"

#include "kernel/ui/forms.h"

void P_ResetListEditorRows()
{
    for (const char* name : {"N_Liste", "W_Liste", "S_Liste", "F_Liste", "P_Liste", "A_Liste", "V_Liste"})
        if (auto* form = qobject_cast<TFormListe*>(FindForm(name)))
            form->SetLineCount(1);
}
