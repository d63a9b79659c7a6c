#include "lists/form_wliste.h"

#include "lists/list_forms.h"

TFormWListe* FormWListe = nullptr;

TFormWListe::TFormWListe(QWidget* parent) : TFormListe(parent)
{
    SetCore(std::make_unique<WListeCore>(*this));
}

void P_ShowWListe(int icon)
{
    P_Sichtbar("W_Liste", ListIcon(icon), FormWListe);
}
