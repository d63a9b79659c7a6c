#include "check/rules/needleselection.h"

#include <algorithm>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "check/rules/checkmessages.h"
#include "check/rules/checkstate.h"
#include "check/rules/selectionkinds.h"
#include "kernel/listaccess/zlistaccess.h"
#include "kernel/model/bytes.h"
#include "kernel/model/programmodel.h"

namespace {

using namespace nadel;

constexpr uint32_t kTieInBit = 1u << 30;

struct Entry {
    uint32_t colours = 0;
    uint8_t kind = 0;
};

struct Side {
    int index = 0;  // 0 front, 1 back
    std::array<Entry, zline::kSelectionEntries> entries;
    uint8_t setting = 0;
    int camCode = 0;
    T_NadelAktion action1 = kNone;
    T_NadelAktion action2 = kNone;
    bool variableNetBack = false;
    int shift = 0;
    int32_t row = 0;
    std::span<T_NadelAktion> own;
    std::span<T_NadelAktion> other;

    bool hasNetKind(size_t count) const
    {
        return std::any_of(entries.begin(), entries.begin() + ptrdiff_t(count),
                           [](const Entry& e) { return IsNetKind(e.kind); });
    }
};

// Actions of needle selection 1 and 2 per cam code.
constexpr std::array<std::array<T_NadelAktion, 2>, 6> kCamActions = {{
    {kNone, kNone},
    {kNone, kNone},
    {kM, kF},
    {kTransfer, kReceive},
    {kG, kS},
    {kG, kF},
}};

class SystemSelection {
public:
    SystemSelection(const SystemSelectionInput& in, std::span<T_NadelAktion> front,
                    std::span<T_NadelAktion> back)
        : in_(in), width_(in.width)
    {
        const uint8_t* block = in.block.data();
        const bool carriers = get_u16(block, zline::kPListRef) != 0 || block[zline::kCarriers] != 0;
        for (int s = 0; s < 2; ++s) {
            Side& side = sides_[size_t(s)];
            const uint8_t* sb = block + zline::kSides + zline::kSideSize * size_t(s);
            side.index = s;
            for (size_t e = 0; e < zline::kSelectionEntries; ++e) {
                side.entries[e].colours = get_u32(sb, zline::kSelection + zline::kSelectionStep * e);
                side.entries[e].kind = sb[zline::kSelection + zline::kSelectionStep * e + 4];
            }
            side.setting = sb[zline::kCam];
            // A setting beyond the known ones selects nothing.
            side.camCode = side.setting <= 4 ? side.setting : 0;
            if (side.camCode == 3 && carriers)
                side.camCode = 5;
            side.action1 = kCamActions[size_t(side.camCode)][0];
            side.action2 = kCamActions[size_t(side.camCode)][1];
            side.variableNetBack = sb[zline::kFlagL] != 0;
            side.shift = (s == 1 && in.rackingFlag) ? in.rackingAmount : 0;
            side.row = s == 0 ? in.frontRow : in.backRow;
        }
        sides_[0].own = front;
        sides_[0].other = back;
        sides_[1].own = back;
        sides_[1].other = front;
    }

    SystemSelectionResult run()
    {
        // The arrays still hold the previous stroke's actions.
        std::fill_n(sides_[0].own.begin(), width_ + 1, kNone);
        std::fill_n(sides_[1].own.begin(), width_ + 1, kNone);

        SystemSelectionResult result;
        for (Side& side : sides_) {
            for (const Entry& e : side.entries) {
                if (e.colours & kTieInBit)
                    result.carrierWanted = true;
                if (IsFixedSelectionKind(e.kind))
                    result.fixedProgram = true;
            }
        }

        for (Side& side : sides_)
            result.selected[size_t(side.index)] = selectionPass(side);

        if (sides_[0].variableNetBack && sides_[1].variableNetBack)
            message(17, -1);
        if (sides_[0].hasNetKind(3) && sides_[1].hasNetKind(3))
            message(18, -1);
        for (Side& side : sides_)
            netBackPass(side);

        for (Side& side : sides_)
            if (side.camCode == 4 || side.camCode == 5)
                plainKnitPass(side);

        automaticReceive();
        return result;
    }

private:
    const SystemSelectionInput& in_;
    int width_;
    std::array<Side, 2> sides_;

    bool inRoom(int p) const { return p >= 1 && p <= width_; }

    void message(uint16_t number, int side)
    {
        const std::string& text = side < 0 ? std::string() : CheckState.sideText[size_t(side)];
        CheckMessage(number, text, {in_.place.sLine, in_.place.zRow, in_.place.system});
    }

    // Calls f(position) for every target of the pattern repeated over the
    // needles, shifted; targets outside the room are dropped.
    template <class F>
    void forPatternTargets(std::string_view pattern, int shift, F&& f)
    {
        if (pattern.empty())
            return;
        size_t k = 0;
        for (int i = 1; i <= width_; ++i) {
            if (pattern[k] == '1' && inRoom(i + shift))
                f(i + shift);
            if (++k == pattern.size())
                k = 0;
        }
    }

    // Calls f(position) for every needle whose pattern cell in the side's
    // row has a colour of the set; needs a needle division.
    template <class F>
    void forJacquardTargets(const Side& side, uint32_t colours, F&& f)
    {
        if (in_.needleMap.empty())
            message(26, side.index);
        // The cells as PatternCell reads them (colour + 1, a cell outside
        // the pattern holds no colour), with its range checks made once per
        // row instead of once per needle: this loop runs per needle, side
        // and selection of every stroke.
        const int32_t row = side.row;
        if (row < 1 || row > ProgrammKopf.Height() || size_t(row) >= BildEbene0.rowCount())
            return;
        const uint8_t* cells = BildEbene0.rows.data() + size_t(row) * kPatternStride;
        const uint16_t columns = uint16_t(std::min<size_t>(ProgrammKopf.Width(), kPatternStride));
        const int mapped = std::min<int>(width_, int(in_.needleMap.size()) - 1);
        for (int i = 1; i <= mapped; ++i) {
            const uint16_t column = in_.needleMap[size_t(i)];
            if (column == 0 || column > columns)
                continue;
            // Only colours 0..31 have a bit; 255 wraps to "no colour".
            const uint8_t v = uint8_t(cells[column - 1] + 1);
            if (v >= 1 && v <= 32 && (colours >> (v - 1)) & 1u) {
                if (inRoom(i + side.shift))
                    f(i + side.shift);
            }
        }
    }

    template <class F>
    void forEntryTargets(const Side& side, const Entry& e, F&& f)
    {
        if (e.colours != 0)
            forJacquardTargets(side, e.colours, f);
        else
            forPatternTargets(SelectionKindPattern(e.kind), side.shift, f);
    }

    // A target without action takes the selection's action; a target that
    // has one already is an overlap, reported once per selection.
    struct Assign {
        SystemSelection& self;
        Side& side;
        T_NadelAktion action;
        bool netBack;
        bool reported = false;
        void operator()(int p)
        {
            if (netBack && side.other[size_t(p)] != kNone)
                return;
            T_NadelAktion& a = side.own[size_t(p)];
            if (a == kNone) {
                a = action;
            } else if (!reported) {
                reported = true;
                self.message(2, side.index);
            }
        }
    };

    // Returns whether the side made needle selection 1 or 2.
    bool selectionPass(Side& side)
    {
        for (const Entry& e : side.entries)
            if (e.colours != 0 && side.row == 0)
                message(12, side.index);

        bool selected = false;
        const std::array<T_NadelAktion, 2> actions = {side.action1, side.action2};
        for (size_t s = 0; s < 2; ++s) {
            const Entry& e = side.entries[s];
            if (e.colours == 0 && !IsFixedSelectionKind(e.kind))
                continue;
            selected = true;
            forEntryTargets(side, e, Assign{*this, side, actions[s], false});
        }

        const Entry& density = side.entries[2];
        if (density.colours != 0 || IsFixedSelectionKind(density.kind)) {
            bool reported = false;
            forEntryTargets(side, density, [&](int p) {
                T_NadelAktion& a = side.own[size_t(p)];
                if (a != kNone) {
                    a = SecondForm(a);
                } else if (!reported) {
                    reported = true;
                    message(13, side.index);
                }
            });
        }

        tieIn(side);
        return selected;
    }

    void tieIn(Side& side)
    {
        T_NadelAktion t = kNone;
        if (side.entries[0].colours & kTieInBit)
            t = side.action1;
        if (side.entries[1].colours & kTieInBit)
            t = side.action2;
        if (side.entries[2].colours & kTieInBit)
            t = t == kNone ? kM : SecondForm(t);
        if (t == kNone)
            return;
        // The actions already carry the side's shift, so the neighbour of
        // the outermost one is the tie-in needle as it stands.
        int target = 0;
        if (in_.toRight) {
            for (int p = 1; p <= width_; ++p)
                if (side.own[size_t(p)] != kNone) {
                    target = p - 1;
                    break;
                }
        } else {
            for (int p = width_; p >= 1; --p)
                if (side.own[size_t(p)] != kNone) {
                    target = p + 1;
                    break;
                }
        }
        if (inRoom(target))
            side.own[size_t(target)] = t;
    }

    void netBackPass(Side& side)
    {
        const std::array<T_NadelAktion, 2> actions = {side.action1, side.action2};
        for (size_t s = 0; s < 2; ++s) {
            const Entry& e = side.entries[s];
            if (IsNetKind(e.kind))
                forPatternTargets(SelectionKindPattern(e.kind), side.shift, Assign{*this, side, actions[s], true});
        }
        if (!side.variableNetBack)
            return;
        if (side.hasNetKind(2))
            message(16, side.index);

        // Take every working needle off and let it work again only where
        // the other bed leaves its place free. The positions already carry
        // the shift: each needle comes back where it stood.
        std::vector<int> first, second;
        for (int p = 1; p <= width_; ++p) {
            T_NadelAktion& a = side.own[size_t(p)];
            if (a == kNone)
                continue;
            (a == kM || a == kTransfer || a == kG ? first : second).push_back(p);
            a = kNone;
        }
        Assign again1{*this, side, side.action1, true};
        for (int p : first)
            again1(p);
        Assign again2{*this, side, side.action2, true};
        for (int p : second)
            again2(p);
    }

    void plainKnitPass(Side& side)
    {
        for (int p = 1; p <= width_; ++p) {
            T_NadelAktion& a = side.own[size_t(p)];
            if (side.other[size_t(p)] == kS)
                continue;
            if (a == kG)
                a = kM;
            else if (a == kG2)
                a = kM2;
        }
    }

    void automaticReceive()
    {
        if (in_.rowRacks || sides_[0].setting != 3 || sides_[1].setting != 3)
            return;
        const int r = in_.rackingAmount;
        auto asksForReceive = [](const Side& side) {
            const Entry& e = side.entries[1];
            return e.colours == 0 && e.kind == kAutomaticReceiveKind;
        };
        if (asksForReceive(sides_[0])) {
            for (int i = 1; i <= width_; ++i)
                if (inRoom(i + r) && sides_[1].own[size_t(i + r)] == kTransfer)
                    sides_[0].own[size_t(i)] = kReceive;
        }
        if (asksForReceive(sides_[1])) {
            for (int i = 1; i <= width_; ++i)
                if (inRoom(i - r) && sides_[0].own[size_t(i - r)] == kTransfer)
                    sides_[1].own[size_t(i)] = kReceive;
        }
    }
};

}  // namespace

SystemSelectionResult SelectSystemNeedles(const SystemSelectionInput& in, std::span<T_NadelAktion> front,
                                          std::span<T_NadelAktion> back)
{
    if (in.block.size() < zline::kSystemSize)
        throw std::invalid_argument("SelectSystemNeedles: system block too short");
    if (in.width < 0 || front.size() < size_t(in.width) + 1 || back.size() < size_t(in.width) + 1)
        throw std::invalid_argument("SelectSystemNeedles: action arrays shorter than the needle room");
    return SystemSelection(in, front, back).run();
}
