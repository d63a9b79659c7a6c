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
    void ShowLine(int row, int line, int record) override;
    std::optional<std::string> StoreCell(int field, int row, int32_t value, const std::optional<std::string>& text,
                                         int record, int line) override;
    bool InsertDeleteKey(int field, int row, char32_t c, int key) override;

private:
    bool IsIndexList() const override { return true; }
};
