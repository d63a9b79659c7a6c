#include "tests/tools/test_liste/form_test_liste.h"

#include "lists/list_forms.h"

TFormTestListe* FormTestListe = nullptr;

TFormTestListe::TFormTestListe(QWidget* parent) : TFormListe(parent)
{
    SetCore(std::make_unique<TestListeCore>(*this));
}

void P_ShowTestListe()
{
    P_Sichtbar("T_Liste", QIcon(), FormTestListe);
}
