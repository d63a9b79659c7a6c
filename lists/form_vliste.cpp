#include "lists/form_vliste.h"

#include "lists/list_forms.h"

TFormVListe* FormVListe = nullptr;

TFormVListe::TFormVListe(QWidget* parent) : TFormListe(parent)
{
    SetCore(std::make_unique<VListeCore>(*this));
}

void P_ShowVListe(int icon)
{
    P_Sichtbar("V_Liste", ListIcon(icon), FormVListe);
}
