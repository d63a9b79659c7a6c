#pragma once
// The simulation view with the carrier colour pop-up: 16 colours to give
// the clicked cell's carrier, and the original carrier colours back.
#include "check/ui/form_gtest.h"

class T_FormGTestFarben : public TFormGTest {
    Q_OBJECT
public:
    static constexpr int kColourItems = 16;

    explicit T_FormGTestFarben(QWidget* parent = nullptr);

    void AttachToolBar() override;
    // Copies colour entry n into the selected carrier colour.
    void MnuFarbenClick(int n);

protected:
    void PreparePopup(uint8_t colour) override;

private:
    void BuildColourItems();
};
