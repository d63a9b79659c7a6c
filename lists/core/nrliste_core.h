#pragma once
// The needle room editor ("Nr_Liste", "Nadelraum"): the start and end
// needles of the eight needle-room lines, one selector level at a time (the
// shown record).
#include <vector>

#include "lists/core/setup_list_core.h"

class NrListeCore : public SetupListCore {
public:
    explicit NrListeCore(ListWindowHost& host);
    enum FieldNumber { Ebene = 1, Nadelraum, Start, Ende };

protected:
    void ShowLine(int row, int line, int record) override;
    std::optional<std::string> StoreCell(int field, int row, int32_t value, const std::optional<std::string>& text,
                                         int record, int line) override;

private:
    void Exchange(LineOp op, int record, int line, std::vector<uint8_t>& data);
};
