#include "lists/form_aliste.h"

#include "lists/list_forms.h"

TFormAListe* FormAListe = nullptr;

TFormAListe::TFormAListe(QWidget* parent) : TFormListe(parent)
{
    SetCore(std::make_unique<AListeCore>(*this));
}

void P_ShowAListe(int icon)
{
    P_Sichtbar("A_Liste", ListIcon(icon), FormAListe);
}
