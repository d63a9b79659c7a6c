#pragma once
// Compiles one module of the script: its statements, read back from the
// statement file, become knitting scheme (Z) lines from the compiler
// record's next Z line on.
#include <cstdint>
#include <string>
#include <vector>

#include "kernel/compiler/modulestate.h"

struct ModuleSetRecord;

// A module's statements as the statement file holds them, kept by the
// expansion after a module's first compile: knitting the same module row
// after row, it need not read them from the file again.
struct RecordedStatement {
    uint16_t line = 0;
    uint8_t column = 0;
    std::string text;
    // Token and value as the first compile split it (after "BRK=ON" became
    // "TZ=0"), for a statement that has no "#" to fill.
    bool split = false;
    std::string token;
    std::string value;
};
struct ModuleStatements {
    std::vector<RecordedStatement> statements;
    bool complete = false;  // read up to the module's END
};

// The statement reader stands on the module's "MODUL" entry. set: the module
// set whose module this is (its "#" slots and colour table). The result is
// also the work record's error code. With recorded statements that are
// complete the module runs from them instead of the file; otherwise the
// statements read are recorded there.
int32_t CompileModuleBody(ModuleMode mode, const ModuleSetRecord* set, ModuleStatements* recorded = nullptr);

class ModuleCompiler {
public:
    ModuleCompiler(ModuleMode mode, const ModuleSetRecord* set, ModuleStatements* recorded = nullptr);
    int32_t Run();

private:
    // The next statement, from the file or from the recording.
    void Read(int32_t& error, std::string& statement);
    // The next recorded statement when it needs no substitution, else null.
    const RecordedStatement* Replay(int32_t& error);
    bool Plain(const RecordedStatement& r) const;
    bool MapsColours() const;
    // Keeps the split of the statement just read with the recording.
    void Remember(int32_t error);

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
    ModuleStatements* recorded_;
    size_t replayAt_ = 0;
};
