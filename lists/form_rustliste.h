#pragma once
// The set-up sheet window ("Ruestblatt", "Rüstblatt") over its core. It
// lives until the main window goes.
#include "lists/core/rustliste_core.h"
#include "lists/form_liste.h"

class TFormRustListe : public TFormListe {
    Q_OBJECT
public:
    explicit TFormRustListe(QWidget* parent = nullptr);
    ~TFormRustListe() override;
    RustListeCore& RustCore() { return static_cast<RustListeCore&>(Core()); }
};

extern TFormRustListe* FormRustListe;
void P_ShowRustListe(int icon);
// Shows the sheet's page again when it is visible (after the program header
// changed).
void P_RedisplayRustListe();
