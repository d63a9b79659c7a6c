#include "check/programcheck.h"

#include <algorithm>
#include <cmath>
#include <exception>

#include "check/checkhost.h"
#include "check/export_options.h"
#include "check/rules/checkmessages.h"
#include "check/rules/checkstate.h"
#include "check/simdll.h"
#include "check/simdll_blocks.h"
#include "check/simlibrary.h"
#include "check/walkstate.h"
#include "kernel/dispatch/busystate.h"
#include "kernel/language/language.h"
#include "kernel/listaccess/nlistaccess.h"
#include "kernel/listaccess/selectorlevel.h"
#include "kernel/listaccess/slistaccess.h"
#include "kernel/listaccess/wlistaccess.h"
#include "kernel/model/bytes.h"
#include "kernel/model/family_data.h"
#include "kernel/model/globals.h"
#include "kernel/model/programmodel.h"
#include "platform/codepage.h"

T_CheckPosition CheckPosition;
WalkState Walk;

namespace {

bool runCutShort = false;

class NullCheckHost : public CheckHost {
};
NullCheckHost nullHost;
CheckHost* currentHost = &nullHost;

bool Feeding()
{
    return TestModus == 1 || TestModus == 2;
}

uint16_t U16(int32_t v)
{
    return static_cast<uint16_t>(std::clamp<int32_t>(v, 0, 65535));
}

// A line for reading; numbers outside the list's range read as defaults.
const uint8_t* Peek(const T_ListenVar* list, int32_t i)
{
    return list->PeekLine(i >= 1 && i <= 65535 ? static_cast<uint16_t>(i) : 0);
}

// Pattern rows add up over nested sequences and repetitions: kept in a
// range where the next sum cannot overflow (they are far beyond any
// pattern long before).
int RowSum(int64_t v)
{
    return static_cast<int>(std::clamp<int64_t>(v, -1000000000, 1000000000));
}

int Step(int32_t from, int32_t to)
{
    return to >= from ? 1 : -1;
}

// The fields of a scheme sequence line the walk reads, copied: the window
// may change the lists while the walk waits.
struct SLine {
    uint8_t kind = 0;
    uint16_t first = 0;
    int16_t extent = 0;
    uint8_t selector = 0;
    uint16_t count = 0;
    uint8_t divisionFlag = 0;
    uint16_t division = 0;
    uint8_t extentMode = 0;
    uint16_t extentValue = 0;
    uint16_t frontStart = 0;
    int16_t frontStep = 0;
    uint16_t backStart = 0;
    int16_t backStep = 0;
};

SLine ReadSLine(int32_t s)
{
    const uint8_t* p = Peek(SListe, s);
    SLine l;
    l.kind = p[sline::kKind];
    l.first = get_u16(p, sline::kStart);
    l.extent = get_i16(p, sline::kOffset);
    l.selector = p[sline::kChoice];
    l.count = get_u16(p, sline::kRepetitions);
    l.divisionFlag = p[sline::kNeedleChoice];
    l.division = get_u16(p, sline::kNeedleStart);
    l.extentMode = p[sline::kNeedleOffsetChoice];
    l.extentValue = get_u16(p, sline::kNeedleOffset);
    l.frontStart = get_u16(p, sline::kYStartFront);
    l.frontStep = get_i16(p, sline::kYOffsetFront);
    l.backStart = get_u16(p, sline::kYStartBack);
    l.backStep = get_i16(p, sline::kYOffsetBack);
    return l;
}

// The extent of the line's needle division: byte 14 as stored is 0 for a
// positive offset, 1 for a negative one and 2 for a selector line.
int32_t DivisionExtent(const SLine& l)
{
    switch (l.extentMode) {
    case 0:
        return l.extentValue;
    case 1:
        return -int32_t(l.extentValue);
    case 2:
        return SelectorValue(l.extentValue);
    default:
        return 0;
    }
}

uint16_t DivisionStart(const SLine& l)
{
    return U16(F_WsWert(l.divisionFlag, l.division));
}

std::string WComment(uint16_t n)
{
    return ReadShortString(Peek(WListe, n), wline::kComment, 80);
}

void FeedBeginnWs(const SLine& l, int32_t value)
{
    SimDllCallScope scope;
    auto block = PackDllBeginnWs(l.kind == 0, l.count, U16(value), WComment(l.count), scope);
    simLibrary().BeginnWs(block);
}

void FeedEndeWs(const SLine& l)
{
    auto block = PackDllEndeWs(l.kind == 0);
    simLibrary().EndeWs(block);
}

void Pause()
{
    CheckState.continueFlag = 0;
    checkHost().waitForContinue();
    CheckState.continueFlag = 0;
}

// -- export pre-pass ---------------------------------------------------------

struct SingleDivision {
    bool found = false;
    uint16_t first = 0;
    int32_t extent = 0;
} single;

// Step 1 of the run: everything of the last run goes.
void StartRun()
{
    CheckState.checkFinished = 0;
    ResetCheckMessages();
    CheckState.continueFlag = 0;
    CheckState.userAbort = 0;
    CheckState.firstRow = 1;
    CheckPosition = T_CheckPosition{};
    WalkState& w = Walk;
    w.rails.clear();
    w.takeDown.reset();
    w.lastDirection = '<';
    w.speed = 100;
    w.current = T_Versatz{};
    w.next = T_Versatz{};
    w.rowRacks = false;
    w.markerPending = false;
    w.strokes = 0;
    w.divisionActive = false;
    w.feedDivision = false;
    for (int i = 1; i <= kRails; ++i) {
        const uint8_t v = RuestSchema.b[T_RuestSchema::Exchange(i)];
        w.railMap[size_t(i)] = v ? v : static_cast<uint8_t>(i);
    }
    w.systemWord = Utf8ToCp1252(F_TRANS("System"));
    // The header's system count addresses six system blocks at most.
    w.systems = std::clamp<int>(ProgrammKopf.MachineKind(), 1, kWalkSystems);
}

// Step 2: the sequence runs from line 1 to before the first later line
// whose first number is 0.
int SequenceEnd()
{
    if (SListe->Count() < 1 || get_u16(SListe->PeekLine(1), sline::kStart) == 0)
        CheckMessage(23, std::string(), {0});
    int last = 1;
    for (int j = 2; j <= SListe->Count(); ++j) {
        if (get_u16(SListe->PeekLine(static_cast<uint16_t>(j)), sline::kStart) == 0)
            break;
        last = j;
    }
    return last;
}

// Step 3: the needle room of line 1 at the current selector level.
void MakeNeedleRoom()
{
    WalkState& w = Walk;
    const int we = CurrentSelectorLevel();
    w.roomStart = get_u16(RuestSchema.data(), T_RuestSchema::RoomStart(1, we));
    w.roomEnd = get_u16(RuestSchema.data(), T_RuestSchema::RoomEnd(1, we));
    // An end before the start is no room at all (not a wrapped one).
    w.roomWidth = std::max(0, w.roomEnd - w.roomStart);
    F_NadelStart();
    const int mapWidth = TestModus == 2 ? 2 * w.roomWidth : w.roomWidth;
    w.needleMap.assign(size_t(mapWidth) + 1, 0);
    w.width = w.roomWidth;
    w.mapLimit = mapWidth;
    // The machine counts its needles from 1: a line starting at needle 0 is
    // no room line (the program file keeps none, the room editor clears it),
    // and its first needle would reach no needle of the machine.
    if (w.roomWidth == 0 || w.roomStart == 0)
        CheckMessage(1, std::string(), {});
}

// Step 4 (export): one division for the whole program goes to the library
// once, before the first stroke, and fixes the width.
void ExportPrePass(int last)
{
    WalkState& w = Walk;
    single = SingleDivision{};
    if (F_ExportNadelEinteilung(1, last, 1) && single.found) {
        P_NadelEinteilungStart(single.first, single.extent, false);
        int count = 0;
        while (count + 1 < int(w.needleMap.size()) && w.needleMap[size_t(count + 1)] != 0)
            ++count;
        w.width = count;
        w.mapLimit = count;
        P_NadelEinteilungStart(single.first, single.extent, true);
    } else {
        w.width = w.roomWidth;
        w.mapLimit = w.roomWidth;
    }
    w.divisionActive = false;
}

// Step 5 and what the library feed keeps from stroke to stroke.
void MakeArrays()
{
    WalkState& w = Walk;
    for (auto& a : w.actions)
        a.assign(size_t(w.width) + 1, nadel::kNone);
    w.systemActive.fill(0);
    const size_t machine = Feeding() ? w.needleStart : 0;
    w.machineFront.assign(machine, 0);
    w.machineBack.assign(machine, 0);
    for (auto& d : w.machineDensity)
        d.assign(2 * machine, 0);
    w.takeDownText.reserve(256);
    w.label.reserve(128);
    w.takeDown.comment.reserve(96);
    for (SystemStroke& st : w.stroke) {
        st.moves.reserve(16);
        for (auto& side : st.density)
            for (DensityRef& d : side)
                d.text.reserve(96);
    }
    w.firstActionNeedle = static_cast<uint16_t>(w.width ? w.width : w.roomWidth);
}

// Step 8: where the carriers stand, then the summary.
void Report()
{
    const T_MeldungProc& out = CheckState.messageSink;
    const T_MeldungProc& pieces = CheckState.carrierReportSink;
    CallSink(out, std::string());
    CallSink(out, std::string());
    CallSink(out, F_TRANS("Fadenführer-Grundstellung"));
    CallSink(out, std::string());
    const std::string ff = F_TRANS("FF");
    for (int r = kRails; r >= 1; --r) {
        CallSink(pieces, ff + std::to_string(r) + " ");
        const T_Rail& rail = Walk.rails.rail(r);
        for (int k = rail.count - 1; k >= 0; --k)
            CallSink(pieces, std::string(1, rail.entries[size_t(k)].home) + " ");
        CallSink(out, std::string());
    }
    CallSink(out, std::string());
    CallSink(out, CheckSummaryText(CheckState.errorCount));
}

void Walkthrough()
{
    StartRun();
    const int last = SequenceEnd();
    MakeNeedleRoom();
    if (TestModus == 2)
        ExportPrePass(last);
    MakeArrays();
    P_SchemaAblauf(1, 1, last, true, false, 0, 0, 0, 0, 0, false, 1);
    if (Walk.lastDirection == '>')
        CheckMessage(29, std::string(), {CheckPosition.sLine, CheckPosition.zRow});
    Report();
}

// Step 9, however the run ends.
void FinishRun(bool aborted)
{
    CheckState.checkFinished = 1;
    CheckState.running = 0;
    if (TestModus == 1)
        checkHost().runEnded(aborted);
}

}  // namespace

// ---------------------------------------------------------------------------

CheckHost& checkHost()
{
    return *currentHost;
}

void SetCheckHost(CheckHost* host)
{
    currentHost = host ? host : &nullHost;
}

int CurrentSelectorLevel()
{
    return UsableSelectorLevel(RuestSchema.b[T_RuestSchema::kLevel]);
}

int32_t SelectorValue(uint16_t n)
{
    return get_i16(Peek(WListe, n), wline::Value(CurrentSelectorLevel()));
}

int32_t F_WsWert(uint8_t flag, uint16_t number, bool forNeedleDivision)
{
    if (flag == 0)
        return number;
    const int32_t v = SelectorValue(number);
    if (!forNeedleDivision)
        return v;
    if (ExportNListeWs)
        return v != 0 ? 2 : 0;
    return std::min<int32_t>(1, v);
}

uint16_t SetupMarginWord()
{
    return 0;
}

uint16_t F_NadelStart()
{
    WalkState& w = Walk;
    const int we = CurrentSelectorLevel();
    const int start = get_u16(RuestSchema.data(), T_RuestSchema::RoomStart(1, we));
    const int end = get_u16(RuestSchema.data(), T_RuestSchema::RoomEnd(1, we));
    int width = end - start + 1;
    if (TestModus == 2)
        width *= 2;
    width = std::max(1, width);
    const int gauge = ProgrammKopf.Gauge();
    long result = 0;
    if (ProgrammKopf.TakeDownColumns()) {
        const long margin = std::lrint(gauge * 6.37) + SetupMarginWord() + 5;
        int factor = kDefaultNeedleStartFactor;
        const std::string model = ProgrammKopf.Model();
        for (const CombModel& m : kCombModels)
            if (model == m.number)
                factor = m.needleStartFactor;
        w.margin = static_cast<uint16_t>(std::clamp<long>(margin, 0, 65535));
        result = long(gauge) * factor + 2 * margin;
    } else {
        w.margin = SetupMarginWord();
        result = start + 2L * w.margin + width;
    }
    w.needleStart = static_cast<uint16_t>(std::clamp<long>(result, 0, 65535));
    SetSimSideMarginProvider([] { return Walk.margin; });
    return w.needleStart;
}

uint16_t CheckSideMargin()
{
    return Walk.margin;
}

uint16_t CheckNeedleStart()
{
    return Walk.needleStart;
}

uint32_t CheckStrokeCount()
{
    return Walk.strokes;
}

uint16_t CheckFirstActionNeedle()
{
    return Walk.firstActionNeedle;
}

uint16_t CheckExportEndNeedle()
{
    return Walk.firstActionNeedle > 0 ? static_cast<uint16_t>(Walk.firstActionNeedle - 1) : 0;
}

bool CheckRunCutShort()
{
    return runCutShort;
}

SimInfoEnde CheckExportEnd()
{
    return SimDllInfoEnde(CheckExportEndNeedle(), runCutShort);
}

std::span<const uint16_t> ActiveNeedleMap()
{
    const WalkState& w = Walk;
    if (!w.divisionActive)
        return {};
    return std::span<const uint16_t>(w.needleMap.data(), std::min(w.needleMap.size(), size_t(w.width) + 1));
}

void RunProgramCheck()
{
    // One check at a time: a window's timer or button reached while the walk
    // lets it process events must not start a second walk over the first.
    if (CheckState.running)
        return;
    ProgramBusyScope busy;
    CheckState.running = 1;
    bool aborted = false;
    runCutShort = true;
    try {
        Walkthrough();
    } catch (const ECheckAbort&) {
        aborted = true;
    } catch (const E_SyntaxFehler&) {
        aborted = true;
    } catch (...) {
        // The windows wait for the end of the run: tell them before the
        // failure goes on.
        FinishRun(true);
        throw;
    }
    runCutShort = aborted;
    FinishRun(aborted);
}

// ---------------------------------------------------------------------------
// The scheme sequence

void P_SchemaAblauf(int depth, int first, int last, bool mainPass, bool repeatFlag, int parent, int backStep,
                    int backStart, int frontStep, int frontStart, bool selectorInherited, int32_t repeatCount)
{
    if (depth >= 7)
        return;
    CheckPosition.parentSLine = U16(parent);
    const int step = Step(first, last);
    for (int32_t r = 1; r <= repeatCount; ++r) {
        CheckPosition.seqRepeat = U16(r);
        const int frontOffset = RowSum(int64_t(r - 1) * frontStep + frontStart);
        const int backOffset = RowSum(int64_t(r - 1) * backStep + backStart);
        for (int s = first;; s += step) {
            CheckPosition.sLine = U16(s);
            const SLine l = ReadSLine(s);
            // Three passes of a selector line in the export when asked for.
            const bool threePasses = TestModus == 2 && l.selector && ExportSListeWs;
            const int firstPass = threePasses ? 0 : 1;
            const int lastPass = threePasses ? 2 : 1;
            for (int pass = firstPass; pass <= lastPass; ++pass) {
                if (pass == 1 && l.selector && Feeding()) {
                    int32_t value = SelectorValue(l.count);
                    if (threePasses)
                        value = std::max<int32_t>(0, value - 2);
                    FeedBeginnWs(l, value);
                }
                if (l.first == 0)
                    CheckMessage(7, std::string(), {s});
                if (l.kind == 1) {
                    const int32_t count = std::max<int32_t>(0, F_WsWert(l.selector, l.count));
                    P_SchemaAblauf(depth + 1, l.first, l.first + l.extent, pass == 1,
                                   r >= 2 && selectorInherited, s, l.backStep, RowSum(int64_t(l.backStart) + backOffset),
                                   l.frontStep, RowSum(int64_t(l.frontStart) + frontOffset), l.selector != 0, count);
                    CheckPosition.parentSLine = U16(parent);
                    CheckPosition.sLine = U16(s);
                } else {
                    P_NadelEinteilungStart(DivisionStart(l), DivisionExtent(l), false);
                    // A negative selector value repeats nothing.
                    const int32_t count = std::max<int32_t>(0, F_WsWert(l.selector, l.count));
                    const int zLast = l.first + l.extent;
                    const int zStep = Step(l.first, zLast);
                    for (int32_t k = 1; k <= count; ++k) {
                        CheckPosition.rowRepeat = U16(k);
                        for (int z = l.first;; z += zStep) {
                            CheckPosition.zRow = U16(z);
                            if (TestModus == 0 || TestModus == 2)
                                checkHost().processEvents();
                            const int front = RowSum(int64_t(frontOffset) + l.frontStart + int64_t(k - 1) * l.frontStep);
                            const int back = RowSum(int64_t(backOffset) + l.backStart + int64_t(k - 1) * l.backStep);
                            const bool repeat = repeatFlag || (k >= 2 && l.selector) || (r >= 2 && selectorInherited);
                            P_SchlittenHub(s, z, mainPass && pass == 1, repeat, back, front);
                            if (CheckState.pauseFlag)
                                Pause();
                            if (z == zLast)
                                break;
                        }
                    }
                }
                if (l.selector && Feeding())
                    FeedEndeWs(l);
            }
            if (s == last)
                break;
        }
    }
}

// ---------------------------------------------------------------------------
// The needle division

void P_NadelEinteilungStart(uint16_t firstN, int32_t extent, bool feed)
{
    WalkState& w = Walk;
    if (firstN == 0) {
        w.divisionActive = false;
        return;
    }
    w.divisionActive = true;
    // A narrower division must not leave the columns of the last one behind.
    std::fill(w.needleMap.begin(), w.needleMap.end(), 0);
    w.needleCounter = 1;
    w.feedDivision = feed;
    P_NadelEinteilung(firstN, firstN + extent, 1, 1);
    w.feedDivision = false;
    if (feed && Feeding())
        simLibrary().NListeEnde();
    if (w.needleCounter == 1)
        CheckMessage(6, std::string(), {CheckPosition.sLine});
}

namespace {

void FeedNLine(const uint8_t* line, int32_t needles, uint8_t selector, uint16_t count)
{
    const std::string comment = ReadShortString(line, nline::kComment, 80);
    SimDllCallScope scope;
    if (selector) {
        auto block = PackDllAddNZeile(U16(needles), count, U16(SelectorValue(count)), comment, scope);
        simLibrary().AddNZeile(block);
        if (ExportNListeWs) {
            auto second = PackDllAddNZeile(U16(needles), count, U16(SelectorValue(count)), comment, scope);
            simLibrary().AddNZeile(second);
        }
    } else {
        const int64_t total = int64_t(needles) * count;
        auto block = PackDllAddNZeile(static_cast<uint16_t>(std::min<int64_t>(total, 65535)), 0, 1, comment, scope);
        simLibrary().AddNZeile(block);
    }
}

}  // namespace

void P_NadelEinteilung(int first, int last, int32_t repeat, int depth)
{
    WalkState& w = Walk;
    if (depth > 6)
        CheckMessage(4, std::string(), {CheckPosition.sLine, depth});
    const int patternWidth = ProgrammKopf.Width();
    const int step = Step(first, last);
    for (int32_t rep = 1; rep <= repeat; ++rep) {
        const int before = w.needleCounter;
        for (int n = first;; n += step) {
            if (w.needleCounter > w.mapLimit)
                return;
            w.nLine = U16(n);
            const uint8_t* p = Peek(NListe, n);
            const uint8_t kind = p[nline::kKind];
            const int start = get_u16(p, nline::kStart);
            const int extent = get_i16(p, nline::kOffset);
            const uint8_t selector = p[nline::kRepetitionKind];
            const uint16_t count = get_u16(p, nline::kRepetitionCount);
            if (start == 0)
                CheckMessage(5, std::string(), {CheckPosition.sLine, n});
            const int32_t times = F_WsWert(selector, count, true);
            if (kind == 1) {
                P_NadelEinteilung(start, start + extent, times, depth + 1);
            } else {
                if (w.feedDivision && Feeding())
                    FeedNLine(p, std::abs(extent) + 1, selector, count);
                const int colLast = start + extent;
                const int colStep = Step(start, colLast);
                for (int32_t q = 1; q <= times; ++q) {
                    for (int col = start;; col += colStep) {
                        if (col > patternWidth)
                            CheckMessage(9, std::string(), {CheckPosition.sLine, n, col, patternWidth});
                        if (col <= 0)
                            CheckMessage(10, std::string(), {CheckPosition.sLine, n});
                        w.needleMap[size_t(w.needleCounter)] = static_cast<uint16_t>(col);
                        if (++w.needleCounter > w.mapLimit)
                            return;
                        if (col == colLast)
                            break;
                    }
                }
            }
            if (n == last)
                break;
        }
        // A repetition that placed no needle places none the next time.
        if (w.needleCounter == before)
            break;
    }
}

bool F_ExportNadelEinteilung(int first, int last, int depth)
{
    if (depth >= 7)
        return true;
    const int step = Step(first, last);
    for (int s = first;; s += step) {
        CheckPosition.sLine = U16(s);
        const SLine l = ReadSLine(s);
        if (l.first != 0) {
            if (l.kind == 1) {
                if (!F_ExportNadelEinteilung(l.first, l.first + l.extent, depth + 1))
                    return false;
            } else if (const uint16_t n = DivisionStart(l)) {
                const int32_t extent = DivisionExtent(l);
                if (!single.found) {
                    single.found = true;
                    single.first = n;
                    single.extent = extent;
                } else if (single.first != n || single.extent != extent) {
                    return false;
                }
            }
        }
        if (s == last)
            break;
    }
    return true;
}
