#include "check/ui/core/stroke_label.h"

namespace {

// The number from `at` up to the next blank (or the end); 0 when it is not
// all digits or lies beyond the lists' reach.
int32_t NumberAt(std::string_view text, size_t at)
{
    if (at >= text.size())
        return 0;
    const size_t end = std::min(text.find(' ', at), text.size());
    if (end == at || end - at > 6)
        return 0;
    int32_t v = 0;
    for (size_t i = at; i < end; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return 0;
        v = v * 10 + (text[i] - '0');
    }
    return v > kMaxLabelLine ? 0 : v;
}

}  // namespace

StrokeLabel ParseStrokeLabel(std::string_view label, std::string_view systemWord)
{
    StrokeLabel l;
    if (label.empty() || label[0] != 'S')
        return l;
    l.sLine = NumberAt(label, 1);
    const size_t z = label.find(" Z");
    if (z == std::string_view::npos)
        return l;
    l.zRow = NumberAt(label, z + 2);
    if (systemWord.empty())
        return l;
    const size_t word = label.find(systemWord, z + 2);
    const size_t digit = word == std::string_view::npos ? word : word + systemWord.size();
    if (digit < label.size() && label[digit] >= '1' && label[digit] <= '9')
        l.system = label[digit] - '0';
    return l;
}
