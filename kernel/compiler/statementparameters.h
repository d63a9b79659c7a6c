#pragma once
// Module-set parameters and colours in a module statement: "#n" stands for
// slot n of the module set whose module is compiled, and the colours of a
// bracket are mapped from the module's colour table (COLTAB) to the set's.
#include <cstdint>
#include <string>

struct ModuleSetRecord;

// Substitutes in place. A slot's text may itself hold "#", so the search
// starts again after every substitution; a statement that needs more than
// 255 substitutions, or grows past max characters, fails with 402 (and is
// left as far as it got). 0 otherwise.
int32_t ExpandStatementParameters(std::string& statement, size_t max, const ModuleSetRecord* set,
                                  const std::string& moduleColourTable);
