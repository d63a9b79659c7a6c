#include "lists/form_rustliste.h"

#include "lists/form_ffliste.h"
#include "lists/list_forms.h"
#include "lists/list_globals.h"

TFormRustListe* FormRustListe = nullptr;

namespace {
void RedisplayIfVisible(const char* name, TFormListe* form)
{
    if (form && FindForm(name) == form && form->isVisible())
        form->ShowPage();
}
}  // namespace

TFormRustListe::TFormRustListe(QWidget* parent) : TFormListe(parent)
{
    auto core = std::make_unique<RustListeCore>(*this);
    core->HeaderChanged = [] {
        if (ShowProgrammKopfProc)
            ShowProgrammKopfProc();
    };
    core->LevelChanged = [] { RedisplayIfVisible("Ff_Liste", FormFfListe); };
    SetCore(std::move(core));
}

TFormRustListe::~TFormRustListe()
{
    if (FormRustListe == this)
        FormRustListe = nullptr;
}

void P_ShowRustListe(int icon)
{
    P_Sichtbar("Ruestblatt", ListIcon(icon), FormRustListe);
}

void P_RedisplayRustListe()
{
    RedisplayIfVisible("Ruestblatt", FormRustListe);
}
