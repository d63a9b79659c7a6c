#pragma once
// The knitting scheme window ("Z_Liste", "Strickschema") over its core.
#include "lists/core/zliste_core.h"
#include "lists/form_liste.h"

class TFormZListe : public TFormListe {
    Q_OBJECT
public:
    explicit TFormZListe(QWidget* parent = nullptr);
    ~TFormZListe() override;
    ZListeCore& ZCore() { return static_cast<ZListeCore&>(Core()); }
    // Colours the system being knitted on a row (the program test and the
    // simulation): low byte the system number, bit 8 set for side 1.
    void SetCellColour(int row, int system, uint32_t rgb);
};

extern TFormZListe* FormZListe;
void P_ShowZListe(int icon);
