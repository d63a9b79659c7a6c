#pragma once
// The racking list editor ("V_Liste", "Versatz").
#include "lists/core/list_editor_core.h"

class VListeCore : public ListEditorCore {
public:
    explicit VListeCore(ListWindowHost& host);
    enum FieldNumber { Nr = 1, Haupt, Umhaenge, KorrekturLinks, KorrekturRechts, Dehnung, Geschwindigkeit, Verlauf, Jacquard, Kommentar };
    // The largest main racking the program's gauge allows, at most 28 (the
    // list access refuses more).
    static int MaxMainRacking();

protected:
    void ShowFields(int row, int line) override;
    bool StoreField(uint8_t* p, int field, int32_t value, const std::optional<std::string>& text) override;
    void UpdateFieldLimits() override;
};
