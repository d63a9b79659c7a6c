#pragma once
// The compile command of kernel_probe: a new program, the script copied to
// the temporary folder as "Compile.Skx", the bridge's compile, then the
// report. The tests run the same function in-process.
#include <functional>
#include <ostream>
#include <string>

// Prints every message the kernel shows as "MSG <line>" lines, then "OK" or
// "ERROR <code> <line> <column> <detail>", then with dump the program dump.
// prepare runs after the new program and before the compile (loading a
// pattern); when it returns false (having printed why) nothing is compiled.
// Returns 0 or 1 (the compile, or prepare, reported an error).
using CompilePreparation = std::function<bool(std::ostream& out)>;
int RunCompileCommand(const std::string& script, bool dump, std::ostream& out,
                      const CompilePreparation& prepare = {});
