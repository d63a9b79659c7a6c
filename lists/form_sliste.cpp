#include "lists/form_sliste.h"

#include "lists/list_forms.h"

TFormSListe* FormSListe = nullptr;

TFormSListe::TFormSListe(QWidget* parent) : TFormListe(parent)
{
    SetCore(std::make_unique<SListeCore>(*this));
}

void P_ShowSListe(int icon)
{
    P_Sichtbar("S_Liste", ListIcon(icon), FormSListe);
}
