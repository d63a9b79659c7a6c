#include "kernel/compiler/indexlists.h"

#include <algorithm>

#include "kernel/model/listmodel.h"

uint16_t EnsureIndexListLines(T_Kelt8IndexListe& list, uint16_t n)
{
    return list.FindLineByNumber(n);
}

uint16_t LowestOpeningNumber(const T_Kelt8IndexListe& list, uint16_t line)
{
    const uint32_t count = list.Count();
    if (line <= count + 1)
        return list.NextListNumber(line);
    // Each new line between the end and this one opens a sub-list of its own.
    const uint32_t number = list.NextListNumber(uint16_t(count + 1)) + (line - 1 - count);
    return static_cast<uint16_t>(std::min<uint32_t>(number, 65535));
}

uint16_t EnsureAListLine(uint16_t n, bool continuation)
{
    T_AListe& list = *AListe;
    uint16_t line = list.FindLineByNumber(n);
    if (!continuation || line == 0)
        return line;
    uint16_t last = line;
    while (last < list.Count() && list.ListNumber(uint16_t(last + 1)) == 0)
        ++last;
    if (last >= list.MaxLines())
        return 0;
    list.InsertLine(uint16_t(last + 1));
    return uint16_t(last + 1);
}
