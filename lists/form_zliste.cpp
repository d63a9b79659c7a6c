#include "lists/form_zliste.h"

#include "lists/list_forms.h"

TFormZListe* FormZListe = nullptr;

TFormZListe::TFormZListe(QWidget* parent) : TFormListe(parent)
{
    SetCore(std::make_unique<ZListeCore>(*this));
}

TFormZListe::~TFormZListe()
{
    if (FormZListe == this)
        FormZListe = nullptr;
}

void TFormZListe::SetCellColour(int row, int system, uint32_t rgb)
{
    ZCore().SetCellColour(row, system, rgb);
    Mirror();
}

void P_ShowZListe(int icon)
{
    P_Sichtbar("Z_Liste", ListIcon(icon), FormZListe);
}
