// Loading the machine program file: header cases, conversions with the
// gauge, the section readers and their pinned losses, and files that are
// refused with the program left as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>

#include "kernel/dispatch/kernelroutines.h"
#include "kernel/model/bytes.h"
#include "kernel/model/globals.h"
#include "kernel/model/listmodel.h"
#include "kernel/model/programmodel.h"
#include "kernel/model/workrecord.h"
#include "kernel/services/stream.h"
#include "tests/kernel/tkf/tkf_testing.h"
#include "tests/support/recording_host.h"
#include "tests/support/test_env.h"
#include "tests/tools/programdump.h"

namespace fs = std::filesystem;
using namespace tkftest;

namespace {

class TkfLoad : public testing::Test {
protected:
    void SetUp() override { SetMachine("832", 8); }
    void TearDown() override { P_DiskClose(); }

    std::string good = TempPfad + "Good.8dh";
    std::string bad = TempPfad + "Bad.8dh";

    // A file saved from the filled program, and its bytes.
    std::string SaveFilled()
    {
        FillProgram();
        EXPECT_EQ(SaveTo(good), 0);
        return ReadTestFile(good);
    }
    // The value field of a directory entry.
    static size_t EntryAt(const std::string& bytes, uint16_t tag)
    {
        const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
        const uint32_t dir = get_u32(p, 4);
        for (uint16_t i = 0; i < get_u16(p, dir); ++i)
            if (get_u16(p, dir + 2 + 12 * i) == tag)
                return dir + 2 + 12 * i;
        return 0;
    }
    static void SetValue(std::string& bytes, uint16_t tag, uint32_t value)
    {
        Patch(bytes, EntryAt(bytes, tag) + 8, U32Bytes(value));
    }
    static void SetCount(std::string& bytes, uint16_t tag, uint32_t count)
    {
        Patch(bytes, EntryAt(bytes, tag) + 4, U32Bytes(count));
    }
    // The tag is renamed to one the loader never looks up.
    static void Remove(std::string& bytes, uint16_t tag) { Patch(bytes, EntryAt(bytes, tag), U16Bytes(40000)); }
    static uint32_t ValueOf(const std::string& bytes, uint16_t tag)
    {
        return get_u32(reinterpret_cast<const uint8_t*>(bytes.data()), EntryAt(bytes, tag) + 8);
    }
};

// A host that counts window closings and can change the file under a
// running load.
class WatchingHost : public RecordingKernelHost {
public:
    std::function<void()> onFirstInfoLine;
    void infoLine(int line, const std::string& text) override
    {
        if (onFirstInfoLine) {
            auto f = std::move(onFirstInfoLine);
            onFirstInfoLine = nullptr;
            f();
        }
        RecordingKernelHost::infoLine(line, text);
    }
};

}  // namespace

// Check 2: a valid TIFF header without "GH".
TEST_F(TkfLoad, HeaderWithoutMarkerIsRefused)
{
    std::string bytes = SaveFilled();
    Patch(bytes, 8, "GX");
    WriteTestFile(bad, bytes);
    const std::string before = ProgramDump();
    EXPECT_EQ(LoadFrom(bad), 302);
    EXPECT_EQ(ProgramDump(), before);
    EXPECT_EQ(LoadFrom(TempPfad + "missing.8dh"), 301);
}

// Check 9: the header's tags, and a refused load that changes nothing.
TEST_F(TkfLoad, HeaderCases)
{
    const std::string bytes = SaveFilled();
    WatchingHost host;
    setKernelHost(&host);
    ASSERT_EQ(LoadFrom(good), 0);
    const std::string loaded = ProgramDump();
    const std::array<std::string, 3> names = ZrVar.PatternFiles;

    struct Case {
        const char* name;
        std::function<void(std::string&)> craft;
        uint16_t result;
    };
    const std::vector<Case> cases = {
        {"format 4", [](std::string& b) { SetValue(b, 32769, 4); }, 302},
        {"no 32774", [](std::string& b) { Remove(b, 32774); }, 302},
        {"32774 not 0", [](std::string& b) { SetValue(b, 32774, 1); }, 302},
        {"32773 unlike the systems", [](std::string& b) { SetValue(b, 32773, 3); }, 302},
        {"model not in the table", [](std::string& b) { SetValue(b, 32771, 99); }, 302},
        {"hundreds digit not the family's", [](std::string& b) { SetValue(b, 32770, 5); }, 302},
        {"32771 above 99", [](std::string& b) { SetValue(b, 32771, 132); }, 302},
        {"no 32771", [](std::string& b) { Remove(b, 32771); }, 302},
        {"no 32772", [](std::string& b) { Remove(b, 32772); }, 302},
        {"gauge 9, not in the set", [](std::string& b) { SetValue(b, 32772, 9); }, 302},
        {"gauge 255", [](std::string& b) { SetValue(b, 32772, 255); }, 302},
        {"gauge 264, low byte 8", [](std::string& b) { SetValue(b, 32772, 264); }, 302},
        {"gauge 0", [](std::string& b) { SetValue(b, 32772, 0); }, 302},
        {"no 32769", [](std::string& b) { Remove(b, 32769); }, 0},
        {"no 32773", [](std::string& b) { Remove(b, 32773); }, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string crafted = bytes;
        c.craft(crafted);
        WriteTestFile(bad, crafted);
        host.calls.clear();
        EXPECT_EQ(LoadFrom(bad), c.result);
        EXPECT_EQ(ProgramDump(), loaded);
        EXPECT_TRUE(host.callsOf("closeProgramWindows").empty());
        if (c.result != 0) {
            EXPECT_EQ(ZrVar.PatternFiles, names);
        }
    }
    setKernelHost(nullptr);
}

// A model whose tens digit is 0 is written as 3, 5 and found again as "305".
TEST_F(TkfLoad, ModelWithTensDigitZero)
{
    ZrVar.ModelTable += "305 ";
    ZrVar.ModelColumn1 += "2   ";
    ZrVar.ModelColumn2 += "1   ";
    ZrVar.ModelColumn3 += "0   ";
    ProgrammKopf.SetModel("305");
    FillProgram();
    const std::string lists = DumpLines("ZNWSVFPA");
    ASSERT_EQ(SaveTo(good), 0);
    const std::string bytes = ReadTestFile(good);
    EXPECT_EQ(ValueOf(bytes, 32770), 3u);
    EXPECT_EQ(ValueOf(bytes, 32771), 5u);
    ProgrammKopf.SetModel("832");
    ASSERT_EQ(Put(206, 0, 0, 0), 0);
    ASSERT_EQ(LoadFrom(good), 0);
    EXPECT_EQ(ProgrammKopf.Model(), "305");
    EXPECT_EQ(DumpLines("ZNWSVFPA"), lists);
}

// Check 8: values converted with the gauge come back; results that do not
// fit are refused, never wrapped into range.
TEST_F(TkfLoad, GaugeConversions)
{
    ASSERT_EQ(Put(5, 1, 1, 5, [](ProgramCommandBlock& b) {
                  b.SetU16(10, 1);
                  b.SetU8(12, 1);
                  b.SetU8(13, 'A');
                  b.SetI16(16, 25);
                  b.SetU16(18, 32768);
              }),
              0);
    ASSERT_EQ(SaveTo(good), 0);
    std::string bytes = ReadTestFile(good);
    const uint32_t p = ValueOf(bytes, 34822);
    ASSERT_EQ(TkfFile(good).U16(p + 10), 313);
    const uint32_t c = ValueOf(bytes, 34825);
    Patch(bytes, c + 1358, U16Bytes(0x8000));  // rail 1, box A, k 0
    Patch(bytes, c + 1358 + 128, U16Bytes(0x8138));
    Patch(bytes, c + 1358 + 256, U16Bytes(0x2138));
    WriteTestFile(bad, bytes);
    ASSERT_EQ(LoadFrom(bad), 0);
    const ProgramCommandBlock pb = Get(5, 1, 5);
    EXPECT_EQ(pb.I16(16), 25);
    EXPECT_EQ(pb.U16(18), 32768);
    const ProgramCommandBlock cb = Get(10, 1, 24, [](ProgramCommandBlock& b) {
        b.SetU8(9, 1);
        b.SetU8(10, 'A');
    });
    EXPECT_EQ(cb.U16(14), 32768);
    EXPECT_EQ(cb.I16(16), 25);
    EXPECT_EQ(cb.I16(18), -25);
}

// Check 10, in-process: crafted files are refused and change nothing.
TEST_F(TkfLoad, CraftedFilesAreRefused)
{
    const std::string bytes = SaveFilled();
    ASSERT_EQ(LoadFrom(good), 0);
    const std::string loaded = ProgramDump();
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
    const uint32_t dir = get_u32(p, 4);
    const uint16_t n = get_u16(p, dir);
    struct Case {
        const char* name;
        std::function<void(std::string&)> craft;
    };
    const std::vector<Case> cases = {
        {"self-linking directory", [&](std::string& b) { Patch(b, dir + 2 + 12 * n, U32Bytes(dir)); }},
        {"entry count 65535", [&](std::string& b) { Patch(b, dir, U16Bytes(65535)); }},
        {"first offset past the end", [&](std::string& b) { Patch(b, 4, U32Bytes(uint32_t(b.size()) + 100)); }},
        {"section offset past the end", [&](std::string& b) { SetValue(b, 34821, uint32_t(b.size()) - 10); }},
        {"section count 0xFFFFFFFF", [&](std::string& b) { SetCount(b, 34822, 0xFFFFFFFF); }},
        {"section count 65536", [&](std::string& b) { SetCount(b, 34827, 65536); }},
        {"pool entry n = 65535 at the end",
         [&](std::string& b) {
             SetCount(b, 34828, 1);
             SetValue(b, 34828, uint32_t(b.size()));
             b += U16Bytes(65535) + "abc";
         }},
        {"pool count beyond its entries", [&](std::string& b) { SetCount(b, 34828, 1000); }},
        {"file cut inside the Z section", [&](std::string& b) { b.resize(ValueOf(b, 34821) + 30); }},
        {"Z count beyond the file",
         [&](std::string& b) { SetCount(b, 34821, (uint32_t(b.size()) - ValueOf(b, 34821)) / 38 + 1); }},
        {"set-up record cut", [&](std::string& b) { SetValue(b, 34825, uint32_t(b.size()) - 3000); }},
        {"comment text past the end", [&](std::string& b) {
             Patch(b, EntryAt(b, 32774), U16Bytes(32774));
             SetValue(b, 34832, uint32_t(b.size()) - 2);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string crafted = bytes;
        c.craft(crafted);
        WriteTestFile(bad, crafted);
        EXPECT_EQ(LoadFrom(bad), 302);
        EXPECT_EQ(ProgramDump(), loaded);
    }
}

// A file that changes between the check and the read: the program as it
// was comes back.
TEST_F(TkfLoad, FailedReadRestoresTheProgram)
{
    const std::string bytes = SaveFilled();
    ASSERT_EQ(Put(1, 1, 9, 63), 0);
    const std::string before = ProgramDump();
    const std::array<std::string, 3> names = ZrVar.PatternFiles;
    const uint8_t level = ZrVar.Level;
    WatchingHost host;
    host.onFirstInfoLine = [&] { fs::resize_file(good, ValueOf(bytes, 34816) + 4); };
    setKernelHost(&host);
    EXPECT_EQ(LoadFrom(good), 302);
    setKernelHost(nullptr);
    EXPECT_EQ(ProgramDump(), before);
    EXPECT_EQ(ZrVar.PatternFiles, names);
    EXPECT_EQ(ZrVar.Level, level);
    EXPECT_EQ(ZrVar.Systems, 2);
}

// Check 11: the comment pool, sub-lists and stale special records.
TEST_F(TkfLoad, CommentPoolKeepsStep)
{
    ASSERT_EQ(Put(4, 1, 1, 4, [](ProgramCommandBlock& b) { b.SetU8(9, 1); }), 0);
    ASSERT_EQ(Put(4, 1, 2, 4, [](ProgramCommandBlock& b) { b.SetU8(9, 2); }), 0);
    ASSERT_EQ(Put(154, 2, 1, 101, [](ProgramCommandBlock& b) { b.SetText("first"); }), 0);
    ASSERT_EQ(Put(154, 2, 2, 101, [](ProgramCommandBlock& b) { b.SetText("second"); }), 0);
    ASSERT_EQ(SaveTo(good), 0);
    std::string bytes = ReadTestFile(good);
    // The first comment made 100 characters long: the pool is rebuilt at
    // the end of the file.
    std::string pool = U16Bytes(100);
    for (int i = 0; i < 100; ++i)
        pool += static_cast<char>('0' + i % 10);
    pool += std::string(1, '\0') + U16Bytes(6) + "second" + std::string(1, '\0');
    SetValue(bytes, 34828, uint32_t(bytes.size()));
    bytes += pool;
    WriteTestFile(bad, bytes);
    ASSERT_EQ(LoadFrom(bad), 0);
    const std::string c1 = Get(154, 1, 0).Text(9, 80);
    EXPECT_EQ(c1.size(), 80u);
    EXPECT_EQ(c1.substr(0, 12), "012345678901");
    EXPECT_EQ(Get(154, 2, 0).Text(9, 80), "second");
    // The staging record: the length, the characters, blanks after them.
    const std::string staged = ReadTestFile(TempPfad + "K-Liste.TMP").substr(81, 81);
    EXPECT_EQ(staged, std::string(1, '\x06') + "second" + std::string(74, ' '));
}

TEST_F(TkfLoad, SameListNumberMakesOneSubList)
{
    ASSERT_EQ(Put(2, 1, 1, 2, [](ProgramCommandBlock& b) {
                  b.SetU16(10, 1);
                  b.SetU8(12, 1);
                  b.SetU16(14, 10);
              }),
              0);
    ASSERT_EQ(Put(2, 1, 2, 2, [](ProgramCommandBlock& b) {
                  b.SetU16(10, 2);
                  b.SetU8(12, 1);
                  b.SetU16(14, 20);
              }),
              0);
    ASSERT_EQ(Put(152, 2, 2, 101, [](ProgramCommandBlock& b) { b.SetText("zwei"); }), 0);
    ASSERT_EQ(SaveTo(good), 0);
    std::string bytes = ReadTestFile(good);
    // Both records with list number 1.
    Patch(bytes, ValueOf(bytes, 34819) + 14 + 2, U16Bytes(1));
    WriteTestFile(bad, bytes);
    ASSERT_EQ(LoadFrom(bad), 0);
    ASSERT_EQ(FListe->Count(), 2);
    EXPECT_EQ(get_u16(FListe->GetLine(1), 0), 1);
    EXPECT_EQ(get_u16(FListe->GetLine(2), 0), 0);
    EXPECT_EQ(get_u16(FListe->GetLine(2), 4), 20);
    EXPECT_EQ(Get(152, 2, 0).Text(9, 80), "zwei");
    EXPECT_EQ(Get(152, 1, 0).Text(9, 80), "");
}

TEST_F(TkfLoad, IndexBeyondThisFilesSpecialRecordsReadsTheDefault)
{
    for (uint16_t line = 1; line <= 4; ++line)
        for (uint8_t sys : {1, 0x81})
            ASSERT_EQ(Put(1, 2, line, 'K', [&](ProgramCommandBlock& b) {
                          b.SetU8(9, 1);
                          b.SetU8(10, 1);
                          b.SetU16(12, static_cast<uint16_t>(line * 10 + sys % 2));
                      }, sys),
                      0);
    ASSERT_EQ(SaveTo(good), 0);
    std::string bytes = ReadTestFile(good);
    ASSERT_EQ(ValueOf(bytes, 34827) != 0, true);
    ASSERT_EQ(TkfFile(good).Find(34827)->count, 9u);
    // The staging file now holds nine records; this file claims three and
    // sends line 1, system 1 (entry 1 of an odd line), side 0 to index 7.
    SetCount(bytes, 34827, 3);
    Patch(bytes, ValueOf(bytes, 34821) + 22 + 8 + 2, U16Bytes(7));
    WriteTestFile(bad, bytes);
    ASSERT_EQ(LoadFrom(bad), 0);
    const ProgramCommandBlock k = Get(1, 1, 'K', [](ProgramCommandBlock& b) { b.SetU8(9, 1); }, 1);
    EXPECT_EQ(k.U8(10), 0);
    EXPECT_EQ(k.U16(12), 0);
    // Index 2 is inside the three: line 1, side 1.
    EXPECT_EQ(Get(1, 1, 'K', [](ProgramCommandBlock& b) { b.SetU8(9, 1); }, 0x81).U16(12), 11);
}

// The losses the file format has always had, each pinned by a case of its
// own: saved and loaded back, the line is not what it was.
TEST_F(TkfLoad, LostUnsetRackingLine)
{
    ASSERT_EQ(Put(4, 1, 1, 4, [](ProgramCommandBlock& b) { b.SetU8(9, 3); }), 0);
    ASSERT_EQ(Put(154, 2, 2, 101, [](ProgramCommandBlock& b) { b.SetText("weg"); }), 0);
    ASSERT_EQ(VListe->Count(), 2);
    ASSERT_EQ(SaveTo(good), 0);
    ASSERT_EQ(LoadFrom(good), 0);
    // Not written: as the last line it is gone, its comment with it.
    EXPECT_EQ(VListe->Count(), 1);
}

TEST_F(TkfLoad, LostNeedleDivisionLineOfKindZeroAndStartZero)
{
    ASSERT_EQ(Put(6, 1, 1, 6, [](ProgramCommandBlock& b) {
                  b.SetU16(10, 5);
                  b.SetU8(14, 1);
              }),
              0);
    ASSERT_EQ(Put(6, 1, 2, 6, [](ProgramCommandBlock& b) {
                  b.SetI16(12, 7);
                  b.SetU8(14, 1);
              }),
              0);
    ASSERT_EQ(Put(156, 2, 2, 101, [](ProgramCommandBlock& b) { b.SetText("auch weg"); }), 0);
    ASSERT_EQ(SaveTo(good), 0);
    ASSERT_EQ(LoadFrom(good), 0);
    EXPECT_EQ(NListe->Count(), 1);
}

TEST_F(TkfLoad, LostPatternLineModeOneValueZero)
{
    ASSERT_EQ(Put(1, 2, 2, 'J', [](ProgramCommandBlock& b) { b.SetU8(9, 1); }, 1), 0);
    ASSERT_EQ(SaveTo(good), 0);
    ASSERT_EQ(LoadFrom(good), 0);
    const ProgramCommandBlock j = Get(1, 2, 'J', {}, 1);
    EXPECT_EQ(j.U8(9), 0);
    EXPECT_EQ(j.I16(10), 0);
}

TEST_F(TkfLoad, LostPatternLineModeThree)
{
    ASSERT_EQ(Put(1, 2, 2, 'J', [](ProgramCommandBlock& b) {
                  b.SetU8(9, 3);
                  b.SetI16(10, 9);
              }, 0x81),
              0);
    ScopedRecordingHost host;
    ASSERT_EQ(SaveTo(good), 0);
    EXPECT_EQ(host.host.messages(), std::vector<std::string>{"Exception X29\r\nUngültiger Modus für die Patronenzeile"});
    ASSERT_EQ(LoadFrom(good), 0);
    const ProgramCommandBlock j = Get(1, 2, 'J', {}, 0x81);
    EXPECT_EQ(j.U8(9), 1);
    EXPECT_EQ(j.I16(10), 9);
}

TEST_F(TkfLoad, LostUpperTakeDownZeroWithLowerOptionTwo)
{
    ASSERT_EQ(Put(3, 1, 1, 3, [](ProgramCommandBlock& b) {
                  b.SetU16(10, 1);
                  b.SetU8(12, 101);
                  b.SetU8(13, 2);
                  b.SetU8(14, 0);
                  b.SetU8(15, 101);
                  b.SetU8(16, 101);
                  b.SetU8(17, 101);
                  b.SetU16(18, 10000);
                  b.SetU16(20, 10000);
              }),
              0);
    ASSERT_EQ(SaveTo(good), 0);
    EXPECT_EQ(static_cast<uint8_t>(TkfFile(good).Record(34823, 0, 20)[1]), 0x80);
    ASSERT_EQ(LoadFrom(good), 0);
    const ProgramCommandBlock a = Get(3, 1, 3);
    EXPECT_EQ(a.U8(14), 101);
    EXPECT_EQ(a.U8(13), 0);
}

TEST_F(TkfLoad, LostRelativeNeedleCountZero)
{
    ASSERT_EQ(Put(3, 1, 1, 3, [](ProgramCommandBlock& b) {
                  b.SetU16(10, 1);
                  b.SetU8(12, 101);
                  b.SetU8(14, 101);
                  b.SetU8(15, 101);
                  b.SetU8(16, 101);
                  b.SetU8(17, 101);
                  b.SetU16(18, 0);
                  b.SetU16(20, 10000);
              }),
              0);
    ASSERT_EQ(SaveTo(good), 0);
    ASSERT_EQ(LoadFrom(good), 0);
    EXPECT_EQ(Get(3, 1, 3).U16(18), 10000);
}

// A stitch density list's last line comes back whatever it holds: the
// left value 0 with a right value, and the empty line.
TEST_F(TkfLoad, LastStitchDensityLineWithLeftModeZeroAndValueZero)
{
    for (const uint16_t right : {uint16_t(4), uint16_t(0)}) {
        SCOPED_TRACE(right);
        ClearList(2);
        ASSERT_EQ(Put(2, 1, 1, 2, [](ProgramCommandBlock& b) {
                      b.SetU16(10, 1);
                      b.SetU8(12, 1);
                      b.SetU16(14, 3);
                  }),
                  0);
        ASSERT_EQ(Put(2, 1, 2, 2, [right](ProgramCommandBlock& b) {
                      b.SetU16(10, 2);
                      b.SetU8(16, right ? 1 : 0);
                      b.SetU16(18, right);
                  }),
                  0);
        const std::string before = DumpLines("F");
        ASSERT_EQ(SaveTo(good), 0);
        ASSERT_EQ(LoadFrom(good), 0);
        EXPECT_EQ(FListe->Count(), 2);
        EXPECT_EQ(DumpLines("F"), before);
    }
}

TEST_F(TkfLoad, LastStitchDensityLineWithCommentExists)
{
    ASSERT_EQ(Put(2, 1, 1, 2, [](ProgramCommandBlock& b) {
                  b.SetU16(10, 1);
                  b.SetU8(12, 1);
                  b.SetU16(14, 3);
              }),
              0);
    ASSERT_EQ(Put(2, 1, 2, 2, [](ProgramCommandBlock& b) { b.SetU16(10, 2); }), 0);
    ASSERT_EQ(Put(152, 2, 2, 101, [](ProgramCommandBlock& b) { b.SetText("Rest"); }), 0);
    ASSERT_EQ(SaveTo(good), 0);
    ASSERT_EQ(LoadFrom(good), 0);
    EXPECT_EQ(FListe->Count(), 2);
    EXPECT_EQ(Get(152, 2, 0).Text(9, 80), "Rest");
}

// A comment goes into the file in its own bytes and comes back in them:
// the Windows letters of the machine's screen, whatever code page 850
// would make of them.
TEST_F(TkfLoad, CommentsKeepTheirBytes)
{
    const std::string text = "\x84Ma\xdf\x93 \x9arka \xe1 5\x99\x81\x8e\x94\xfc";
    ASSERT_EQ(Put(7, 1, 1, 57), 0);
    ASSERT_EQ(Put(157, 2, 1, 101, [&](ProgramCommandBlock& b) { b.SetText(text); }), 0);
    ASSERT_EQ(SaveTo(good), 0);
    const TkfFile f(good);
    EXPECT_EQ(f.bytes.substr(f.Find(34828)->value, text.size() + 3),
              std::string("\x13\x00", 2) + text + std::string(1, '\0'));
    ASSERT_EQ(LoadFrom(good), 0);
    EXPECT_EQ(Get(157, 1, 0).Text(9, 80), text);
}

TEST_F(TkfLoad, PatternFileNamesAndProgress)
{
    ZrVar.PatternFiles = {"ABCDEF_p.TIF", "", "ABCDEF_y.TIF"};
    ASSERT_EQ(Put(1, 2, 1, 63), 0);
    ASSERT_EQ(SaveTo(good), 0);
    ZrVar.PatternFiles = {};
    WatchingHost host;
    setKernelHost(&host);
    ASSERT_EQ(LoadFrom(good), 0);
    setKernelHost(nullptr);
    EXPECT_EQ(ZrVar.PatternFiles, (std::array<std::string, 3>{"ABCDEF_p.TIF", "", "ABCDEF_y.TIF"}));
    std::vector<std::string> lines;
    for (const HostCall& c : host.callsOf("infoLine"))
        lines.push_back(std::to_string(c.a) + ":" + c.text);
    const auto z = std::find(lines.begin(), lines.end(), "3:Z-Liste ");
    ASSERT_NE(z, lines.end());
    EXPECT_EQ(*(z + 1), "4:0001");
    const auto c = std::find(lines.begin(), lines.end(), "3:C-Liste ");
    ASSERT_NE(c, lines.end());
    EXPECT_EQ(*(c + 1), "4:0000");
}

namespace {
// Every line of every list as bytes, the spare line 0 included.
std::string ListBytes()
{
    std::string s;
    for (int list : {1, 2, 3, 4, 5, 6, 7, 9}) {
        const T_ListenVar* l = ListByNumber(list);
        s += std::to_string(list) + ":" + std::to_string(l->Count()) + ":";
        for (uint16_t i = 0; i <= l->Count(); ++i)
            if (const uint8_t* p = l->ExistingLine(i))
                s.append(reinterpret_cast<const char*>(p), l->LineSize());
    }
    return s;
}

void ClearLists()
{
    for (uint8_t list = 1; list <= 12; ++list)
        ASSERT_EQ(Put(list, 4, 0, 0), 0);
}
}  // namespace

// The lines of the program a load replaces serve the loaded one: loading
// over a larger program, or the same file again, gives the very bytes a
// load into empty lists gives.
TEST_F(TkfLoad, LoadOverAnotherProgramGivesTheSameLines)
{
    const std::string large = TempPfad + "Large.8dh";
    FillProgram();
    ASSERT_EQ(SaveTo(large), 0);
    ClearLists();
    ASSERT_EQ(Put(1, 2, 2, '=', [](ProgramCommandBlock& b) { b.SetU16(10, 5); }), 0);
    ASSERT_EQ(Put(2, 1, 1, 2, [](ProgramCommandBlock& b) {
                  b.SetU16(10, 1);
                  b.SetU8(12, 1);
                  b.SetU16(14, 10);
              }),
              0);
    ASSERT_EQ(Put(7, 1, 3, 57, [](ProgramCommandBlock& b) { b.SetI16(10, -7); }), 0);
    ASSERT_EQ(Put(157, 2, 3, 101, [](ProgramCommandBlock& b) { b.SetText("drei"); }), 0);
    ASSERT_EQ(SaveTo(good), 0);

    ClearLists();
    ASSERT_EQ(LoadFrom(good), 0);
    const std::string lines = ListBytes();
    const std::string dump = ProgramDump();
    ASSERT_EQ(LoadFrom(large), 0);
    const std::string largeLines = ListBytes();
    ASSERT_NE(largeLines, lines);
    ASSERT_EQ(LoadFrom(good), 0);
    EXPECT_EQ(ListBytes(), lines);
    EXPECT_EQ(ProgramDump(), dump);
    ASSERT_EQ(LoadFrom(good), 0);
    EXPECT_EQ(ListBytes(), lines);
    // And the larger one over the smaller, twice.
    ASSERT_EQ(LoadFrom(large), 0);
    EXPECT_EQ(ListBytes(), largeLines);
    ASSERT_EQ(LoadFrom(large), 0);
    EXPECT_EQ(ListBytes(), largeLines);
}
