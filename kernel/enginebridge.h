#pragma once
// The engine bridge: the whole-program jobs of the main window as sequences
// of dispatcher codes. Compiling a script: reset on the first call of a run,
// machine preparation, clear, script text, compile, end of job.
#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "kernel/programcommandblock.h"

// What the compile driver hands the compiler besides the script: the F lines
// of the colour-specific stitch densities (side 1 and 2, symbols 1..20) and
// the course increment, which is also the distance of a symbol's second slot.
struct CompilerSettings {
    std::array<std::array<uint16_t, 20>, 2> densityLines{};  // [side - 1][symbol - 1]
    uint16_t increment = 2;

    // Four F lines per symbol: front at 4i + 1, back at 4i + 2.
    static CompilerSettings Defaults();
};

class EngineBridge {
public:
    using Dispatch = std::function<uint16_t(ProgramCommandBlock&)>;

    EngineBridge();
    explicit EngineBridge(Dispatch dispatch);
    void SetDispatch(Dispatch dispatch) { dispatch_ = std::move(dispatch); }

    // Function 200, on the first call of a run only.
    void FirstCallReset();
    // The work record reset for the machine of list 12 and the list files of
    // the folder made (functions 200, 112 .. 101); true when a step failed.
    bool PrepareMachine(const std::string& folder);
    // Compiles the script the host's editor holds (scriptFile names it; the
    // statement file goes beside it). folder: the temporary folder. Returns
    // the work record's error code; the compiler has reported it.
    int32_t P_RunScriptCompiler(const std::string& folder, const std::string& scriptFile, bool clear,
                                const CompilerSettings& settings = CompilerSettings::Defaults());

    bool FirstCallDone() const { return firstCallDone_; }

private:
    uint16_t Send(ProgramCommandBlock& block) { return dispatch_(block); }

    Dispatch dispatch_;
    bool firstCallDone_ = false;
};

// The program's one bridge.
EngineBridge& engineBridge();
