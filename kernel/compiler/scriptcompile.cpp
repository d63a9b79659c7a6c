#include "kernel/compiler/scriptcompile.h"

#include <memory>

#include "kernel/compiler/colourdensities.h"
#include "kernel/compiler/compilererror.h"
#include "kernel/compiler/compilerrecord.h"
#include "kernel/compiler/compilerstatus.h"
#include "kernel/compiler/headerpass.h"
#include "kernel/compiler/moduleexpansion.h"
#include "kernel/compiler/modulesets.h"
#include "kernel/compiler/schemesequence.h"
#include "kernel/compiler/singlemodule.h"
#include "kernel/compiler/statementfile.h"
#include "kernel/compiler/statementpass.h"
#include "kernel/dispatch/errorcodes.h"
#include "kernel/language/language.h"
#include "kernel/model/workrecord.h"

namespace {
void StartCompile(t_K8_heap_var& z)
{
    FreeModuleSets();
    z.WorkFlags.fill(0);
    z.LastRackingStep = 0;
    z.LastRackingCode = 0;
    z.ErrorDetail.clear();
    z.ModulsetInfo = std::make_shared<t_modulset_info>();
}

bool NamedSetNewest(const t_K8_heap_var& z)
{
    return !z.ModuleSets.empty() && !z.ModuleSets.back().Unnamed();
}

// An error of no statement and no row (the scheme sequence's last moves):
// the report names none, and the editor's cursor stays where it is.
void Unplaced(t_K8_heap_var& z, int32_t error)
{
    z.ErrorCode = error;
    z.ErrorToken.clear();
    z.ErrorValue.clear();
    z.ErrorLine = 0;
    z.ErrorColumn = 0;
}

void Report(t_K8_heap_var& z)
{
    if (z.ErrorCode < 0) {
        z.ErrorToken.clear();
        z.ErrorValue.clear();
    }
    z.ErrorDetail = z.ErrorToken + (z.ErrorValue.empty() ? std::string() : "=" + z.ErrorValue);
    ShowCompilerError(static_cast<uint16_t>(z.ErrorLine), static_cast<uint8_t>(z.ErrorColumn), z.ErrorDetail,
                      z.ErrorCode);
}
}  // namespace

int32_t ScriptCompile()
{
    t_K8_heap_var& z = ZrVar;
    StartCompile(z);
    ShowCompilerStatus(F_TRANS("Script umsetzen"));

    ParseScriptHeader();
    if (z.ErrorCode == 0) {
        z.Statements = std::make_shared<StatementFile>();
        if (!z.Statements->Create(z.StatementFile))
            z.ErrorCode = zerr::kStatementFile;
    }
    if (z.ErrorCode == 0) {
        BuildStatementFile();
        if (z.ErrorCode == 0 && !z.ModuleSets.empty()) {
            if (NamedSetNewest(z))
                ExpandModuleSet();
            else
                CompileSingleModule();
        }
    }
    if (z.ErrorCode == 0 && NamedSetNewest(z)) {
        const int32_t result = FinishSchemeSequence();
        if (!z.ContinueOnError && result != 0)
            Unplaced(z, result);
    }

    // Whatever happened, the lines the modules left get their densities.
    FixUsedDensityLines();
    BuildColourDensities();
    FreeModuleSets();

    const int32_t code = z.ErrorCode;
    if (code != 0)
        Report(z);
    z.Statements.reset();  // the file itself stays for the next compile to overwrite
    z.ModulsetInfo.reset();
    return code;
}
