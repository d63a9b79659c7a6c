#pragma once
// The yarn-carrier position list editor ("P_Liste", "FF-Position"), an
// index list.
#include "lists/core/list_editor_core.h"

class PListeCore : public ListEditorCore {
public:
    explicit PListeCore(ListWindowHost& host);
    enum FieldNumber { Nr = 1, Schiene, Kasten, Farbe, SchwenkenLinks, OffsetLinks, OffsetRechts, SchwenkenRechts, Marker, Kommentar };

protected:
    void ShowLine(int row, int line, int record) override;
    std::optional<std::string> StoreCell(int field, int row, int32_t value, const std::optional<std::string>& text,
                                         int record, int line) override;
    void UpdateFieldLimits() override;
    bool InsertDeleteKey(int field, int row, char32_t c, int key) override;

private:
    bool IsIndexList() const override { return true; }
};
