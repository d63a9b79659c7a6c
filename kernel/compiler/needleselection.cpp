#include "kernel/compiler/needleselection.h"

#include <algorithm>
#include <array>

#include "kernel/compiler/moduletext.h"
#include "kernel/compiler/zlinewriter.h"
#include "kernel/dispatch/errorcodes.h"
#include "kernel/listaccess/colourset.h"
#include "kernel/model/workrecord.h"

namespace {
constexpr size_t kTextLength = 32;
constexpr char kFixed = '!';
constexpr int kMaxSystems = 6;

// The fixed selections count as one "!" in the colours an entry holds.
std::string SelectionColours(const std::string& text)
{
    return !text.empty() && text[0] == kFixed ? std::string(1, kFixed) : text;
}
}  // namespace

std::string NamedSelection(const std::string& text)
{
    const t_K8_heap_var& z = ZrVar;
    const std::array<const std::string*, 7> names = {&z.KwRR,       &z.KwAuto,     &z.KwRatio11, &z.KwRatio21,
                                                     &z.KwRatioM11, &z.KwRatioM21, &z.KwNz};
    const std::string upper = UpperAscii(text);
    for (size_t i = 0; i < names.size(); ++i) {
        const std::string& name = *names[i];
        if (name.empty() || upper.compare(0, name.size(), UpperAscii(name)) != 0 || upper.size() < name.size())
            continue;
        std::string out{kFixed, static_cast<char>(i)};
        if (text.size() > 2)
            out += upper[2];
        if (text.size() > 3)
            out += text[3];
        return out;
    }
    return text;
}

int32_t SetNeedleSelection(std::string& item, uint8_t entry, const ZLineWriter& z)
{
    if (item.empty() || item[0] != '[')
        return zerr::kUnknownCommand;
    item.erase(0, 1);
    const size_t close = item.find(']');
    if (close == std::string::npos)
        return zerr::kUnknownCommand;
    std::string text = item.substr(0, std::min(close, kTextLength));
    item.erase(0, close + 1);
    if (close == 0)
        return 0;
    if (text[0] == kFixed)
        text = NamedSelection(text.substr(1));
    switch (entry) {
    case kEntries0And2:
        if (int32_t err = z.Selection(0, text))
            return err;
        return z.Selection(2, text);
    case kEntries1And2:
        if (int32_t err = z.Selection(1, text))
            return err;
        return z.Selection(2, text);
    default:
        return z.Selection(entry, text);
    }
}

int32_t CompleteSelections(const ZLineWriter& current, uint16_t firstColourDensityLine)
{
    if (!ZrVar.DensityFixUp)
        return 0;
    const int systems = std::min<int>(ZrVar.Systems, kMaxSystems);
    for (int s = 1; s <= systems; ++s) {
        for (uint8_t side = 0; side <= 1; ++side) {
            ZLineWriter w = current;
            w.system = static_cast<uint8_t>(s);
            w.side = side;
            std::string e0, e1, e2;
            int32_t err = w.ReadSelection(0, e0);
            if (!err)
                err = w.ReadSelection(1, e1);
            if (!err)
                err = w.ReadSelection(2, e2);
            if (err)
                return err;
            const std::string both = ColourSetToText(TextToColourSet(SelectionColours(e0) + SelectionColours(e1)));
            if (e2.empty() || e2 != both)
                continue;
            uint8_t mode = 0;
            uint16_t value = 0;
            if ((err = w.ReadDensity(false, mode, value)))
                return err;
            if (mode != 1 || value < firstColourDensityLine)
                continue;
            if ((err = w.Density(false, 0, 0)) || (err = w.Density(true, 1, value)) || (err = w.Selection(2, "?")))
                return err;
        }
    }
    return 0;
}
