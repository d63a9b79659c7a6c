#include "kernel/compiler/statementpass.h"

#include <algorithm>
#include <string>

#include "kernel/compiler/colourdensities.h"
#include "kernel/compiler/compilerblock.h"
#include "kernel/compiler/compilerrecord.h"
#include "kernel/compiler/indexlists.h"
#include "kernel/compiler/statementfile.h"
#include "kernel/compiler/statementreader.h"
#include "kernel/dispatch/errorcodes.h"
#include "kernel/model/listmodel.h"
#include "kernel/model/workrecord.h"

namespace {
constexpr uint16_t kMaxSubList = 1999;
// The next free F number is the highest one a module names + 2, and it must
// itself be a list number.
constexpr uint16_t kHighestDensityNumber = kMaxSubList - 2;

// A system statement ("S1".."S9"): the largest number after "FS", "FSB",
// "FSL" or "FSBL" in its value.
void NoteDensityNumbers(const std::string& value, t_modulset_info& rec)
{
    std::string rest = value;
    size_t at;
    while ((at = rest.find("FS")) != std::string::npos) {
        rest.erase(0, at + 2);
        if (!rest.empty() && rest[0] == 'B')
            rest.erase(0, 1);
        if (!rest.empty() && rest[0] == 'L')
            rest.erase(0, 1);
        int32_t n = 0;
        if (TakeNumber(rest, n) && n > rec.HighestDensityNumber)
            rec.HighestDensityNumber = uint16_t(std::min(n, 65535));
    }
}

void NoteModule(const std::string& value, int32_t position, t_modulset_info& rec)
{
    std::string name = value.substr(0, ModuleSetRecord::kNameLength);
    if (name != "DIREKT")
        rec.RegularModule = 1;
    if (!ZrVar.ModuleSetsPresent)
        return;  // records of an earlier compile
    for (ModuleSetRecord& r : ZrVar.ModuleSets) {
        if (r.name == name) {
            r.filePosition = position;
            r.startLine = ZrVar.StartLine;
            r.found = true;
        }
    }
}

// The largest line of the work record's colour density table.
int HighestTableLine()
{
    int highest = 0;
    for (int side = 1; side <= 2; ++side)
        for (int k = 1; k <= 20; ++k)
            highest = std::max<int>(highest, ColourDensityTableLine(side, k));
    return highest;
}
}  // namespace

int32_t BuildStatementFile()
{
    t_K8_heap_var& z = ZrVar;
    t_modulset_info& rec = CompilerRecord();
    z.ErrorCode = 0;
    rec.HighestDensityNumber = 0;
    rec.RegularModule = 0;
    StatementFile* file = z.Statements.get();
    if (!file || !file->IsOpen())
        return z.ErrorCode = zerr::kStatementFile;
    file->ResetBuffer();

    std::string statement;
    for (;;) {
        int32_t error = 0;
        ReadStatement(error, false, statement, false);
        // Split even after a read error: the report shows what was read (an
        // empty statement after a bracket error), never the statement before.
        std::string value = statement;
        SplitAtEquals(value, 255, z.ErrorToken);
        z.ErrorValue = value;
        if (error != 0) {
            z.ErrorCode = error;
            break;
        }
        int32_t position = 0;
        if (!file->Append(static_cast<uint16_t>(z.ErrorLine), static_cast<uint8_t>(z.ErrorColumn), statement,
                          position)) {
            z.ErrorCode = zerr::kStatementFile;
            break;
        }
        const std::string& token = z.ErrorToken;
        if (token == "MODUL")
            NoteModule(value, position, rec);
        else if (token.size() == 2 && token[0] == 'S' && token[1] >= '1' && token[1] <= '9') {
            NoteDensityNumbers(value, rec);
            // Past it the F list could hold none of the sub-lists made below,
            // and the Z line would name a list that cannot exist.
            if (rec.HighestDensityNumber > kHighestDensityNumber) {
                z.ErrorCode = zerr::kBadListNumber;
                break;
            }
        }
    }
    // The text may end after the modules; inside the header it may not.
    if (z.ErrorCode == zerr::kUnexpectedEnd && z.HeaderState == 4)
        z.ErrorCode = 0;

    bool written = file->Flush();
    if (!file->Rewind() || !written) {
        if (z.ErrorCode == 0)
            z.ErrorCode = zerr::kStatementFile;
    }

    if (z.ErrorCode == 0)
        WriteColourSlotLines();
    if (z.ErrorCode == 0 && rec.RegularModule) {
        ProgramCommandBlock b = CompilerBlock(2, 7, rec.HighestDensityNumber, 2);
        z.ErrorCode = CompilerSend(b);
    }

    int highest = std::max<int>(rec.HighestDensityNumber, HighestTableLine() + z.BridgeValue);
    rec.HighestFLine = uint16_t(std::min(highest, 65535));
    uint16_t next = uint16_t(std::min(rec.HighestDensityNumber + 2, 65535));
    rec.NextFLine = next;
    rec.NextFSubList = next;
    rec.FirstColourDensityLine = next;
    // Sub-lists beyond the list's numbers are refused by every later write.
    if (z.ErrorCode == 0 && next <= kMaxSubList)
        EnsureIndexListLines(*FListe, next);
    return z.ErrorCode;
}
