#pragma once
// The selector list editor ("W_Liste", "Wahlschalter"): eight levels per
// line. The other editors mark the current level's cell of the line they
// point to.
#include "lists/core/list_editor_core.h"

class WListeCore : public ListEditorCore {
public:
    explicit WListeCore(ListWindowHost& host);
    enum FieldNumber { Nr = 1, Level1, Kommentar = Level1 + 8 };

protected:
    void ShowFields(int row, int line) override;
    bool StoreField(uint8_t* p, int field, int32_t value, const std::optional<std::string>& text) override;
    // field: the selector level 1..8.
    void SetCellColour(int row, int field, uint32_t rgb) override;
};
