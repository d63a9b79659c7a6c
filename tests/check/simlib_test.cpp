// Our libVpSimMod.so in this process, loaded the way the program loads it
// (the build puts a copy beside the test binary): fabric, shapes, callbacks,
// the call log and robustness against damaged blocks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "check/dll_handles.h"
#include "check/export_options.h"
#include "check/simdll.h"
#include "kernel/model/bytes.h"
#include "kernel/model/globals.h"
#include "kernel/model/programmodel.h"
#include "simlib/vpsimmod_abi.h"
#include "tests/check/simlib_test_util.h"
#include "tests/support/recording_host.h"
#include "tests/support/test_env.h"

namespace {

class SimLibTest : public testing::Test {
protected:
    void SetUp() override
    {
        ProgrammKopf.SetModel("843");
        ProgrammKopf.SetGauge(8);
        ProgrammKopf.data()[26] = 1;
        RuestSchema.data()[0] = 1;
        TestModus = 1;
    }
    void TearDown() override
    {
        FreeSimDll();
        SetSimProgressSink(nullptr);
        SetSimMessageSink(nullptr);
        unsetenv(vpsim::kLogVariable);
    }
    void StartWithLog(uint16_t width)
    {
        logPath = TestHome() + "calls.log";
        setenv(vpsim::kLogVariable, logPath.c_str(), 1);
        ASSERT_TRUE(StartSimDll("", width));
    }
    std::vector<LogLine> Log()
    {
        std::vector<LogLine> out;
        for (const auto& l : ReadLogLines(logPath))
            out.push_back(ParseLogLine(l));
        return out;
    }
    // One line: front actions, back actions, moves.
    static void Line(char dir, uint8_t system, bool strokeStart, const std::vector<uint8_t>& front,
                     const std::vector<uint8_t>& back, const std::vector<T_DllFfMove>& moves,
                     const std::string& label = "", std::array<uint16_t, 4> density = {1250, 1250, 1250, 1250})
    {
        T_DllNeueZeile l;
        l.direction = dir;
        l.system = system;
        l.racking = -3;
        l.strokeStart = strokeStart;
        l.speed = 100;
        l.density = density;
        l.label = label;
        ASSERT_TRUE(SimDllAddNeueZeile(l));
        SimDllAddSelektion(front, back);
        for (const auto& m : moves)
            SimDllAddFf(m);
        SimDllZeileFertig();
    }
    static T_DllFfMove Move(uint8_t rail, uint8_t carrier, int16_t start, int16_t end, uint8_t id = 1)
    {
        T_DllFfMove m;
        m.rail = rail;
        m.carrier = carrier;
        m.id = id;
        m.start = start;
        m.end = end;
        return m;
    }
    static SimDllRow Row(uint16_t r, uint8_t densityHidden = 1, uint16_t cellWidth = 8)
    {
        SimDllRow row;
        SimDllGetSimInfo(0, cellWidth, r, 1, densityHidden, row);
        return row;
    }

    ScopedRecordingHost host;
    std::string logPath;
};

}  // namespace

TEST_F(SimLibTest, FabricRowsFromTheLines)
{
    ASSERT_TRUE(StartSimDll("", 6));
    // Line 1: front acts on 2..5, back on 3; carrier rail 2 / 3 over 4..9.
    Line('>', 1, true, {0, 'M', 'm', 24, 25, 0}, {0, 0, 'S', 0, 0, 0}, {Move(2, 3, 4, 9), Move(1, 1, 1, 6, 2)},
         "S0001 Z0001");
    // Line 2: front 1 only ('X': another action), back nothing; no carrier.
    Line('<', 1, true, {'X', 0, 0, 0, 0, 0}, {}, {});
    EXPECT_EQ(SimDllGetSimHoehe(), 4);

    SimDllRow r1 = Row(1);
    EXPECT_EQ(ToHex(r1.shape.data(), 6), "000102080900");
    // The first move covering a needle gives its colour: 0x2a = rail 2, carrier 3.
    EXPECT_EQ(ToHex(r1.colour.data(), 6), "2020202a2a2a");
    EXPECT_EQ(ToHex(reinterpret_cast<uint8_t*>(r1.third.data()), 6), "2020202a2a2a");
    EXPECT_EQ(r1.xOffset, 0);
    EXPECT_EQ(r1.background, 0);

    SimDllRow r2 = Row(2);
    EXPECT_EQ(ToHex(r2.shape.data(), 6), "000007000000");
    EXPECT_EQ(r2.xOffset, 4);

    // Line 2 front: needles 2..5 acted in line 1 and not now: -2.
    SimDllRow r3 = Row(3);
    EXPECT_EQ(ToHex(r3.shape.data(), 6), "0a0000000000");
    EXPECT_EQ(ToHex(r3.colour.data(), 6), "000000000000");
    EXPECT_EQ(ToHex(reinterpret_cast<uint8_t*>(r3.third.data()), 6), "fffefefefeff");
    SimDllRow r4 = Row(4);
    EXPECT_EQ(ToHex(reinterpret_cast<uint8_t*>(r4.third.data()), 6), "fffffeffffff");

    // Density colours while +29 is 0: acting needles 210 + min(25, d / 100).
    SimDllRow d1 = Row(1, 0);
    EXPECT_EQ(ToHex(d1.colour.data(), 6), "20dededede2a");

    // Outside the rows: empty.
    EXPECT_TRUE(Row(5).shape.empty());
    EXPECT_TRUE(Row(0).shape.empty());

    EXPECT_EQ(SimDllGetKommentar(1), "S0001 Z0001");
    EXPECT_EQ(SimDllGetKommentar(2), "S0001 Z0001");
    EXPECT_EQ(SimDllGetKommentar(3), "");
    EXPECT_EQ(SimDllGetKommentar(99), "");

    SimExtras e = SimDllGetSimExtras(true, 0x2a, 3, 1);
    EXPECT_EQ(e.system, 1);
    EXPECT_EQ(e.carrier, 0x2a - 31);
    EXPECT_EQ(e.racking, 0xfd);
    EXPECT_EQ(e.density, 1250);
    EXPECT_EQ(SimDllGetSimExtras(false, 0x2a, 3, 1).system, 0);

    EXPECT_EQ(SimDllGetSimFfInfo(0x20), 1);
    EXPECT_EQ(SimDllGetSimFfInfo(0x27), 8);
    EXPECT_EQ(SimDllGetSimFfInfo(0x5f), 64);
    EXPECT_EQ(SimDllGetSimFfInfo(0x60), 0);
    EXPECT_EQ(SimDllGetSimFfInfo(0x1f), 0);

    SimInfoEnde end = SimDllInfoEnde(0);
    EXPECT_EQ(end.strokes, 2);
    EXPECT_FALSE(end.usable);
}

TEST_F(SimLibTest, DemoStrokesGiveALabelPerRow)
{
    ASSERT_TRUE(StartSimDll("", 40));
    for (int k = 1; k <= 5; ++k) {
        char label[64];
        std::snprintf(label, sizeof label, "S0001 Z%04d System1 YV0001 YH0001", k);
        Line(k % 2 ? '>' : '<', 1, true, std::vector<uint8_t>(40, 'M'), {}, {Move(1, 1, 1, 40)}, label);
    }
    EXPECT_EQ(SimDllGetKommentar(3), "S0001 Z0002 System1 YV0001 YH0001");
    EXPECT_EQ(SimDllGetKommentar(10), "S0001 Z0005 System1 YV0001 YH0001");
    EXPECT_EQ(SimDllGetSimFfInfo(0x20), 1);
    EXPECT_EQ(SimDllGetSimFfInfo(0x27), 8);
    EXPECT_EQ(SimDllGetSimFfInfo(0x60), 0);
    EXPECT_EQ(SimDllInfoEnde(0).strokes, 5);
}

TEST_F(SimLibTest, CarrierBarRowsAndEndPositionChanges)
{
    ASSERT_TRUE(StartSimDll("", 10));
    Line('>', 1, true, {'M'}, {}, {Move(1, 2, 1, 4, 5), Move(3, 1, 2, 8, 6)});
    EXPECT_EQ(SimDllGetSimHoehe(), 2);
    SimDllFfEinAus(1);
    EXPECT_EQ(SimDllGetSimHoehe(), 10);
    SimDllRow rail1 = Row(3);
    EXPECT_EQ(ToHex(rail1.shape.data(), 10), "00000000000000000000");
    EXPECT_EQ(ToHex(reinterpret_cast<uint8_t*>(rail1.third.data()), 10), "ffffff21ffffffffffff");
    EXPECT_EQ(ToHex(reinterpret_cast<uint8_t*>(Row(5).third.data()), 10), "ffffffffffffff30ffff");
    // The spacing rule moves carrier id 6 (rail 3, carrier 1) to needle 10.
    SimDllFfEndPosChg(6, 10, 1);
    EXPECT_EQ(ToHex(reinterpret_cast<uint8_t*>(Row(5).third.data()), 10), "ffffffffffffffffff30");
    EXPECT_TRUE(Row(11).shape.empty());
    SimDllFfEinAus(0);
    EXPECT_EQ(SimDllGetSimHoehe(), 2);
}

TEST_F(SimLibTest, DynamicDensityAndJacquardSwitch)
{
    ASSERT_TRUE(StartSimDll("", 4));
    T_DllNeueZeile l;
    l.strokeStart = true;
    l.system = 2;
    SimDllAddNeueZeile(l);
    SimDllAddSelektion({'M', 'm', 0, 'M'}, {});
    SimDllAddFsDynamisch(0, {500, 3100, 800, 2600});
    SimDllZeileFertig();
    SimDllRow r = Row(1, 0);
    EXPECT_EQ(ToHex(r.colour.data(), 4), "d7eb00eb");
    EXPECT_EQ(SimDllGetSimExtras(true, 0, 2, 1).density, 3100);
    EXPECT_EQ(SimDllGetSimExtras(true, 0, 2, 1).system, 2);
    // The jacquard switch is stored only: the fabric stays as it was.
    EXPECT_TRUE(SimDllShowJacquard(1, 1));
    EXPECT_EQ(Row(1, 0).colour, r.colour);
}

TEST_F(SimLibTest, ShapeTables)
{
    ASSERT_TRUE(StartSimDll("", 4));
    std::vector<uint8_t> s = SimDllGetSimSym();
    ASSERT_EQ(s.size(), 202240u);
    EXPECT_EQ(vpsim::ShapeTableOffset(3), 1024u);
    EXPECT_EQ(vpsim::ShapeTableOffset(4), 3328u);
    EXPECT_EQ(vpsim::ShapeTableOffset(8), 35584u);
    EXPECT_EQ(*std::max_element(s.begin(), s.end()), 8);
    for (int w = 2; w <= 16; ++w) {
        const int h = vpsim::ShapeHeight(w);
        const size_t size = size_t(w) * h;
        const uint8_t* t = s.data() + vpsim::ShapeTableOffset(w);
        for (int k = 0; k < 128; ++k) {
            const uint8_t* base = t + k * size;
            const uint8_t* grid = t + (128 + k) * size;
            const bool drawn = std::any_of(base, base + size, [](uint8_t c) { return c != 0; });
            EXPECT_EQ(drawn, k < 12) << "w " << w << " shape " << k;
            for (int j = 0; j < h; ++j)
                for (int i = 0; i < w; ++i) {
                    const uint8_t want = (j == h - 1 && i == w - 1) ? 7
                                         : j == h - 1               ? 5
                                         : i == w - 1               ? 6
                                                                    : base[j * w + i];
                    ASSERT_EQ(grid[j * w + i], want) << "w " << w << " shape " << k << " " << i << "," << j;
                    // Codes 5 to 7 belong to the grid.
                    const uint8_t c = base[j * w + i];
                    ASSERT_TRUE(c <= 4 || c == 8) << int(c);
                }
        }
    }
    // The handle stays the same until the library's memory is freed.
    EXPECT_EQ(SimDllGetSimSym(), s);
}

TEST_F(SimLibTest, AfterReleaseEveryEntryAnswersEmpty)
{
    StartWithLog(8);
    Line('>', 1, true, {'M', 'M'}, {}, {Move(1, 1, 1, 8)}, "label");
    SimDllFfEinAus(1);
    ASSERT_EQ(SimDllGetSimHoehe(), 10);
    ASSERT_FALSE(SimDllGetSimSym().empty());
    SimDllSpeicherFrei();
    EXPECT_EQ(SimDllGetSimHoehe(), 0);
    EXPECT_TRUE(Row(1).shape.empty());
    EXPECT_EQ(SimDllGetKommentar(1), "");
    EXPECT_EQ(SimDllInfoEnde(0).strokes, 0);
    EXPECT_TRUE(SimDllGetSimSym().empty());
    EXPECT_EQ(SimDllGetSimExtras(true, 0x20, 1, 1).carrier, 0);
    EXPECT_EQ(SimDllGetSimFfInfo(0x20), 0);
    // Feeding without a run and a stray line end do no harm.
    Line('<', 1, true, {'M'}, {}, {Move(1, 1, 1, 8)});
    SimDllZeileFertig();
    EXPECT_EQ(SimDllGetSimHoehe(), 0);
    EXPECT_EQ(SimDllVersNummer(), 36);
    // Only the handles of the init block are left published.
    EXPECT_EQ(SimDllHandles().live(), 4u);
}

TEST_F(SimLibTest, ZeileFertigWithoutOpenLineAndANewLineWhileOneIsOpen)
{
    ASSERT_TRUE(StartSimDll("", 3));
    SimDllZeileFertig();
    EXPECT_EQ(SimDllGetSimHoehe(), 0);
    T_DllNeueZeile l;
    l.strokeStart = true;
    SimDllAddNeueZeile(l);
    SimDllAddSelektion({'M', 'M', 'M'}, {});
    // No line end: the next line closes it.
    SimDllAddNeueZeile(l);
    SimDllZeileFertig();
    SimDllZeileFertig();
    EXPECT_EQ(SimDllGetSimHoehe(), 4);
    EXPECT_EQ(SimDllInfoEnde(0).strokes, 2);
}

TEST_F(SimLibTest, LoggedSizeWordsAndTooSmallBlocks)
{
    StartWithLog(4);
    SimDllAddNZeile(4, 0, 1, "N1");
    T_DllNeueZeile line;
    line.strokeStart = true;
    SimDllAddNeueZeile(line);
    SimDllBeginnWs(true, 2, 3, "W");
    SimDllEndeWs(true);
    SimDllAddSelektion({'M'}, {'F'});
    SimDllAddFsDynamisch(1, {1});
    SimDllAddFf(Move(1, 2, 1, 2));
    SimDllFfEndPosChg(1, 3, 0);
    SimDllFfEinAus(0);
    SimDllInfoEnde(0);
    SimDllGetSimHoehe();
    Row(1);
    SimDllShowJacquard(0, 0);
    SimDllGetSimFfInfo(0x20);
    SimDllGetSimExtras(true, 0x20, 1, 1);
    SimDllSetFfBar(2);
    SimDllGetSimSym();
    SimDllGetKommentar(1);
    SimDllZeileFertig();

    auto log = Log();
    std::vector<int> sizes;
    for (const auto& l : log)
        if (l.block.size() >= 2 && l.entry != "P_DllVersNummer" && l.entry != "P_DllInit")
            sizes.push_back(get_u16(l.block.data(), 0));
    EXPECT_EQ(sizes, (std::vector<int>{12, 58, 11, 3, 12, 8, 16, 7, 3, 9, 8, 32, 4, 5, 14, 4, 6, 8}));
    ASSERT_EQ(log.size(), 21u);
    EXPECT_EQ(log[0].entry, "P_DllVersNummer");
    EXPECT_EQ(log[1].entry, "P_DllInit");
    EXPECT_EQ(log[20].entry, "P_DllZeileFertig");
    EXPECT_TRUE(log[20].block.empty());
    EXPECT_EQ(log[2].entry, "P_DllAddNZeile");
    EXPECT_EQ(log[2].fields.at(8), "N1");
    EXPECT_EQ(log[3].fields.size(), 6u);
    EXPECT_EQ(log[4].fields.at(7), "W");
    EXPECT_EQ(log[6].entry, "P_DllAddSelektion");
    EXPECT_EQ(log[6].fields.at(2), "4d000000");
    EXPECT_EQ(log[6].fields.at(6), "46000000");
    EXPECT_EQ(log[7].entry, "P_DllAddFsDynamisch");
    EXPECT_EQ(log[7].fields.at(4), "0100000000000000");
    EXPECT_EQ(log[11].entry, "P_DllInfoEnde");
    EXPECT_EQ(ToHex(log[11].after.data(), log[11].after.size()), "090000000001000000");
    EXPECT_TRUE(log[8].after.empty());  // P_DllAddFf returns nothing

    // A block whose size word is below the entry's is ignored and logged so.
    SimDllCallScope scope;
    T_DllNeueZeile l;
    l.strokeStart = true;
    auto b = PackDllNeueZeile(l, scope);
    put_u16(b.data(), 0, 20);
    CallDllAddNeueZeile(b.data());
    auto last = Log().back();
    EXPECT_EQ(last.entry, "P_DllAddNeueZeile");
    EXPECT_TRUE(last.ignored);
    EXPECT_EQ(last.block.size(), 20u);
    EXPECT_EQ(SimDllInfoEnde(0).strokes, 1);
    uint8_t tiny[2] = {1, 0};
    CallDllGetSimInfo(tiny);
    EXPECT_TRUE(Log().back().ignored);
    EXPECT_EQ(ToHex(tiny, 2), "0100");
}

TEST_F(SimLibTest, CallbacksConvertTextsAndReachTheSinks)
{
    std::vector<std::string> messages;
    std::vector<std::string> progress;
    SetSimMessageSink([&](const std::string& t) { messages.push_back(t); });
    SetSimProgressSink([&](bool sub, uint16_t max, uint16_t pos) {
        progress.push_back(std::to_string(sub) + " " + std::to_string(max) + " " + std::to_string(pos));
    });
    P_PTestMeldung(nullptr, "Gr\xfc\xdf");
    P_PTestMeldung(nullptr, nullptr);
    EXPECT_EQ(messages, (std::vector<std::string>{"Grüß", ""}));
    P_PTestFortschritt(1, 10, 3);
    P_PTestFortschritt(0, 0, 0);
    EXPECT_EQ(progress, (std::vector<std::string>{"1 10 3", "0 0 0"}));

    const char* text = "S\xfc\xdf";
    P_CbTextUebersetzen(&text);
    EXPECT_STREQ(text, "S\xfc\xdf");
    const char* none = nullptr;
    P_CbTextUebersetzen(&none);
    EXPECT_STREQ(none, "");
    P_CbTextUebersetzen(nullptr);
}

TEST_F(SimLibTest, ExportWritesWandelSmaAndReportsProgress)
{
    TestModus = 2;
    std::vector<std::string> progress;
    SetSimProgressSink([&](bool sub, uint16_t max, uint16_t pos) {
        progress.push_back(std::to_string(sub) + " " + std::to_string(max) + " " + std::to_string(pos));
    });
    ExportFfTypTrans = 1;
    ASSERT_TRUE(StartSimDll("/x/T.D10", 4));
    ExportFfTypTrans = 0;
    SimDllAddNZeile(4, 0, 1, "Nadel \"1\"");
    SimDllNListeEnde();
    SimDllBeginnWs(true, 2, 3, "");
    T_DllNeueZeile l;
    l.strokeStart = true;
    l.direction = '>';
    l.takeDown = "WA: 010; ";
    SimDllAddNeueZeile(l);
    SimDllAddSelektion({'M', 24, 25, 'x'}, {0, 'g', 'S', 'F'}, 2);
    SimDllAddFsDynamisch(1, {100, 200, 300, 400});
    SimDllAddFf(Move(1, 1, -5, 4));
    SimDllFfEndPosChg(1, 9, 1);
    SimDllZeileFertig();
    SimDllEndeWs(true);
    SimInfoEnde end = SimDllInfoEnde(0);
    EXPECT_TRUE(end.usable);
    EXPECT_EQ(end.strokes, 1);
    // No rows in export mode.
    EXPECT_EQ(SimDllGetSimHoehe(), 0);
    const std::string file = ReadTestFile(TempPfad + "Wandel.Sma");
    EXPECT_EQ(file,
              "WANDEL.SMA 1\r\n"
              "INIT 4 0 0 1 1 0 10 \"KELTARIS ZR843\" \"/x/T.D10\" \"\"\r\n"
              "N 4 0 1 \"Nadel \\x221\\x22\"\r\n"
              "NE\r\n"
              "WS 1 2 3 \"\"\r\n"
              "L > 1 0 1 0 0 0 0 255 0 0 0 0 \"\" \"\" \"\" \"\" \"    \" 0 0 0 0 0 \"WA: 010; \" \"\"\r\n"
              "S 2 MUA? .gSF\r\n"
              "D 1 100,200,300,400\r\n"
              "F 1 1 1 -5 4 0 0 0\r\n"
              "P 1 9 1\r\n"
              "WE 1\r\n"
              "ENDE 1\r\n");
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.front(), "0 12 0");
    EXPECT_EQ(progress[progress.size() - 2], "0 12 12");
    EXPECT_EQ(progress.back(), "0 0 0");
}

TEST_F(SimLibTest, ExportGoesToDiskAsTheLinesComeAndACutShortRunLeavesNoFile)
{
    TestModus = 2;
    const std::string file = TempPfad + "Wandel.Sma";
    const std::string temp = file + ".tmp";
    WriteTestFile(file, "older export");
    // 200 lines of 1000 needles: about 400 KB reach the temporary file
    // before the end instead of waiting in memory.
    ASSERT_TRUE(StartSimDll("", 1000));
    for (int k = 0; k < 200; ++k)
        Line(k % 2 ? '<' : '>', 1, true, std::vector<uint8_t>(1000, 'M'), {}, {});
    EXPECT_GT(std::filesystem::file_size(temp), 300000u);
    EXPECT_EQ(ReadTestFile(temp).rfind("WANDEL.SMA 1\r\nINIT 1000 ", 0), 0u);
    EXPECT_EQ(ReadTestFile(file), "older export");

    // The checker stopped at a fatal message: no file, not usable, and the
    // answer stays the same when asked again.
    SimInfoEnde end = SimDllInfoEnde(0, true);
    EXPECT_FALSE(end.usable);
    EXPECT_EQ(end.strokes, 200);
    EXPECT_FALSE(std::filesystem::exists(temp));
    EXPECT_EQ(ReadTestFile(file), "older export");
    EXPECT_FALSE(SimDllInfoEnde(0).usable);
    EXPECT_EQ(ReadTestFile(file), "older export");

    // A new start drops a file left unfinished; a whole run replaces the
    // old file once, and a second end writes nothing more.
    ASSERT_TRUE(StartSimDll("", 4));
    Line('>', 1, true, {'M'}, {}, {});
    ASSERT_TRUE(StartSimDll("", 4));
    Line('>', 1, true, {'F'}, {}, {});
    EXPECT_TRUE(SimDllInfoEnde(0).usable);
    const std::string whole = ReadTestFile(file);
    EXPECT_NE(whole.find("\r\nS 65535 F... ....\r\nENDE 1\r\n"), std::string::npos) << whole;
    EXPECT_EQ(whole.find("M..."), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(temp));
    std::filesystem::remove(file);
    EXPECT_TRUE(SimDllInfoEnde(0).usable);
    EXPECT_FALSE(std::filesystem::exists(file));

    // Releasing the library's memory before the end drops the file too.
    ASSERT_TRUE(StartSimDll("", 4));
    Line('>', 1, true, {'M'}, {}, {});
    EXPECT_TRUE(std::filesystem::exists(temp));
    SimDllSpeicherFrei();
    EXPECT_FALSE(std::filesystem::exists(temp));
    EXPECT_FALSE(std::filesystem::exists(file));
}

namespace {
// The address fields the library follows: texts, and arrays of W_m bytes
// (factor 1) or W_m u16 (factor 2).
struct AddressFields {
    std::vector<int> texts;
    std::vector<int> arrays;
    int factor = 1;
};
AddressFields FieldsOf(int entry)
{
    switch (entry) {
    case vpsim::kInit:
        return {{8, 12, 17, 28, 32, 36, 57}, {}, 1};
    case vpsim::kAddNZeile:
        return {{8}, {}, 1};
    case vpsim::kBeginnWs:
        return {{7}, {}, 1};
    case vpsim::kAddNeueZeile:
        return {{12, 19, 25, 31, 37, 52}, {}, 1};
    case vpsim::kAddSelektion:
        return {{}, {2, 6}, 1};
    case vpsim::kAddFsDynamisch:
        return {{}, {4}, 2};
    default:
        return {};
    }
}
}  // namespace

TEST_F(SimLibTest, RandomBlocksToEveryEntryDoNoHarm)
{
    std::mt19937 rng(12345);
    auto byte = [&] { return static_cast<uint8_t>(rng()); };
    ASSERT_TRUE(StartSimDll("", 16));
    uint16_t width = 16;
    for (int n = 0; n < 100000; ++n) {
        SimDllCallScope scope(width);
        const int entry = static_cast<int>(rng() % vpsim::kEntryCount);
        const auto& e = vpsim::kEntries[entry];
        if (e.block == 0) {
            if (auto f = reinterpret_cast<vpsim::PlainProc>(SimDllRecord.slot(e.slot)))
                f();
            continue;
        }
        auto f = reinterpret_cast<vpsim::BlockProc>(SimDllRecord.slot(e.slot));
        if (!f)
            continue;
        if (rng() % 50 == 0) {
            f(nullptr);
            continue;
        }
        const size_t size = (rng() % 4 == 0) ? rng() % (e.block + 1) : e.block + rng() % 8;
        std::vector<uint8_t> block(std::max<size_t>(size, 2));
        for (auto& b : block)
            b = byte();
        put_u16(block.data(), 0, static_cast<uint16_t>(size));
        const bool accepted = size >= e.block;
        uint16_t newWidth = width;
        if (entry == vpsim::kInit && accepted) {
            newWidth = static_cast<uint16_t>(rng() % 64);
            put_u16(block.data(), 2, newWidth);
            for (int off : {61, 65, 69, 73})
                put_u32(block.data(), off, 0);
            block[21] = rng() % 2;
            block[22] = block[21] ? 0 : rng() % 2;
        }
        // Followed fields hold null, a handle never published, or what the
        // program would hand over; the others stay random.
        const AddressFields fields = FieldsOf(entry);
        auto address = [&](int off, bool isText) {
            if (off + 4 > int(block.size()))
                return;
            uint32_t h = 0;
            switch (rng() % 3) {
            case 0:
                break;
            case 1:
                h = 0x80000000u | static_cast<uint32_t>(rng());
                break;
            default:
                if (isText) {
                    std::string t(rng() % 40, 'x');
                    for (auto& c : t)
                        c = static_cast<char>(byte());
                    h = scope.text(t);
                } else {
                    std::vector<uint8_t> any(size_t(width) * fields.factor);
                    for (auto& b : any)
                        b = byte();
                    h = fields.factor == 1 ? scope.needles(any.data(), any.size())
                                           : scope.densities(reinterpret_cast<const uint16_t*>(any.data()), width);
                }
            }
            put_u32(block.data(), size_t(off), h);
        };
        for (int off : fields.texts)
            address(off, true);
        for (int off : fields.arrays)
            address(off, false);
        if (entry == vpsim::kInit && accepted)
            put_u32(block.data(), 28, 0);  // no file written by chance
        f(block.data());
        width = newWidth;
        SetSimDllMachineWidth(width);
        if (entry == vpsim::kGetSimInfo && accepted) {
            SimDllRow row;
            ReadDllSimInfo(block.data(), row, width);
            if (!row.shape.empty()) {
                EXPECT_EQ(row.shape.size(), width);
                EXPECT_LE(*std::max_element(row.shape.begin(), row.shape.end(), std::less<>()), 10);
            }
        }
    }
    SimDllSpeicherFrei();
    EXPECT_EQ(SimDllGetSimHoehe(), 0);
    EXPECT_EQ(SimDllHandles().live(), 4u);
}

TEST_F(SimLibTest, VariantWithoutJacquardSwitchIsUsable)
{
    PlaceLibrary(SimVariant("nojacquard"), ProgrammPfad);
    ASSERT_TRUE(StartSimDll("", 4));
    EXPECT_TRUE(host.host.messages().empty());
    EXPECT_EQ(SimDllRecord.slot(vpsim::kSlotShowJacquard), nullptr);
    EXPECT_FALSE(SimDllShowJacquard(1, 1));
    Line('>', 1, true, {'M'}, {}, {});
    EXPECT_EQ(SimDllGetSimHoehe(), 2);
}
