#pragma once
// The needle division list window ("N_Liste", "Nadeleinteilung") over its core.
#include "lists/core/nliste_core.h"
#include "lists/form_liste.h"

class TFormNListe : public TFormListe {
    Q_OBJECT
public:
    explicit TFormNListe(QWidget* parent = nullptr);
    NListeCore& NCore() { return static_cast<NListeCore&>(Core()); }
};

extern TFormNListe* FormNListe;
// Opens the window (or shows it again) with the main window's icon at index.
void P_ShowNListe(int icon);
