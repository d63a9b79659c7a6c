#pragma once
// The stitch density list window ("F_Liste", "Festigkeit") over its core.
#include "lists/core/fliste_core.h"
#include "lists/form_liste.h"

class TFormFListe : public TFormListe {
    Q_OBJECT
public:
    explicit TFormFListe(QWidget* parent = nullptr);
    FListeCore& FCore() { return static_cast<FListeCore&>(Core()); }
};

extern TFormFListe* FormFListe;
// Opens the window (or shows it again) with the main window's icon at index.
void P_ShowFListe(int icon);
