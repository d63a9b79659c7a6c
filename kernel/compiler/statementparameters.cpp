#include "kernel/compiler/statementparameters.h"

#include "kernel/compiler/compilerrecord.h"
#include "kernel/compiler/moduletext.h"
#include "kernel/dispatch/errorcodes.h"

namespace {
constexpr int kMaxSubstitutions = 255;
constexpr const char* kUnset = "-32000";
constexpr char kSentinel = '*';

// One "#n" at the first "#": true when it was replaced.
bool Substitute(std::string& s, const ModuleSetRecord& set)
{
    size_t hash = s.find('#');
    if (hash == std::string::npos)
        return false;
    size_t end = hash + 1;
    int n = 0;
    while (end < s.size() && s[end] >= '0' && s[end] <= '9') {
        if (n <= ModuleSetRecord::kSlots)
            n = n * 10 + (s[end] - '0');
        ++end;
    }
    if (n < 1 || n > ModuleSetRecord::kSlots)
        return false;
    const std::string& slot = set.slots[size_t(n - 1)];
    if (slot == kUnset)
        return false;
    s.replace(hash, end - hash, slot);
    return true;
}

void MapColours(std::string& s, const std::string& from, const std::string& to)
{
    bool inside = false;
    for (char& c : s) {
        if (c == '[') {
            inside = true;
        } else if (c == ']') {
            inside = false;
        } else if (inside) {
            size_t k = from.find(c);
            if (k != std::string::npos && k < to.size())
                c = to[k];
        }
    }
}
}  // namespace

int32_t ExpandStatementParameters(std::string& statement, size_t max, const ModuleSetRecord* set,
                                  const std::string& moduleColourTable)
{
    if (!set)
        return 0;
    const bool colours = !set->colourTable.empty() && !moduleColourTable.empty();
    if (!colours && !Contains(statement, '#'))
        return 0;  // nothing to substitute: most statements
    std::string s = statement + kSentinel;
    int32_t error = 0;
    for (int count = 0; Substitute(s, *set);) {
        // A slot that names itself ("#1" in slot 1) would go on for ever.
        if (++count > kMaxSubstitutions || s.size() - 1 > max) {
            error = zerr::kStatementTooLong;
            break;
        }
    }
    s.pop_back();
    if (error == 0 && colours)
        MapColours(s, moduleColourTable, set->colourTable);
    if (s.size() > 255)
        s.resize(255);
    statement = s;
    return error;
}
