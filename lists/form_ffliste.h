#pragma once
// The yarn carrier window ("Ff_Liste", "Fadenführer") over its core.
#include "lists/core/ffliste_core.h"
#include "lists/form_liste.h"

class TFormFfListe : public TFormListe {
    Q_OBJECT
public:
    explicit TFormFfListe(QWidget* parent = nullptr);
    ~TFormFfListe() override;
    FfListeCore& FfCore() { return static_cast<FfListeCore&>(Core()); }
};

extern TFormFfListe* FormFfListe;
void P_ShowFfListe(int icon);
