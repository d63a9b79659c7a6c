// One carriage stroke of the program check: a knitting scheme row expanded,
// checked and, in simulation and export mode, handed to the library.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "check/checkhost.h"
#include "check/dll_handles.h"
#include "check/programcheck.h"
#include "check/rules/centreracking.h"
#include "check/rules/checkmessages.h"
#include "check/rules/checkstate.h"
#include "check/simdll_blocks.h"
#include "check/simlibrary.h"
#include "check/walkstate.h"
#include "kernel/listaccess/flistaccess.h"
#include "kernel/listaccess/plistaccess.h"
#include "kernel/listaccess/vlistaccess.h"
#include "kernel/listaccess/zlistaccess.h"
#include "kernel/model/bytes.h"
#include "kernel/model/globals.h"
#include "kernel/model/programmodel.h"
#include "kernel/services/services.h"

namespace {

bool Feeding()
{
    return TestModus == 1 || TestModus == 2;
}

int16_t Clamp16(int64_t v)
{
    return static_cast<int16_t>(std::clamp<int64_t>(v, -32768, 32767));
}

uint16_t ClampU16(int64_t v)
{
    return static_cast<uint16_t>(std::clamp<int64_t>(v, 0, 65535));
}

// The place numbers of a message about the current stroke.
struct Place {
    int32_t s;
    int32_t z;
    int32_t sys;
};

// Publishes the walk's own buffers for the length of one library call,
// without allocating.
class CallHandles {
public:
    ~CallHandles()
    {
        for (int i = 0; i < count_; ++i)
            SimDllHandles().withdraw(handles_[size_t(i)]);
    }
    uint32_t publish(const void* p)
    {
        const uint32_t h = SimDllHandles().publish(p);
        if (h && count_ < int(handles_.size()))
            handles_[size_t(count_++)] = h;
        return h;
    }
    uint32_t text(const std::string& s) { return publish(s.c_str()); }

private:
    std::array<uint32_t, 8> handles_{};
    int count_ = 0;
};

// -- selection extents --------------------------------------------------------

struct Extent {
    bool any = false;
    int left = 0;
    int right = 0;
    void add(int p)
    {
        if (!any) {
            any = true;
            left = right = p;
        } else {
            left = std::min(left, p);
            right = std::max(right, p);
        }
    }
};

// The needles the system selects on either bed; the back bed shifted by the
// current racking unless the racking flag is set (then the selection has
// shifted it already).
Extent SelectionExtent(int sys)
{
    const WalkState& w = Walk;
    const auto& front = w.actions[size_t(2 * (sys - 1))];
    const auto& back = w.actions[size_t(2 * (sys - 1) + 1)];
    const int shift = w.current.flag ? 0 : w.current.amount;
    Extent e;
    auto scan = [&](const std::vector<T_NadelAktion>& a, int add) {
        for (int i = 1; i <= w.width; ++i)
            if (a[size_t(i)] != nadel::kNone) {
                e.add(i + add);
                break;
            }
        for (int i = w.width; i >= 1; --i)
            if (a[size_t(i)] != nadel::kNone) {
                e.add(i + add);
                break;
            }
    };
    scan(front, 0);
    scan(back, shift);
    return e;
}

bool ColourIn(uint32_t colours, uint16_t column, int32_t row)
{
    if (column == 0 || row < 1 || row > 65535)
        return false;
    const uint8_t v = PatternCell(column, static_cast<uint16_t>(row));
    return v >= 1 && v <= 32 && ((colours >> (v - 1)) & 1u);
}

// The needles whose pattern cell has a colour of the set: front row as is,
// back row with the racking shift.
Extent ColourExtent(uint32_t colours, int32_t frontRow, int32_t backRow)
{
    const WalkState& w = Walk;
    const std::span<const uint16_t> map = ActiveNeedleMap();
    Extent e;
    if (map.empty())
        return e;
    const int shift = w.current.flag ? w.current.amount : 0;
    const int n = std::min<int>(w.width, int(map.size()) - 1);
    for (int i = 1; i <= n; ++i) {
        if (ColourIn(colours, map[size_t(i)], frontRow))
            e.add(i);
        if (ColourIn(colours, map[size_t(i)], backRow))
            e.add(i + shift);
    }
    return e;
}

// -- carriers -------------------------------------------------------------------

int CarrierType(int rail, int box)
{
    return RuestSchema.b[T_RuestSchema::CarrierType(rail, box > 0 ? box - 1 : 0)] == 1 ? 1 : 0;
}

void SpanMove(T_ZFfMove& m, const Extent& e, int left, int right, int ffMin)
{
    if (e.any) {
        m.start = Clamp16(int64_t(e.left) - left);
        m.end = Clamp16(int64_t(e.right) + right);
    } else {
        // Nothing selected: the carrier moves over twice the distance.
        m.start = 0;
        m.end = Clamp16(2 * int64_t(ffMin));
    }
}

// Intarsia carriers go out beyond the needle room on the side they leave.
void IntarsiaMove(T_ZFfMove& m, int left, int right)
{
    if (m.type != 1)
        return;
    const WalkState& w = Walk;
    const long d = std::lrint(ProgrammKopf.Gauge() * 6.37);
    if (m.direction == '<')
        m.start = Clamp16(-int64_t(w.roomStart) - d + 1 - left);
    else
        m.end = Clamp16(d + int64_t(w.needleStart) - 2 * int64_t(w.margin) - w.roomStart + 1 + right);
}

void PushedCarrier(const T_RailEntry& e)
{
    if (!Feeding())
        return;
    // Positions left of the room travel as negative numbers, as in P_DllAddFf.
    const int16_t end = Clamp16(int64_t(Walk.roomStart) + e.position - 1);
    auto block = PackDllFfEndPosChg(e.id, static_cast<uint16_t>(end), static_cast<uint8_t>(e.home));
    simLibrary().FfEndPosChg(block);
}

void CarrierMoves(SystemStroke& st, const uint8_t* block, char direction, int32_t frontRow, int32_t backRow,
                  const Place& at)
{
    WalkState& w = Walk;
    st.moves.clear();
    const int ffMin = get_u16(RuestSchema.data(), T_RuestSchema::kFfMin);
    const uint16_t pRef = get_u16(block, zline::kPListRef);
    bool extentKnown = false;
    Extent selected;
    auto selection = [&]() -> const Extent& {
        if (!extentKnown) {
            selected = SelectionExtent(st.number);
            extentKnown = true;
        }
        return selected;
    };
    if (pRef == 0) {
        const uint8_t bits = block[zline::kCarriers];
        for (int n = 1; n <= 8; ++n) {
            if (!(bits & (1u << (n - 1))))
                continue;
            const int rail = w.railMap[size_t(n)];
            if (rail < 1 || rail > kRails)
                continue;
            T_ZFfMove m;
            m.rail = static_cast<uint8_t>(rail);
            m.carrier = static_cast<uint8_t>(n);
            m.id = CarrierId(rail, 0);
            m.direction = direction;
            m.type = static_cast<uint8_t>(CarrierType(rail, 0));
            SpanMove(m, selection(), ffMin, ffMin, ffMin);
            IntarsiaMove(m, ffMin, ffMin);
            st.moves.push_back(m);
        }
    } else if (const uint16_t first = PListe->FindSubList(pRef)) {
        for (int j = first; j <= PListe->Count(); ++j) {
            const uint8_t* p = PListe->PeekLine(static_cast<uint16_t>(j));
            if (j != first && get_u16(p, pline::kListNumber) != 0)
                break;
            const int railNo = p[pline::kRail];
            const int box = p[pline::kBox];
            // Rail 0 is no carrier; what lies beyond eight has no rail.
            if (railNo < 1 || railNo > kRails || box > 8)
                continue;
            const int rail = w.railMap[size_t(railNo)];
            if (rail < 1 || rail > kRails)
                continue;
            const int16_t rawLeft = get_i16(p, pline::kOffsetLeft);
            const int16_t rawRight = get_i16(p, pline::kOffsetRight);
            const int left = rawLeft == -32768 ? ffMin : rawLeft;
            const int right = rawRight == -32768 ? ffMin : rawRight;
            const uint32_t colours = get_u32(p, pline::kColours);
            T_ZFfMove m;
            m.rail = static_cast<uint8_t>(rail);
            m.box = static_cast<uint8_t>(box);
            m.carrier = static_cast<uint8_t>(box ? box : railNo);
            m.id = CarrierId(rail, box);
            m.direction = direction;
            m.mode1 = p[pline::kSwingLeft];
            m.mode2 = p[pline::kSwingRight];
            m.type = static_cast<uint8_t>(CarrierType(rail, box));
            m.pLine = static_cast<uint16_t>(j);
            if (colours != 0) {
                if (st.selection.fixedProgram)
                    CheckMessage(8, std::string(), {at.s, at.z, at.sys, j});
                const Extent found = ColourExtent(colours, frontRow, backRow);
                if (found.any) {
                    m.colourMove = 1;
                    SpanMove(m, found, left, right, ffMin);
                }
            }
            if (!m.colourMove)
                SpanMove(m, selection(), left, right, ffMin);
            IntarsiaMove(m, left, right);
            st.moves.push_back(m);
        }
    }
    if (st.moves.empty() && st.selection.carrierWanted)
        CheckMessage(14, std::string(), {at.s, at.z, at.sys});
    for (T_ZFfMove& m : st.moves)
        if (!w.rails.place(m, PushedCarrier))
            CheckMessage(22, std::string(), {at.s, at.z, at.sys, m.rail});
}

// -- stitch densities ---------------------------------------------------------------

// The value of an F list line: its left carriage mode and value.
int32_t FLineValue(const uint8_t* f)
{
    return F_WsWert(f[fline::kLeftMode], get_u16(f, fline::kLeftValue));
}

void ResolveDensity(DensityRef& d, uint8_t kind, uint16_t number)
{
    d.value = 0;
    d.text.clear();
    d.dynamicLine = 0;
    int32_t value = 0;
    switch (kind) {
    case 1: {
        const uint16_t first = FListe->FindSubList(number);
        const uint8_t* f = FListe->PeekSubList(number);
        value = FLineValue(f);
        const uint8_t len = std::min<uint8_t>(f[fline::kComment], 80);
        d.text.assign(reinterpret_cast<const char*>(f + fline::kComment + 1), len);
        // Further lines of the sub-list make the density depend on the colour.
        if (first && first < FListe->Count() &&
            get_u16(FListe->PeekLine(static_cast<uint16_t>(first + 1)), fline::kListNumber) == 0)
            d.dynamicLine = first;
        break;
    }
    case 2:
        value = SelectorValue(number);
        break;
    case 3:
        value = number;
        break;
    default:
        break;
    }
    d.value = ClampU16(int64_t(value) * 100);
}

void ResolveDensities(SystemStroke& st, const uint8_t* block)
{
    for (int side = 0; side < 2; ++side) {
        const uint8_t* sb = block + zline::kSides + zline::kSideSize * size_t(side);
        ResolveDensity(st.density[size_t(side)][0], sb[zline::kDensity1Mode], get_u16(sb, zline::kDensity1Value));
        ResolveDensity(st.density[size_t(side)][1], sb[zline::kDensity2Mode], get_u16(sb, zline::kDensity2Value));
    }
}

bool DynamicSide(const SystemStroke& st, int side)
{
    return st.density[size_t(side)][0].dynamicLine || st.density[size_t(side)][1].dynamicLine;
}

// The density x 100 of one needle from its reference: the first line's
// value, replaced by every later line whose colours hold the needle's cell.
uint16_t NeedleDensity(const DensityRef& d, uint16_t column, int32_t row)
{
    if (!d.dynamicLine)
        return d.value;
    const uint8_t* f = FListe->PeekLine(d.dynamicLine);
    int64_t value = FLineValue(f);
    for (int j = d.dynamicLine + 1; j <= FListe->Count(); ++j) {
        const uint8_t* g = FListe->PeekLine(static_cast<uint16_t>(j));
        if (get_u16(g, fline::kListNumber) != 0)
            break;
        if (ColourIn(get_u32(g, fline::kColours), column, row))
            value = FLineValue(g);
    }
    return ClampU16(value * 100);
}

bool SecondForm(T_NadelAktion a)
{
    return a == nadel::kM2 || a == nadel::kF2 || a == nadel::kG2;
}

// -- library feed -----------------------------------------------------------------

// Room needle i lies at machine needle roomStart + margin + i - 1; the
// arrays the library gets start at machine needle 1. Needles beyond the
// machine array are left out (the comb's width is unrelated to the room).
struct MachineRange {
    int offset = 0;  // array index of room needle 1
    int lo = 1;
    int hi = 0;
};

MachineRange RoomInMachine()
{
    const WalkState& w = Walk;
    MachineRange r;
    r.offset = w.roomStart + w.margin - 1;
    r.lo = std::max(1, 1 - r.offset);
    r.hi = std::min(w.width, int(w.needleStart) - r.offset);
    return r;
}

void CopyToMachine(const std::vector<T_NadelAktion>& room, std::vector<uint8_t>& machine, const MachineRange& r)
{
    if (r.hi < r.lo)
        return;
    std::memcpy(machine.data() + r.offset + r.lo - 1, room.data() + r.lo, size_t(r.hi - r.lo + 1));
    WalkState& w = Walk;
    for (int i = r.lo; i <= r.hi; ++i)
        if (room[size_t(i)] != nadel::kNone) {
            w.firstActionNeedle = static_cast<uint16_t>(std::min<int>(w.firstActionNeedle, r.offset + i));
            break;
        }
}

uint8_t RowMarker(const uint8_t* z)
{
    if (z[zline::kFlag63])
        return 1;
    if (z[zline::kFlag63 + 1])
        return 2;
    if (z[zline::kFlag63 + 2])
        return 3;
    return 0;
}

char CombLetter(uint8_t command)
{
    return command == 1 ? 'O' : command == 2 ? 'C' : ' ';
}

struct StrokeFeed {
    int sLine;
    int zRow;
    char direction;
    bool mainPass;
    bool repeat;
    int frontRow;
    int backRow;
    uint8_t marker;
};

void BuildLabel(const StrokeFeed& f, int system)
{
    std::string& l = Walk.label;
    l.clear();
    if (TestModus != 1)
        return;
    l += 'S';
    l += F_ZeroPadNum(f.sLine, 4);
    l += " Z";
    l += F_ZeroPadNum(f.zRow, 4);
    l += ' ';
    l += Walk.systemWord;
    l += F_ZeroPadNum(system, 1);
    l += " YV";
    l += F_ZeroPadNum(f.frontRow, 4);
    l += " YH";
    l += F_ZeroPadNum(f.backRow, 4);
}

void FeedSystem(const StrokeFeed& f, SystemStroke& st, int round, bool firstLine)
{
    WalkState& w = Walk;
    SimLibrary& lib = simLibrary();
    const uint8_t* z = w.zLine.data();
    BuildLabel(f, st.published);

    std::array<uint8_t, 58> b{};
    {
        CallHandles h;
        uint8_t* p = b.data();
        put_u16(p, 0, 58);
        const T_Versatz& r = round == 0 ? w.current : w.next;
        p[2] = static_cast<uint8_t>(f.direction);
        p[3] = st.number;
        p[4] = static_cast<uint8_t>(static_cast<int8_t>(-r.amount));
        p[5] = firstLine ? 1 : 0;
        p[6] = static_cast<uint8_t>(round);
        p[7] = 0;
        p[8] = static_cast<uint8_t>(static_cast<int8_t>(-w.next.amount));
        p[9] = r.code == 0 ? 1 : 0;
        put_u16(p, 10, w.speed);
        put_u32(p, 12, h.text(w.takeDownText));
        uint8_t marker = 255;
        if (w.markerPending) {
            marker = 254;
            w.markerPending = false;
        }
        if (firstLine && (f.marker == 2 || f.marker == 3))
            marker = 2;
        p[16] = marker;
        for (int k = 0; k < 4; ++k) {
            const int side = k / 2;
            const DensityRef& d = st.density[size_t(side)][size_t(k % 2)];
            put_u16(p, 17 + 6 * size_t(k), DynamicSide(st, side) ? 0 : d.value);
            put_u32(p, 19 + 6 * size_t(k), h.text(d.text));
        }
        const bool comb = firstLine && ProgrammKopf.TakeDownColumns();
        for (int k = 0; k < 4; ++k)
            p[41 + k] = static_cast<uint8_t>(comb ? CombLetter(z[zline::kClamps + size_t(k)]) : ' ');
        if (comb) {
            const T_TakeDownState& t = w.takeDown;
            put_u16(p, 45, t.comb1 != kTakeDownUnset ? uint16_t(2 * t.comb1) : 0);
            uint32_t bits = (z[zline::kScissorsBits] & 3u) | (uint32_t(z[zline::kComb]) << 2);
            if (t.comb2 != kNeedleCountUnset)
                bits |= uint32_t(uint16_t(2 * static_cast<int16_t>(t.comb2))) << 16;
            put_u32(p, 47, bits);
        }
        p[51] = CheckState.messageActive ? 1 : 0;
        put_u32(p, 52, h.text(w.label));
        p[56] = f.repeat ? 1 : 0;
        p[57] = f.mainPass ? 1 : 0;
        lib.AddNeueZeile(b);
    }

    const MachineRange range = RoomInMachine();
    const size_t a = size_t(2 * (st.number - 1));
    CopyToMachine(w.actions[a], w.machineFront, range);
    CopyToMachine(w.actions[a + 1], w.machineBack, range);
    {
        CallHandles h;
        std::array<uint8_t, 12> s{};
        put_u16(s.data(), 0, 12);
        put_u32(s.data(), 2, h.publish(w.machineFront.data()));
        put_u32(s.data(), 6, h.publish(w.machineBack.data()));
        uint16_t centre = kNoCentreRacking;
        if (w.rowRacks && st.change)
            centre = static_cast<uint16_t>(std::clamp<int64_t>(int64_t(range.offset) + *st.change, 0, 65534));
        put_u16(s.data(), 10, centre);
        lib.AddSelektion(s);
    }

    const std::span<const uint16_t> map = ActiveNeedleMap();
    for (int side = 0; side < 2; ++side) {
        if (!DynamicSide(st, side))
            continue;
        std::vector<uint8_t>& out = w.machineDensity[size_t(side)];
        const auto& actions = w.actions[a + size_t(side)];
        const int32_t row = side == 0 ? st.rows[0] : st.rows[1];
        for (int i = range.lo; i <= range.hi; ++i) {
            const uint16_t column = size_t(i) < map.size() ? map[size_t(i)] : 0;
            const DensityRef& d = st.density[size_t(side)][SecondForm(actions[size_t(i)]) ? 1 : 0];
            put_u16(out.data(), 2 * size_t(range.offset + i - 1), NeedleDensity(d, column, row));
        }
        CallHandles h;
        std::array<uint8_t, 8> d{};
        put_u16(d.data(), 0, 8);
        d[2] = static_cast<uint8_t>(side);
        put_u32(d.data(), 4, h.publish(out.data()));
        lib.AddFsDynamisch(d);
    }

    // Every line of the system carries its moves, the second round of a
    // racking row too: the library takes each round's half of the stroke
    // from its own lines.
    for (const T_ZFfMove& m : st.moves) {
        T_DllFfMove move;
        move.rail = m.rail;
        move.carrier = m.carrier;
        move.id = m.id;
        move.start = Clamp16(int64_t(w.roomStart) + m.start - 1);
        move.end = Clamp16(int64_t(w.roomStart) + m.end - 1);
        move.mode1 = m.mode1;
        move.mode2 = m.mode2;
        move.type = m.type;
        auto block = PackDllAddFf(move);
        lib.AddFf(block);
        w.rails.clearTarget(m.rail, m.id);
    }
    lib.ZeileFertig();
    if (TestModus == 1 && !checkHost().simRunAborted())
        checkHost().showNewRows();
}

void FeedStroke(const StrokeFeed& f)
{
    WalkState& w = Walk;
    const int rounds = TestModus == 2 && w.rowRacks ? 2 : 1;
    // A stroke hands at least one line: the last system's when no system
    // selects. The second round of a racking row then hands none.
    bool handed = false;
    bool firstLine = true;
    for (int round = 0; round < rounds; ++round) {
        for (int i = 1; i <= w.systems; ++i) {
            SystemStroke& st = w.stroke[size_t(i - 1)];
            const bool selects = st.selection.selected[0] || st.selection.selected[1];
            if (!selects && (handed || i != w.systems))
                continue;
            FeedSystem(f, st, round, firstLine);
            handed = true;
            firstLine = false;
        }
    }
}

// The pattern row of one side, read in the modes the compiler stores: a
// row and a signed step ("D+"/"D-") both count from the walker's row, a
// "D" row is given as it is, a "W" row comes from the selector list;
// anything else knits row 1.
int32_t PatternRow(const uint8_t* side, int32_t walkerRow)
{
    const int16_t value = get_i16(side, zline::kPatternValue);
    switch (side[zline::kPatternMode]) {
    case 0:
    case 1:
        return walkerRow + value;
    case 2:
        return value;
    case 3:
        return SelectorValue(static_cast<uint16_t>(value));
    default:
        return 1;
    }
}

}  // namespace

void P_VersatzVerweis(const uint8_t* entry, T_Versatz& r)
{
    const uint16_t number = get_u16(entry, 0);
    const int8_t direct = static_cast<int8_t>(entry[zline::kRackingStep]);
    if (number == 0) {
        if (direct != kVRackingUnset)
            r = T_Versatz{direct, entry[zline::kRackingCode], 0};
        return;
    }
    const uint8_t* v = VListe->PeekLine(number);
    if (number > VListe->Count() || v[vline::kInUse] == 0)
        CheckMessage(3, std::string(), {CheckPosition.sLine, CheckPosition.zRow, number});
    const int amount = v[vline::kAmount];
    r.amount = static_cast<int8_t>(v[vline::kDirection] == 1 ? -amount : amount);
    r.code = v[vline::kTransfer];
    r.flag = v[vline::kFlag];
}

void P_SchlittenHub(int sLine, int zRow, bool mainPass, bool repeatFlag, int backRow, int frontRow)
{
    WalkState& w = Walk;
    // A copy: the window may change the list while the stroke waits.
    const uint8_t* source = ZListe->PeekLine(zRow >= 1 && zRow <= 65535 ? static_cast<uint16_t>(zRow) : 0);
    std::memcpy(w.zLine.data(), source, kZLineSize);
    const uint8_t* z = w.zLine.data();
    const int32_t s = sLine;
    const int32_t zr = zRow;

    // 1. Direction.
    const char direction = (zRow & 1) ? '>' : '<';
    if (direction == w.lastDirection)
        CheckMessage(28, std::string(4, direction), {s, zr});
    w.lastDirection = direction;
    const bool toRight = direction == '>';

    // 2. Racking.
    P_VersatzVerweis(z + zline::kRacking1, w.current);
    const uint8_t* second = z + zline::kRacking2;
    w.rowRacks = !(get_u16(second, 0) == 0 && static_cast<int8_t>(second[zline::kRackingStep]) == kVRackingUnset);
    P_VersatzVerweis(second, w.next);

    // 3. Speed.
    const uint8_t speedKind = z[zline::kSpeedMode];
    const uint16_t speedNumber = get_u16(z, zline::kSpeedValue);
    bool given = true;
    int32_t speed = 0;
    int32_t limit = 100;
    switch (speedKind) {
    case 0:
        given = speedNumber != 0;
        if (given)
            speed = SelectorValue(speedNumber);
        break;
    case 1:
        speed = speedNumber;
        break;
    case 2:
        speed = speedNumber;
        limit = 255;
        break;
    default:
        given = false;
        break;
    }
    if (given) {
        if (speed < 0 || speed > limit)
            CheckMessage(19, std::string(), {s, zr, speed});
        else if (speed == 0) {
            if (!CheckState.firstRow)
                CheckMessage(20, std::string(), {s, zr});
        } else {
            w.speed = static_cast<uint8_t>(speed);
        }
    }

    // 4. Take-down.
    const bool combMachine = ProgrammKopf.TakeDownColumns();
    const uint16_t takeDownNumber = get_u16(z, zline::kTakeDownValue);
    switch (z[zline::kTakeDownMode]) {
    case 0:
        if (takeDownNumber)
            w.takeDown.applyLine(AListe->PeekSubList(takeDownNumber), combMachine);
        break;
    case 1:
        w.takeDown.pulse = kPulseNone;
        break;
    case 2:
        w.takeDown.setLower(takeDownNumber);
        w.takeDown.comment.clear();
        break;
    case 3:
        w.takeDown.setLower(SelectorValue(takeDownNumber));
        w.takeDown.comment.clear();
        break;
    default:
        break;
    }
    if (combMachine) {
        const uint8_t clamp = z[zline::kClampValue];
        if (clamp >= 1 && clamp <= 99)
            w.takeDown.comb1 = clamp;
        if (z[zline::kScissorsValue])
            w.takeDown.comb2 = z[zline::kScissorsValue];
    }

    // 5. The stroke's take-down text.
    BuildTakeDownText(w.takeDown, w.takeDownText);

    // 6. The first row.
    if (CheckState.firstRow) {
        CheckState.firstRow = 0;
        if (!w.takeDown.lowerSet() && !w.takeDown.needleCountSet())
            CheckMessage(21, std::string(), {s, zr});
        if (combMachine && RuestSchema.b[T_RuestSchema::kComb] && w.takeDown.comb1 == kTakeDownUnset) {
            CheckMessage(30, std::string(), {s, zr});
            w.takeDown.comb1 = 20;
        }
        if (speedKind == 0 && speedNumber == 0)
            CheckMessage(24, std::string(), {s, zr});
    }

    // 7. The cam systems in the order the carriage meets them.
    const int n = w.systems;
    const int height = ProgrammKopf.Height();
    const std::span<const uint16_t> map = ActiveNeedleMap();
    for (int i = 1; i <= n; ++i) {
        const int sys = toRight ? i : n + 1 - i;
        CheckPosition.system = static_cast<uint16_t>(sys);
        SystemStroke& st = w.stroke[size_t(i - 1)];
        st.number = static_cast<uint8_t>(i);
        st.published = static_cast<uint8_t>(sys);
        st.change.reset();
        const uint8_t* block = z + zline::System(i);
        const Place at{s, zr, sys};
        for (int side = 0; side < 2; ++side) {
            const uint8_t* sb = block + zline::kSides + zline::kSideSize * size_t(side);
            const int32_t row = PatternRow(sb, side == 0 ? frontRow : backRow);
            if (row < 0 || row > height)
                CheckMessage(11, CheckState.sideText[size_t(side)], {s, zr, sys, row, height});
            st.rows[size_t(side)] = row;
        }
        SystemSelectionInput in;
        in.block = std::span<const uint8_t>(block, zline::kSystemSize);
        in.width = w.width;
        in.needleMap = map;
        in.frontRow = st.rows[0];
        in.backRow = st.rows[1];
        in.toRight = toRight;
        in.rackingAmount = w.current.amount;
        in.rackingFlag = w.current.flag != 0;
        in.rowRacks = w.rowRacks;
        in.place = CheckPlace{s, zr, sys};
        st.selection = SelectSystemNeedles(in, w.actions[size_t(2 * (i - 1))], w.actions[size_t(2 * (i - 1) + 1)]);
        w.systemActive[size_t(i - 1)] = st.selection.selected[0] || st.selection.selected[1];
        CarrierMoves(st, block, direction, st.rows[0], st.rows[1], at);
        ResolveDensities(st, block);
    }

    // 8. Centre racking.
    if (w.rowRacks) {
        std::array<SystemActions, kWalkSystems> systems;
        for (int i = 1; i <= n; ++i)
            systems[size_t(i - 1)] = SystemActions{w.actions[size_t(2 * (i - 1))], w.actions[size_t(2 * (i - 1) + 1)]};
        CentreRackingInput in;
        in.systems = std::span<const SystemActions>(systems.data(), size_t(n));
        in.width = w.width;
        in.gauge = ProgrammKopf.Gauge();
        in.model = ProgrammKopf.Model();
        in.systemCount = n;
        in.toRight = toRight;
        in.currentAmount = w.current.amount;
        in.newAmount = w.next.amount;
        in.sLine = s;
        in.zRow = zr;
        const auto change = CentreRackingCheck(in);
        for (int i = 1; i <= n; ++i)
            w.stroke[size_t(i - 1)].change = change[size_t(i - 1)];
    }

    // 9. The user's stop.
    if (CheckState.userAbort)
        CheckMessage(25, std::string(), {s, zr});

    // 10. The library.
    const uint8_t marker = RowMarker(z);
    if (Feeding())
        FeedStroke(StrokeFeed{sLine, zRow, direction, mainPass, repeatFlag, frontRow, backRow, marker});

    // 11. After the stroke.
    if (marker == 1)
        w.markerPending = true;
    if (TestModus == 1 && CheckState.messageActive)
        checkHost().stopAfterStep();
    CheckState.messageActive = 0;
    if (w.rowRacks)
        w.current = w.next;
    ++w.strokes;
}
