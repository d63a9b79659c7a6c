#pragma once
// The stitch density list editor ("F_Liste", "Festigkeit"), an index list;
// with two carriages (program header byte 10) each value shows twice.
#include "lists/core/list_editor_core.h"

class FListeCore : public ListEditorCore {
public:
    explicit FListeCore(ListWindowHost& host);
    // Field numbers; the right-carriage fields are 0 with one carriage.
    int Nr, WertLinks, WertRechts = 0, Farbe, WahlLinks, WahlRechts = 0, Marker, Kommentar;

protected:
    void ShowFields(int row, int line) override;
    bool StoreField(uint8_t* p, int field, int32_t value, const std::optional<std::string>& text) override;
    void NormaliseLine(uint8_t* p) const override;
    bool InsertDeleteKey(int field, int row, char32_t c, int key) override;
    void OpenLinkedList(int line, int field) override;

private:
    bool IsIndexList() const override { return true; }
    void ShowValue(int row, const uint8_t* p, int wertField, int wahlField, size_t at);
};
