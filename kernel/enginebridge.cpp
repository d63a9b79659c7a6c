#include "kernel/enginebridge.h"

#include "kernel/workrecord.h"
#include "platform/codepage.h"
#include "platform/paths.h"

namespace {
constexpr uint8_t kReset = 200;
constexpr uint8_t kListFiles = 100;  // 100 + list number
constexpr uint8_t kTakeScript = 100;
constexpr uint8_t kEndOfJob = 201;
constexpr uint8_t kCompile = 202;
constexpr uint8_t kClearLists = 206;
constexpr uint8_t kSettings = 12;
constexpr uint8_t kSelModel = 41;
constexpr uint8_t kBridgeSelector = 100;
constexpr const char* kStatementFileName = "STR_PHS6.TMP";

ProgramCommandBlock Block(uint8_t code, uint8_t sub = 0, uint16_t line = 0, uint8_t selector = 0)
{
    ProgramCommandBlock b;
    b.SetCode(code);
    b.SetSub(sub);
    b.SetLine(line);
    b.SetSelector(selector);
    return b;
}

int ColumnNumber(int column, int pos)
{
    const char c = ModelColumnChar(column, pos);
    return (c >= '0' && c <= '9') ? c - '0' : 0;
}
}  // namespace

CompilerSettings CompilerSettings::Defaults()
{
    CompilerSettings s;
    for (int k = 0; k < 20; ++k) {
        s.densityLines[0][size_t(k)] = static_cast<uint16_t>(4 * k + 1);
        s.densityLines[1][size_t(k)] = static_cast<uint16_t>(4 * k + 2);
    }
    s.increment = 2;
    return s;
}

EngineBridge::EngineBridge() : dispatch_(ProgramDispatch) {}

EngineBridge::EngineBridge(Dispatch dispatch) : dispatch_(std::move(dispatch)) {}

void EngineBridge::FirstCallReset()
{
    if (firstCallDone_)
        return;
    firstCallDone_ = true;
    ProgramCommandBlock b = Block(kReset);
    Send(b);
}

bool EngineBridge::PrepareMachine(const std::string& folder)
{
    bool failed = false;
    ProgramCommandBlock reset = Block(kReset, 1, 0, kBridgeSelector);
    failed |= Send(reset) != 0;

    uint16_t systems = ZrVar.Systems;
    for (int list = 12; list >= 1; --list) {
        const std::string& name = ZrVar.ListNames[size_t(list)];
        if (name.empty())
            continue;
        ProgramCommandBlock files = Block(static_cast<uint8_t>(kListFiles + list), 0, systems);
        files.SetText(Utf8ToCp1252(folder) + name + ZrVar.ListTempExt);
        failed |= Send(files) != 0;
        if (list != 12)
            continue;
        // The machine of the program decides the number of systems the
        // later lists are made for.
        ProgramCommandBlock model = Block(kSettings, 0, 1, kSelModel);
        failed |= Send(model) != 0;
        if (const int pos = FindModel(model.Text())) {
            systems = static_cast<uint16_t>(ColumnNumber(1, pos));
            ZrVar.MachineValue = static_cast<uint8_t>(ColumnNumber(2, pos));
            ZrVar.TakeDownColumns = ModelColumnChar(3, pos) == '1' ? 1 : 0;
        }
    }
    return failed;
}

int32_t EngineBridge::P_RunScriptCompiler(const std::string& folder, const std::string& scriptFile, bool clear,
                                          const CompilerSettings& settings)
{
    FirstCallReset();
    t_K8_heap_var& z = ZrVar;
    z.ErrorCode = 0;
    const std::string temp = AppendSeparator(folder);
    z.RunFlag = 1;
    z.ClearFlag = clear ? 1 : 0;
    PrepareMachine(temp);
    // The preparation's reset wrote the defaults: the caller's tables come
    // after it.
    for (int side = 1; side <= 2; ++side)
        for (int k = 1; k <= 20; ++k)
            SetColourDensityTableLine(side, k, settings.densityLines[size_t(side - 1)][size_t(k - 1)]);
    z.BridgeValue = settings.increment;

    if (clear) {
        ProgramCommandBlock b = Block(kClearLists);
        z.ErrorCode = Send(b);
    }
    if (z.ErrorCode == 0) {
        z.StatementFile = FolderPart(scriptFile) + kStatementFileName;
        ProgramCommandBlock text = Block(kTakeScript, 0, 0, kBridgeSelector);
        text.SetText(Utf8ToCp1252(scriptFile));
        Send(text);
        ProgramCommandBlock compile = Block(kCompile);
        Send(compile);
    }
    ProgramCommandBlock end = Block(kEndOfJob);
    Send(end);
    return z.ErrorCode;
}

EngineBridge& engineBridge()
{
    static EngineBridge bridge;
    return bridge;
}
