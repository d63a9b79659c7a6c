#pragma once
// The scheme sequence list editor ("S_Liste", "Schemaablauf").
#include "lists/core/list_editor_core.h"

class SListeCore : public ListEditorCore {
public:
    explicit SListeCore(ListWindowHost& host);
    enum FieldNumber { Nr = 1, ZS, PlusMinus, DW, NW, PlusMinusW, VorneStart, VorneSchritt, HintenStart, HintenSchritt, Wahl, Kommentar };

protected:
    void ShowFields(int row, int line) override;
    bool StoreField(uint8_t* p, int field, int32_t value, const std::optional<std::string>& text) override;
    void NormaliseLine(uint8_t* p) const override;
    void OpenLinkedList(int line, int field) override;
};
