// The parameter blocks byte for byte, the init block, the needle marker and
// the handle table.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "check/dll_handles.h"
#include "check/simdll.h"
#include "check/simdll_blocks.h"
#include "kernel/model/bytes.h"
#include "kernel/model/programmodel.h"
#include "tests/check/simlib_test_util.h"

namespace {

std::string Text(uint32_t handle)
{
    const char* p = static_cast<const char*>(SimDllHandles().resolve(handle));
    return p ? std::string(p) : std::string("<none>");
}

// The block's hex with the 4-byte handle fields at the given offsets
// shown as "hhhhhhhh".
template <size_t N>
std::string Masked(const DllBlock<N>& b, std::initializer_list<size_t> handles)
{
    std::string hex = ToHex(b.data(), N);
    for (size_t off : handles)
        hex.replace(2 * off, 8, "hhhhhhhh");
    return hex;
}

}  // namespace

TEST(SimDllBlocks, NeedleMarkerText)
{
    std::string g7 = NeedleMarkerText(7);
    ASSERT_EQ(g7.size(), 45u);
    EXPECT_EQ(g7, std::string(35, '0') + "1000300002");
    std::string g8 = NeedleMarkerText(8);
    ASSERT_EQ(g8.size(), 51u);
    EXPECT_EQ(g8[40], '1');
    EXPECT_EQ(g8[45], '3');
    EXPECT_EQ(g8[50], '2');
    EXPECT_EQ(std::count(g8.begin(), g8.end(), '0'), 48);
    // An empty program (gauge 0) writes nothing outside the text.
    EXPECT_EQ(NeedleMarkerText(0), "");
    // Gauge 1: "1" at 5, "2" at 6, then "3" at 6 over it.
    EXPECT_EQ(NeedleMarkerText(1), "000013");
    EXPECT_EQ(NeedleMarkerText(255).size(), 1624u);
}

TEST(SimDllBlocks, MachineTextIsCutTo15Characters)
{
    T_ProgrammKopf kopf;
    kopf.SetModel("843");
    EXPECT_EQ(SimMachineText(kopf), "KELTARIS ZR843");
    // A damaged length byte is capped at the field's three characters; the
    // text then still stops at 15.
    kopf.data()[0] = 200;
    kopf.data()[1] = 'A';
    kopf.data()[2] = 'B';
    kopf.data()[3] = 'C';
    EXPECT_EQ(SimMachineText(kopf), "KELTARIS ZRABC");
    EXPECT_LE(SimMachineText(kopf).size(), kMachineTextLength);
}

TEST(SimDllBlocks, InitBlockFieldsFromProgramAndSettings)
{
    T_ProgrammKopf kopf;
    kopf.SetModel("843");
    kopf.SetGauge(7);
    kopf.data()[26] = 2;
    T_RuestSchema ruest;
    uint8_t* r = ruest.data();
    r[0] = 1;
    r[1] = 60;
    r[2] = 40;
    r[3] = 30;
    r[T_RuestSchema::TakeDown(1)] = 12;
    put_u16(r, T_RuestSchema::kCoupling, 25);
    WriteShortString(r, T_RuestSchema::kComment, 80, "Kommentar");
    SimInitSettings s;
    s.testModus = 1;
    s.needleStart = 102;
    s.sideMargin = 0;
    s.ffTypTrans = 1;
    s.gaugeChange = 1;
    s.wandelPath = "/h/Temp/Wandel.Sma";
    s.markStart = 5;
    s.markEnd = 10;
    s.callbacks = {11, 12, 13, 14};
    SimDllCallScope scope(102);
    auto b = BuildDllInitBlock(kopf, ruest, s, scope);
    const uint8_t* p = b.data();
    auto hex16 = [&](size_t off) { return ToHex(p + off, 2); };
    EXPECT_EQ(hex16(0), "5100");
    EXPECT_EQ(hex16(2), "6600");
    EXPECT_EQ(hex16(4), "0000");  // the model option is not set
    EXPECT_EQ(hex16(6), "0000");
    EXPECT_EQ(ToHex(p + 16, 1), "01");
    EXPECT_EQ(ToHex(p + 21, 2), "0100");
    EXPECT_EQ(ToHex(p + 23, 1), "02");
    EXPECT_EQ(ToHex(p + 24, 1), "01");
    EXPECT_EQ(ToHex(p + 25, 1), "07");
    EXPECT_EQ(hex16(26), "0000");
    EXPECT_EQ(hex16(40), "0800");
    EXPECT_EQ(hex16(42), "1e00");
    EXPECT_EQ(hex16(44), "3200");
    EXPECT_EQ(hex16(46), "0900");
    EXPECT_EQ(ToHex(p + 48, 1), "00");
    EXPECT_EQ(hex16(49), "3c00");
    EXPECT_EQ(hex16(51), "2800");
    EXPECT_EQ(hex16(53), "1e00");
    EXPECT_EQ(hex16(55), "0c00");
    EXPECT_EQ(hex16(77), "0500");
    EXPECT_EQ(hex16(79), "0a00");
    EXPECT_EQ(get_u32(p, 61), 11u);
    EXPECT_EQ(get_u32(p, 65), 12u);
    EXPECT_EQ(get_u32(p, 69), 13u);
    EXPECT_EQ(get_u32(p, 73), 14u);
    EXPECT_EQ(Text(get_u32(p, 8)), "01");
    EXPECT_EQ(Text(get_u32(p, 12)), NeedleMarkerText(7));
    EXPECT_EQ(Text(get_u32(p, 17)), " MmFfUuNnGgSS");
    EXPECT_EQ(Text(get_u32(p, 28)), "/h/Temp/Wandel.Sma");
    EXPECT_EQ(Text(get_u32(p, 32)), "");
    EXPECT_EQ(Text(get_u32(p, 36)), "KELTARIS ZR843");
    EXPECT_EQ(Text(get_u32(p, 57)), "Kommentar");

    // Model option: the coupling value; export mode; options off.
    kopf.data()[10] = 1;
    s.testModus = 2;
    s.ffTypTrans = 0;
    s.gaugeChange = 0;
    s.sideMargin = 7;
    kopf.SetGauge(8);
    auto e = BuildDllInitBlock(kopf, ruest, s, scope);
    EXPECT_EQ(ToHex(e.data() + 4, 2), "1900");
    EXPECT_EQ(ToHex(e.data() + 6, 2), "0700");
    EXPECT_EQ(ToHex(e.data() + 26, 2), "0700");
    EXPECT_EQ(ToHex(e.data() + 21, 5), "0001020000");
    EXPECT_EQ(ToHex(e.data() + 46, 2), "0a00");

    // A selector level outside 1..8 reads no take-down byte.
    r[0] = 0;
    EXPECT_EQ(get_u16(BuildDllInitBlock(kopf, ruest, s, scope).data(), 55), 0);
    r[0] = 9;
    EXPECT_EQ(get_u16(BuildDllInitBlock(kopf, ruest, s, scope).data(), 55), 0);
}

TEST(SimDllBlocks, HandCheckedStrokeBlocks)
{
    SimDllCallScope scope(6);
    T_DllNeueZeile l;
    l.direction = '<';
    l.system = 2;
    l.racking = -1;
    l.strokeStart = true;
    l.round = 1;
    l.newRacking = -2;
    l.rackingCodeZero = false;
    l.speed = 80;
    l.takeDown = "WA: 010; ";
    l.rowMarker = 254;
    l.density = {1250, 1300, 900, 0};
    l.densityText = {"a", "b", "c", ""};
    l.comb = {'O', 'C', ' ', ' '};
    l.combValue2 = 40;
    l.combBits = 0x00140003;
    l.message = true;
    l.label = "S0001 Z0002 System2 YV0001 YH0001";
    l.repeat = 1;
    l.mainPass = 0;
    auto b = PackDllNeueZeile(l, scope);
    EXPECT_EQ(Masked(b, {12, 19, 25, 31, 37, 52}),
              "3a00" "3c02ff010100fe00" "5000" "hhhhhhhh" "fe" "e204hhhhhhhh" "1405hhhhhhhh" "8403hhhhhhhh"
              "0000hhhhhhhh" "4f432020" "2800" "03001400" "01" "hhhhhhhh" "0100");
    EXPECT_EQ(Text(get_u32(b.data(), 12)), "WA: 010; ");
    EXPECT_EQ(Text(get_u32(b.data(), 19)), "a");
    EXPECT_EQ(Text(get_u32(b.data(), 37)), "");
    EXPECT_EQ(Text(get_u32(b.data(), 52)), "S0001 Z0002 System2 YV0001 YH0001");

    T_DllFfMove m;
    m.rail = 2;
    m.carrier = 3;
    m.id = 7;
    m.start = -12;
    m.end = 300;
    m.mode1 = 5;
    m.mode2 = 6;
    m.type = 3;
    EXPECT_EQ(ToHex(PackDllAddFf(m).data(), 16), "1000" "020307" "f4ff" "2c01" "00" "0506" "00" "02" "ffff");

    // Arrays are W_m long: a short one is padded, a long one cut.
    const uint8_t front[] = {'M', 'F', 'M'};
    const uint8_t back[] = {0, 'G', 0, 0, 0, 0, 'S', 'S'};
    auto sel = PackDllAddSelektion(front, 3, back, 8, kNoCentreRacking, scope);
    EXPECT_EQ(Masked(sel, {2, 6}), "0c00hhhhhhhhhhhhhhhhffff");
    const auto* f = static_cast<const uint8_t*>(SimDllHandles().resolve(get_u32(sel.data(), 2)));
    const auto* k = static_cast<const uint8_t*>(SimDllHandles().resolve(get_u32(sel.data(), 6)));
    ASSERT_TRUE(f && k);
    EXPECT_EQ(ToHex(f, 6), "4d464d000000");
    EXPECT_EQ(ToHex(k, 6), "004700000000");
    EXPECT_EQ(get_u16(PackDllAddSelektion(front, 3, back, 8, 17, scope).data(), 10), 17);

    const uint16_t dens[] = {1250, 300};
    auto dyn = PackDllAddFsDynamisch(1, dens, 2, scope);
    EXPECT_EQ(Masked(dyn, {4}), "080001" "00" "hhhhhhhh");
    const auto* d = static_cast<const uint8_t*>(SimDllHandles().resolve(get_u32(dyn.data(), 4)));
    EXPECT_EQ(ToHex(d, 12), "e2042c010000000000000000");
}

TEST(SimDllBlocks, SmallBlocksByteForByte)
{
    SimDllCallScope scope(4);
    EXPECT_EQ(ToHex(PackDllVersNummer().data(), 6), "060000000000");
    EXPECT_EQ(Masked(PackDllAddNZeile(12, 3, 1, "N", scope), {8}), "0c000c0003000100hhhhhhhh");
    EXPECT_EQ(Masked(PackDllBeginnWs(true, 4, 2, "W", scope), {7}), "0b0001040002" "00hhhhhhhh");
    EXPECT_EQ(ToHex(PackDllEndeWs(true).data(), 3), "030001");
    EXPECT_EQ(ToHex(PackDllFfEndPosChg(0x0102, 300, 1).data(), 7), "070002012c0101");
    EXPECT_EQ(ToHex(PackDllFfEinAus(1).data(), 3), "030001");
    EXPECT_EQ(ToHex(PackDllShowJacquard(1, 0).data(), 4), "04000100");
    EXPECT_EQ(ToHex(PackDllInfoEnde(33).data(), 9), "090021000000000000");
    EXPECT_EQ(ToHex(PackDllInfoEnde(33, true).data(), 9), "090021000000000100");
    EXPECT_EQ(ToHex(PackDllGetSimHoehe().data(), 8), "0800000000000000");
    EXPECT_EQ(ToHex(PackDllGetSimInfo(3, 8, 7, 1, 0).data(), 32),
              "2000" "00000000000000000000000000000000000000" "00" "0300" "0800" "0700" "0100" "0000");
    EXPECT_EQ(ToHex(PackDllGetKommentar(3).data(), 8), "0800030000000000");
    EXPECT_EQ(ToHex(PackDllGetSimFfInfo(0x27).data(), 5), "0500270000");
    EXPECT_EQ(ToHex(PackDllGetSimExtras(true, 0x21, 5, 9).data(), 14), "0e00000000000000" "0121" "0500" "0900");
    EXPECT_EQ(ToHex(PackDllSetFfBar(260).data(), 4), "04000401");
    EXPECT_EQ(ToHex(PackDllGetSimSym().data(), 6), "060000000000");
}

TEST(SimDllBlocks, ScopeWithdrawsWhatItPublished)
{
    const size_t before = SimDllHandles().live();
    uint32_t h;
    {
        SimDllCallScope scope(3);
        h = scope.text(std::string("ab\0cd", 5));
        EXPECT_EQ(Text(h), "ab");
        EXPECT_EQ(SimDllHandles().live(), before + 1);
    }
    EXPECT_EQ(SimDllHandles().live(), before);
    EXPECT_EQ(SimDllHandles().resolve(h), nullptr);
}

TEST(SimDllBlocks, ReturnedHandlesAreReadWithKnownLengthsOrAsEmpty)
{
    uint8_t shape[5] = {1, 2, 3, 4, 5};
    uint8_t colour[5] = {6, 7, 8, 9, 10};
    auto b = PackDllGetSimInfo(0, 8, 1, 1, 1);
    uint32_t hs = SimDllHandles().publish(shape);
    uint32_t hc = SimDllHandles().publish(colour);
    put_u32(b.data(), 4, hs);
    put_u32(b.data(), 8, hc);
    put_u32(b.data(), 12, 0x7fffffffu);  // resolves to nothing
    b[17] = 4;
    SimDllRow row;
    ReadDllSimInfo(b.data(), row, 3);
    EXPECT_EQ(row.shape, (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(row.colour, (std::vector<uint8_t>{6, 7, 8}));
    EXPECT_TRUE(row.third.empty());
    EXPECT_EQ(row.xOffset, 4);
    SimDllHandles().withdraw(hs);
    ReadDllSimInfo(b.data(), row, 3);
    EXPECT_TRUE(row.shape.empty());

    auto k = PackDllGetKommentar(1);
    std::string longText(10000, 'x');
    uint32_t ht = SimDllHandles().publish(longText.c_str());
    put_u32(k.data(), 4, ht);
    EXPECT_EQ(ReadDllKommentar(k.data()).size(), kDllTextCap);
    put_u32(k.data(), 4, 0);
    EXPECT_EQ(ReadDllKommentar(k.data()), "");

    std::vector<uint8_t> shapes{1};
    auto sym = PackDllGetSimSym();
    ReadDllSimSym(sym.data(), shapes);
    EXPECT_TRUE(shapes.empty());
    SimDllHandles().withdraw(hc);
    SimDllHandles().withdraw(ht);
}

TEST(DllHandleRegistry, HandlesAreNeverReusedAndSurviveGrowth)
{
    DllHandleRegistry reg;
    EXPECT_EQ(reg.publish(nullptr), 0u);
    EXPECT_EQ(reg.resolve(0), nullptr);
    std::vector<int> values(5000);
    std::vector<uint32_t> handles;
    std::set<uint32_t> seen;
    for (int round = 0; round < 3; ++round) {
        for (auto& v : values) {
            uint32_t h = reg.publish(&v);
            EXPECT_TRUE(seen.insert(h).second);
            handles.push_back(h);
        }
        // Withdraw every other one, check the rest still resolve.
        for (size_t i = 0; i < handles.size(); i += 2)
            reg.withdraw(handles[i]);
        for (size_t i = 0; i < handles.size(); ++i)
            EXPECT_EQ(reg.resolve(handles[i]), i % 2 ? &values[i % values.size()] : nullptr) << i;
        for (size_t i = 1; i < handles.size(); i += 2)
            reg.withdraw(handles[i]);
        EXPECT_EQ(reg.live(), 0u);
        handles.clear();
    }
    uint32_t h = reg.publish(&values[0]);
    reg.clear();
    EXPECT_EQ(reg.resolve(h), nullptr);
    EXPECT_GT(reg.publish(&values[0]), h);
    reg.withdraw(0x7fffffff);  // unknown: nothing happens
}

TEST(DllHandleRegistry, TableForwardsToTheRegistry)
{
    const auto* t = SimDllHandleTable();
    EXPECT_EQ(t->size, sizeof(vpsim::T_DllHandleTable));
    int x = 0;
    uint32_t h = t->publish(&x);
    EXPECT_EQ(t->resolve(h), &x);
    EXPECT_EQ(SimDllHandles().resolve(h), &x);
    t->withdraw(h);
    EXPECT_EQ(t->resolve(h), nullptr);
}
