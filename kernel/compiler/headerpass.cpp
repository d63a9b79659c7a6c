#include "kernel/compiler/headerpass.h"

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "kernel/compiler/compilerblock.h"
#include "kernel/compiler/compilerrecord.h"
#include "kernel/compiler/directiveitems.h"
#include "kernel/compiler/indexlists.h"
#include "kernel/compiler/modulesets.h"
#include "kernel/compiler/statementreader.h"
#include "kernel/dispatch/errorcodes.h"
#include "kernel/model/listmodel.h"
#include "kernel/model/machinedata.h"
#include "kernel/model/programmodel.h"
#include "kernel/model/workrecord.h"

namespace {
constexpr uint8_t kNone = 255;  // function of "no last block"
constexpr uint8_t kFList = 2, kAList = 3, kVList = 4, kPList = 5, kNList = 6, kWList = 7, kSList = 9;
constexpr uint8_t kSettings = 12;
constexpr uint8_t kSelectMachine = 203;
constexpr uint16_t kMaxSubList = 1999;

bool Digits(const std::string& s)
{
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

uint16_t NextOf(uint32_t line)
{
    return static_cast<uint16_t>(std::min<uint32_t>(line, 65535));
}

enum class Width { U8, U16, I16 };

class HeaderPass {
public:
    int32_t Run();

private:
    using Handler = int32_t (HeaderPass::*)(const std::string& suffix);
    struct Directive {
        const char* token;
        bool prefix;      // token is a prefix; the handler gets the rest
        Handler handler;
        bool keepsBlock;  // a following brace text comments the line written
        bool setsState;   // state 5 after it
    };
    static const Directive kDirectives[];

    int32_t Step();
    int32_t RunDirective();
    int32_t Comment(const std::string& text);
    int32_t Send(ProgramCommandBlock& block);
    void MarkNone() { last_.SetCode(kNone); }

    const std::string& Value() const { return z_.ErrorValue; }
    bool Range(int32_t low, int32_t high, int32_t& v) const { return ParseNumber(Value(), v) && v >= low && v <= high; }
    int32_t Setting(uint8_t list, uint8_t selector, Width width, int32_t code);
    int32_t LineOf(const std::string& suffix, bool allowNext, uint16_t next, uint16_t& line) const;
    using Parse = std::function<int32_t(const std::string&, ProgramCommandBlock&)>;
    int32_t SingleLine(uint8_t list, const std::string& suffix, uint16_t& next, const Parse& parse);
    using ParseMany = std::function<int32_t(const std::string&, std::vector<ProgramCommandBlock>&)>;
    int32_t IndexLines(uint8_t list, const std::string& suffix, uint16_t& next, uint16_t& subList,
                       const ParseMany& parse);
    // The number of the sub-list that the directive opens at line.
    uint16_t OpeningNumber(uint8_t list, uint16_t line, uint16_t& subList) const;
    int32_t TakeDownLine(const std::string& suffix, bool continuation);
    int32_t SubListsUpTo(T_Kelt8IndexListe& list, uint16_t& next, uint16_t& subList);

    // The directives.
    int32_t DoX(const std::string&);
    int32_t DoY(const std::string&);
    int32_t DoN(const std::string&);
    int32_t DoV(const std::string&);
    int32_t DoP(const std::string&) { return SubListsUpTo(*PListe, rec_.NextPLine, rec_.NextPSubList); }
    int32_t DoFS(const std::string&) { return SubListsUpTo(*FListe, rec_.NextFLine, rec_.NextFSubList); }
    int32_t DoWN(const std::string&);
    int32_t DoWS(const std::string&);
    int32_t DoZ(const std::string&);
    int32_t DoS(const std::string&);
    int32_t DoYMax(const std::string&);
    int32_t DoXMax(const std::string&);
    int32_t DoSP(const std::string&) { return Value() == "1-2" ? 0 : zerr::kUnknownCommand; }
    int32_t DoMachineType(const std::string&);
    int32_t DoGauge(const std::string&) { return Setting(kSettings, 42, Width::U8, 2210); }
    int32_t DoIgnored(const std::string&) { return 0; }
    int32_t DoName(const std::string&);
    int32_t DoFOpt(const std::string&);
    int32_t DoScript(const std::string&) { return Value() == "KELTARIS" ? 0 : zerr::kOtherScript; }
    int32_t DoComb(const std::string&);
    int32_t DoColours(const std::string&);
    int32_t DoFsStep(const std::string&);
    int32_t DoEnd(const std::string&);
    int32_t DoModul(const std::string&) { return zerr::kNoEnd; }
    int32_t DoBegin(const std::string&) { return zerr::kMisplacedBegin; }
    int32_t DoN0(const std::string&);
    int32_t DoWA(const std::string&) { return Setting(kSettings, 31, Width::U8, 2203); }
    int32_t DoSZ(const std::string&) { return Setting(kSettings, 32, Width::U16, 2204); }
    int32_t DoLB(const std::string&) { return Setting(kSettings, 33, Width::U16, 2205); }
    int32_t DoWE(const std::string&) { return Setting(kSettings, 34, Width::U8, 2206); }
    int32_t DoTZ(const std::string&) { return Setting(kSettings, 35, Width::U8, 2207); }
    int32_t DoTZU(const std::string&) { return Setting(kSettings, 36, Width::U8, 2207); }
    int32_t DoTZN(const std::string&) { return Setting(kSettings, 37, Width::U8, 2207); }
    int32_t DoHub(const std::string&) { return Setting(kSettings, 38, Width::U8, 2208); }
    int32_t DoHC(const std::string&);
    int32_t DoKopp(const std::string&) { return Setting(kSettings, 44, Width::U16, 1701); }
    int32_t DoFfMin(const std::string&) { return Setting(z_.CarrierListNumber, 20, Width::I16, 2001); }
    int32_t DoFfMax(const std::string&) { return Setting(z_.CarrierListNumber, 21, Width::I16, 2002); }
    int32_t DoFfDis(const std::string&) { return Setting(z_.CarrierListNumber, 22, Width::U8, 2003); }
    int32_t DoDensitySlots(const std::string& suffix);
    int32_t DoCarrierOffset(const std::string& suffix);
    int32_t DoFSLines(const std::string& suffix);
    int32_t DoVLine(const std::string& suffix);
    int32_t DoALine(const std::string& suffix) { return TakeDownLine(suffix, false); }
    int32_t DoKLine(const std::string& suffix) { return TakeDownLine(suffix, true); }
    int32_t DoNLine(const std::string& suffix);
    int32_t DoSLine(const std::string& suffix);
    int32_t DoPLines(const std::string& suffix);
    int32_t DoModuleSet(const std::string&);
    int32_t DoCarrier(const std::string& suffix);
    int32_t DoNeedleRoom(const std::string& suffix);
    int32_t DoWLine(const std::string& suffix);

    t_K8_heap_var& z_ = ZrVar;
    t_modulset_info& rec_ = CompilerRecord();
    ProgramCommandBlock last_;
};

// Exact tokens come first, so that "$FS_U" is never read as an F line, "$WN"
// never as a selector line or "$FF_MIN" never as a carrier; the prefix forms
// follow, the longer before the shorter ("$FFOT_" before "$FF").
const HeaderPass::Directive HeaderPass::kDirectives[] = {
    {"$X", false, &HeaderPass::DoX, false, true},
    {"$Y", false, &HeaderPass::DoY, false, true},
    {"$N", false, &HeaderPass::DoN, false, true},
    {"$V", false, &HeaderPass::DoV, false, true},
    {"$P", false, &HeaderPass::DoP, false, true},
    {"$WN", false, &HeaderPass::DoWN, false, true},
    {"$WS", false, &HeaderPass::DoWS, false, true},
    {"$Z", false, &HeaderPass::DoZ, false, true},
    {"$S", false, &HeaderPass::DoS, false, true},
    {"$YMAX", false, &HeaderPass::DoYMax, false, true},
    {"$XMAX", false, &HeaderPass::DoXMax, false, true},
    {"$SP", false, &HeaderPass::DoSP, false, true},
    {"$ZR_TYP", false, &HeaderPass::DoMachineType, false, true},
    {"$ZR_FE", false, &HeaderPass::DoGauge, false, true},
    {"$ZR_NR", false, &HeaderPass::DoIgnored, false, false},
    {"$NAME", false, &HeaderPass::DoName, true, true},
    {"$F_OPT", false, &HeaderPass::DoFOpt, false, true},
    {"$SCRIPT", false, &HeaderPass::DoScript, false, true},
    {"$COMB", false, &HeaderPass::DoComb, false, true},
    {"$FD_COLOR", false, &HeaderPass::DoColours, false, true},
    {"$FS", false, &HeaderPass::DoFS, false, true},
    {"$FS_U", false, &HeaderPass::DoFsStep, false, true},
    {"END", false, &HeaderPass::DoEnd, false, false},
    {"MODUL", false, &HeaderPass::DoModul, false, true},
    {"BEGIN", false, &HeaderPass::DoBegin, false, true},
    {"$N0", false, &HeaderPass::DoN0, false, true},
    {"$WA", false, &HeaderPass::DoWA, false, true},
    {"$SZ", false, &HeaderPass::DoSZ, false, true},
    {"$LB", false, &HeaderPass::DoLB, false, true},
    {"$WE", false, &HeaderPass::DoWE, false, true},
    {"$TZ", false, &HeaderPass::DoTZ, false, true},
    {"$TZ_U", false, &HeaderPass::DoTZU, false, true},
    {"$TZ_N", false, &HeaderPass::DoTZN, false, true},
    {"$HUB", false, &HeaderPass::DoHub, false, true},
    {"$HC", false, &HeaderPass::DoHC, false, true},
    {"$KOPP", false, &HeaderPass::DoKopp, false, true},
    {"$FF_MIN", false, &HeaderPass::DoFfMin, false, true},
    {"$FF_MAX", false, &HeaderPass::DoFfMax, false, true},
    {"$FF_DIS", false, &HeaderPass::DoFfDis, false, true},
    {"$FD[", true, &HeaderPass::DoDensitySlots, false, true},
    {"$YC_OFFSET_", true, &HeaderPass::DoCarrierOffset, false, true},
    {"$FS_", true, &HeaderPass::DoFSLines, true, true},
    {"$V_", true, &HeaderPass::DoVLine, true, true},
    {"$A_", true, &HeaderPass::DoALine, true, true},
    {"$K_", true, &HeaderPass::DoKLine, true, true},
    {"$N_", true, &HeaderPass::DoNLine, true, true},
    {"$S_", true, &HeaderPass::DoSLine, true, true},
    {"$P_", true, &HeaderPass::DoPLines, true, true},
    {"[", true, &HeaderPass::DoModuleSet, false, true},
    {"$FFOT_", true, &HeaderPass::DoIgnored, false, false},
    {"$FF", true, &HeaderPass::DoCarrier, false, true},
    {"$NR", true, &HeaderPass::DoNeedleRoom, false, true},
    {"$W", true, &HeaderPass::DoWLine, true, true},
};

int32_t HeaderPass::Run()
{
    z_.HeaderState = 0;
    z_.ErrorCode = 0;
    z_.ErrorToken.clear();
    z_.ErrorValue.clear();
    z_.ErrorLine = 1;
    z_.ErrorColumn = 0;
    z_.TextPosition = 1;
    z_.ScriptLength = 0;
    z_.MachineDefined = 0;
    rec_.Init();
    MarkNone();

    std::string statement;
    while (z_.ErrorCode == 0 && z_.HeaderState != 4) {
        int32_t error = 0;
        ReadStatement(error, true, statement, false);
        if (error == 0 && !statement.empty() && statement[0] == '{') {
            error = Comment(statement.substr(1));
            if (error == 0)
                ReadStatement(error, false, statement, false);
        }
        // Split even after a read error, so that the report shows what was
        // read.
        std::string value = statement;
        SplitAtEquals(value, 255, z_.ErrorToken);
        z_.ErrorValue = value;
        z_.ErrorCode = error != 0 ? error : Step();
    }
    if (z_.ErrorCode == 0 && !z_.MachineDefined)
        z_.ErrorCode = zerr::kNoMachine;
    return z_.ErrorCode;
}

int32_t HeaderPass::Step()
{
    switch (z_.HeaderState) {
    case 0:
        if (z_.ErrorToken != "MODULSET" || Value().empty())
            return zerr::kNoModuleSetName;
        z_.HeaderState = 1;
        return 0;
    case 1:
        if (z_.ErrorToken != "BEGIN")
            return zerr::kNoBegin;
        z_.HeaderState = 3;
        return 0;
    default:
        return RunDirective();
    }
}

int32_t HeaderPass::RunDirective()
{
    const std::string& token = z_.ErrorToken;
    const Directive* found = nullptr;
    std::string suffix;
    for (const Directive& d : kDirectives) {
        if (!d.prefix && token == d.token) {
            found = &d;
            break;
        }
    }
    if (!found) {
        for (const Directive& d : kDirectives) {
            if (d.prefix && token.rfind(d.token, 0) == 0) {
                found = &d;
                suffix = token.substr(std::char_traits<char>::length(d.token));
                break;
            }
        }
    }
    if (!found)
        return zerr::kUnknownCommand;
    if (found->setsState)
        z_.HeaderState = 5;
    int32_t error = (this->*found->handler)(suffix);
    if (!found->keepsBlock)
        MarkNone();
    return error;
}

// A brace text after a directive: the comment of the line it wrote.
int32_t HeaderPass::Comment(const std::string& text)
{
    std::string comment = text.substr(0, 80);
    if (last_.Code() == z_.CarrierListNumber && last_.Selector() == 25) {
        ProgramCommandBlock b = last_;
        b.SetText(comment);
        return Send(b);
    }
    if (last_.Code() < 50) {
        ProgramCommandBlock b = CompilerBlock(uint8_t(last_.Code() + 150), 2, last_.Line(), 'e');
        b.SetText(comment, ProgramCommandBlock::kData, 80);
        return Send(b);
    }
    return 0;
}

int32_t HeaderPass::Send(ProgramCommandBlock& block)
{
    int32_t error = CompilerSend(block);
    last_ = block;
    return error;
}

int32_t HeaderPass::Setting(uint8_t list, uint8_t selector, Width width, int32_t code)
{
    int32_t v = 0;
    if (!ParseNumber(Value(), v))
        return zerr::kUnknownCommand;
    ProgramCommandBlock b = CompilerBlock(list, 2, 1, selector);
    BlockFields f(b);
    switch (width) {
    case Width::U8: f.U8(ProgramCommandBlock::kData, v, code); break;
    case Width::U16: f.U16(10, v, code); break;
    case Width::I16: f.I16(10, v, code); break;
    }
    if (f.error())
        return f.error();
    return Send(b);
}

int32_t HeaderPass::LineOf(const std::string& suffix, bool allowNext, uint16_t next, uint16_t& line) const
{
    if (allowNext && suffix == "?") {
        line = next;
        return 0;
    }
    if (!Digits(suffix))
        return zerr::kUnknownCommand;
    int32_t n = 0;
    ParseNumber(suffix, n);
    if (n > 65535)
        return zerr::kBadListNumber;
    line = static_cast<uint16_t>(n);
    return 0;
}

int32_t HeaderPass::SingleLine(uint8_t list, const std::string& suffix, uint16_t& next, const Parse& parse)
{
    uint16_t line = 0;
    if (int32_t e = LineOf(suffix, true, next, line))
        return e;
    if (suffix == "?")
        next = NextOf(uint32_t(line) + 1);
    if (Value().empty()) {
        ProgramCommandBlock b = CompilerBlock(list, 3, line, list);
        return Send(b);
    }
    ProgramCommandBlock b = CompilerBlock(list, 2, line, list);
    if (int32_t e = parse(Value(), b))
        return e;
    return Send(b);
}

int32_t HeaderPass::IndexLines(uint8_t list, const std::string& suffix, uint16_t& next, uint16_t& subList,
                               const ParseMany& parse)
{
    uint16_t line = 0;
    if (int32_t e = LineOf(suffix, true, next, line))
        return e;
    if (Value().empty()) {
        if (suffix == "?")
            next = NextOf(uint32_t(line) + 1);
        ProgramCommandBlock b = CompilerBlock(list, 3, line, list);
        return Send(b);
    }
    std::vector<ProgramCommandBlock> blocks;
    if (int32_t e = parse(Value(), blocks))
        return e;
    if (suffix == "?")
        next = NextOf(uint32_t(line) + blocks.size());
    for (size_t i = 0; i < blocks.size(); ++i) {
        uint32_t at = uint32_t(line) + i;
        if (at > 65535)
            return zerr::kBadListNumber;
        ProgramCommandBlock& b = blocks[i];
        b.SetCode(list);
        b.SetSub(2);
        b.SetLine(static_cast<uint16_t>(at));
        b.SetCountField(1);
        b.SetSelector(list);
        // The first line opens the sub-list; the others continue it.
        if (i == 0)
            b.SetU16(10, OpeningNumber(list, static_cast<uint16_t>(at), subList));
        if (int32_t e = Send(b))
            return e;
        if (list == kFList && at < kUsedFlagLines)
            rec_.FLineUsed[at] = 1;
    }
    return 0;
}

uint16_t HeaderPass::OpeningNumber(uint8_t list, uint16_t line, uint16_t& subList) const
{
    // After unused lines the counter may lag behind their numbers; the file
    // keeps sub-lists apart only by rising numbers.
    const T_Kelt8IndexListe* lines = FListe;
    if (list == kPList)
        lines = PListe;
    const uint16_t number = std::max(subList, LowestOpeningNumber(*lines, line));
    subList = NextOf(uint32_t(number) + 1);
    return number;
}

int32_t HeaderPass::SubListsUpTo(T_Kelt8IndexListe& list, uint16_t& next, uint16_t& subList)
{
    // The index lists number their sub-lists up to 1999: a larger number
    // could only be refused by every later write.
    int32_t v = 0;
    if (!Range(1, kMaxSubList, v))
        return zerr::kUnknownCommand;
    EnsureIndexListLines(list, static_cast<uint16_t>(v));
    next = subList = static_cast<uint16_t>(v);
    return 0;
}

int32_t HeaderPass::TakeDownLine(const std::string& suffix, bool continuation)
{
    if (!Digits(suffix))
        return zerr::kUnknownCommand;
    int32_t n = 0;
    ParseNumber(suffix, n);
    if (n < 1 || n > kMaxSubList)
        return zerr::kBadListNumber;
    if (Value().empty()) {
        uint16_t place = EnsureAListLine(static_cast<uint16_t>(n), continuation);
        if (place == 0)
            return zerr::kBadListNumber;
        // An empty $K_ drops the continuation line it has just made and
        // resets the line now at that place: the one that followed the
        // sub-list becomes an unset take-down line.
        if (continuation)
            AListe->DeleteLine(place);
        ProgramCommandBlock b = CompilerBlock(kAList, 3, place, kAList);
        return Send(b);
    }
    ProgramCommandBlock b = CompilerBlock(kAList, 2, 0, kAList);
    if (int32_t e = DirectiveItems::TakeDown(Value(), continuation, z_.SwitchOn, z_.SwitchOff, b))
        return e;
    uint16_t line = EnsureAListLine(static_cast<uint16_t>(n), continuation);
    if (line == 0)
        return zerr::kBadListNumber;
    b.SetLine(line);
    b.SetU16(10, continuation ? 0 : static_cast<uint16_t>(n));
    return Send(b);
}

// ---------------------------------------------------------------------------
// Values of the compiler record

int32_t HeaderPass::DoX(const std::string&)
{
    int32_t v = 0;
    if (!Range(1, 9999, v))
        return zerr::kUnknownCommand;
    rec_.X = static_cast<uint16_t>(v);
    return 0;
}

int32_t HeaderPass::DoY(const std::string&)
{
    int32_t v = 0;
    if (!Range(2, 9999, v))
        return zerr::kUnknownCommand;
    rec_.Y = static_cast<uint16_t>(v - 1);
    return 0;
}

int32_t HeaderPass::DoN(const std::string&)
{
    int32_t v = 0;
    if (!Range(1, 9999, v))
        return zerr::kUnknownCommand;
    rec_.NextNLine = static_cast<uint16_t>(v);
    return 0;
}

int32_t HeaderPass::DoV(const std::string&)
{
    int32_t v = 0;
    if (!Range(1, 9999, v))
        return zerr::kUnknownCommand;
    rec_.NextVLine = static_cast<uint16_t>(v);
    return 0;
}

int32_t HeaderPass::DoWN(const std::string&)
{
    int32_t v = 0;
    if (!Range(-9999, 9999, v) || v == 0)
        return zerr::kUnknownCommand;
    rec_.WN = static_cast<int16_t>(v);
    return 0;
}

int32_t HeaderPass::DoWS(const std::string&)
{
    int32_t v = 0;
    if (!Range(-9999, 9999, v) || v == 0)
        return zerr::kUnknownCommand;
    rec_.WS = rec_.WSCopy = static_cast<int16_t>(v);
    return 0;
}

int32_t HeaderPass::DoZ(const std::string&)
{
    int32_t v = 0;
    if (!Range(1, 9999, v))
        return zerr::kUnknownCommand;
    rec_.Z = static_cast<uint16_t>(v);
    return 0;
}

int32_t HeaderPass::DoS(const std::string&)
{
    int32_t v = 0;
    if (!Range(1, 9999, v))
        return zerr::kUnknownCommand;
    rec_.NextSLine = static_cast<uint16_t>(v);
    rec_.SCounters.fill(static_cast<uint16_t>(v));
    return 0;
}

int32_t HeaderPass::DoYMax(const std::string&)
{
    int32_t v = 0;
    if (!Range(1, 9999, v))
        return zerr::kUnknownCommand;
    rec_.MaxY = static_cast<uint16_t>(v);
    ProgrammKopf.SetHeight(static_cast<uint16_t>(v));
    return 0;
}

int32_t HeaderPass::DoXMax(const std::string&)
{
    int32_t v = 0;
    if (!Range(1, 9999, v))
        return zerr::kUnknownCommand;
    rec_.MaxX = static_cast<uint16_t>(v);
    ProgrammKopf.SetWidth(static_cast<uint16_t>(v));
    return 0;
}

int32_t HeaderPass::DoFOpt(const std::string&)
{
    if (Value() == "ON")
        z_.F_Opt = 1;
    else if (Value() == "OFF")
        z_.F_Opt = 0;
    else
        return zerr::kUnknownCommand;
    return 0;
}

int32_t HeaderPass::DoColours(const std::string&)
{
    const std::string& v = Value();
    if (v.size() < 2 || v.front() != '[' || v.back() != ']')
        return zerr::kUnknownCommand;
    rec_.ColourString = v.substr(1, v.size() - 2);
    return 0;
}

int32_t HeaderPass::DoFsStep(const std::string&)
{
    const std::string& v = Value();
    int32_t n = 0;
    if (v.empty() || v[0] != 'D' || !ParseNumber(v.substr(1), n) || n < 0 || n > 99)
        return zerr::kUnknownCommand;
    rec_.FsUStep = static_cast<uint8_t>(n);
    return 0;
}

int32_t HeaderPass::DoEnd(const std::string&)
{
    z_.HeaderState = 4;
    return 0;
}

int32_t HeaderPass::DoN0(const std::string&)
{
    if (Value() == "ON")
        rec_.FLineUsed[0] = 1;
    else if (Value() == "OFF")
        rec_.FLineUsed[0] = 0;
    else
        return zerr::kUnknownCommand;
    return 0;
}

int32_t HeaderPass::DoDensitySlots(const std::string& suffix)
{
    if (suffix.size() != 2 || suffix[1] != ']')
        return zerr::kUnknownCommand;
    size_t k = z_.Symbols.find(suffix[0]);
    if (k == std::string::npos || k >= size_t(kDensitySymbols))
        return zerr::kUnknownCommand;
    std::array<ColourDensitySlot, 4> slots;
    int count = 0;
    if (int32_t e = DirectiveItems::DensitySlots(Value(), slots, count))
        return e;
    for (int i = 0; i < count; ++i)
        rec_.ColourDensity[k][size_t(i / 2)][size_t(i % 2)] = slots[size_t(i)];
    return 0;
}

// "$YC_OFFSET_rb=a,b": a is the first, b the second value of the carrier.
int32_t HeaderPass::DoCarrierOffset(const std::string& suffix)
{
    if (suffix.size() != 2 || suffix[0] < '1' || suffix[0] > '8' || suffix[1] < 'A' || suffix[1] > 'H')
        return zerr::kUnknownCommand;
    std::string rest = Value(), first;
    SplitAtComma(rest, 255, first);
    int32_t a = 0, b = 0;
    if (!ParseNumber(first, a) || !ParseNumber(rest, b) || a < -32768 || a > 32767 || b < -32768 || b > 32767)
        return zerr::kUnknownCommand;
    auto& values = z_.CarrierOffsets[size_t(suffix[0] - '1')][size_t(suffix[1] - 'A')];
    values[0] = static_cast<int16_t>(a);
    values[1] = static_cast<int16_t>(b);
    return 0;
}

// ---------------------------------------------------------------------------
// Settings and carriers

int32_t HeaderPass::DoMachineType(const std::string&)
{
    std::string type = Value();
    if (type.rfind("ZR", 0) == 0)
        type.erase(0, 2);
    // Only a whole entry of the model table names a machine: a part of a
    // number, or a text across two entries, is none.
    int pos = FindModel(type);
    if (pos == 0)
        return zerr::kUnknownMachine;
    z_.MachineNumber = static_cast<uint8_t>(ModelColumnNumber(1, pos));
    z_.MachineMode = static_cast<uint8_t>(ModelColumnNumber(2, pos));
    z_.MachineTakeDown = ModelColumnChar(3, pos) == '1' ? 1 : 0;
    ProgrammKopf.b[11] = z_.MachineTakeDown;
    ProgramCommandBlock select = CompilerBlock(kSelectMachine, 3, z_.MachineNumber, 0);
    int32_t error = Send(select);
    if (error == 0) {
        ProgramCommandBlock model = CompilerBlock(kSettings, 2, 1, ')');
        model.SetText(type);
        error = Send(model);
    }
    z_.MachineDefined = 1;
    P_SetMaschinenDaten();
    return error;
}

int32_t HeaderPass::DoName(const std::string&)
{
    // The name is the brace text that follows.
    ProgramCommandBlock b = CompilerBlock(z_.CarrierListNumber, 2, 1, 25);
    return Send(b);
}

int32_t HeaderPass::DoComb(const std::string&)
{
    if (!ProgrammKopf.TakeDownColumns())
        return 0;
    ProgramCommandBlock b = CompilerBlock(kSettings, 2, 1, '+');
    return Send(b);
}

int32_t HeaderPass::DoHC(const std::string&)
{
    const std::string& v = Value();
    std::string letters = v.size() >= 2 ? v.substr(1, v.size() - 2) : std::string();
    ProgramCommandBlock b = CompilerBlock(kSettings, 2, 1, 40);
    b.SetText(letters, ProgramCommandBlock::kData, 32);
    return Send(b);
}

int32_t HeaderPass::DoCarrier(const std::string& suffix)
{
    if (suffix.empty() || suffix.size() > 2 || suffix[0] < '0' || suffix[0] > '9')
        return zerr::kUnknownCommand;
    char box = 'A';
    if (suffix.size() == 2) {
        box = suffix[1];
        if (box < 'A' || box > 'Z')
            return zerr::kUnknownCommand;
    }
    uint8_t rail = static_cast<uint8_t>(suffix[0] - '0');
    ProgramCommandBlock b = CompilerBlock(z_.CarrierListNumber, 2, 1, 24);
    b.SetU8(9, rail);
    b.SetU8(10, static_cast<uint8_t>(box));
    int32_t exchange = -1;
    if (int32_t e = DirectiveItems::Carrier(Value(), b, exchange))
        return e;
    if (int32_t e = Send(b))
        return e;
    if (exchange < 0)
        return 0;
    ProgramCommandBlock x = CompilerBlock(z_.CarrierListNumber, 2, 1, 23);
    x.SetU8(9, rail);
    x.SetU8(10, static_cast<uint8_t>(exchange));
    return Send(x);
}

int32_t HeaderPass::DoNeedleRoom(const std::string& suffix)
{
    uint16_t line = 0;
    if (int32_t e = LineOf(suffix, false, 0, line))
        return e;
    std::string rest = Value(), first;
    SplitAtComma(rest, 255, first);
    int32_t start = 0, end = 0;
    if (!ParseNumber(first, start) || !ParseNumber(rest, end))
        return zerr::kUnknownCommand;
    ProgramCommandBlock b = CompilerBlock(kSettings, 2, line, 12);
    BlockFields f(b);
    f.U16(10, start, 2201);
    f.U16(12, end, 2202);
    if (f.error())
        return f.error();
    return Send(b);
}

int32_t HeaderPass::DoWLine(const std::string& suffix)
{
    uint16_t line = 0;
    if (int32_t e = LineOf(suffix, false, 0, line))
        return e;
    if (Value().empty()) {
        ProgramCommandBlock b = CompilerBlock(kWList, 3, line, 7);
        return Send(b);
    }
    int32_t v = 0;
    if (!ParseNumber(Value(), v))
        return zerr::kUnknownCommand;
    ProgramCommandBlock b = CompilerBlock(kWList, 2, line, 7);
    BlockFields f(b);
    f.I16(10, v, 1701);
    if (f.error())
        return f.error();
    return Send(b);
}

// ---------------------------------------------------------------------------
// List lines

int32_t HeaderPass::DoVLine(const std::string& suffix)
{
    return SingleLine(kVList, suffix, rec_.NextVLine, &DirectiveItems::Racking);
}

int32_t HeaderPass::DoNLine(const std::string& suffix)
{
    return SingleLine(kNList, suffix, rec_.NextNLine, &DirectiveItems::NeedleDivision);
}

int32_t HeaderPass::DoSLine(const std::string& suffix)
{
    char comparison = z_.ComparisonChar;
    return SingleLine(kSList, suffix, rec_.NextSLine, [comparison](const std::string& v, ProgramCommandBlock& b) {
        return DirectiveItems::SchemeSequence(v, comparison, b);
    });
}

int32_t HeaderPass::DoPLines(const std::string& suffix)
{
    char separator = z_.SideSeparator;
    return IndexLines(kPList, suffix, rec_.NextPLine, rec_.NextPSubList,
                      [separator](const std::string& v, std::vector<ProgramCommandBlock>& blocks) {
                          return DirectiveItems::CarrierPositions(v, separator, blocks);
                      });
}

int32_t HeaderPass::DoFSLines(const std::string& suffix)
{
    bool single = z_.MachineMode == 1;
    return IndexLines(kFList, suffix, rec_.NextFLine, rec_.NextFSubList,
                      [single](const std::string& v, std::vector<ProgramCommandBlock>& blocks) {
                          return DirectiveItems::Densities(v, single, blocks);
                      });
}

int32_t HeaderPass::DoModuleSet(const std::string&)
{
    std::array<uint8_t, 2> code;
    if (ModuleSetCode(z_.ErrorToken, code) && FindModuleSet(code))
        return 0;  // the first definition of a code holds
    return DefineModuleSet();
}
}  // namespace

int32_t ParseScriptHeader()
{
    return HeaderPass().Run();
}
