#pragma once
// The scheme sequence list editor ("S_Liste", "Schemaablauf").
#include "lists/core/list_editor_core.h"

class SListeCore : public ListEditorCore {
public:
    explicit SListeCore(ListWindowHost& host);
    enum FieldNumber { Nr = 1, ZS, PlusMinus, DW, NW, PlusMinusW, VorneStart, VorneSchritt, HintenStart, HintenSchritt, Wahl, Kommentar };

protected:
    void ShowLine(int row, int line, int record) override;
    std::optional<std::string> StoreCell(int field, int row, int32_t value, const std::optional<std::string>& text,
                                         int record, int line) override;
    void OpenLinkedList(int line, int field) override;
};
