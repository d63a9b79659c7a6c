#include "lists/form_nliste.h"

#include "lists/list_forms.h"

TFormNListe* FormNListe = nullptr;

TFormNListe::TFormNListe(QWidget* parent) : TFormListe(parent)
{
    SetCore(std::make_unique<NListeCore>(*this));
}

void P_ShowNListe(int icon)
{
    P_Sichtbar("N_Liste", ListIcon(icon), FormNListe);
}
