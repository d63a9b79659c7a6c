#include "lists/form_fliste.h"

#include "lists/list_forms.h"

TFormFListe* FormFListe = nullptr;

TFormFListe::TFormFListe(QWidget* parent) : TFormListe(parent)
{
    SetCore(std::make_unique<FListeCore>(*this));
}

void P_ShowFListe(int icon)
{
    P_Sichtbar("F_Liste", ListIcon(icon), FormFListe);
}
