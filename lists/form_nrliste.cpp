#include "lists/form_nrliste.h"

#include "lists/list_forms.h"

TFormNrListe* FormNrListe = nullptr;

TFormNrListe::TFormNrListe(QWidget* parent) : TFormListe(parent)
{
    SetCore(std::make_unique<NrListeCore>(*this));
}

TFormNrListe::~TFormNrListe()
{
    if (FormNrListe == this)
        FormNrListe = nullptr;
}

void P_ShowNrListe(int icon)
{
    P_Sichtbar("Nr_Liste", ListIcon(icon), FormNrListe);
}
