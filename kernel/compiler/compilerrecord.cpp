#include "kernel/compiler/compilerrecord.h"

#include <memory>

#include "kernel/model/workrecord.h"

void t_modulset_info::Init()
{
    *this = t_modulset_info{};
    X = 1;
    Y = 1;
    MaxX = 9999;
    MaxY = 9999;
    NextNLine = NextVLine = NextPLine = NextFLine = NextSLine = 1;
    NextFSubList = NextPSubList = 1;
    WN = 1;
    Z = 1;
    SCounters = {1, 1, 1};
    WS = WSCopy = -32;
    FsUStep = 255;
    FLineUsed[0] = 1;
}

t_modulset_info& CompilerRecord()
{
    if (!ZrVar.ModulsetInfo)
        ZrVar.ModulsetInfo = std::make_shared<t_modulset_info>();
    return *ZrVar.ModulsetInfo;
}
