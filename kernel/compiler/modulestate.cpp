#include "kernel/compiler/modulestate.h"

#include "kernel/compiler/compilerrecord.h"
#include "kernel/compiler/needleselection.h"

int32_t ModuleState::CloseCarrierList()
{
    return carriers.Close(z, *info);
}

int32_t ModuleState::CompleteSelections()
{
    if (!zOpen || z.line == 0)
        return 0;
    return ::CompleteSelections(z, info->FirstColourDensityLine);
}

std::string ModuleState::ProgressText() const
{
    return set ? set->name : std::string();
}
