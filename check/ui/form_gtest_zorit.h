#pragma once
// The simulation window the program makes ("G_Test"): the crosshair, the
// palette of the settings, the translated status words, and the steps of
// its activation and closing.
#include "check/ui/form_gtest_farben.h"

class TFormGTestZorit : public T_FormGTestFarben {
    Q_OBJECT
public:
    explicit TFormGTestZorit(QWidget* parent = nullptr);
    ~TFormGTestZorit() override;

    // The density in hundredths: its whole part, empty for 0.
    std::string ValueText(uint16_t value) override;
    // Puts the pattern window's tools away; with no library yet, starts one
    // and makes the window ready for a run.
    void FormActivate() override;
};

// The one simulation window (nullptr until first shown).
extern TFormGTestZorit* G_Test;
