#pragma once
// The needle room window ("Nr_Liste", "Nadelraum") over its core.
#include "lists/core/nrliste_core.h"
#include "lists/form_liste.h"

class TFormNrListe : public TFormListe {
    Q_OBJECT
public:
    explicit TFormNrListe(QWidget* parent = nullptr);
    ~TFormNrListe() override;
    NrListeCore& NrCore() { return static_cast<NrListeCore&>(Core()); }
};

extern TFormNrListe* FormNrListe;
void P_ShowNrListe(int icon);
