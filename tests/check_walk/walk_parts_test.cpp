// The parts of the walk on their own: carriers on the rails and the
// take-down text.
#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "check/carrierrails.h"
#include "check/takedown.h"
#include "kernel/listaccess/alistaccess.h"
#include "kernel/model/bytes.h"

namespace {

T_ZFfMove Move(int rail, int box, char direction, int start, int end)
{
    T_ZFfMove m;
    m.rail = static_cast<uint8_t>(rail);
    m.box = static_cast<uint8_t>(box);
    m.id = CarrierId(rail, box);
    m.direction = direction;
    m.start = static_cast<int16_t>(start);
    m.end = static_cast<int16_t>(end);
    return m;
}

}  // namespace

TEST(CarrierRails, CarriersEnterFromTheSideTheyComeFrom)
{
    CarrierRails rails;
    std::vector<T_RailEntry> pushed;
    auto sink = [&](const T_RailEntry& e) { pushed.push_back(e); };
    T_ZFfMove a = Move(2, 1, '>', 10, 50);
    ASSERT_TRUE(rails.place(a, sink));
    T_ZFfMove b = Move(2, 2, '<', 200, 300);
    ASSERT_TRUE(rails.place(b, sink));
    const T_Rail& r = rails.rail(2);
    ASSERT_EQ(r.count, 2);
    EXPECT_EQ(r.entries[0].id, CarrierId(2, 2));
    EXPECT_EQ(r.entries[0].home, 'R');
    EXPECT_EQ(r.entries[0].position, 200);
    EXPECT_EQ(r.entries[1].home, 'L');
    EXPECT_EQ(r.entries[1].position, 50);
    EXPECT_TRUE(pushed.empty());

    // B goes right to 60: A, ahead of it at 50, gives way to 90.
    T_ZFfMove again = Move(2, 2, '>', 200, 60);
    ASSERT_TRUE(rails.place(again, sink));
    ASSERT_EQ(pushed.size(), 1u);
    EXPECT_EQ(pushed[0].id, CarrierId(2, 1));
    EXPECT_EQ(pushed[0].position, 90);
    EXPECT_EQ(rails.rail(2).entries[1].position, 90);
    // A carrier far enough ahead stays.
    pushed.clear();
    T_ZFfMove small = Move(2, 2, '>', 60, 55);
    ASSERT_TRUE(rails.place(small, sink));
    EXPECT_TRUE(pushed.empty());
}

TEST(CarrierRails, FarPositionsMeanWhereTheCarrierStands)
{
    CarrierRails rails;
    T_ZFfMove a = Move(1, 0, '>', 5, 80);
    rails.place(a, {});
    T_ZFfMove b = Move(1, 0, '<', 31000, -31000);
    ASSERT_TRUE(rails.place(b, {}));
    EXPECT_EQ(b.start, 80);
    EXPECT_EQ(b.end, 80);
    EXPECT_EQ(rails.rail(1).entries[0].position, 80);
    rails.clearTarget(1, CarrierId(1, 0));
    EXPECT_EQ(rails.rail(1).entries[0].target, kNoTarget);
}

TEST(CarrierRails, NinthCarrierAndBadDirection)
{
    CarrierRails rails;
    for (int box = 0; box < 8; ++box) {
        T_ZFfMove m = Move(3, box, box % 2 ? '<' : '>', 1, 10);
        ASSERT_TRUE(rails.place(m, {}));
    }
    T_ZFfMove ninth = Move(3, 8, '>', 1, 10);
    EXPECT_FALSE(rails.place(ninth, {}));
    EXPECT_EQ(rails.rail(3).count, 8);
    // Known carriers still move on a full rail.
    T_ZFfMove known = Move(3, 4, '>', 1, 500);
    EXPECT_TRUE(rails.place(known, {}));

    T_ZFfMove bad = Move(1, 1, 'x', 1, 10);
    try {
        rails.place(bad, {});
        FAIL();
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Interner Fehler: Strickrichtung");
    }
    rails.clear();
    EXPECT_EQ(rails.rail(3).count, 0);
}

TEST(TakeDownText, Fields)
{
    T_TakeDownState s;
    std::string text;
    BuildTakeDownText(s, text);
    EXPECT_EQ(text, "WA: ; ");
    s.setLower(10);
    BuildTakeDownText(s, text);
    EXPECT_EQ(text, "WA: 010; ");
    s.setLower(101);  // not a value: nothing changes
    s.pulse = static_cast<uint8_t>(int8_t(-5));
    s.pressure = kCodeOpen;
    BuildTakeDownText(s, text);
    EXPECT_EQ(text, "WA: 010,-005,O<>O; ");
    s.pulse = kPulseNone;
    s.pressure = kCodeClose;
    BuildTakeDownText(s, text);
    EXPECT_EQ(text, "WA: 010,*,O><O; ");

    s.reset();
    s.needles1 = 50;
    s.value1 = 30;
    s.pulse1 = 40;
    s.needles2 = 1200;
    s.value2 = 5;
    s.pulse2 = 6;
    BuildTakeDownText(s, text);
    EXPECT_EQ(text, "WA: MIN 0050,030,040 MAX 1200,005,006; ");
    s.needles1 = kNeedleCountUnset;
    BuildTakeDownText(s, text);
    EXPECT_EQ(text, "WA: MAX 1200,005,006; ");

    s.reset();
    s.upper = 15;
    s.upperKind = 1;
    s.upperCode = kCodeOpen;
    BuildTakeDownText(s, text);
    EXPECT_EQ(text, "WA: ; WO: -015,O<>O;");
    s.upper = kTakeDownUnset;
    s.upperCode = 40;
    BuildTakeDownText(s, text);
    EXPECT_EQ(text, "WA: ; WO: 040;");
    s.upperCode = kTakeDownUnset;
    s.comb1 = 20;
    BuildTakeDownText(s, text);
    EXPECT_EQ(text, "WA: ;  Comb: 020;");
    s.comb2 = 7;
    s.comment = "Kamm";
    BuildTakeDownText(s, text);
    EXPECT_EQ(text, "WA: ;  Comb: 020,+07; C: Kamm");
}

TEST(TakeDownText, LinesUpdateOnlyTheirSetValues)
{
    std::array<uint8_t, 98> a{};
    for (size_t off : {2, 3, 4, 6, 7})
        a[off] = 101;
    put_u16(a.data(), aline::kNeedleCount1, 10000);
    put_u16(a.data(), aline::kNeedleCount2, 10000);
    T_TakeDownState s;
    s.setLower(12);
    s.applyLine(a.data(), false);
    EXPECT_EQ(s.lower, 12);  // nothing set, nothing changed
    a[aline::kUpperValue] = 30;
    a[aline::kLowerOption] = 2;
    s.applyLine(a.data(), false);
    EXPECT_EQ(s.upper, kTakeDownUnset);  // not without the comb take-down
    s.applyLine(a.data(), true);
    EXPECT_EQ(s.upper, 30);
    EXPECT_EQ(s.upperKind, 2);
    // A needle count clears the plain lower take-down.
    put_u16(a.data(), aline::kNeedleCount2, 80);
    a[aline::kRelativeValue2] = 9;
    s.applyLine(a.data(), false);
    EXPECT_FALSE(s.lowerSet());
    EXPECT_EQ(s.needles2, 80);
    EXPECT_EQ(s.value2, 9);
    // A direct lower take-down clears the needle counts.
    s.setLower(40);
    EXPECT_FALSE(s.needleCountSet());
}
