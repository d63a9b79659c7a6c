#include "kernel/compiler/singlemodule.h"

#include "kernel/compiler/compilerrecord.h"
#include "kernel/compiler/modulecompiler.h"
#include "kernel/compiler/modulesets.h"
#include "kernel/dispatch/errorcodes.h"
#include "kernel/model/workrecord.h"

int32_t CompileSingleModule()
{
    t_K8_heap_var& z = ZrVar;
    if (z.ModuleSets.empty())
        return z.ErrorCode = 0;
    const ModuleSetRecord& set = z.ModuleSets.back();
    if (!set.found) {
        // The set names a module the script does not hold: compiling
        // whatever module stands first would be the wrong one.
        z.ErrorToken = set.name;
        z.ErrorValue.clear();
        z.ErrorLine = 0;
        z.ErrorColumn = 0;
        return z.ErrorCode = zerr::kModuleNotFound;
    }
    if (int32_t err = PositionAtModule(set))
        return z.ErrorCode = err;
    z.ErrorLine = set.startLine;
    int32_t err = CompileModuleBody(ModuleMode::SingleModule, &set);
    if (err == zerr::kNoFeed)
        err = 0;
    return z.ErrorCode = err;
}
