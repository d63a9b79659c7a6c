#include "kernel/compiler/modulecompiler.h"

#include <algorithm>
#include <utility>

#include "kernel/compiler/compilerrecord.h"
#include "kernel/compiler/moduletext.h"
#include "kernel/compiler/rackingstatement.h"
#include "kernel/compiler/statementparameters.h"
#include "kernel/compiler/statementreader.h"
#include "kernel/compiler/systemstatement.h"
#include "kernel/dispatch/errorcodes.h"
#include "kernel/listaccess/zlistaccess.h"
#include "kernel/model/listmodel.h"
#include "kernel/model/workrecord.h"

namespace {

// Module states (the header state byte of the work record).
constexpr uint8_t kExpectModule = 4;
constexpr uint8_t kExpectBegin = 2;
constexpr uint8_t kBodyStart = 3;
constexpr uint8_t kBody = 5;

constexpr size_t kStatementMax = 254;
constexpr size_t kColourTableMax = 10;
constexpr uint16_t kLastZLine = 9999;
constexpr uint8_t kSetupList = 12;
constexpr uint8_t kClamp1Automatic = 45;
constexpr uint8_t kClampClose = 2;

bool SystemToken(const std::string& token, uint8_t& n)
{
    if (token.size() != 2 || token[0] != 'S' || token[1] < '1' || token[1] > '9')
        return false;
    n = static_cast<uint8_t>(token[1] - '0');
    return n <= ZrVar.Systems;
}
}  // namespace

int32_t CompileModuleBody(ModuleMode mode, const ModuleSetRecord* set, ModuleStatements* recorded)
{
    return ModuleCompiler(mode, set, recorded).Run();
}

ModuleCompiler::ModuleCompiler(ModuleMode mode, const ModuleSetRecord* set, ModuleStatements* recorded)
    : recorded_(recorded)
{
    m_.mode = mode;
    m_.set = set;
    m_.info = ZrVar.ModulsetInfo.get();
}

int32_t ModuleCompiler::Run()
{
    t_K8_heap_var& z = ZrVar;
    z.ErrorCode = 0;
    if (!m_.info)
        return z.ErrorCode = zerr::kUnexpectedEnd;
    m_.z.line = m_.info->Z > 0 ? uint16_t(m_.info->Z - 1) : 0;
    z.ModuleColourTable.clear();
    z.HeaderState = kExpectModule;

    std::string statement;
    do {
        int32_t error = 0;
        if (const RecordedStatement* r = Replay(error)) {
            // A statement without parameters or colours to map is split as
            // it was the first time.
            z.ErrorToken = r->token;
            z.ErrorValue = r->value;
        } else {
            Read(error, statement);
            if (error == zerr::kUnexpectedEnd && z.HeaderState == kExpectModule)
                return z.ErrorCode = 0;  // no further module in the file
            if (error == 0) {
                if (statement.size() == 6 && statement == "BRK=ON")
                    statement = "TZ=0";
                error = ExpandStatementParameters(statement, kStatementMax, m_.set, z.ModuleColourTable);
            }
            // The error fields show the whole statement, whatever went wrong.
            SplitStatement(statement, z.ErrorToken, z.ErrorValue);
            Remember(error);
        }
        if (error == 0)
            error = Statement(z.ErrorToken, z.ErrorValue);
        z.ErrorCode = error;
    } while (z.ErrorCode == 0 && z.HeaderState != kExpectModule);
    if (recorded_ && z.ErrorCode == 0)
        recorded_->complete = true;

    if (z.ErrorCode == 0) {
        z.ErrorCode = m_.CloseCarrierList();
        if (z.ErrorCode == 0)
            z.ErrorCode = m_.CompleteSelections();
        if (z.ErrorCode == 0 && m_.zOpen)
            m_.info->Z = static_cast<uint16_t>(std::min<int>(m_.z.line + 1, 65535));
    }
    return z.ErrorCode;
}

bool ModuleCompiler::MapsColours() const
{
    return m_.set && !m_.set->colourTable.empty() && !ZrVar.ModuleColourTable.empty();
}

bool ModuleCompiler::Plain(const RecordedStatement& r) const
{
    return r.split && !MapsColours();
}

const RecordedStatement* ModuleCompiler::Replay(int32_t& error)
{
    if (!recorded_ || !recorded_->complete || replayAt_ >= recorded_->statements.size())
        return nullptr;
    const RecordedStatement& r = recorded_->statements[replayAt_];
    if (!Plain(r))
        return nullptr;
    ++replayAt_;
    ZrVar.ErrorLine = r.line;
    ZrVar.ErrorColumn = r.column;
    error = 0;
    return &r;
}

void ModuleCompiler::Remember(int32_t error)
{
    if (!recorded_ || recorded_->complete || error != 0 || recorded_->statements.empty())
        return;
    RecordedStatement& r = recorded_->statements.back();
    // Only a split that no module set changes may stand for later compiles.
    if (MapsColours() || Contains(r.text, '#'))
        return;
    r.token = ZrVar.ErrorToken;
    r.value = ZrVar.ErrorValue;
    r.split = true;
}

void ModuleCompiler::Read(int32_t& error, std::string& statement)
{
    if (recorded_ && recorded_->complete) {
        if (replayAt_ >= recorded_->statements.size()) {
            error = zerr::kUnexpectedEnd;
            statement = kUnexpectedEndStatement;
            return;
        }
        const RecordedStatement& r = recorded_->statements[replayAt_++];
        // Errors point where the statement ended, as read from the file.
        ZrVar.ErrorLine = r.line;
        ZrVar.ErrorColumn = r.column;
        error = 0;
        statement = r.text;
        return;
    }
    ReadStatement(error, false, statement, true);
    if (recorded_ && error == 0) {
        RecordedStatement r;
        r.line = static_cast<uint16_t>(ZrVar.ErrorLine);
        r.column = static_cast<uint8_t>(ZrVar.ErrorColumn);
        r.text = statement;
        recorded_->statements.push_back(std::move(r));
    }
}

int32_t ModuleCompiler::Statement(const std::string& token, const std::string& value)
{
    uint8_t& state = ZrVar.HeaderState;
    switch (state) {
    case kExpectModule:
        if (token != "MODUL")
            return zerr::kNoModuleName;
        state = kExpectBegin;
        ZrVar.ModuleColourTable.clear();
        return 0;
    case kExpectBegin:
        if (token != "BEGIN")
            return zerr::kNoBegin;
        state = kBodyStart;
        m_.rowAtBegin = m_.info->Y;
        return 0;
    case kBodyStart:
    case kBody:
        return Body(token, value);
    default:
        return 0;
    }
}

int32_t ModuleCompiler::Body(const std::string& token, const std::string& value)
{
    uint8_t& state = ZrVar.HeaderState;
    uint8_t system = 0;
    if (SystemToken(token, system)) {
        state = kBody;
        return SystemStatement(m_).Run(system, value);
    }
    // The two-letter statements come for almost every line: found by their
    // letters before the long names are compared.
    if (token.size() == 2) {
        switch ((token[0] << 8) | token[1]) {
        case ('S' << 8) | 'Z':
            state = kBody;
            return m_.z.Flag(ZLineWriter::kFlagSZ);
        case ('T' << 8) | 'Z':
            state = kBody;
            return Speed(value);
        case ('R' << 8) | 'V':
        case ('M' << 8) | 'V':
            return RackingStatement(token[0] == 'R', value, m_.z, *m_.info);
        case ('W' << 8) | 'A':
            return TakeDown(value);
        case ('K' << 8) | 'L':
            return Clamps(value);
        case ('S' << 8) | 'C':
            return Scissors(value);
        case ('K' << 8) | 'A':
            return Comb(value);
        default:
            return zerr::kUnknownCommand;
        }
    }
    if (token == "COLTAB" && state == kBodyStart)
        return ColourTable(value);
    if (token == "$YV_OFF" || token == "$YH_OFF") {
        int32_t n = 0;
        if (NumberCode(value, n) != 0)
            return zerr::kUnknownCommand;
        (token == "$YV_OFF" ? m_.frontOffset : m_.backOffset) = n;
        return 0;
    }
    if (token == ZrVar.KwBlow)
        return Blow(value);
    if (token == ZrVar.KwSensor) {
        m_.sensor = true;
        return m_.z.Flag(ZLineWriter::kFlagSensor);
    }
    if (token == "END")
        return End();
    if (token == "MODUL") {
        state = kBody;
        return zerr::kNoEnd;
    }
    if (token == "BEGIN") {
        state = kBody;
        return zerr::kMisplacedBegin;
    }
    return zerr::kUnknownCommand;
}

int32_t ModuleCompiler::ColourTable(const std::string& value)
{
    std::string& table = ZrVar.ModuleColourTable;
    if (!table.empty() || value.size() < 2 || value.front() != '[' || value.back() != ']')
        return zerr::kZColTab;
    const std::string text = value.substr(1, value.size() - 2);
    if (text.size() > kColourTableMax || !m_.set || text.size() != m_.set->colourTable.size())
        return zerr::kZColTab;
    table = text;
    return 0;
}

int32_t ModuleCompiler::Speed(const std::string& value)
{
    if (value.empty())
        return 0;
    uint8_t mode = 1;
    std::string_view number = value;
    if (value[0] == 'W') {
        mode = 0;
        number.remove_prefix(1);
    } else if (value[0] == 'D') {
        mode = 2;
        number.remove_prefix(1);
    }
    int32_t n = 0;
    if (NumberCode(number, n) != 0)
        return zerr::kUnknownCommand;
    return m_.z.Speed(mode, n);
}

uint8_t* ModuleCompiler::CurrentLine() const
{
    const uint16_t line = std::max<uint16_t>(m_.z.line, 1);
    return line <= kLastZLine ? ZListe->GetLine(line) : nullptr;
}

int32_t ModuleCompiler::TakeDown(const std::string& value)
{
    if (uint8_t* line = CurrentLine())
        line[zline::kFlag63 + 2] = 0;  // the sensor flag
    m_.sensor = false;
    if (value.empty())
        return 0;
    uint8_t mode;
    switch (value[0]) {
    case 'A': mode = 0; break;
    case '*': return m_.z.TakeDown(1, 0);
    case 'D': mode = 2; break;
    case 'W': mode = 3; break;
    default: return zerr::kUnknownCommand;
    }
    int32_t n = 0;
    if (int32_t bad = NumberCode(std::string_view(value).substr(1), n))
        return bad;
    return m_.z.TakeDown(mode, n);
}

int32_t ModuleCompiler::Clamps(const std::string& value)
{
    char commands[4] = {'.', '.', '.', '.'};
    int32_t clampValue = 0;
    Items items(value);
    while (!items.Empty()) {
        const std::string item = items.Next();
        int32_t n = 0;
        if (item.size() == 2 && item[0] >= '0' && item[0] <= '9' &&
            (item[1] == '.' || item[1] == 'C' || item[1] == 'O')) {
            if (item[0] < '1' || item[0] > '4')
                return zerr::kZClamp;
            commands[item[0] - '1'] = item[1];
        } else if (item.size() == 1 && item[0] >= 'A' && item[0] <= 'H') {
            const int k = (item[0] - 'A') % 4;
            commands[k] = item[0] <= 'D' ? 'O' : 'C';
        } else if (NumberCode(item, n) == 0) {
            clampValue = n;
        } else {
            return zerr::kZClamp;
        }
    }
    return m_.z.Clamps(commands, clampValue);
}

int32_t ModuleCompiler::Scissors(const std::string& value)
{
    bool bit0 = false;
    bool bit1 = false;
    int32_t scissorsValue = 0;
    Items items(value);
    while (!items.Empty()) {
        const std::string item = items.Next();
        int32_t n = 0;
        if (item == "A") {
            bit0 = true;
            // Automatic scissors work with clamp 1: the set-up record learns
            // it, and this line closes the clamp.
            ProgramCommandBlock b;
            b.SetCode(kSetupList);
            b.SetSub(2);
            b.SetLine(1);
            b.SetCountField(1);
            b.SetSelector(kClamp1Automatic);
            if (ProgramDispatch(b) != 0)
                return zerr::kZScissors;
            if (uint8_t* line = CurrentLine())
                line[zline::kClamps] = kClampClose;
        } else if (item == "L") {
            bit0 = true;
        } else if (item == "R") {
            bit1 = true;
        } else if (NumberCode(item, n) == 0) {
            scissorsValue = n;
        } else {
            return zerr::kZScissors;
        }
    }
    return m_.z.Scissors(bit0, bit1, scissorsValue);
}

int32_t ModuleCompiler::Comb(const std::string& value)
{
    if (value.size() > 1)
        return zerr::kZComb;
    char c = value.empty() ? ' ' : value[0];
    if (c == '^')
        c = '1';
    return m_.z.Comb(c);
}

int32_t ModuleCompiler::Blow(const std::string& value)
{
    Items items(value);
    while (!items.Empty()) {
        const std::string item = items.Next();
        int32_t err = 0;
        if (item == "Z") {
            err = m_.z.Flag(ZLineWriter::kFlagBlow);
        } else if (item == "F") {
            ZLineWriter last = m_.z;
            last.system = ZrVar.Systems;
            last.side = 0;
            err = last.Flag(ZLineWriter::kFlagH);
        }
        if (err)
            return err;
    }
    return 0;
}

int32_t ModuleCompiler::End()
{
    ZrVar.HeaderState = kExpectModule;
    if (int32_t err = m_.CloseCarrierList())
        return err;
    if (int32_t err = m_.CompleteSelections())
        return err;
    // A module must knit at least one row; one that ends where it began (or
    // before, after moving back) would leave nothing to repeat.
    if (m_.info->Y <= m_.rowAtBegin)
        return zerr::kNoFeed;
    return 0;
}
