// The program snapshot: its bytes, the round trip, the files it refuses
// without harm and a write that fails without losing the old file.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <sys/resource.h>

#include "kernel/model/bytes.h"
#include "kernel/model/globals.h"
#include "kernel/model/listmodel.h"
#include "kernel/model/newprogram.h"
#include "kernel/model/programmodel.h"
#include "kernel/model/ramcopy.h"
#include "kernel/services/debuglog.h"
#include "platform/safe_file.h"
#include "tests/support/recording_host.h"
#include "tests/support/test_env.h"
#include "tests/tools/programdump.h"

namespace fs = std::filesystem;

namespace {

uint32_t seed = 1;
uint8_t NextByte()
{
    seed = seed * 1664525u + 1013904223u;
    return static_cast<uint8_t>(seed >> 24);
}

void FillRandom(uint8_t* data, size_t n)
{
    for (size_t i = 0; i < n; ++i)
        data[i] = NextByte();
}

// A program with every part in use: random lines with comments in all lists,
// a random set-up record, planes 0 and 2 with random cells, plane 1 empty.
void FillProgram(uint16_t width = 37, uint16_t height = 11)
{
    seed = 7;
    ProgrammKopf.SetModel("312");
    ProgrammKopf.SetGauge(5);
    ProgrammKopf.SetName("PULLI");
    ProgrammKopf.SetWidth(width);
    ProgrammKopf.SetHeight(height);
    const int lines[] = {5, 2, 3, 1, 4, 2, 3, 2};
    const int numbers[] = {1, 6, 7, 9, 4, 2, 5, 3};
    for (int l = 0; l < 8; ++l) {
        T_ListenVar* list = ListByNumber(numbers[l]);
        for (uint16_t i = 1; i <= lines[l]; ++i) {
            uint8_t* line = list->GetLine(i);
            FillRandom(line, list->LineSize());
            WriteShortString(line, CommentOffset(numbers[l]), 80, "Kommentar " + std::to_string(i));
        }
    }
    FillRandom(RuestSchema.data(), T_RuestSchema::kSize);
    RuestSchema.data()[0] = 5;
    for (T_Patrone* plane : {&BildEbene0, &BildEbene2}) {
        plane->allocate(height);
        for (size_t row = 0; row <= height; ++row)
            FillRandom(plane->rows.data() + row * kPatternStride, width);
        plane->present = true;
    }
    BildEbene0.second = true;
}

std::string SnapshotPath()
{
    return TempPfad + "Saveram.Tmp";
}

std::string Bytes(const char* text, size_t n)
{
    return std::string(text, n);
}

int LogLines()
{
    return static_cast<int>(SplitLines(ReadTestFile(DebugLogPath())).size());
}

}  // namespace

TEST(RamCopy, EmptyProgramHasTheHandCheckedBytes)
{
    NewProgramModel();
    RuestSchema.data()[0] = 0;
    const std::string bytes = SerializeProgram();
    ASSERT_EQ(bytes.size(), 2627u);
    // Header of the default machine 843 (3 systems, model option), gauge 8;
    // eight empty lists; the set-up record with the level raised from 0 and
    // the model's coupling distance of 34 inches; three empty planes.
    std::string setup(2580, '\0');
    setup[0] = 1;
    setup[2490] = 34;
    EXPECT_TRUE(bytes == Bytes("\x03" "843\x08\x00\x82\x00\x14\x00\x01\x00", 12) + std::string(14, '\0') +
                             Bytes("\x03\x00", 2) + std::string(16, '\0') + setup + std::string(3, '\0'));
    EXPECT_EQ(RuestSchema.data()[0], 1);
}

TEST(RamCopy, RoundTripsAFullProgramByteForByte)
{
    FillProgram();
    const std::string dump = ProgramDump();
    ASSERT_TRUE(WriteRamCopy(SnapshotPath()));
    const std::string bytes = ReadTestFile(SnapshotPath());
    EXPECT_TRUE(bytes == SerializeProgram());
    EXPECT_NE(bytes.find("\x0bKommentar 1"), std::string::npos);

    // Read over the empty program, over a larger one (its lines and rows are
    // reused) and over the same one.
    const auto larger = [] {
        FillProgram(2000, 15);
        ZListe->SetCount(40);
        BildEbene0.rows.assign(BildEbene0.rows.size(), 0xEE);
        BildEbene1 = BildEbene0;
    };
    for (const auto& before : {std::function<void()>(NewProgramModel), std::function<void()>(larger),
                               std::function<void()>([] {})}) {
        before();
        ASSERT_TRUE(ReadRamCopy(SnapshotPath()));
        EXPECT_TRUE(ProgramDump() == dump);
        EXPECT_TRUE(SerializeProgram() == bytes);
        EXPECT_TRUE(BildEbene0.present && BildEbene0.second);
        EXPECT_TRUE(BildEbene2.present && !BildEbene2.second);
        EXPECT_FALSE(BildEbene1.present);
        EXPECT_EQ(BildEbene1.rowCount(), 0u);
        ASSERT_EQ(BildEbene0.rowCount(), 12u);
        // The cells right of the pattern are 0, as in a plane made anew.
        for (size_t row = 0; row < 12; ++row)
            EXPECT_EQ(std::count(BildEbene0.rows.begin() + row * kPatternStride + 37,
                                 BildEbene0.rows.begin() + (row + 1) * kPatternStride, 0),
                      kPatternStride - 37);
    }
}

TEST(RamCopy, RaisesLevelZeroOnlyAndKeepsEmptyPlanesToOneByte)
{
    struct Case {
        uint8_t level, written;
    };
    for (Case c : {Case{0, 1}, Case{1, 1}, Case{3, 3}}) {
        RuestSchema.data()[0] = c.level;
        // An empty plane takes its present byte alone, whatever rows it has.
        ProgrammKopf.SetWidth(40);
        ProgrammKopf.SetHeight(30);
        BildEbene1.allocate(30);
        BildEbene1.rows.assign(BildEbene1.rows.size(), 9);
        BildEbene1.present = false;
        const std::string bytes = SerializeProgram();
        EXPECT_EQ(bytes.size(), 2627u);
        EXPECT_EQ(static_cast<uint8_t>(bytes[44]), c.written) << int(c.level);
        EXPECT_EQ(RuestSchema.data()[0], c.written) << int(c.level);
    }
}

TEST(RamCopy, WritesZerosForRowsThePlaneDoesNotHold)
{
    // The size says 4 x 5, plane 0 holds three rows, plane 2 none at all.
    ProgrammKopf.SetWidth(4);
    ProgrammKopf.SetHeight(5);
    BildEbene0.allocate(2);
    BildEbene0.rows.assign(BildEbene0.rows.size(), 7);
    BildEbene0.present = true;
    BildEbene2.present = true;
    const std::string bytes = SerializeProgram();
    const size_t plane0 = 2624;
    ASSERT_EQ(bytes.size(), plane0 + 2 + 24 + 2 + 24 + 1);
    EXPECT_EQ(bytes.substr(plane0 + 2, 12), std::string(12, '\x07'));
    EXPECT_EQ(bytes.substr(plane0 + 14, 12), std::string(12, '\0'));
    EXPECT_EQ(bytes.substr(plane0 + 28, 24), std::string(24, '\0'));
}

TEST(RamCopy, RefusesEveryCutAndKeepsThePartsItNeeds)
{
    FillProgram();
    const std::string bytes = SerializeProgram();
    RamCopyLayout layout;
    ASSERT_EQ(CheckRamCopy(bytes, &layout), "");
    EXPECT_EQ(layout.end, bytes.size());
    EXPECT_EQ(layout.setup, 28u + 16 + 5 * 640 + 2 * 92 + 3 * 98 + 108 + 4 * 94 + 2 * 100 + 3 * 100 + 2 * 98);
    EXPECT_EQ(layout.plane[0], layout.setup + 2580);
    EXPECT_EQ(layout.plane[2], layout.plane[0] + 2 + 12 * 37);
    EXPECT_EQ(layout.plane[1], layout.plane[2] + 2 + 12 * 37);
    EXPECT_EQ(layout.end, layout.plane[1] + 1);
    for (size_t cut = 0; cut < bytes.size(); ++cut)
        ASSERT_NE(CheckRamCopy(bytes.substr(0, cut)), "") << cut;
    EXPECT_EQ(CheckRamCopy(bytes + "trailing bytes"), "");

    // Widths up to a row's 2000 cells; lists up to 20000 lines.
    std::string wide = bytes;
    put_u16(reinterpret_cast<uint8_t*>(wide.data()), 22, 2001);
    EXPECT_EQ(CheckRamCopy(wide), "Breite 2001 ueber 2000");
    std::string many = bytes;
    put_u16(reinterpret_cast<uint8_t*>(many.data()), 28, 20001);
    EXPECT_EQ(CheckRamCopy(many), "Liste Z: 20001 Zeilen ueber 20000");
    EXPECT_EQ(CheckRamCopy(bytes.substr(0, layout.setup - 1)), "Datei endet in der Liste A");
}

TEST(RamCopy, ARefusedFileChangesNothingAndShowsNothing)
{
    FillProgram();
    const std::string bytes = SerializeProgram();
    RamCopyLayout layout;
    ASSERT_EQ(CheckRamCopy(bytes, &layout), "");
    std::string wide = bytes;
    put_u16(reinterpret_cast<uint8_t*>(wide.data()), 22, 2001);
    std::string many = bytes;
    put_u16(reinterpret_cast<uint8_t*>(many.data()), 28 + 2 + 5 * 640 + 2 + 2 * 92, 20001);
    std::vector<std::string> files = {wide, many, bytes.substr(0, 28 + 2 + 5 * 640 + 2 + 2 * 92 + 2 + 98)};
    for (size_t cut : {size_t(0), size_t(27), size_t(29), layout.setup, layout.setup + 1000, layout.plane[0] + 1,
                       layout.plane[2] + 100, layout.plane[1]})
        files.push_back(bytes.substr(0, cut));

    NewProgramModel();
    ProgrammKopf.SetName("BLEIBT");
    const std::string before = ProgramDump();
    for (size_t i = 0; i < files.size(); ++i) {
        ScopedRecordingHost host;
        WriteTestFile(SnapshotPath(), files[i]);
        const int logged = LogLines();
        bool emptied = false;
        EXPECT_FALSE(ReadRamCopy(SnapshotPath(), [&] { emptied = true; })) << i;
        EXPECT_FALSE(emptied) << i;
        EXPECT_EQ(ProgramDump(), before) << i;
        EXPECT_TRUE(host.host.calls.empty()) << i;
        EXPECT_EQ(LogLines(), logged + 1) << i;
    }
    EXPECT_NE(ReadTestFile(DebugLogPath()).find("RAM-Kopie verworfen: " + SnapshotPath() + " Breite 2001"),
              std::string::npos);

    // A missing file or a folder in its place: nothing changes either.
    fs::remove(SnapshotPath());
    EXPECT_FALSE(ReadRamCopy(SnapshotPath()));
    fs::create_directory(SnapshotPath());
    EXPECT_FALSE(ReadRamCopy(SnapshotPath()));
    EXPECT_EQ(ProgramDump(), before);
}

TEST(RamCopy, TakesTheLimitsAndEmptiesThroughTheGivenRoutine)
{
    // A 2000-cell row and a list of 20000 lines are what the program holds.
    ProgrammKopf.SetWidth(2000);
    ProgrammKopf.SetHeight(0);
    BildEbene2.allocate(0);
    BildEbene2.rows.assign(2000, 4);
    BildEbene2.present = true;
    SListe->SetCount(20000);
    std::memset(SListe->GetLine(20000), 0xAB, kSLineSize);
    ASSERT_TRUE(WriteRamCopy(SnapshotPath()));
    const std::string dump = ProgramDump();

    NewProgramModel();
    int emptied = 0;
    ASSERT_TRUE(ReadRamCopy(SnapshotPath(), [&] { ++emptied; }));
    EXPECT_EQ(emptied, 1);
    EXPECT_TRUE(ProgramDump() == dump);

    // A file cut short after it was found whole: the empty program, not half
    // of the snapshot.
    const std::string bytes = ReadTestFile(SnapshotPath());
    const auto cut = [&] {
        ++emptied;
        NewProgramModel();
        if (emptied == 2)
            WriteTestFile(SnapshotPath(), bytes.substr(0, bytes.size() / 2));
    };
    EXPECT_FALSE(ReadRamCopy(SnapshotPath(), cut));
    EXPECT_EQ(emptied, 3);
    EXPECT_EQ(SListe->Count(), 0);
    EXPECT_FALSE(BildEbene2.present);
    EXPECT_NE(ReadTestFile(DebugLogPath()).find("RAM-Kopie verworfen"), std::string::npos);
}

TEST(RamCopy, ClosesTheProgramWindowsOnlyWhenTheMachineChanges)
{
    NewProgramModel();
    ASSERT_TRUE(WriteRamCopy(SnapshotPath()));
    for (const char* model : {"843", "312"}) {
        ProgrammKopf.SetModel(model);
        ScopedRecordingHost host;
        ASSERT_TRUE(ReadRamCopy(SnapshotPath()));
        EXPECT_EQ(host.host.callsOf("closeProgramWindows").size(), std::string(model) == "843" ? 0u : 1u) << model;
        EXPECT_EQ(ProgrammKopf.Model(), "843");
    }
}

TEST(RamCopy, AFailedWriteKeepsTheOldFileLogsAndWarnsOnce)
{
    FillProgram();
    const std::string path = SnapshotPath();

    // A folder where the file goes.
    fs::create_directory(path);
    {
        ScopedRecordingHost host;
        EXPECT_FALSE(WriteRamCopy(path));
        EXPECT_TRUE(fs::is_directory(path));
        EXPECT_EQ(host.host.messages(), std::vector<std::string>{"Unbekannter Fehler am Laufwerk!"});
        EXPECT_EQ(host.host.callsOf("messageDlg").at(0).kind, MsgKind::Warning);
    }
    EXPECT_NE(ReadTestFile(DebugLogPath()).find("RAM-Kopie nicht geschrieben: " + path), std::string::npos);
    fs::remove(path);

    // A write cut short (the file size limit): the old snapshot stays whole.
    NewProgramModel();
    ASSERT_TRUE(WriteRamCopy(path));
    const std::string old = ReadTestFile(path);
    FillProgram();
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &limited);
    ScopedRecordingHost host;
    const bool written = WriteRamCopy(path);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_FALSE(written);
    EXPECT_EQ(ReadTestFile(path), old);
    EXPECT_EQ(host.host.messages().size(), 1u);
    EXPECT_EQ(LogLines(), 2);
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(TempPfad))
        left.push_back(entry.path().filename().string());
    EXPECT_EQ(left, std::vector<std::string>{"Saveram.Tmp"});
}

// A full disk at the file layer: the copy is refused as a full disk, the old
// one stays, and the quiet store leaves the message to its caller.
TEST(RamCopy, AFullDiskKeepsTheOldCopyAndSaysSo)
{
    const std::string path = SnapshotPath();
    NewProgramModel();
    ASSERT_TRUE(WriteRamCopy(path));
    const std::string old = ReadTestFile(path);
    FillProgram();
    SetSafeFileFaultForTesting({1000});
    ScopedRecordingHost host;
    int code = 0;
    EXPECT_FALSE(StoreRamCopy(path, code));
    EXPECT_EQ(code, 13);
    EXPECT_TRUE(host.host.messages().empty());
    EXPECT_FALSE(WriteRamCopy(path));
    SetSafeFileFaultForTesting({});
    EXPECT_EQ(host.host.messages(), std::vector<std::string>{"Diskette ist voll!"});
    EXPECT_EQ(ReadTestFile(path), old);
    EXPECT_EQ(std::distance(fs::directory_iterator(TempPfad), fs::directory_iterator()), 1);
}

namespace {

// The snapshot tool of tests/tools, run with python3.
int RunTool(const std::string& args, std::string* out = nullptr)
{
    const std::string tool = std::string(ZORIT_KERNEL_TEST_DIR) + "../../tools/ramcopy.py";
    return RunCommand("python3 '" + tool + "' " + args, out);
}

}  // namespace

TEST(RamCopyTool, WritesWhatTheProgramReadsAndDumpsWhatItHolds)
{
    struct Case {
        const char* what;
        std::string args;
        size_t size;
    };
    const std::string json = WriteTestFile(TestHome() + "given.json", R"({
        "model": "312", "gauge": 5, "name": "GEGEBEN", "size": [3, 2],
        "lists": {"F": ["0100ff", "0000"], "A": 2},
        "setup": "0102", "planes": {"2": ["010203", "040506", "070809"]},
        "attributes": {"2": 0}, "header_bytes": {"26": 4}, "seed": 9})");
    const Case cases[] = {
        {"the end-to-end snapshot",
         "--model 843 --gauge 7 --name TEST1 --size 123x45 --lists Z3,N2,W1,S0,V4,F2,P2,A1 --setup random "
         "--setup-byte0 3 --planes 0,1",
         17021},
        {"the empty program", "--setup-byte0 1", 2627},
        {"given bytes", "--json '" + json + "'", 2627 + 2 * 100 + 2 * 98 + 1 + 3 * 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = TempPfad + "Saveram.Tmp";
        std::string out;
        ASSERT_EQ(RunTool("write '" + path + "' " + c.args, &out), 0) << out;
        EXPECT_EQ(out, "OK " + std::to_string(c.size) + "\n");
        const std::string bytes = ReadTestFile(path);
        EXPECT_EQ(bytes.size(), c.size);
        ASSERT_EQ(RunTool("dump '" + path + "'", &out), 0) << out;

        NewProgramModel();
        ASSERT_TRUE(ReadRamCopy(path));
        EXPECT_TRUE(ProgramDump() == out);
        // Written back, the snapshot is the same file (its level byte is not 0).
        ASSERT_TRUE(WriteRamCopy(path));
        EXPECT_TRUE(ReadTestFile(path) == bytes);
    }
    EXPECT_EQ(BildEbene2.rows[2 * kPatternStride + 2], 9);
    EXPECT_FALSE(BildEbene2.second);
}

TEST(RamCopyTool, RefusesWhatTheProgramRefuses)
{
    const std::string path = TempPfad + "Saveram.Tmp";
    ASSERT_EQ(RunTool("write '" + path + "' --size 2001x1 --planes 0"), 0);
    std::string out;
    EXPECT_EQ(RunTool("dump '" + path + "'", &out), 1);
    EXPECT_EQ(out, "ERROR width 2001 above 2000\n");
    EXPECT_NE(CheckRamCopy(ReadTestFile(path)), "");
    ASSERT_EQ(RunTool("write '" + path + "' --lists Z1"), 0);
    WriteTestFile(path, ReadTestFile(path).substr(0, 100));
    EXPECT_EQ(RunTool("dump '" + path + "'", &out), 1);
    EXPECT_EQ(out, "ERROR file ends in list Z\n");
}
