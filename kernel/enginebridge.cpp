#include "kernel/enginebridge.h"

#include <cstdlib>

#include "kernel/bytes.h"
#include "kernel/workrecord.h"
#include "platform/codepage.h"
#include "platform/paths.h"

EngineBridge engineBridge;

namespace {
constexpr uint8_t kListFiles = 100;  // 100 + list number
constexpr uint8_t kTakeScript = 100;
constexpr uint8_t kReset = 200;
constexpr uint8_t kEndOfJob = 201;
constexpr uint8_t kCompile = 202;
constexpr uint8_t kClearLists = 206;
constexpr uint8_t kSettings = 12;
constexpr uint8_t kSelModel = 41;
constexpr uint8_t kBridgeSelector = 100;

constexpr uint16_t kFileNotOpen = 301;
constexpr size_t kPathCap = 255;

const char* const kStatementFile = "STR_PHS6.TMP";
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
    const std::string stored = Utf8ToCp1252(path);
    if (stored.size() > kPathCap)
        return kFileNotOpen;
    ProgramCommandBlock b;
    b.SetCode(code);
    b.SetSub(sub);
    b.SetLine(line);
    b.SetSelector(selector);
    b.SetText(stored);
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
    bool ok = Send(kReset, 1, 0, kBridgeSelector) == 0;
    bool first = true;
    for (int list = 12; list >= 1; --list) {
        const std::string& name = ZrVar.ListNames[static_cast<size_t>(list)];
        if (name.empty())
            continue;
        const uint16_t line = first ? 0 : ZrVar.Systems;
        if (SendPath(static_cast<uint8_t>(kListFiles + list), 0, line, 0, path + name + ZrVar.ListTempExt) != 0)
            ok = false;
        if (!first)
            continue;
        first = false;
        // The machine of the program: number of systems, machine value and
        // the optional take-down columns from the model table.
        ProgramCommandBlock model;
        model.SetCode(kSettings);
        model.SetSub(0);
        model.SetLine(1);
        model.SetSelector(kSelModel);
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
        if (const uint16_t rc = SendPath(kTakeScript, 0, 0, kBridgeSelector, scriptFile))
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
