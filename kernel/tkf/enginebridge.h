#pragma once
// The engine bridge: the whole-program jobs of the main window (compile a
// script, save and load the machine program file) as sequences of function
// codes sent to the dispatcher.
#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "kernel/model/programcommandblock.h"
#include "kernel/services/services.h"

// What the compile driver hands over besides the script: the yarn-change
// table (row 0 front, row 1 back) and the course increment.
struct CompileSettings {
    KulierVarTable table{};
    uint16_t increment = 2;
};

// The settings when no machine-type file gives any: four F lines per symbol,
// front at 4i + 1, back at 4i + 2; increment 2.
CompileSettings DefaultCompileSettings();

// Pattern file names in tag order: planes 0, 2 and 1.
using PatternNames = std::array<std::string, 3>;

class EngineBridge {
public:
    using DispatchFunction = std::function<uint16_t(ProgramCommandBlock&)>;

    explicit EngineBridge(DispatchFunction dispatch = ProgramDispatch);

    // Compiles scriptFile into the lists (folder: the working folder of the
    // list files; clear: clear all lists first). The work record's error
    // code, 0 for success.
    int32_t P_RunScriptCompiler(const std::string& folder, const std::string& scriptFile, bool clear,
                                const CompileSettings& settings);

    // Saves the program as destination, through "ZORITPRG.TMP" in
    // tempFolder. 0, or the code of the step that failed; the destination is
    // replaced only by a complete file.
    uint16_t P_SaveProgram(const std::string& destination, const PatternNames& names, const std::string& tempFolder);
    // The first half of P_SaveProgram: the program written as
    // "ZORITPRG.TMP" in tempFolder (its path in written). 0, or the code of
    // the step that failed.
    uint16_t WriteProgramFile(const PatternNames& names, const std::string& tempFolder, std::string& written);

    // Loads file into the program. 0, 301 (the file does not open) or 302
    // (the file is refused; the program stays as it was). names: the
    // program's pattern file names, all empty on failure.
    uint16_t P_LoadProgram(const std::string& scanPath, const std::string& targetFolder, const std::string& file,
                           PatternNames& names);

    // Sends the reset once in the bridge's life.
    void FirstCallReset();
    // Resets the work record for the machine of the program header and
    // creates the list files' folder under path. False when a step failed.
    bool PrepareMachine(const std::string& path);

private:
    uint16_t Send(ProgramCommandBlock& block) { return dispatch_(block); }
    uint16_t Send(uint8_t code, uint8_t sub, uint16_t line = 0, uint8_t selector = 0);
    // A path for a path code: whole and in UTF-8 beside the block's bytes,
    // whatever its letters and length; the ShortString holds it as far as
    // Windows-1252 and 255 characters go.
    uint16_t SendPath(uint8_t code, uint8_t sub, uint16_t line, uint8_t selector, const std::string& path);
    uint16_t CopyToDestination(const std::string& source, const std::string& destination);

    DispatchFunction dispatch_;
    bool firstCallDone_ = false;
};

// The program's one bridge.
extern EngineBridge engineBridge;

// Creates the folder of path with all missing levels. 0, or the system's
// error number.
int CreateFolderOf(const std::string& path);
