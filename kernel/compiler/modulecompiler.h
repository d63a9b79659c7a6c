#pragma once
// Compiles one module of the script: its statements, read back from the
// statement file, become knitting scheme (Z) lines from the compiler
// record's next Z line on.
#include <cstdint>

#include "kernel/compiler/modulestate.h"

struct ModuleSetRecord;

// The statement reader stands on the module's "MODUL" entry. set: the module
// set whose module this is (its "#" slots and colour table). The result is
// also the work record's error code.
int32_t CompileModuleBody(ModuleMode mode, const ModuleSetRecord* set);

class ModuleCompiler {
public:
    ModuleCompiler(ModuleMode mode, const ModuleSetRecord* set);
    int32_t Run();

private:
    // One statement; 0 or an error code.
    int32_t Statement(const std::string& token, const std::string& value);
    int32_t Body(const std::string& token, const std::string& value);
    int32_t ColourTable(const std::string& value);
    int32_t Speed(const std::string& value);
    int32_t TakeDown(const std::string& value);
    int32_t Clamps(const std::string& value);
    int32_t Scissors(const std::string& value);
    int32_t Comb(const std::string& value);
    int32_t Blow(const std::string& value);
    int32_t End();
    // The line GetLine gives for the current line (line 0 is line 1), or
    // nullptr past the list's range.
    uint8_t* CurrentLine() const;

    ModuleState m_;
};
