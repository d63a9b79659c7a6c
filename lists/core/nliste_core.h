#pragma once
// The needle division list editor ("N_Liste", "Nadeleinteilung").
#include "lists/core/list_editor_core.h"

class NListeCore : public ListEditorCore {
public:
    explicit NListeCore(ListWindowHost& host);
    enum FieldNumber { Nr = 1, XN, PlusMinus, DW, Wahl, Kommentar };

protected:
    void ShowLine(int row, int line, int record) override;
    std::optional<std::string> StoreCell(int field, int row, int32_t value, const std::optional<std::string>& text,
                                         int record, int line) override;
    void OpenLinkedList(int line, int field) override;
};
