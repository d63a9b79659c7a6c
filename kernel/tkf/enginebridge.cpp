#include "kernel/tkf/enginebridge.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string_view>

#include "kernel/dispatch/kernel_host.h"
#include "kernel/dispatch/kernelroutines.h"
#include "kernel/language/language.h"
#include "kernel/model/workrecord.h"
#include "platform/codepage.h"
#include "platform/paths.h"
#include "platform/safe_file.h"
#include "platform/save_journal.h"

EngineBridge engineBridge;

namespace {

constexpr uint8_t kOpenStream = 99;
constexpr uint8_t kTakeScript = 100;
constexpr uint8_t kReset = 200;
constexpr uint8_t kEndOfJob = 201;
constexpr uint8_t kCompile = 202;
constexpr uint8_t kTargetFolder = 204;
constexpr uint8_t kProgramFile = 205;
constexpr uint8_t kClearLists = 206;

constexpr uint16_t kFileNotOpen = 301;
constexpr size_t kPathCap = 255;
constexpr size_t kPatternNameCap = 13;

const char* const kProgramTemp = "ZORITPRG.TMP";
const char* const kStatementFile = "STR_PHS6.TMP";

bool HasExtension(const std::string& name)
{
    return FileNamePart(name).find('.') != std::string::npos;
}

}  // namespace

EngineBridge::EngineBridge(DispatchFunction dispatch) : dispatch_(std::move(dispatch)) {}

uint16_t EngineBridge::Send(uint8_t code, uint8_t sub, uint16_t line, uint8_t selector)
{
    ProgramCommandBlock b;
    b.SetCode(code);
    b.SetSub(sub);
    b.SetLine(line);
    b.SetSelector(selector);
    return Send(b);
}

uint16_t EngineBridge::SendPath(uint8_t code, uint8_t sub, uint16_t line, uint8_t selector, const std::string& path)
{
    ProgramCommandBlock b;
    b.SetCode(code);
    b.SetSub(sub);
    b.SetLine(line);
    b.SetSelector(selector);
    // The ShortString for those who read the block's bytes; the dispatcher
    // takes the path whole from beside them.
    b.SetText(Utf8ToCp1252(FirstCharacters(path, kPathCap)));
    b.path = path;
    return Send(b);
}

void EngineBridge::FirstCallReset()
{
    if (firstCallDone_)
        return;
    firstCallDone_ = true;
    Send(kReset, 0);
}

bool EngineBridge::PrepareMachine(const std::string& path)
{
    // The reset again; its sub-function and selector mean nothing to it.
    bool ok = Send(kReset, 1, 0, 100) == 0;
    bool first = true;
    for (int list = 12; list >= 1; --list) {
        const std::string& name = ZrVar.ListNames[static_cast<size_t>(list)];
        if (name.empty())
            continue;
        const uint16_t line = first ? 0 : ZrVar.Systems;
        if (SendPath(static_cast<uint8_t>(100 + list), 0, line, 0, path + name + ZrVar.ListTempExt) != 0)
            ok = false;
        if (!first)
            continue;
        first = false;
        // The machine of the program: number of systems, machine value and
        // the optional take-down columns from the model table.
        ProgramCommandBlock model;
        model.SetCode(12);
        model.SetSub(0);
        model.SetLine(1);
        model.SetSelector(41);
        if (Send(model) != 0)
            ok = false;
        if (const int position = FindModel(model.Text())) {
            ZrVar.Systems = static_cast<uint8_t>(std::atoi(ModelColumnText(1, position).c_str()));
            ZrVar.MachineValue = static_cast<uint8_t>(std::atoi(ModelColumnText(2, position).c_str()));
            ZrVar.TakeDownColumns = ModelColumnChar(3, position) == '1' ? 1 : 0;
        }
    }
    return ok;
}

int32_t EngineBridge::P_RunScriptCompiler(const std::string& folder, const std::string& scriptFile, bool clear,
                                          const CompileSettings& settings)
{
    FirstCallReset();
    ZrVar.ErrorCode = 0;
    const std::string workFolder = AppendSeparator(folder);
    ZrVar.ClearFlag = clear ? 1 : 0;
    ZrVar.RunFlag = 1;
    PrepareMachine(workFolder);
    // The reset of the preparation has cleared them: hand them over now.
    for (size_t row = 0; row < 2; ++row)
        for (size_t i = 0; i < 20; ++i)
            put_u16(ZrVar.BridgeSettings.data(), 2 * (20 * row + i), settings.table[row][i]);
    ZrVar.BridgeValue = settings.increment;
    if (clear)
        ZrVar.ErrorCode = Send(kClearLists, 0);
    if (ZrVar.ErrorCode == 0) {
        ZrVar.StatementFile = FolderPart(scriptFile) + kStatementFile;
        if (const uint16_t rc = SendPath(kTakeScript, 0, 0, 100, scriptFile))
            ZrVar.ErrorCode = rc;
    }
    if (ZrVar.ErrorCode == 0) {
        const uint16_t rc = Send(kCompile, 0);
        if (ZrVar.ErrorCode == 0)
            ZrVar.ErrorCode = rc;
    }
    Send(kEndOfJob, 0);
    return ZrVar.ErrorCode;
}

uint16_t EngineBridge::WriteProgramFile(const PatternNames& names, const std::string& tempFolder, std::string& written)
{
    FirstCallReset();
    const std::string folder = AppendSeparator(tempFolder);
    // The compiled "$F_OPT" switch decides how the save shares special
    // records; the preparation's reset must not take it away.
    const uint8_t sharing = ZrVar.F_Opt;
    PrepareMachine(folder);
    ZrVar.F_Opt = sharing;
    // After the preparation's reset: the names the save writes.
    for (size_t i = 0; i < names.size(); ++i) {
        std::string name = names[i];
        if (!name.empty() && !HasExtension(name))
            name += ".TIF";
        ZrVar.PatternFiles[i] = FirstCharacters(name, kPatternNameCap);
    }
    SendPath(kTargetFolder, 0, 0, 0, folder);
    written = folder + kProgramTemp;
    uint16_t result = SendPath(kOpenStream, 1, 0, 0, written);
    if (result == 0)
        result = Send(kProgramFile, 1);
    Send(kEndOfJob, 0);
    return result;
}

uint16_t EngineBridge::P_SaveProgram(const std::string& destination, const PatternNames& names,
                                     const std::string& tempFolder)
{
    std::string temp;
    if (const uint16_t result = WriteProgramFile(names, tempFolder, temp))
        return result;
    return CopyToDestination(temp, destination);
}

uint16_t EngineBridge::P_LoadProgram(const std::string& scanPath, const std::string& targetFolder,
                                     const std::string& file, PatternNames& names)
{
    // A save killed between its renames is completed first: the files read
    // below are then one whole set, all old or all new.
    if (CompleteInterruptedSave(FolderPart(file)) != 0) {
        names = {};
        return kFileNotOpen;
    }
    FirstCallReset();
    ZrVar.PatternFiles = {};
    ZrVar.RunFlag = 1;
    PrepareMachine(AppendSeparator(scanPath));
    SendPath(kTargetFolder, 1, 0, 101, AppendSeparator(targetFolder));
    uint16_t result = SendPath(kOpenStream, 0, 0, 0, file);
    // A file that does not open is not loaded: the program stays.
    if (result == 0)
        result = Send(kProgramFile, 0);
    Send(kEndOfJob, 0);
    names = {};
    if (result == 0)
        for (size_t i = 0; i < names.size(); ++i)
            names[i] = FirstCharacters(ZrVar.PatternFiles[i], kPatternNameCap);
    return result;
}

int CreateFolderOf(const std::string& path)
{
    std::error_code ec;
    const std::string folder = FolderPart(path);
    if (folder.empty() || std::filesystem::is_directory(folder, ec))
        return 0;
    std::filesystem::create_directories(folder, ec);
    return ec ? (ec.value() != 0 ? ec.value() : EIO) : 0;
}

uint16_t EngineBridge::CopyToDestination(const std::string& source, const std::string& destination)
{
    const std::string from = ResolveForWrite(source);
    const std::string to = ResolveForWrite(destination);
    int err = CreateFolderOf(to);
    if (!err) {
        StatusText(F_TRANS("Dateien kopieren"));
        SafeFileWriter file;
        if (!file.Create(to) || !file.WriteFileContents(from) || !file.Commit())
            err = file.error();
    }
    if (!err)
        return 0;
    kernelHost().messageDlg("Source: " + source + "\r" + "Desination: " + destination + "\r" + "Error: " +
                                std::strerror(err),
                            MsgKind::Error, {MsgButton::OK});
    return kFileNotOpen;
}

CompileSettings DefaultCompileSettings()
{
    CompileSettings s;
    for (size_t k = 0; k < 20; ++k) {
        s.table[0][k] = static_cast<uint16_t>(4 * k + 1);
        s.table[1][k] = static_cast<uint16_t>(4 * k + 2);
    }
    s.increment = 2;
    return s;
}
