#include "kernel/compiler/indexlists.h"

#include "kernel/model/listmodel.h"

uint16_t EnsureIndexListLines(T_Kelt8IndexListe& list, uint16_t n)
{
    return list.FindLineByNumber(n);
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
