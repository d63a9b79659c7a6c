#pragma once
// The racking list window ("V_Liste", "Versatz") over its core.
#include "lists/core/vliste_core.h"
#include "lists/form_liste.h"

class TFormVListe : public TFormListe {
    Q_OBJECT
public:
    explicit TFormVListe(QWidget* parent = nullptr);
    VListeCore& VCore() { return static_cast<VListeCore&>(Core()); }
};

extern TFormVListe* FormVListe;
// Opens the window (or shows it again) with the main window's icon at index.
void P_ShowVListe(int icon);
