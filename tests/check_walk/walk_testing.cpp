#include "tests/check_walk/walk_testing.h"

#include "check/export_options.h"
#include "check/programcheck.h"
#include "check/rules/checkstate.h"
#include "kernel/listaccess/nlistaccess.h"
#include "kernel/listaccess/slistaccess.h"
#include "kernel/listaccess/wlistaccess.h"
#include "kernel/listaccess/zlistaccess.h"
#include "kernel/model/bytes.h"
#include "kernel/model/globals.h"
#include "kernel/model/listmodel.h"
#include "kernel/model/programmodel.h"

namespace walktest {

void FakeCheckHost::processEvents()
{
    ++processEventsCalls;
}

void FakeCheckHost::waitForContinue()
{
    ++waits;
    if (inPause)
        inPause();
    CheckState.continueFlag = 1;
    CheckState.pauseFlag = 0;
}

uint8_t* ZLine(uint16_t z)
{
    return ZListe->GetLine(z);
}

uint8_t* ZSystem(uint16_t z, int sys)
{
    return ZLine(z) + zline::System(sys);
}

uint8_t* ZSide(uint16_t z, int sys, int s)
{
    return ZLine(z) + zline::Side(sys, s);
}

void PlainRow(uint16_t z)
{
    for (int s = 0; s < 2; ++s) {
        uint8_t* side = ZSide(z, 1, s);
        side[zline::kPatternMode] = 0;
        put_i16(side, zline::kPatternValue, 1);
    }
}

void Speed(uint16_t z, uint8_t kind, uint16_t value)
{
    ZLine(z)[zline::kSpeedMode] = kind;
    put_u16(ZLine(z), zline::kSpeedValue, value);
}

void TakeDown(uint16_t z, uint8_t kind, uint16_t value)
{
    ZLine(z)[zline::kTakeDownMode] = kind;
    put_u16(ZLine(z), zline::kTakeDownValue, value);
}

void SetSLine(uint16_t s, const SLineFields& l)
{
    uint8_t* p = SListe->GetLine(s);
    p[sline::kKind] = l.kind;
    put_u16(p, sline::kStart, l.first);
    put_i16(p, sline::kOffset, l.extent);
    p[sline::kChoice] = l.selector;
    put_u16(p, sline::kRepetitions, l.count);
    p[sline::kNeedleChoice] = l.divisionFlag;
    put_u16(p, sline::kNeedleStart, l.division);
    p[sline::kNeedleOffsetChoice] = l.extentMode;
    put_u16(p, sline::kNeedleOffset, l.extentValue);
    put_u16(p, sline::kYStartFront, l.frontStart);
    put_i16(p, sline::kYOffsetFront, l.frontStep);
    put_u16(p, sline::kYStartBack, l.backStart);
    put_i16(p, sline::kYOffsetBack, l.backStep);
    WriteShortString(p, sline::kComment, 80, l.comment);
}

void SetNLine(uint16_t n, const NLineFields& l)
{
    uint8_t* p = NListe->GetLine(n);
    p[nline::kKind] = l.kind;
    put_u16(p, nline::kStart, l.first);
    put_i16(p, nline::kOffset, l.extent);
    p[nline::kRepetitionKind] = l.selector;
    put_u16(p, nline::kRepetitionCount, l.count);
    WriteShortString(p, nline::kComment, 80, l.comment);
}

void SetWValue(uint16_t n, int16_t value, int level, const std::string& comment)
{
    uint8_t* p = WListe->GetLine(n);
    put_i16(p, wline::Value(level), value);
    if (!comment.empty())
        WriteShortString(p, wline::kComment, 80, comment);
}

void BasicProgram()
{
    CreateProgramModel();
    ProgrammKopf.SetModel("311");
    SetModelFields(ProgrammKopf, "311");
    ProgrammKopf.SetGauge(7);
    SetGaugeFields(ProgrammKopf, 7);
    ProgrammKopf.SetWidth(100);
    ProgrammKopf.SetHeight(20);
    BildEbene0.allocate(20);
    BildEbene0.present = true;
    RuestSchema.b[T_RuestSchema::kLevel] = 1;
    put_u16(RuestSchema.data(), T_RuestSchema::RoomStart(1, 1), 1);
    put_u16(RuestSchema.data(), T_RuestSchema::RoomEnd(1, 1), 101);
    put_u16(RuestSchema.data(), T_RuestSchema::kFfMin, 5);
    put_u16(RuestSchema.data(), T_RuestSchema::kFfMax, 100);
    RuestSchema.b[T_RuestSchema::kFfDis] = 2;
    PlainRow(1);
    Speed(1, 1, 50);
    TakeDown(1, 2, 10);
    PlainRow(2);
    SetSLine(1, SLineFields{.first = 1, .extent = 1});
}

std::string ProgramSnapshot()
{
    std::string s(reinterpret_cast<const char*>(ProgrammKopf.data()), T_ProgrammKopf::kSize);
    s.append(reinterpret_cast<const char*>(RuestSchema.data()), T_RuestSchema::kSize);
    for (int number : {1, 6, 7, 9, 4, 2, 5, 3}) {
        const T_ListenVar* l = ListByNumber(number);
        s += std::to_string(l->Count()) + ":";
        for (uint16_t i = 1; i <= l->Count(); ++i)
            s.append(reinterpret_cast<const char*>(l->ExistingLine(i)), l->LineSize());
    }
    return s;
}

std::vector<std::string> Report(const std::string& summary, const std::vector<std::string>& rails)
{
    std::vector<std::string> r = {"", "", "Fadenführer-Grundstellung", ""};
    for (int k = 8; k >= 1; --k) {
        std::string line = "FF" + std::to_string(k) + " ";
        if (size_t(k) <= rails.size())
            line += rails[size_t(k - 1)];
        r.push_back(line);
    }
    r.push_back("");
    r.push_back(summary);
    return r;
}

void WalkTest::SetUp()
{
    CheckState = T_CheckState();
    CheckState.messageSink = [this](const std::string& text) {
        out.push_back(pieces_ + text);
        pieces_.clear();
    };
    CheckState.carrierReportSink = [this](const std::string& piece) { pieces_ += piece; };
    SetCheckHost(&host);
    SetSimLibrary(&library);
    ExportNListeWs = ExportSListeWs = ExportFfTypTrans = ExportGgChange = 0;
    BasicProgram();
}

void WalkTest::TearDown()
{
    SetCheckHost(nullptr);
    SetSimLibrary(nullptr);
    CheckState = T_CheckState();
    TestModus = 0;
    ExportNListeWs = ExportSListeWs = ExportFfTypTrans = ExportGgChange = 0;
}

std::vector<std::string> WalkTest::Run(int mode)
{
    TestModus = mode;
    out.clear();
    library.calls.clear();
    pieces_.clear();
    RunProgramCheck();
    return out;
}

std::vector<std::string> WalkTest::Join(std::initializer_list<std::vector<std::string>> parts)
{
    std::vector<std::string> all;
    for (const auto& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

}  // namespace walktest
