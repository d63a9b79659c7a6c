#pragma once
// The take-down list window ("A_Liste", "Warenabzug") over its core.
#include "lists/core/aliste_core.h"
#include "lists/form_liste.h"

class TFormAListe : public TFormListe {
    Q_OBJECT
public:
    explicit TFormAListe(QWidget* parent = nullptr);
    AListeCore& ACore() { return static_cast<AListeCore&>(Core()); }
};

extern TFormAListe* FormAListe;
// Opens the window (or shows it again) with the main window's icon at index.
void P_ShowAListe(int icon);
