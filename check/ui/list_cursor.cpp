#include "check/ui/list_cursor.h"

#include "kernel/ui/forms.h"
#include "lists/form_liste.h"

namespace {
ListCursorRecorder recorder;
}

void MoveListCursor(const QString& form, int line, int field)
{
    if (recorder)
        recorder(form, line, field);
    if (auto* list = dynamic_cast<TFormListe*>(FindForm(form)))
        list->GotoLine(line, field);
}

void SetListCursorRecorder(ListCursorRecorder r)
{
    recorder = std::move(r);
}
