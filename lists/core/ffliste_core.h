#pragma once
// The yarn carrier editor ("Ff_Liste", "Fadenführer"): per carrier (carrier
// 8 in the top row) its exchange target and, per box, the carrier type and
// the offset and home position at the current selector level.
#include "lists/core/setup_list_core.h"

class FfListeCore : public SetupListCore {
public:
    explicit FfListeCore(ListWindowHost& host);
    static constexpr int kBoxes = 8;
    enum FieldNumber { Fadenfuehrer = 1, Tauschen };
    static constexpr int Typ(int box) { return 3 + 2 * box; }
    static constexpr int Offset(int box) { return 4 + 2 * box; }
    // The column of a box's home position (shown only).
    int HomeColumn(int box) const { return homeColumns_[box]; }
    // The carrier a line shows.
    static int Carrier(int line) { return 9 - line; }

protected:
    void ShowLine(int row, int line, int record) override;
    std::optional<std::string> StoreCell(int field, int row, int32_t value, const std::optional<std::string>& text,
                                         int record, int line) override;
    bool InsertDeleteKey(int field, int row, char32_t c, int key) override;

private:
    int homeColumns_[kBoxes] = {};
};
