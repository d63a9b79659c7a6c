#pragma once
// The take-down list editor ("A_Liste", "Warenabzug"): an index list whose
// continuation lines are comb take-down lines ("K").
#include "lists/core/list_editor_core.h"

class AListeCore : public ListEditorCore {
public:
    explicit AListeCore(ListWindowHost& host);
    // Field numbers; the optional columns get 0 when the program has none.
    int Nr, UnterWA, UnterPuls, Schnellauf, UnterOeffnen = 0, OberWA, OberDruck, OberOeffnen, MinNadel1, MinWA1,
        MinPuls1, MinNadel2, MinWA2, MinPuls2, Kamm = 0, Kommentar;

protected:
    void ShowFields(int row, int line) override;
    bool StoreField(uint8_t* p, int field, int32_t value, const std::optional<std::string>& text) override;
    void NormaliseLine(uint8_t* p) const override;
    bool InsertDeleteKey(int field, int row, char32_t c, int key) override;

private:
    bool IsIndexList() const override { return true; }
};
