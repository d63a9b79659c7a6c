#include "tests/tools/programdump.h"

#include <sstream>
#include <utility>
#include <vector>

#include "kernel/listmodel.h"
#include "kernel/programmodel.h"

namespace {
std::string Hex(const uint8_t* p, size_t n)
{
    static const char digits[] = "0123456789abcdef";
    std::string out(2 * n, '0');
    for (size_t i = 0; i < n; ++i) {
        out[2 * i] = digits[p[i] >> 4];
        out[2 * i + 1] = digits[p[i] & 15];
    }
    return out;
}
}  // namespace

void WriteProgramDump(std::ostream& out)
{
    out << "K " << Hex(ProgrammKopf.data(), T_ProgrammKopf::kSize) << "\n";
    out << "R " << Hex(RuestSchema.data(), T_RuestSchema::kSize) << "\n";
    const std::vector<std::pair<char, T_ListenVar*>> lists = {
        {'Z', ZListe}, {'N', NListe}, {'W', WListe}, {'S', SListe},
        {'V', VListe}, {'F', FListe}, {'P', PListe}, {'A', AListe}};
    for (const auto& [letter, list] : lists) {
        if (!list)
            continue;
        for (uint16_t i = 1; i <= list->Count(); ++i)
            out << letter << ' ' << i << ' ' << Hex(list->PeekLine(i), list->LineSize()) << "\n";
    }
    const uint16_t width = ProgrammKopf.Width();
    const uint16_t height = ProgrammKopf.Height();
    std::vector<uint8_t> row(kPatternStride);
    for (int p = 0; p <= 2; ++p) {
        const T_Patrone* plane = PatternPlane(p);
        if (!plane->present)
            continue;
        const uint16_t w = static_cast<uint16_t>(std::min<size_t>(width, kPatternStride));
        for (uint16_t y = 1; y <= height; ++y) {
            P_ReadPatroneRow(y, row.data(), w, static_cast<uint8_t>(p));
            out << 'B' << p << ' ' << y << ' ' << Hex(row.data(), w) << "\n";
        }
    }
}

std::string ProgramDumpText()
{
    std::ostringstream out;
    WriteProgramDump(out);
    return out.str();
}
