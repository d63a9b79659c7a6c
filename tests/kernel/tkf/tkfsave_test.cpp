// Saving the machine program file: the container as tiffdump sees it, the
// records against hand-computed bytes, the staging files, and the values
// the file cannot carry.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>

#include "kernel/model/bytes.h"
#include "kernel/model/globals.h"
#include "kernel/model/listmodel.h"
#include "kernel/model/programmodel.h"
#include "kernel/model/workrecord.h"
#include "kernel/services/stream.h"
#include "kernel/tkf/enginebridge.h"
#include "tests/kernel/tkf/tkf_testing.h"
#include "tests/support/recording_host.h"
#include "tests/support/test_env.h"

namespace fs = std::filesystem;
using namespace tkftest;

namespace {

std::string Hex(const std::string& bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        if (!out.empty())
            out += ' ';
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

std::string Tiffdump(const std::string& path)
{
    std::string out;
    RunCommand("tiffdump '" + path + "' 2>&1", &out);
    return out;
}

class TkfSave : public testing::Test {
protected:
    void SetUp() override { SetMachine("832", 8); }
    void TearDown() override { P_DiskClose(); }
    std::string file = TempPfad + "P.8dh";
};

}  // namespace

// Check 1: the container of a saved program as libtiff reads it.
TEST_F(TkfSave, ContainerAsTiffdumpSeesIt)
{
    ASSERT_EQ(SaveTo(file), 0);
    const TkfFile f(file);
    ASSERT_GT(f.bytes.size(), 368u);
    EXPECT_EQ(f.bytes.substr(0, 4), std::string("\x49\x49\x2a\x00", 4));
    EXPECT_EQ(f.bytes.substr(8, 2), "\x47\x48");
    EXPECT_EQ(f.directory, f.bytes.size() - 368);

    const std::string dump = Tiffdump(file);
    EXPECT_NE(dump.find("Directory 0:"), std::string::npos) << dump;
    EXPECT_EQ(dump.find("Directory 1:"), std::string::npos) << dump;
    EXPECT_NE(dump.find("next 0 (0)"), std::string::npos) << dump;
    EXPECT_TRUE(std::regex_search(dump, std::regex("1 \\(0x1\\) SHORT \\(3\\) 1<1>\\s*$"))) << dump;
    EXPECT_NE(dump.find("Software (305) ASCII (2) 21<Listeneditor - V2.13\\0>"), std::string::npos);
    EXPECT_NE(dump.find("HostComputer (316) ASCII (2) 17<SKREL - MSW 2.06\\0>"), std::string::npos);
    EXPECT_TRUE(std::regex_search(dump, std::regex("\\(32768\\) ASCII \\(2\\) 12<Keltaris RK\\\\0>")));
    EXPECT_NE(dump.find("32769 (0x8001) SHORT (3) 1<3>"), std::string::npos);
    EXPECT_NE(dump.find("32770 (0x8002) SHORT (3) 1<8>"), std::string::npos);
    EXPECT_NE(dump.find("32771 (0x8003) SHORT (3) 1<32>"), std::string::npos);
    EXPECT_NE(dump.find("32772 (0x8004) SHORT (3) 1<8>"), std::string::npos);
    EXPECT_NE(dump.find("32773 (0x8005) SHORT (3) 1<2>"), std::string::npos);
    EXPECT_NE(dump.find("32774 (0x8006) SHORT (3) 1<0>"), std::string::npos);
    EXPECT_NE(dump.find("34825 (0x8809) 22 (0x16) 1<>"), std::string::npos);
    // An empty set-up comment: no tag 270.
    EXPECT_EQ(dump.find("ImageDescription (270)"), std::string::npos);

    const TkfFile::Entry* software = f.Find(305);
    ASSERT_NE(software, nullptr);
    EXPECT_EQ(software->value % 2, 0u);
    EXPECT_EQ(f.bytes.substr(software->value + 20, 2), std::string(2, '\0'));
    const TkfFile::Entry* date = f.Find(306);
    ASSERT_NE(date, nullptr);
    EXPECT_TRUE(std::regex_match(f.bytes.substr(date->value, 19), std::regex(R"(\d{4}:\d\d:\d\d \d\d:\d\d:\d\d)")));

    // The entries in the order they were written, tag 1 last in the block.
    std::vector<uint16_t> tags;
    for (const auto& e : f.entries)
        tags.push_back(e.tag);
    const std::vector<uint16_t> expected = {305,   306,   316,   32768, 32769, 32770, 32771, 32772, 32773, 32774,
                                            33432, 34816, 34817, 34819, 34821, 34822, 34823, 34824, 34825, 34818,
                                            34827, 34828, 1};
    EXPECT_EQ(tags, expected);
}

TEST_F(TkfSave, SetUpCommentGivesTwoTag270)
{
    // Code-page 850 letters: the first tag keeps them, the second has the
    // Windows letters.
    ASSERT_EQ(Put(10, 2, 1, 25, [](ProgramCommandBlock& b) { b.SetText("Gr\x94\xe1" "e"); }), 0);
    ASSERT_EQ(SaveTo(file), 0);
    const std::string dump = Tiffdump(file);
    size_t first = dump.find("ImageDescription (270)");
    ASSERT_NE(first, std::string::npos) << dump;
    EXPECT_NE(dump.find("ImageDescription (270)", first + 1), std::string::npos) << dump;
    const TkfFile f(file);
    ASSERT_EQ(f.entries[0].tag, 270);
    EXPECT_EQ(f.bytes.substr(f.entries[0].value, 6), std::string("Gr\x94\xe1" "e\0", 6));
    const TkfFile::Entry& second = f.entries[8];
    ASSERT_EQ(second.tag, 270);
    EXPECT_EQ(f.bytes.substr(second.value, 6), std::string("Gr\xf6\xdf" "e\0", 6));
}

// Check 3: the set-up record.
TEST_F(TkfSave, SetUpRecordBytes)
{
    auto carrier = [](int16_t k0) {
        return Put(10, 2, 1, 24, [&](ProgramCommandBlock& b) {
            b.SetU8(9, 1);
            b.SetU8(10, 'A');
            b.SetU8(11, 'N');
            b.SetU8(12, 1);
            b.SetI16(14, k0);
            for (int k = 1; k < 8; ++k)
                b.SetU16(size_t(14 + 2 * k), 32768);
        });
    };
    ASSERT_EQ(Put(12, 2, 1, 34, [](ProgramCommandBlock& b) { b.SetU8(9, 3); }), 0);
    ASSERT_EQ(Put(12, 2, 2, 12, [](ProgramCommandBlock& b) {
                  b.SetU16(10, 1234);
                  b.SetU16(12, 2000);
              }),
              0);
    for (const auto& [value, bytes] : std::vector<std::pair<int16_t, std::string>>{
             {25, "\x38\x81"}, {-25, std::string("\x38\x21")}, {0, std::string("\x00\x80", 2)}}) {
        SCOPED_TRACE(value);
        ASSERT_EQ(carrier(value), 0);
        ASSERT_EQ(SaveTo(file), 0);
        const TkfFile f(file);
        const std::string rec = f.Record(34825, 0, 3538);
        ASSERT_EQ(rec.size(), 3538u);
        EXPECT_EQ(Hex(rec.substr(1358, 2)), Hex(bytes));
        EXPECT_EQ(Hex(rec.substr(78, 2)), "d2 04");
        EXPECT_EQ(Hex(rec.substr(206, 2)), "d0 07");  // its end needle, level-major
        EXPECT_EQ(static_cast<uint8_t>(rec[2497]), 2);  // level 3
        // A tandem model: the machine value is written, 53 when unset.
        EXPECT_EQ(Hex(rec.substr(300, 2)), "35 00");
    }
    // The selector level is back where it was.
    EXPECT_EQ(RuestSchema.b[0], 3);
    EXPECT_EQ(ZrVar.Level, 3);

    // -700 at gauge 8 does not fit bits 0..12: the save stops.
    ScopedRecordingHost host;
    const std::string before = ReadTestFile(file);
    ASSERT_EQ(carrier(-700), 0);
    EXPECT_EQ(SaveTo(file), 2006);
    EXPECT_EQ(ReadTestFile(file), before);
    ASSERT_EQ(host.host.messages().size(), 1u);
    EXPECT_EQ(host.host.messages()[0], "C-Liste, Fadenführer 1, Kasten A\r\nFadenführeroffset falsch");
    // -655 still fits.
    ASSERT_EQ(carrier(-655), 0);
    EXPECT_EQ(SaveTo(file), 0);
    EXPECT_EQ(Hex(TkfFile(file).Record(34825, 0, 3538).substr(1358, 2)), "fb 3f");
}

TEST_F(TkfSave, PositiveCarrierValuesUpToFifteenBits)
{
    ProgrammKopf.SetGauge(2);
    ASSERT_EQ(Put(10, 2, 1, 24, [](ProgramCommandBlock& b) {
                  b.SetU8(9, 8);
                  b.SetU8(10, 'H');
                  b.SetU8(11, 'I');
                  b.SetU8(12, 3);
                  b.SetI16(28, 655);
              }),
              0);
    ASSERT_EQ(SaveTo(file), 0);
    const std::string rec = TkfFile(file).Record(34825, 0, 3538);
    // k = 7, rail 8, box H: 655 * 100 / 2 = 32750 with bit 15.
    EXPECT_EQ(Hex(rec.substr(1342 + 128 * 7 + 16 * 8 + 14, 2)), "ee ff");
    // An intarsia carrier: attribute at least 1 with bit 5.
    EXPECT_EQ(static_cast<uint8_t>(rec[2374 + 64 + 7]), 0x22);
    ScopedRecordingHost host;
    ASSERT_EQ(Put(10, 2, 1, 24, [](ProgramCommandBlock& b) {
                  b.SetU8(9, 8);
                  b.SetU8(10, 'H');
                  b.SetU8(11, 'I');
                  b.SetI16(14, 656);
              }),
              0);
    EXPECT_EQ(SaveTo(file), 2006);
    EXPECT_EQ(host.host.messages().at(0), "C-Liste, Fadenführer 8, Kasten H\r\nFadenführeroffset falsch");
}

// Check 4: list records.
TEST_F(TkfSave, ListRecords)
{
    ASSERT_EQ(Put(5, 1, 1, 5, [](ProgramCommandBlock& b) {
                  b.SetU16(10, 1);
                  b.SetU8(12, 2);
                  b.SetU8(13, 'C');
                  b.SetU8(14, 3);
                  b.SetU8(15, 2);
                  b.SetI16(16, 25);
                  b.SetU16(18, 32768);
                  b.SetText("V", 21, 32);
              }),
              0);
    const std::string eighty(80, 'x');
    ASSERT_EQ(Put(155, 2, 1, 101, [&](ProgramCommandBlock& b) { b.SetText(eighty); }), 0);
    // Z line 1 (odd) of a 2-system machine, racking entries unset.
    ASSERT_EQ(Put(1, 2, 1, 'G', [](ProgramCommandBlock& b) {
                  b.SetU8(9, 0);
                  b.SetU16(10, 5);
              }, 2),
              0);
    ASSERT_EQ(Put(1, 2, 1, 'G', [](ProgramCommandBlock& b) {
                  b.SetU8(9, 1);
                  b.SetU16(10, 3);
              }, 1),
              0);
    ASSERT_EQ(Put(4, 1, 2, 4, [](ProgramCommandBlock& b) {
                  b.SetU8(9, 5);
                  b.SetU8(16, 100);
              }),
              0);
    ASSERT_EQ(Put(154, 2, 1, 101, [](ProgramCommandBlock& b) { b.SetText("lost"); }), 0);
    ASSERT_EQ(SaveTo(file), 0);

    const TkfFile f(file);
    const std::string p = f.Record(34822, 0, 16);
    EXPECT_EQ(Hex(p), "00 00 01 00 23 e0 01 00 00 00 39 01 00 80 01 00");
    const TkfFile::Entry* pool = f.Find(34828);
    ASSERT_NE(pool, nullptr);
    EXPECT_EQ(pool->count, 1u);
    EXPECT_EQ(f.bytes.substr(pool->value, 83), std::string("\x50\x00", 2) + eighty + std::string(1, '\0'));
    const std::string z = f.Record(34821, 0, 22 + 16);
    EXPECT_EQ(Hex(z.substr(0, 4)), "04 80 04 80");
    EXPECT_EQ(Hex(z.substr(22, 2)), "05 80");  // system 2 first on an odd line
    EXPECT_EQ(Hex(z.substr(30, 2)), "04 00");  // system 1: carrier 3
    // V line 1 unset (its comment goes too), line 2 set.
    EXPECT_EQ(f.Record(34824, 0, 10), std::string(10, '\0'));
    EXPECT_EQ(Hex(f.Record(34824, 1, 10)), "05 08 00 00 00 64 01 00 00 00");
}

TEST_F(TkfSave, EveryRecordFieldByHand)
{
    ASSERT_EQ(Put(9, 1, 1, 9, [](ProgramCommandBlock& b) {
                  b.SetU16(10, 5);
                  b.SetI16(12, -3);
                  b.SetU8(14, 1);
                  b.SetU16(16, 4);
                  b.SetU8(18, 1);
                  b.SetU16(20, 7);
                  b.SetU8(22, 1);
                  b.SetI16(24, -20);
                  b.SetU16(26, 11);
                  b.SetI16(28, -12);
                  b.SetU16(30, 13);
                  b.SetI16(32, 14);
              }),
              0);
    ASSERT_EQ(Put(6, 1, 1, 6, [](ProgramCommandBlock& b) {
                  b.SetU8(9, 1);
                  b.SetU16(10, 10);
                  b.SetI16(12, -5);
                  b.SetU8(14, 0);
                  b.SetU16(16, 2);
              }),
              0);
    ASSERT_EQ(Put(6, 1, 2, 6, [](ProgramCommandBlock& b) {
                  b.SetU16(10, 3);
                  b.SetI16(12, 4);
                  b.SetU8(14, 4);
                  b.SetU16(16, 6);
              }),
              0);
    for (uint16_t line = 1; line <= 7; ++line)
        ASSERT_EQ(Put(7, 1, line, 57, [&](ProgramCommandBlock& b) { b.SetI16(10, static_cast<int16_t>(-line)); }),
                  0);
    ASSERT_EQ(Put(2, 1, 1, 2, [](ProgramCommandBlock& b) {
                  b.SetU16(10, 1);
                  b.SetU8(12, 1);
                  b.SetU16(14, 10);
                  b.SetU8(16, 2);
                  b.SetU16(18, 3);
                  b.SetText("VO", 21, 32);
              }),
              0);
    ASSERT_EQ(Put(2, 2, 2, 2, [](ProgramCommandBlock& b) {
                  b.SetU16(10, 0);
                  b.SetU8(12, 2);
                  b.SetU16(14, 9999);
              }),
              0);
    ASSERT_EQ(Put(3, 1, 1, 3, [](ProgramCommandBlock& b) {
                  b.SetU16(10, 1);
                  b.SetU8(12, 50);
                  b.SetU8(13, 1);
                  b.SetU8(14, 30);
                  b.SetU8(15, 102);
                  b.SetU8(16, 103);
                  b.SetU8(17, static_cast<uint8_t>(-20));
                  b.SetU16(18, 100);
                  b.SetU16(20, 200);
                  b.SetU8(22, 11);
                  b.SetU8(23, 22);
                  b.SetU8(24, 33);
                  b.SetU8(25, 44);
              }),
              0);
    ASSERT_EQ(Put(3, 1, 2, 3, [](ProgramCommandBlock& b) {
                  b.SetU8(12, 101);
                  b.SetU8(13, 2);
                  b.SetU8(14, 100);
                  b.SetU8(15, 40);
                  b.SetU8(16, 101);
                  b.SetU8(17, 101);
                  b.SetU16(18, 10000);
                  b.SetU16(20, 10000);
              }),
              0);
    ASSERT_EQ(Put(1, 2, 2, 'B', [](ProgramCommandBlock& b) {
                  b.SetU8(9, 1);
                  b.SetU8(12, static_cast<uint8_t>(-5));
                  b.SetU8(13, 2);
              }),
              0);
    ASSERT_EQ(Put(1, 2, 2, 'B', [](ProgramCommandBlock& b) {
                  b.SetU8(9, 0);
                  b.SetU16(10, 6);
              }),
              0);
    ASSERT_EQ(Put(1, 2, 2, '=', [](ProgramCommandBlock& b) {
                  b.SetU8(9, 3);
                  b.SetU16(10, 6);
              }),
              0);
    ASSERT_EQ(Put(1, 2, 2, '>', [](ProgramCommandBlock& b) {
                  b.SetU8(9, 0);
                  b.SetU16(10, 5);
              }),
              0);
    ASSERT_EQ(Put(1, 2, 2, 64), 0);
    ASSERT_EQ(Put(151, 2, 2, 101, [](ProgramCommandBlock& b) { b.SetText("z"); }), 0);
    ASSERT_EQ(SaveTo(file), 0);

    const TkfFile f(file);
    // S: kind 0 + start 5; offset -3; choice 1 + 4; needle choice 1 + 7;
    // offset choice 1 with 20 (the list keeps no sign with choice 1); Y
    // values; no colours; no comment.
    EXPECT_EQ(Hex(f.Record(34816, 0, 24)),
              "05 00 fd ff 04 80 07 80 14 80 0b 00 f4 ff 0d 00 0e 00 00 00 00 00 00 00");
    // N: kind 1 + 10; 5 negative, block kind 0 (bit 15); count 2;
    // block kind 4: bits 14 and 15 on the count.
    EXPECT_EQ(Hex(f.Record(34817, 0, 8)), "0a 80 05 c0 02 00 00 00");
    EXPECT_EQ(Hex(f.Record(34817, 1, 8)), "03 00 04 80 06 c0 00 00");
    // F: sub-list 1 and its continuation, which carries the number 1.
    EXPECT_EQ(Hex(f.Record(34819, 0, 14)), "00 00 01 00 0a 40 03 80 03 00 00 00 00 00");
    EXPECT_EQ(Hex(f.Record(34819, 1, 14)), "00 00 01 00 0f a7 00 00 00 00 00 00 00 00");
    // A: everything set; then a continuation line with upper value and option 2.
    EXPECT_EQ(Hex(f.Record(34823, 0, 20)), "32 1e 80 00 00 00 01 00 94 7f 64 40 0b 21 c8 40 16 2c 00 00");
    EXPECT_EQ(Hex(f.Record(34823, 1, 20)), "80 e4 28 00 00 00 01 00 00 06 00 00 00 00 00 00 00 00 00 00");
    // Z line 2: direct racking -5 code 2; reference 6; "=" mode 3; ">" mode 0;
    // flag 64; comment 1.
    EXPECT_EQ(Hex(f.Record(34821, 1, 38).substr(0, 22)),
              "52 84 06 00 06 c0 05 00 02 00 00 00 00 00 00 00 00 00 00 00 01 00");
    // W: lines 4 (S repetitions), 7 (S needle start), 2 (N count), 3 (F
    // right mode 2), 6 ("=" mode 3) and 5 (">" mode 0) are referenced, line
    // 1 is not: bit 15 on its words.
    for (uint32_t line = 1; line <= 7; ++line) {
        const std::string w = f.Record(34818, line - 1, 18);
        const bool referenced = line != 1;
        EXPECT_EQ(static_cast<uint8_t>(w[1]), (referenced ? 0x40 : 0xC0)) << line;
        EXPECT_EQ(static_cast<uint8_t>(w[0]), line) << line;
    }
}

// Check 5: special records shared or not.
TEST_F(TkfSave, SpecialRecordsAndTheirSharing)
{
    auto side = [](uint16_t line, uint8_t sys) {
        ASSERT_EQ(Put(1, 2, line, 'K', [](ProgramCommandBlock& b) {
                      b.SetU8(9, 1);
                      b.SetU8(10, 1);
                      b.SetU16(12, 50);
                  }, sys),
                  0);
    };
    side(1, 1);
    side(2, 0x82);
    // Line 3: pattern line mode 0, value 0, the default record.
    ASSERT_EQ(Put(1, 2, 3, 'J', [](ProgramCommandBlock& b) { b.SetU8(9, 0); }, 1), 0);
    for (uint8_t opt : {0, 1}) {
        SCOPED_TRACE(int(opt));
        ZrVar.F_Opt = opt;
        ASSERT_EQ(SaveTo(file), 0);
        const TkfFile f(file);
        ASSERT_NE(f.Find(34827), nullptr);
        EXPECT_EQ(f.Find(34827)->count, opt ? 2u : 3u);
        EXPECT_EQ(Hex(f.Record(34827, 0, 24)),
                  "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 80 00 00 00 00 00 00");
        EXPECT_EQ(Hex(f.Record(34827, 1, 24).substr(0, 4)), "32 40 00 00");
        // Line 1 odd: system 2 first, then system 1 with side 0 -> record 1.
        EXPECT_EQ(Hex(f.Record(34821, 0, 38).substr(22, 16)), "00 00 00 00 00 00 00 00 00 00 01 00 00 00 00 00");
        // Line 2 even: system 1 first; system 2 side 1.
        EXPECT_EQ(Hex(f.Record(34821, 1, 38).substr(30, 8)), opt ? "00 00 00 00 01 00 00 00" : "00 00 00 00 02 00 00 00");
        EXPECT_EQ(Hex(f.Record(34821, 2, 38).substr(22, 16)), "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00");
    }
}

// Check 6: the files a save leaves, through the bridge.
TEST_F(TkfSave, FilesAfterASave)
{
    FillProgram();
    const std::string dest = TestHome() + "out/Prog.8dh";
    EngineBridge bridge;
    ASSERT_EQ(bridge.P_SaveProgram(dest, {}, TempPfad), 0);
    const std::string saved = ReadTestFile(dest);
    ASSERT_FALSE(saved.empty());
    EXPECT_EQ(RunCommand("cmp '" + dest + "' '" + TempPfad + "ZORITPRG.TMP'"), 0);
    EXPECT_TRUE(fs::is_regular_file(TempPfad + "F-liste.DB"));
    EXPECT_TRUE(fs::is_regular_file(TempPfad + "Z-Liste.DB"));
    EXPECT_TRUE(fs::is_regular_file(TempPfad + "SF-Liste.DB"));
    EXPECT_GE(fs::file_size(TempPfad + "K-Liste.TMP"), 1620000u);

    const std::string dump = Tiffdump(dest);
    auto count = [&](uint16_t tag) {
        std::smatch m;
        const std::regex re(std::to_string(tag) + " \\(0x[0-9a-f]+\\) 22 \\(0x16\\) (\\d+)<>");
        return std::regex_search(dump, m, re) ? std::stoi(m[1]) : -1;
    };
    EXPECT_EQ(count(34816), SListe->Count());
    EXPECT_EQ(count(34817), NListe->Count());
    EXPECT_EQ(count(34818), WListe->Count());
    EXPECT_EQ(count(34819), FListe->Count());
    EXPECT_EQ(count(34821), ZListe->Count());
    EXPECT_EQ(count(34822), PListe->Count());
    EXPECT_EQ(count(34823), AListe->Count());
    EXPECT_EQ(count(34824), VListe->Count());
    EXPECT_EQ(count(34825), 1);
    EXPECT_GT(FListe->Count(), 0);
}

// Offsets that do not fit the gauge-free unit stop the save with the
// list's own codes and a message naming the line.
TEST_F(TkfSave, OffsetsThatDoNotFitStopTheSave)
{
    ScopedRecordingHost host;
    const std::string before = "old program";
    WriteTestFile(file, before);
    ASSERT_EQ(Put(5, 1, 3, 5, [](ProgramCommandBlock& b) {
                  b.SetU16(10, 1);
                  b.SetU8(12, 1);
                  b.SetU8(13, 'A');
                  b.SetI16(16, 2622);  // 32775 in the file
                  b.SetU16(18, 32768);
              }),
              0);
    EXPECT_EQ(SaveTo(file), 1504);
    ASSERT_EQ(Put(5, 2, 3, 5, [](ProgramCommandBlock& b) {
                  b.SetU16(10, 1);
                  b.SetU8(12, 1);
                  b.SetU8(13, 'A');
                  b.SetI16(16, -2621);
                  b.SetI16(18, -9999);
              }),
              0);
    EXPECT_EQ(SaveTo(file), 1505);
    EXPECT_EQ(ReadTestFile(file), before);
    ASSERT_EQ(host.host.messages().size(), 2u);
    EXPECT_EQ(host.host.messages()[0], "P-Liste, Zeile 3\r\nUngültiger linker  Offset");
    EXPECT_EQ(host.host.messages()[1], "P-Liste, Zeile 3\r\nUngültiger rechter Offset");
}

TEST_F(TkfSave, GaugeZeroStopsBeforeWriting)
{
    WriteTestFile(file, "old");
    ProgrammKopf.SetGauge(0);
    EXPECT_EQ(SaveTo(file), 2210);
    EXPECT_EQ(ReadTestFile(file), "old");
    EXPECT_TRUE(fs::is_empty(TempPfad) || !fs::exists(TempPfad + "K-Liste.TMP"));
}

// Values stored before their checks reach 16384 and more: packed into 14
// bits they must not flip the mode or pressure bits beside them.
TEST_F(TkfSave, FourteenBitFieldsAreMasked)
{
    ProgramCommandBlock f;
    ASSERT_EQ(Put(2, 1, 1, 2, [](ProgramCommandBlock& b) {
                  b.SetU16(10, 1);
                  b.SetU8(12, 1);
                  b.SetU16(14, 5);
                  b.SetU8(16, 3);  // stored as mode 0, the value unchecked
                  b.SetU16(18, 20000);
              }),
              0);
    EXPECT_EQ(Put(1, 2, 1, '>', [](ProgramCommandBlock& b) {
                  b.SetU8(9, 1);
                  b.SetU16(10, 20000);
              }),
              1104);
    EXPECT_EQ(Put(1, 2, 1, 'K', [](ProgramCommandBlock& b) {
                  b.SetU8(9, 1);
                  b.SetU8(10, 1);
                  b.SetU16(12, 40000);
              }, 1),
              1116);
    ASSERT_EQ(Put(3, 1, 1, 3, [](ProgramCommandBlock& b) {
                  b.SetU16(10, 1);
                  b.SetU8(12, 101);
                  b.SetU8(14, 101);
                  b.SetU8(15, 101);
                  b.SetU8(16, 101);
                  b.SetU8(17, 101);
                  b.SetU16(18, 10000);
                  b.SetU16(20, 20000);  // unchecked while count 1 is unused
              }),
              0);
    ASSERT_EQ(SaveTo(file), 0);
    const TkfFile tf(file);
    EXPECT_EQ(tf.U16(tf.Find(34819)->value + 6), 20000 & 0x3FFF);
    EXPECT_EQ(tf.U16(tf.Find(34821)->value + 6), 0x4000 | (20000 & 0x3FFF));
    EXPECT_EQ(tf.U16(tf.Find(34823)->value + 14), 20000 & 0x3FFF);
    const uint32_t special = tf.Find(34827)->value + 24;
    EXPECT_EQ(tf.U16(special), 0x4000 | (40000 & 0x3FFF));
}

// A read the dispatcher refuses stops the save with its code, and nothing
// of a block read earlier is written in its place.
TEST_F(TkfSave, RefusedReadStopsTheSave)
{
    WriteTestFile(file, "old");
    FListe->SetCount(2000);
    EXPECT_EQ(SaveTo(file), 1000);
    EXPECT_EQ(ReadTestFile(file), "old");
    FListe->SetCount(1999);
    EXPECT_EQ(SaveTo(file), 0);
}

TEST_F(TkfSave, PatternLineModeThreeIsReported)
{
    ScopedRecordingHost host;
    ASSERT_EQ(Put(1, 2, 1, 'J', [](ProgramCommandBlock& b) {
                  b.SetU8(9, 3);
                  b.SetI16(10, 12);
              }, 1),
              0);
    ASSERT_EQ(SaveTo(file), 0);
    ASSERT_EQ(host.host.messages().size(), 1u);
    EXPECT_EQ(host.host.messages()[0], "Exception X29\r\nUngültiger Modus für die Patronenzeile");
    const TkfFile tf(file);
    EXPECT_EQ(tf.U16(tf.Find(34827)->value + 24 + 16), 12);  // no mode bits
}

TEST_F(TkfSave, ProgressShowsSectionAndRecord)
{
    ScopedRecordingHost host;
    ASSERT_EQ(Put(1, 2, 2, 63), 0);
    ASSERT_EQ(SaveTo(file), 0);
    std::vector<std::string> lines;
    for (const HostCall& c : host.host.callsOf("infoLine"))
        lines.push_back(std::to_string(c.a) + ":" + c.text);
    const auto at = std::find(lines.begin(), lines.end(), "3:Z-Liste ");
    ASSERT_NE(at, lines.end());
    EXPECT_EQ(*(at + 1), "4:0001");
    EXPECT_EQ(*(at + 3), "4:0002");
    EXPECT_NE(std::find(lines.begin(), lines.end(), "3:C-Liste "), lines.end());
}

namespace {

// Knitting scheme sides written straight into the lines: side k gets
// stitch densities that make it a record of its own.
void UniqueSides(uint16_t lines, uint32_t repeatFrom)
{
    const int systems = ZrVar.Systems;
    uint32_t k = 0;
    for (uint16_t line = 1; line <= lines; ++line) {
        uint8_t* l = ZListe->GetLine(line);
        for (int s = 0; s < systems; ++s)
            for (int side = 0; side < 2; ++side, ++k) {
                const uint32_t n = k < repeatFrom ? k : k - repeatFrom;
                uint8_t* sd = l + 28 + 88 * s + 8 + 40 * side;
                sd[4] = 1;
                put_u16(sd, 6, static_cast<uint16_t>(1 + n % 9999));
                sd[8] = 1;
                put_u16(sd, 10, static_cast<uint16_t>(1 + n / 9999));
            }
    }
}

}  // namespace

// More special records than u16 indexes: past index 65534 an equal earlier
// record is shared; without one the save stops with 203.
TEST(TkfSpecialIndexes, SharedPastTheLastIndexOrHeapOverflow)
{
    SetMachine("856", 8);  // six systems: twelve sides a line
    const std::string file = TempPfad + "Big.8dj";
    UniqueSides(6000, 65534);
    ASSERT_EQ(SaveTo(file), 0);
    const TkfFile tf(file);
    EXPECT_EQ(tf.Find(34827)->count, 65535u);
    const std::string lines = DumpLines("Z");
    ASSERT_EQ(LoadFrom(file), 0);
    EXPECT_EQ(DumpLines("Z"), lines);

    UniqueSides(6000, 1000000);
    WriteTestFile(file, "old");
    EXPECT_EQ(SaveTo(file), 203);
    EXPECT_EQ(ReadTestFile(file), "old");
}

// With a set-up comment and three pattern file names the directory holds
// 28 entries, the closing tag among them, in one block.
TEST_F(TkfSave, FullDirectoryIsOneBlockOfTwentyEight)
{
    ASSERT_EQ(Put(10, 2, 1, 25, [](ProgramCommandBlock& b) { b.SetText("Name"); }), 0);
    ZrVar.PatternFiles = {"NAME_p.TIF", "NAME_q.TIF", "NAME_y.TIF"};
    ASSERT_EQ(SaveTo(file), 0);
    const TkfFile f(file);
    EXPECT_EQ(f.U16(f.directory), 28);
    ASSERT_EQ(f.entries.size(), 28u);
    EXPECT_EQ(f.entries.back().tag, 1);
    EXPECT_EQ(f.entries[24].tag, 34832);
    EXPECT_EQ(f.bytes.substr(f.entries[26].value, 12), std::string("NAME_y.TIF\0\0", 12));
    EXPECT_EQ(get_u32(reinterpret_cast<const uint8_t*>(f.bytes.data()), f.directory + 2 + 12 * 28), 0u);
    EXPECT_EQ(f.directory + 368, f.bytes.size());
}

TEST_F(TkfSave, NoStreamIsReported)
{
    ProgramCommandBlock save;
    save.SetCode(205);
    save.SetSub(1);
    EXPECT_EQ(ProgramDispatch(save), 301);
    save.SetSub(0);
    EXPECT_EQ(ProgramDispatch(save), 301);
}
