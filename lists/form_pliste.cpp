#include "lists/form_pliste.h"

#include "lists/list_forms.h"

TFormPListe* FormPListe = nullptr;

TFormPListe::TFormPListe(QWidget* parent) : TFormListe(parent)
{
    SetCore(std::make_unique<PListeCore>(*this));
}

void P_ShowPListe(int icon)
{
    P_Sichtbar("P_Liste", ListIcon(icon), FormPListe);
}
