#pragma once
// The engine bridge: the whole-program jobs of the main window as sequences
// of function codes sent to the dispatcher. Compiling a script: the reset on
// the first call of a run, the machine preparation, clear, script text,
// compile, end of job.
#include <cstdint>
#include <functional>
#include <string>

#include "kernel/programcommandblock.h"
#include "kernel/services.h"

// What the compile driver hands over besides the script: the yarn-change
// table (row 0 front, row 1 back: the F lines of the colour-specific stitch
// densities of symbols 1..20) and the course increment.
struct CompileSettings {
    KulierVarTable table{};
    uint16_t increment = 2;
};

class EngineBridge {
public:
    using DispatchFunction = std::function<uint16_t(ProgramCommandBlock&)>;

    explicit EngineBridge(DispatchFunction dispatch = ProgramDispatch);

    // Compiles scriptFile into the lists (folder: the working folder of the
    // list files; clear: clear all lists first). The script's text comes from
    // the host's editor; the statement file goes beside scriptFile. The work
    // record's error code, 0 for success; the compiler has reported it.
    int32_t P_RunScriptCompiler(const std::string& folder, const std::string& scriptFile, bool clear,
                                const CompileSettings& settings);

    // Sends the reset once in the bridge's life.
    void FirstCallReset();
    // Resets the work record for the machine of the program header and
    // creates the list files' folder under path. False when a step failed.
    bool PrepareMachine(const std::string& path);

private:
    uint16_t Send(ProgramCommandBlock& block) { return dispatch_(block); }
    uint16_t Send(uint8_t code, uint8_t sub, uint16_t line = 0, uint8_t selector = 0);
    // A path in the block's ShortString; a path the ShortString cannot hold
    // whole is not sent (the call fails with 301) rather than cut.
    uint16_t SendPath(uint8_t code, uint8_t sub, uint16_t line, uint8_t selector, const std::string& path);

    DispatchFunction dispatch_;
    bool firstCallDone_ = false;
};

// The program's one bridge.
extern EngineBridge engineBridge;
