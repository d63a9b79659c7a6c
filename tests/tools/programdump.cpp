#include "tests/tools/programdump.h"

#include <vector>

#include "kernel/model/listmodel.h"
#include "kernel/model/programmodel.h"

namespace {

std::string Hex(const uint8_t* data, size_t n)
{
    static const char digits[] = "0123456789abcdef";
    std::string out(2 * n, '0');
    for (size_t i = 0; i < n; ++i) {
        out[2 * i] = digits[data[i] >> 4];
        out[2 * i + 1] = digits[data[i] & 15];
    }
    return out;
}

}  // namespace

std::string ProgramDump()
{
    std::string out;
    out += "K " + Hex(ProgrammKopf.data(), T_ProgrammKopf::kSize) + "\n";
    out += "R " + Hex(RuestSchema.data(), T_RuestSchema::kSize) + "\n";
    const struct {
        char letter;
        const T_ListenVar* list;
    } lists[] = {{'Z', ZListe}, {'N', NListe}, {'W', WListe}, {'S', SListe},
                 {'V', VListe}, {'F', FListe}, {'P', PListe}, {'A', AListe}};
    for (const auto& l : lists) {
        for (uint16_t i = 1; i <= l.list->Count(); ++i)
            out += std::string(1, l.letter) + " " + std::to_string(i) + " " +
                   Hex(l.list->PeekLine(i), l.list->LineSize()) + "\n";
    }
    const uint16_t width = ProgrammKopf.Width();
    const uint16_t height = ProgrammKopf.Height();
    std::vector<uint8_t> row(width);
    for (uint8_t plane = 0; plane < 3; ++plane) {
        if (!PatternPlane(plane)->present)
            continue;
        for (uint16_t y = 1; y <= height; ++y) {
            P_ReadPatroneRow(y, row.data(), width, plane);
            out += "B" + std::to_string(plane) + " " + std::to_string(y) + " " + Hex(row.data(), width) + "\n";
        }
    }
    return out;
}
