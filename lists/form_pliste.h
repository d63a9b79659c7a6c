#pragma once
// The yarn-carrier position list window ("P_Liste", "FF-Position") over its core.
#include "lists/core/pliste_core.h"
#include "lists/form_liste.h"

class TFormPListe : public TFormListe {
    Q_OBJECT
public:
    explicit TFormPListe(QWidget* parent = nullptr);
    PListeCore& PCore() { return static_cast<PListeCore&>(Core()); }
};

extern TFormPListe* FormPListe;
// Opens the window (or shows it again) with the main window's icon at index.
void P_ShowPListe(int icon);
