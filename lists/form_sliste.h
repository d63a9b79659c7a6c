#pragma once
// The scheme sequence list window ("S_Liste", "Schemaablauf") over its core.
#include "lists/core/sliste_core.h"
#include "lists/form_liste.h"

class TFormSListe : public TFormListe {
    Q_OBJECT
public:
    explicit TFormSListe(QWidget* parent = nullptr);
    SListeCore& SCore() { return static_cast<SListeCore&>(Core()); }
};

extern TFormSListe* FormSListe;
// Opens the window (or shows it again) with the main window's icon at index.
void P_ShowSListe(int icon);
