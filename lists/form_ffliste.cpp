#include "lists/form_ffliste.h"

#include "lists/list_forms.h"

TFormFfListe* FormFfListe = nullptr;

TFormFfListe::TFormFfListe(QWidget* parent) : TFormListe(parent)
{
    SetCore(std::make_unique<FfListeCore>(*this));
}

TFormFfListe::~TFormFfListe()
{
    if (FormFfListe == this)
        FormFfListe = nullptr;
}

void P_ShowFfListe(int icon)
{
    P_Sichtbar("Ff_Liste", ListIcon(icon), FormFfListe);
}
