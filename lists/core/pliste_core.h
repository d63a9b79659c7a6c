#pragma once
// The yarn-carrier position list editor ("P_Liste", "FF-Position"), an
// index list.
#include "lists/core/list_editor_core.h"

class PListeCore : public ListEditorCore {
public:
    explicit PListeCore(ListWindowHost& host);
    enum FieldNumber { Nr = 1, Schiene, Kasten, Farbe, SchwenkenLinks, OffsetLinks, OffsetRechts, SchwenkenRechts, Marker, Kommentar };

protected:
    void ShowFields(int row, int line) override;
    bool StoreField(uint8_t* p, int field, int32_t value, const std::optional<std::string>& text) override;
    void NormaliseLine(uint8_t* p) const override;
    void UpdateFieldLimits() override;
    bool InsertDeleteKey(int field, int row, char32_t c, int key) override;

private:
    bool IsIndexList() const override { return true; }
};
