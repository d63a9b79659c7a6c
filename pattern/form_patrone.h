#pragma once
// The pattern window "Patrone": the painting form over the three pattern
// planes of the program, shown as the levels "Nadel", "Fadenführer" and
// "Festigkeit", with the tool palette beside it. Created on first show,
// hidden by closing, freed by the main window when the program goes.
#include "pattern/form_bild_levels.h"

class TFormPatrone : public TFormBildLevels {
    Q_OBJECT
public:
    static constexpr uint16_t kInitialWidth = 2000;
    static constexpr uint16_t kInitialHeight = 9999;

    explicit TFormPatrone(QWidget* parent = nullptr);
    ~TFormPatrone() override;

    // Level 1..3 shows plane 0..2, any other level plane 0. Rows outside the
    // pattern, or of a plane the program does not have, read the zero row.
    void P_AddrBild(int32_t row, int32_t level, uint8_t flag) override;

    // Shows the palette; the first activation after construction or a load
    // takes the planes present and the pattern size.
    void FormActivate();
    // After a load: the levels and size are taken again, and the window
    // takes the focus.
    void MarkForRebuild();

    // Set by construction and by MarkForRebuild, cleared by FormActivate.
    uint8_t firstActivation = 1;

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
};

extern TFormPatrone* FormPatrone;

// Creates "Patrone" when none exists (with the main window's icon at
// iconIndex), shows it and gives it the focus.
void ShowPatternWindow(int iconIndex);
