#pragma once
// The needle division list editor ("N_Liste", "Nadeleinteilung").
#include "lists/core/list_editor_core.h"

class NListeCore : public ListEditorCore {
public:
    explicit NListeCore(ListWindowHost& host);
    enum FieldNumber { Nr = 1, XN, PlusMinus, DW, Wahl, Kommentar };

protected:
    void ShowFields(int row, int line) override;
    bool StoreField(uint8_t* p, int field, int32_t value, const std::optional<std::string>& text) override;
    void NormaliseLine(uint8_t* p) const override;
    void OpenLinkedList(int line, int field) override;
};
