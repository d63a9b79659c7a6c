#pragma once
// The selector list window ("W_Liste", "Wahlschalter") over its core.
#include "lists/core/wliste_core.h"
#include "lists/form_liste.h"

class TFormWListe : public TFormListe {
    Q_OBJECT
public:
    explicit TFormWListe(QWidget* parent = nullptr);
    WListeCore& WCore() { return static_cast<WListeCore&>(Core()); }
};

extern TFormWListe* FormWListe;
// Opens the window (or shows it again) with the main window's icon at index.
void P_ShowWListe(int icon);
