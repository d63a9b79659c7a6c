#include "kernel/compiler/modulesets.h"

#include "kernel/compiler/statementfile.h"
#include "kernel/dispatch/errorcodes.h"
#include "kernel/model/workrecord.h"

bool ModuleSetCode(const std::string& token, std::array<uint8_t, 2>& code)
{
    if (token == "[]") {
        code = {255, 255};
        return true;
    }
    if (token.size() != 4 || token[0] != '[' || token[3] != ']')
        return false;
    code = {static_cast<uint8_t>(token[1]), static_cast<uint8_t>(token[2])};
    return true;
}

ModuleSetRecord* FindModuleSet(const std::array<uint8_t, 2>& code)
{
    if (!ZrVar.ModuleSetsPresent)
        return nullptr;
    for (auto it = ZrVar.ModuleSets.rbegin(); it != ZrVar.ModuleSets.rend(); ++it) {
        if (it->code == code)
            return &*it;
    }
    return nullptr;
}

int32_t DefineModuleSet()
{
    t_K8_heap_var& z = ZrVar;
    z.ErrorCode = 0;
    if (!z.ModuleSetsPresent) {
        z.ModuleSets.clear();
        z.ModuleSetCursor = -1;
    }
    std::array<uint8_t, 2> code;
    if (!ModuleSetCode(z.ErrorToken, code))
        return z.ErrorCode = zerr::kColumnCount;

    const std::string& value = z.ErrorValue;
    size_t open = value.find('(');
    if (open == std::string::npos)
        open = value.size();
    z.ModuleSets.emplace_back();
    z.ModuleSetsPresent = 1;
    ModuleSetRecord& r = z.ModuleSets.back();
    r.code = code;
    r.name = value.substr(0, std::min(open, ModuleSetRecord::kNameLength));
    r.slots.fill("-32000");

    std::string rest = value.substr(open);
    if (!rest.empty()) {
        rest.erase(0, 1);
        if (!rest.empty() && rest[0] == '[') {
            rest.erase(0, 1);
            size_t end = rest.find("],");
            if (end == std::string::npos)
                return z.ErrorCode = zerr::kUnknownCommand;
            if (end > ModuleSetRecord::kColourTableLength)
                return z.ErrorCode = zerr::kZColTab;
            r.colourTable = rest.substr(0, end);
            rest.erase(0, end + 2);
        }
        size_t slot = 0;
        while (!rest.empty()) {
            size_t end = rest.find(',');
            if (end == std::string::npos)
                end = rest.find(')');
            // The 30 slots are all there is: a 31st item is refused, not
            // written past them.
            if (end == std::string::npos || slot == ModuleSetRecord::kSlots)
                return z.ErrorCode = zerr::kUnknownCommand;
            r.slots[slot++] = rest.substr(0, std::min(end, ModuleSetRecord::kSlotLength));
            rest.erase(0, end + 1);
        }
    }
    r.filePosition = 0;
    r.startLine = 0;
    return 0;
}

int32_t PositionAtModule(const ModuleSetRecord& record)
{
    StatementFile* file = ZrVar.Statements.get();
    if (!file || !file->Seek(record.filePosition))
        return zerr::kUnexpectedEnd;
    return 0;
}

void FreeModuleSets()
{
    ZrVar.ModuleSets.clear();
    ZrVar.ModuleSetCursor = -1;
    ZrVar.ModuleSetsPresent = 0;
}
