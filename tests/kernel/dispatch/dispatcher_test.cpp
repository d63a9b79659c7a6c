// The dispatcher: the effective line, the list sub-functions and the
// program codes.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "kernel/dispatch/dispatcher.h"
#include "kernel/dispatch/errorcodes.h"
#include "kernel/model/bytes.h"
#include "kernel/model/listmodel.h"
#include "kernel/model/programcommandblock.h"
#include "kernel/model/programmodel.h"
#include "kernel/model/workrecord.h"
#include "kernel/services/stream.h"
#include "tests/support/recording_host.h"
#include "tests/support/test_env.h"

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<uint8_t>;

ProgramCommandBlock Block(uint8_t code, uint8_t sub, uint16_t line = 1, uint8_t selector = 0)
{
    ProgramCommandBlock b;
    b.SetCode(code);
    b.SetSub(sub);
    b.SetLine(line);
    b.SetSelector(selector);
    return b;
}

ProgramCommandBlock TextBlock(uint8_t code, uint8_t sub, const std::string& text)
{
    ProgramCommandBlock b = Block(code, sub, 0);
    b.SetText(text);
    return b;
}

const uint8_t kListNumbers[] = {1, 2, 3, 4, 5, 6, 7, 9};

// Header, set-up record and every line of every list, as bytes.
Bytes Snapshot()
{
    Bytes s;
    s.reserve(1 << 16);
    s.insert(s.end(), ProgrammKopf.b.begin(), ProgrammKopf.b.end());
    s.insert(s.end(), RuestSchema.b.begin(), RuestSchema.b.end());
    for (uint8_t n : kListNumbers) {
        T_ListenVar* l = ListByNumber(n);
        s.push_back(static_cast<uint8_t>(l->Count()));
        s.push_back(static_cast<uint8_t>(l->Count() >> 8));
        for (uint16_t i = 1; i <= l->Count(); ++i) {
            const uint8_t* p = l->PeekLine(i);
            s.insert(s.end(), p, p + l->LineSize());
        }
    }
    return s;
}

// Some content everywhere, so that a change would show.
void FillProgram()
{
    ProgrammKopf.SetModel("123");
    ProgrammKopf.b[26] = 2;
    for (size_t i = 0; i < T_RuestSchema::kSize; ++i)
        RuestSchema.b[i] = static_cast<uint8_t>(i * 13 + 1);
    for (uint8_t n : kListNumbers) {
        T_ListenVar* l = ListByNumber(n);
        for (uint16_t i = 1; i <= 3; ++i)
            l->GetLine(i)[l->LineSize() - 1] = static_cast<uint8_t>(n * 10 + i);
    }
}

}  // namespace

TEST(Dispatcher, ReadOfLineZeroReadsLineOneOfEveryList)
{
    for (uint8_t code : {1, 2, 3, 4, 5, 6, 7, 9, 10, 12}) {
        ProgramCommandBlock b = Block(code, 0, 0);
        EXPECT_EQ(ProgramDispatch(b), 0) << int(code);
        EXPECT_EQ(b.Line(), 1) << int(code);
    }
}

TEST(Dispatcher, UnlistedCodesAndSubFunctionsChangeNothing)
{
    ScopedRecordingHost host;
    FillProgram();
    const Bytes before = Snapshot();
    const t_K8_heap_var work = ZrVar;
    for (uint8_t code : {8, 11, 150, 158, 160, 207, 255}) {
        for (uint8_t sub : {0, 1, 2, 3, 4, 8}) {
            ProgramCommandBlock b = Block(code, sub, 2);
            EXPECT_EQ(ProgramDispatch(b), 0) << int(code) << "/" << int(sub);
        }
    }
    for (uint8_t code : {1, 2, 3, 4, 5, 6, 7, 9, 10, 12, 151, 159}) {
        for (int sub : {5, 6, 7, 9, 10, 100, 255}) {
            ProgramCommandBlock b = Block(code, static_cast<uint8_t>(sub), 2, 20);
            EXPECT_EQ(ProgramDispatch(b), 0) << int(code) << "/" << sub;
        }
    }
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(ZrVar.Status, work.Status);
    EXPECT_EQ(ZrVar.Level, work.Level);
    EXPECT_TRUE(host.host.calls.empty());
}

TEST(Dispatcher, CountGivesTheNumberOfLinesContinuationLinesIncluded)
{
    FListe->GetLine(5);
    put_u16(FListe->GetLine(2), 0, 0);
    put_u16(FListe->GetLine(3), 0, 0);
    ProgramCommandBlock b = Block(2, 8, 0);
    EXPECT_EQ(ProgramDispatch(b), 0);
    EXPECT_EQ(b.Line(), 5);

    ZListe->GetLine(42);
    b = Block(1, 8, 0);
    ProgramDispatch(b);
    EXPECT_EQ(b.Line(), 42);
    // The set-up lists and the comment codes have no count.
    b = Block(12, 8, 7);
    ProgramDispatch(b);
    EXPECT_EQ(b.Line(), 7);
    b = Block(151, 8, 7);
    ProgramDispatch(b);
    EXPECT_EQ(b.Line(), 7);
}

TEST(Dispatcher, TargetFolderGetsTheSeparatorItsTextUses)
{
    struct Case {
        std::string text, stored;
    } cases[] = {
        {"C:\\PRG", "C:\\PRG\\"}, {"C:\\PRG\\", "C:\\PRG\\"}, {"/tmp/prg", "/tmp/prg/"},
        {"/tmp/prg/", "/tmp/prg/"}, {"D:", "D:\\"},        {"rel\\dir", "rel\\dir\\"},
    };
    for (const Case& c : cases) {
        ProgramCommandBlock b = TextBlock(204, 0, c.text);
        EXPECT_EQ(ProgramDispatch(b), 0);
        EXPECT_EQ(ZrVar.TargetFolder, c.stored) << c.text;
    }
    // Nothing to append to: the folder stays as it was.
    ProgramCommandBlock empty = TextBlock(204, 0, "");
    EXPECT_EQ(ProgramDispatch(empty), 0);
    EXPECT_EQ(ZrVar.TargetFolder, "rel\\dir\\");
}

TEST(Dispatcher, TargetFolderKeepsAtMost255CharactersAndBecomesUtf8)
{
    ProgramCommandBlock b = TextBlock(204, 0, std::string(255, 'a'));
    ProgramDispatch(b);
    EXPECT_EQ(ZrVar.TargetFolder, std::string(255, 'a'));
    b = TextBlock(204, 0, "C:\\M\xfc" "ller");
    ProgramDispatch(b);
    EXPECT_EQ(ZrVar.TargetFolder, "C:\\M\xc3\xbcller\\");
}

TEST(Dispatcher, PathCodesCreateTheFolderOfTheirText)
{
    const std::string tmp = TestHome() + "Temp/";
    ProgramCommandBlock b = TextBlock(110, 0, tmp + "a/b/Y-Liste.TMP");
    EXPECT_EQ(ProgramDispatch(b), 0);
    EXPECT_TRUE(fs::is_directory(tmp + "a/b"));
    EXPECT_FALSE(fs::exists(tmp + "a/b/Y-Liste.TMP"));

    // Stored paths: "\" separators and a drive letter below the drive root.
    b = TextBlock(102, 0, "C:\\Kelt\\Listen\\Z-Liste.TMP");
    EXPECT_EQ(ProgramDispatch(b), 0);
    EXPECT_TRUE(fs::is_directory(TestHome() + "drive/Kelt/Listen"));
    // A bare name has no folder part.
    b = TextBlock(150, 0, "plain.TMP");
    EXPECT_EQ(ProgramDispatch(b), 0);
    // The comment codes are no path codes.
    b = TextBlock(151, 2, tmp + "c/d/x");
    ProgramDispatch(b);
    EXPECT_FALSE(fs::exists(tmp + "c"));
}

TEST(Dispatcher, StreamCodesOpenCreateAndClose)
{
    const std::string path = TestHome() + "Temp/out/PRG.TMP";
    ProgramCommandBlock b = TextBlock(99, 0, path);
    EXPECT_EQ(ProgramDispatch(b), zerr::kFileNotOpen);  // missing file

    b = TextBlock(99, 1, path);
    EXPECT_EQ(ProgramDispatch(b), 0);  // folder created first
    bool error = false;
    P_DiskWrite("abc", 3, error);
    EXPECT_FALSE(error);
    EXPECT_TRUE(P_DiskClose());
    EXPECT_EQ(ReadTestFile(path), "abc");

    b = TextBlock(99, 0, path);
    EXPECT_EQ(ProgramDispatch(b), 0);
    char buf[3] = {};
    P_DiskRead(buf, 3, error);
    EXPECT_FALSE(error);
    EXPECT_EQ(std::string(buf, 3), "abc");
    // Code 205 releases the stream after the load, also when the file is
    // no machine program file.
    ProgramCommandBlock load = Block(205, 0, 0);
    EXPECT_EQ(ProgramDispatch(load), 302);
    P_DiskRead(buf, 1, error);
    EXPECT_TRUE(error);  // the stream was released

    // A folder that cannot be made: the create fails with 301.
    WriteTestFile(TestHome() + "Temp/file", "x");
    b = TextBlock(99, 1, TestHome() + "Temp/file/sub/PRG.TMP");
    EXPECT_EQ(ProgramDispatch(b), zerr::kFileNotOpen);
    P_DiskClose();
}

TEST(Dispatcher, CarrierListLineFollowsTheSelector)
{
    ProgramCommandBlock b = Block(10, 0, 0, 24);
    b.SetU8(9, 1);
    b.SetU8(10, 'H');
    ProgramDispatch(b);
    EXPECT_EQ(b.Line(), 79);

    b.SetLine(0);
    b.SetU8(10, 'Z');
    ProgramDispatch(b);
    EXPECT_EQ(b.Line(), 200);

    // Rail 200 or a box below "A" would wrap the u16 line field.
    b.SetSelector(24);  // a read with a box outside "A".."H" clears it
    b.SetU8(9, 200);
    b.SetU8(10, 'H');
    b.SetLine(0);
    EXPECT_EQ(EffectiveLine(b), 1);
    EXPECT_EQ(b.Line(), 1);
    b.SetU8(9, 1);
    b.SetU8(10, 0);
    b.SetLine(5);
    EXPECT_EQ(EffectiveLine(b), 1);
    EXPECT_EQ(b.Line(), 1);

    struct Case {
        uint8_t selector, byte9;
        uint16_t line, expected;
    } cases[] = {
        {20, 0, 9, 3}, {21, 0, 9, 4}, {22, 0, 9, 5}, {23, 3, 9, 12}, {23, 14, 9, 1},
        {23, 16, 9, 1}, {23, 200, 9, 1}, {25, 0, 9, 1}, {30, 0, 9, 9}, {30, 0, 0, 1},
    };
    for (const Case& c : cases) {
        ProgramCommandBlock e = Block(10, 0, c.line, c.selector);
        e.SetU8(9, c.byte9);
        EXPECT_EQ(EffectiveLine(e), c.expected) << int(c.selector) << " " << int(c.byte9);
        // Only selector 24 writes the derived line back.
        EXPECT_EQ(e.Line(), c.line ? c.line : 1);
    }
}

TEST(Dispatcher, EffectiveLineOfTheLevelListIsTheSelectorLevel)
{
    ZrVar.Level = 3;
    ProgramCommandBlock b = Block(12, 0, 0, 31);
    EXPECT_EQ(EffectiveLine(b), 3);
    EXPECT_EQ(b.Line(), 1);
    // The sets come from the work record.
    ZrVar.LevelSet.reset();
    ZrVar.LevelSet.set(7);
    b = Block(7, 0, 9);
    EXPECT_EQ(EffectiveLine(b), 3);
    b = Block(12, 0, 5);
    EXPECT_EQ(EffectiveLine(b), 5);
    ZrVar.CarrierListNumber = 12;
    b = Block(12, 0, 5, 20);
    EXPECT_EQ(EffectiveLine(b), 3);
}

TEST(Dispatcher, MachineKindClosesWindowsOnlyWhenItChanges)
{
    ScopedRecordingHost host;
    ProgrammKopf.b[26] = 2;
    ZListe->GetLine(12);
    ProgramCommandBlock b = Block(203, 0, 2);
    EXPECT_EQ(ProgramDispatch(b), 0);
    EXPECT_TRUE(host.host.callsOf("closeProgramWindows").empty());
    EXPECT_EQ(ZListe->Count(), 0);
    EXPECT_EQ(ZrVar.Systems, 2);

    ZListe->GetLine(3);
    b = Block(203, 0, 4);
    EXPECT_EQ(ProgramDispatch(b), 0);
    EXPECT_EQ(host.host.callsOf("closeProgramWindows").size(), 1u);
    EXPECT_EQ(ProgrammKopf.b[26], 4);
    EXPECT_EQ(ZrVar.Systems, 4);
    EXPECT_EQ(ZListe->Count(), 0);

    // A kind no machine has is stored all the same; the result stays 0.
    b = Block(203, 0, 5);
    EXPECT_EQ(ProgramDispatch(b), 0);
    EXPECT_EQ(ZrVar.Systems, 5);
    EXPECT_EQ(ProgrammKopf.b[26], 5);
}

TEST(Dispatcher, CodeOneHundredOneSetsTheSystems)
{
    ProgramCommandBlock b = Block(101, 0, 3);
    EXPECT_EQ(ProgramDispatch(b), 0);
    EXPECT_EQ(ZrVar.Systems, 3);
    b = Block(101, 0, 5);
    EXPECT_EQ(ProgramDispatch(b), zerr::kBadSystemCount);
    EXPECT_EQ(ZrVar.Systems, 3);
}

TEST(Dispatcher, CommentCodeWritesOnlyTheComment)
{
    uint8_t* z = ZListe->GetLine(4);
    z[0] = 2;
    put_u16(z, 2, 77);
    z[100] = 9;
    Bytes before(z, z + kZLineSize);

    ProgramCommandBlock b = TextBlock(151, 2, "Kommentar");
    b.SetLine(4);
    EXPECT_EQ(ProgramDispatch(b), 0);
    z = ZListe->GetLine(4);
    EXPECT_EQ(ReadShortString(z, 556, 80), "Kommentar");
    for (size_t i = 0; i < kZLineSize; ++i)
        if (i < 556 || i > 556 + 80) {
            ASSERT_EQ(z[i], before[i]) << i;
        }

    // Sub 1 resets the line first.
    b = TextBlock(151, 1, "Neu");
    b.SetLine(4);
    EXPECT_EQ(ProgramDispatch(b), 0);
    z = ZListe->GetLine(4);
    EXPECT_EQ(ReadShortString(z, 556, 80), "Neu");
    for (size_t i = 0; i < kZLineSize; ++i) {
        if (i >= 556 && i <= 559)
            continue;
        ASSERT_EQ(z[i], (i == 14 || i == 18) ? 0x7f : 0) << i;
    }

    // Read back through the comment code; texts are cut to 80 characters.
    b = TextBlock(151, 2, std::string(100, 'x'));
    b.SetLine(4);
    ProgramDispatch(b);
    ProgramCommandBlock r = Block(151, 0, 4);
    EXPECT_EQ(ProgramDispatch(r), 0);
    EXPECT_EQ(r.Text(9, 255), std::string(80, 'x'));
    // The plain list code does not read comments (not in the comment set).
    r = Block(1, 0, 4, 'E');
    ProgramDispatch(r);
    EXPECT_EQ(r.U8(9), ' ');
}

TEST(Dispatcher, CommentCodesOfTheOtherLists)
{
    const struct {
        uint8_t list;
        int offset;
    } lists[] = {{2, 16}, {3, 16}, {4, 13}, {5, 16}, {6, 10}, {7, 16}, {9, 26}};
    for (const auto& l : lists) {
        ProgramCommandBlock b = TextBlock(static_cast<uint8_t>(150 + l.list), 2, "k");
        b.SetLine(2);
        EXPECT_EQ(ProgramDispatch(b), 0);
        T_ListenVar* list = ListByNumber(l.list);
        EXPECT_EQ(ReadShortString(list->GetLine(2), static_cast<size_t>(l.offset), 80), "k")
            << int(l.list);
    }
}

TEST(Dispatcher, ReInitialiseAndClearSubFunctions)
{
    uint8_t* z = ZListe->GetLine(3);
    z[0] = 1;
    z[14] = 5;
    ProgramCommandBlock b = Block(1, 3, 3);
    EXPECT_EQ(ProgramDispatch(b), 0);
    z = ZListe->GetLine(3);
    EXPECT_EQ(z[0], 0);
    EXPECT_EQ(z[14], 0x7f);

    b = Block(1, 4, 0);
    EXPECT_EQ(ProgramDispatch(b), 0);
    EXPECT_EQ(ZListe->Count(), 0);

    RuestSchema.b[100] = 1;
    b = Block(10, 4, 0);
    EXPECT_EQ(ProgramDispatch(b), 0);
    EXPECT_EQ(RuestSchema.b[100], 0);
    EXPECT_EQ(RuestSchema.b[0], 1);
    EXPECT_EQ(get_u16(RuestSchema.data(), T_RuestSchema::kFfMin), 4);

    // Clearing list 0 marks the work record.
    ZrVar.Status = 255;
    b = Block(0, 4, 0);
    EXPECT_EQ(ProgramDispatch(b), 0);
    EXPECT_EQ(ZrVar.Status, 0);
}

TEST(Dispatcher, WriteReInitialisesOnlyCodesOfTheSet)
{
    uint8_t* z = ZListe->GetLine(2);
    z[0] = 3;
    put_u16(z, 2, 50);
    // "E" through sub 2 keeps the rest of the line.
    ProgramCommandBlock b = Block(1, 2, 2, 'E');
    b.SetU8(9, '*');
    EXPECT_EQ(ProgramDispatch(b), 0);
    z = ZListe->GetLine(2);
    EXPECT_EQ(z[0], 3);
    EXPECT_EQ(z[27], 1);
    // Sub 1 re-initialises first.
    b = Block(1, 1, 2, 'E');
    b.SetU8(9, '2');
    EXPECT_EQ(ProgramDispatch(b), 0);
    z = ZListe->GetLine(2);
    EXPECT_EQ(z[0], 0);
    EXPECT_EQ(get_u16(z, 2), 0);
    EXPECT_EQ(z[27], 3);
    // Without code 1 in the set, sub 1 keeps the line as well.
    ZrVar.ReInitSet.reset(1);
    z[0] = 3;
    b = Block(1, 1, 2, 'E');
    b.SetU8(9, ' ');
    ProgramDispatch(b);
    EXPECT_EQ(ZListe->GetLine(2)[0], 3);
}

// A list write goes straight to its handler only when nothing else would
// happen on the way: line 0, a comment, the selector level or the carrier
// line of its code still take effect, whatever the work record says.
TEST(Dispatcher, ListWritesKeepTheirLineWorkWhateverTheWorkRecordSays)
{
    // Line 0 is written back as 1.
    ProgramCommandBlock b = Block(1, 2, 0, 'E');
    b.SetU8(9, '*');
    EXPECT_EQ(ProgramDispatch(b), 0);
    EXPECT_EQ(b.Line(), 1);
    EXPECT_EQ(ZListe->Count(), 1);
    EXPECT_EQ(ZListe->GetLine(1)[27], 1);

    // A code in the comment set writes the block's text as the comment of
    // the line, of the selector level's line when the code is in that set.
    ZrVar.CommentSet.set(1);
    b = Block(1, 2, 3, 'E');
    b.SetU8(9, '*');  // also the text's length: 42
    EXPECT_EQ(ProgramDispatch(b), 0);
    EXPECT_EQ(ZListe->GetLine(3)[556], 42);
    EXPECT_EQ(ZListe->GetLine(3)[27], 1);
    ZrVar.LevelSet.set(1);
    ZrVar.Level = 5;
    b = Block(1, 2, 2, 'E');
    b.SetU8(9, '1');
    EXPECT_EQ(ProgramDispatch(b), 0);
    EXPECT_EQ(ZListe->GetLine(5)[556], '1');
    EXPECT_EQ(ZListe->GetLine(2)[556], 0);
    EXPECT_EQ(ZListe->GetLine(2)[27], 2);
    ZrVar.CommentSet.reset(1);
    ZrVar.LevelSet.reset(1);

    // So do the comment codes: line 0 is line 1, a code in the level set
    // comments the selector level's line, one out of the comment set nothing.
    b = Block(157, 2, 0, 101);
    b.SetText("null");
    EXPECT_EQ(ProgramDispatch(b), 0);
    EXPECT_EQ(b.Line(), 1);
    EXPECT_EQ(ReadShortString(WListe->GetLine(1), 16, 80), "null");
    ZrVar.LevelSet.set(157);
    b = Block(157, 2, 2, 101);
    b.SetText("level");
    EXPECT_EQ(ProgramDispatch(b), 0);
    EXPECT_EQ(ReadShortString(WListe->GetLine(5), 16, 80), "level");
    EXPECT_EQ(ReadShortString(WListe->GetLine(2), 16, 80), "");
    ZrVar.LevelSet.reset(157);
    ZrVar.CommentSet.reset(157);
    b = Block(157, 2, 3, 101);
    b.SetText("none");
    EXPECT_EQ(ProgramDispatch(b), 0);
    EXPECT_EQ(ReadShortString(WListe->GetLine(3), 16, 80), "");

    // As the carrier list, selector 24 derives the line and writes it back.
    ZrVar.CarrierListNumber = 1;
    b = Block(1, 2, 7, 24);
    b.SetU8(9, 1);
    b.SetU8(10, 'B');
    EXPECT_EQ(ProgramDispatch(b), 0);
    EXPECT_EQ(b.Line(), 31);
    EXPECT_EQ(ZListe->Count(), 31);
}

TEST(Dispatcher, ResetTakesTheSystemsFromTheHeaderAndRestoresDefaults)
{
    ProgrammKopf.b[26] = 4;
    ZrVar.Level = 5;
    ZrVar.Symbols = "XYZ";
    ZrVar.TargetFolder = "/somewhere/";
    ProgramCommandBlock b = Block(200, 1, 0, 100);
    EXPECT_EQ(ProgramDispatch(b), 0);
    EXPECT_EQ(ZrVar.Systems, 4);
    EXPECT_EQ(ZrVar.Level, 1);
    EXPECT_EQ(ZrVar.Symbols, "VO*()+/^<>=#IX.-%&$ABCDEFGHJKLMN");
    EXPECT_EQ(ZrVar.TargetFolder, "C:\\");
}

TEST(Dispatcher, ScriptTextIsTakenWhole)
{
    ScopedRecordingHost host;
    host.host.script = std::string("$ZR_TYP 123\r\n\xe4\x00x", 16);
    ZrVar.Status = 0;
    ProgramCommandBlock b = Block(100, 0, 0);
    EXPECT_EQ(ProgramDispatch(b), 0);
    EXPECT_EQ(ZrVar.ScriptText, host.host.script);
    EXPECT_EQ(ZrVar.Status, 255);
    EXPECT_EQ(host.host.callsOf("scriptText").size(), 1u);

    // The text is no script: it ends inside its first statement (-999, which
    // the block's u16 result carries as 64537; the work record keeps it whole).
    ProgramCommandBlock compile = Block(202, 0, 0);
    EXPECT_EQ(ProgramDispatch(compile), 64537);
    EXPECT_EQ(ZrVar.ErrorCode, -999);
    ProgramCommandBlock end = Block(201, 0, 0);
    EXPECT_EQ(ProgramDispatch(end), 0);
}

TEST(Dispatcher, ClearAllListsClearsListsAndSetUpRecord)
{
    FillProgram();
    ProgramCommandBlock b = Block(206, 0, 0);
    EXPECT_EQ(ProgramDispatch(b), 0);
    for (uint8_t n : kListNumbers)
        EXPECT_EQ(ListByNumber(n)->Count(), 0) << int(n);
    EXPECT_EQ(RuestSchema.b[0], 1);
    EXPECT_EQ(get_u16(RuestSchema.data(), T_RuestSchema::kFfMin), 4);
    EXPECT_EQ(get_u16(RuestSchema.data(), T_RuestSchema::kFfMax), 100);
    EXPECT_EQ(RuestSchema.b[T_RuestSchema::kFfDis], 2);
    EXPECT_EQ(RuestSchema.b[1], 0);
    EXPECT_EQ(ProgrammKopf.Model(), "123");  // the header is no list
}
