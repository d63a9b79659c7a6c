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
    void ShowLine(int row, int line, int record) override;
    std::optional<std::string> StoreCell(int field, int row, int32_t value, const std::optional<std::string>& text,
                                         int record, int line) override;
    void UpdateFieldLimits() override;
};
