// The shared kernel routines: bits, range check, number texts, DOS upper
// case, folders, clearing lists, comments, selector level, progress, status.
#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <cstring>
#include <functional>
#include <filesystem>
#include <string>
#include <vector>

#include "kernel/dispatch/kernelroutines.h"
#include "kernel/language/language.h"
#include "kernel/model/bytes.h"
#include "kernel/model/listmodel.h"
#include "kernel/model/programcommandblock.h"
#include "kernel/model/programmodel.h"
#include "kernel/model/workrecord.h"
#include "kernel/services/services.h"
#include "tests/support/recording_host.h"
#include "tests/support/test_env.h"

namespace fs = std::filesystem;

TEST(KernelRoutines, BitsOutsideTheWidthChangeNothing)
{
    uint8_t b = 0x10;
    SetBit(b, 0);
    SetBit(b, 7);
    EXPECT_EQ(b, 0x91);
    SetBit(b, 8);
    SetBit(b, -1);
    EXPECT_EQ(b, 0x91);
    ClearBit(b, 4);
    ClearBit(b, 8);
    EXPECT_EQ(b, 0x81);
    EXPECT_TRUE(TestBit(b, 7));
    EXPECT_FALSE(TestBit(b, 6));
    EXPECT_FALSE(TestBit(uint8_t{0xff}, 8));
    EXPECT_FALSE(TestBit(uint8_t{0xff}, -1));

    uint16_t w = 0;
    SetBit(w, 15);
    SetBit(w, 8);
    SetBit(w, 16);
    EXPECT_EQ(w, 0x8100);
    ClearBit(w, 15);
    ClearBit(w, 16);
    EXPECT_EQ(w, 0x0100);
    EXPECT_TRUE(TestBit(w, 8));
    EXPECT_FALSE(TestBit(uint16_t{0xffff}, 16));
}

TEST(KernelRoutines, CheckRangeGivesTheCodeOutsideTheRange)
{
    EXPECT_EQ(CheckRange(0, 1, 1999, 1000), 1000);
    EXPECT_EQ(CheckRange(1999, 1, 1999, 1000), 0);
    EXPECT_EQ(CheckRange(1, 1, 1999, 1000), 0);
    EXPECT_EQ(CheckRange(2000, 1, 1999, 1000), 1000);
    EXPECT_EQ(CheckRange(-9999, -9999, 9999, 1403), 0);
    EXPECT_EQ(CheckRange(INT32_MIN, -9999, 9999, 1403), 1403);
}

TEST(KernelRoutines, SignedPaddedText)
{
    EXPECT_EQ(SignedPaddedText(-12, 5, true), "-0012");
    EXPECT_EQ(SignedPaddedText(5, 4, true), "+005");
    EXPECT_EQ(SignedPaddedText(0, 3, true), "+00");
    EXPECT_EQ(SignedPaddedText(12345, 3, true), "+12345");
    EXPECT_EQ(SignedPaddedText(-12, 5, false), "00012");
    EXPECT_EQ(SignedPaddedText(7, 0, false), "7");
    EXPECT_EQ(SignedPaddedText(INT32_MIN, 2, false), "2147483648");
    // One implementation with the shared number service.
    for (int v : {-500, -1, 0, 1, 42, 9999})
        for (int width : {0, 1, 4, 7})
            EXPECT_EQ(SignedPaddedText(v, width, true), F_SignedZeroPadNum(v, width));
}

TEST(KernelRoutines, DosUpperCaseIgnoresTheLocale)
{
    const char* old = std::setlocale(LC_ALL, nullptr);
    const std::string saved = old ? old : "C";
    for (const char* loc : {"C", "de_DE.ISO-8859-1", "de_DE.UTF-8", "C.UTF-8"}) {
        std::setlocale(LC_ALL, loc);
        EXPECT_EQ(DosUpperCase("\x61\x81\x94"), "\x41\x9a\x99") << loc;
        EXPECT_EQ(DosUpperCase("\x84\xe4\xfcz1"), "\x8e\xe4\xfcZ1") << loc;
    }
    std::setlocale(LC_ALL, saved.c_str());
}

TEST(KernelRoutines, FolderCreationMakesEveryMissingLevel)
{
    const std::string home = TestHome();
    EXPECT_TRUE(CreateFolderFor(home + "x/y/z/file.txt"));
    EXPECT_TRUE(fs::is_directory(home + "x/y/z"));
    EXPECT_FALSE(fs::exists(home + "x/y/z/file.txt"));
    EXPECT_TRUE(CreateFolderFor("C:\\Kelt\\Prg\\A.8a"));
    EXPECT_TRUE(fs::is_directory(home + "drive/Kelt/Prg"));
    EXPECT_TRUE(CreateFolderFor("C:A.8a"));
    EXPECT_TRUE(CreateFolderFor("bare"));
    // The stored text is Windows-1252.
    EXPECT_TRUE(CreateFolderFor(home + "M\xfc" "ller/a"));
    EXPECT_TRUE(fs::is_directory(home + "M\xc3\xbcller"));
    WriteTestFile(home + "blocker", "x");
    EXPECT_FALSE(CreateFolderFor(home + "blocker/sub/a"));
}

TEST(KernelRoutines, ClearList)
{
    for (uint8_t n : {1, 2, 3, 4, 5, 6, 7, 9}) {
        ListByNumber(n)->GetLine(4);
        EXPECT_EQ(ClearList(n), 0);
        EXPECT_EQ(ListByNumber(n)->Count(), 0) << int(n);
    }
    for (int list : {10, 12}) {
        RuestSchema.b.fill(0x5a);
        EXPECT_EQ(ClearList(list), 0);
        for (size_t i = 0; i < T_RuestSchema::kSize; ++i) {
            uint8_t expected = 0;
            switch (i) {
            case 0: expected = 1; break;
            case 2493: expected = 4; break;
            case 2495: expected = 100; break;
            case 2497: expected = 2; break;
            default: break;
            }
            ASSERT_EQ(RuestSchema.b[i], expected) << list << " " << i;
        }
    }
    // Numbers that name nothing.
    ZListe->GetLine(2);
    ProgrammKopf.SetModel("123");
    const auto record = RuestSchema.b;
    for (int list : {0, 8, 11, 13, 255}) {
        EXPECT_EQ(ClearList(list), 0);
        EXPECT_EQ(RuestSchema.b, record);
        EXPECT_EQ(ZListe->Count(), 2);
    }
    EXPECT_EQ(ProgrammKopf.Model(), "123");
}

TEST(KernelRoutines, ReInitialiseLine)
{
    uint8_t* a = AListe->GetLine(2);
    a[2] = 5;
    EXPECT_EQ(ReInitLine(3, 2), 0);
    a = AListe->GetLine(2);
    EXPECT_EQ(a[2], 101);
    EXPECT_EQ(get_u16(a, 8), 10000);

    ZListe->GetLine(4)[0] = 3;
    EXPECT_EQ(ReInitLine(1, 4), 0);
    EXPECT_EQ(ZListe->GetLine(4)[0], 0);
    EXPECT_EQ(ZListe->GetLine(4)[18], 0x7f);
    // No handler, nothing happens.
    EXPECT_EQ(ReInitLine(8, 1), 0);
    EXPECT_EQ(ReInitLine(11, 1), 0);
}

TEST(KernelRoutines, CommentsByListNumber)
{
    EXPECT_EQ(CommentPut(9, 3, std::string(90, 'c')), 0);
    EXPECT_EQ(SListe->Count(), 3);
    EXPECT_EQ(SListe->GetLine(3)[26], 80);
    std::string text;
    EXPECT_EQ(CommentGet(9, 3, text), 0);
    EXPECT_EQ(text, std::string(80, 'c'));

    // A damaged length byte is capped at the field.
    WListe->GetLine(1)[16] = 200;
    EXPECT_EQ(CommentGet(7, 1, text), 0);
    EXPECT_EQ(text.size(), 80u);

    text = "unchanged";
    EXPECT_EQ(CommentPut(10, 1, "x"), 0);
    EXPECT_EQ(CommentGet(10, 1, text), 0);
    EXPECT_EQ(CommentGet(8, 1, text), 0);
    EXPECT_EQ(text, "unchanged");
}

TEST(KernelRoutines, SetSelectorLevelSendsABlockOnlyOnAChange)
{
    // The loader switches levels with the needle-room block it is about to send.
    ProgramCommandBlock block;
    block.SetCode(12);
    block.SetSelector(12);
    block.SetLine(2);
    block.SetU16(10, 1234);
    ZrVar.Level = 3;
    RuestSchema.b[0] = 3;
    EXPECT_EQ(SetSelectorLevel(3, block), 0);
    EXPECT_EQ(RuestSchema.b[0], 3);

    EXPECT_EQ(SetSelectorLevel(5, block), 0);
    EXPECT_EQ(ZrVar.Level, 5);
    EXPECT_EQ(RuestSchema.b[0], 5);
    // The caller's block is left as it was.
    EXPECT_EQ(block.Selector(), 12);
    EXPECT_EQ(block.U16(10), 1234);
    EXPECT_EQ(get_u16(RuestSchema.data(), T_RuestSchema::RoomStart(2, 5)), 0);
}

TEST(KernelRoutines, ProgressLineAndStatusTextGoToTheHost)
{
    ScopedRecordingHost host;
    ProgressLine(3, 10, "Z-Liste ", 42);
    StatusText("Fertig");
    const auto lines = host.host.callsOf("infoLine");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].a, 3);
    EXPECT_EQ(lines[0].text, "Z-Liste ");
    EXPECT_EQ(lines[1].a, 4);
    EXPECT_EQ(lines[1].text, "0042");
    const auto status = host.host.callsOf("statusText");
    ASSERT_EQ(status.size(), 1u);
    EXPECT_EQ(status[0].text, "Fertig");
}

// The progress of a job that reports record after record: line 3 shows the
// text translated once, line 4 the digits counted up, across carries, jumps
// and negative values exactly what ProgressLine shows.
TEST(KernelRoutines, JobProgressShowsWhatProgressLineShows)
{
    WriteTestFile(TestHome() + "DbLang.Txt", "$:Z-Liste\r\nG:Z-Liste\r\nE:Knitting scheme\r\n");
    InitLanguage(nullptr, nullptr, "DbLang.Txt", 'E');
    struct Step {
        const char* text;
        int32_t value;
    };
    std::vector<Step> steps;
    for (int32_t v = 0; v <= 12; ++v)
        steps.push_back({"Z-Liste ", v});
    for (int32_t v : {98, 99, 100, 101, 998, 999, 1000, 1001, 9998, 9999, 10000, 10001, 99999, 100000, 5, 3, 4})
        steps.push_back({"Z-Liste ", v});
    for (int32_t v : {-5, -4, -123, 0, 1, 2147483647})
        steps.push_back({"SF-Liste", v});
    for (int32_t v : {1, 2})
        steps.push_back({"Z-Liste ", v});

    auto record = [&](const std::function<void(const Step&)>& show) {
        RecordingKernelHost host;
        setKernelHost(&host);
        for (const Step& s : steps)
            show(s);
        setKernelHost(nullptr);
        std::vector<std::string> lines;
        for (const HostCall& c : host.callsOf("infoLine"))
            lines.push_back(std::to_string(c.a) + ":" + c.text);
        return lines;
    };
    const std::vector<std::string> expected =
        record([](const Step& s) { ProgressLine(0, 0, s.text, s.value); });
    JobProgress progress;
    const char* shown = nullptr;
    const std::vector<std::string> lines = record([&](const Step& s) {
        if (s.text != shown) {
            shown = s.text;
            progress.SetText(s.text);
        }
        progress.Line(0, 0, s.value);
    });
    EXPECT_EQ(lines, expected);
    ASSERT_EQ(lines.size(), 2 * steps.size());
    EXPECT_EQ(lines[0], "3:Knitting scheme ");  // the blank is kept around the translation
    EXPECT_EQ(lines[1], "4:0000");
    EXPECT_NE(std::find(lines.begin(), lines.end(), "4:10000"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "4:-005"), lines.end());
    DoneLanguage();
}

// The hot paths' copies and clearing give the bytes of the plain helpers.
TEST(KernelRoutines, ShortTextsAndClearedBytesAsThePlainHelpers)
{
    for (size_t cap : {size_t{32}, size_t{80}, size_t{255}}) {
        for (size_t n = 0; n <= 120; ++n) {
            std::string text;
            for (size_t i = 0; i < n; ++i)
                text += static_cast<char>('A' + (i * 7 + n) % 50);
            uint8_t plain[300];
            uint8_t fast[300];
            std::memset(plain, 0xCC, sizeof plain);
            std::memset(fast, 0xCC, sizeof fast);
            WriteShortString(plain, 7, cap, text);
            WriteShortText(fast, 7, cap, text);
            ASSERT_EQ(std::memcmp(plain, fast, sizeof plain), 0) << cap << " " << n;
        }
    }
    uint8_t bytes[300];
    std::memset(bytes, 0xCC, sizeof bytes);
    ZeroBytes<ProgramCommandBlock::kSize>(bytes + 3);
    EXPECT_EQ(bytes[2], 0xCC);
    EXPECT_TRUE(std::all_of(bytes + 3, bytes + 3 + 266, [](uint8_t b) { return b == 0; }));
    EXPECT_EQ(bytes[3 + 266], 0xCC);
    std::memset(bytes, 0xCC, sizeof bytes);
    ZeroBytes<64>(bytes + 10);  // no remainder
    EXPECT_EQ(bytes[9], 0xCC);
    EXPECT_EQ(bytes[10], 0);
    EXPECT_EQ(bytes[73], 0);
    EXPECT_EQ(bytes[74], 0xCC);
}
