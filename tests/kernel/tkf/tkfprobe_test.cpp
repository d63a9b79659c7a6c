// kernel_probe load: machine program files loaded and saved from outside,
// crafted files made with python3's struct, checks with cmp and tiffdump.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "kernel/model/globals.h"
#include "kernel/model/listmodel.h"
#include "kernel/model/programmodel.h"
#include "platform/codepage.h"
#include "platform/paths.h"
#include "tests/kernel/tkf/tkf_testing.h"
#include "tests/support/test_env.h"
#include "tests/tools/programdump.h"
#include "tests/tools/programsave.h"

namespace fs = std::filesystem;
using namespace tkftest;

namespace {

int Probe(const std::string& args, std::string* out = nullptr)
{
    return RunCommand("timeout 10 " + ToolsFolder() + "kernel_probe " + args + " 2>&1", out);
}

// Makes a crafted copy of a file: python3 with struct, so that the file is
// built by other hands than the ones that read it.
const char* const kCraft = R"PY(
import struct, sys

def craft(mode, b):
    d = struct.unpack_from('<I', b, 4)[0]
    n = struct.unpack_from('<H', b, d)[0]
    entries = {}
    for i in range(n):
        at = d + 2 + 12 * i
        tag, typ, cnt, val = struct.unpack_from('<HHII', b, at)
        entries.setdefault(tag, (at, cnt, val))
    def put(fmt, at, v):
        struct.pack_into(fmt, b, at, v)
    if mode == 'gx': b[8:10] = b'GX'
    elif mode == 'format4': put('<I', entries[32769][0] + 8, 4)
    elif mode == 'no32774': put('<H', entries[32774][0], 40000)
    elif mode == 'no32769': put('<H', entries[32769][0], 40000)
    elif mode == 'systems': put('<I', entries[32773][0] + 8, 5)
    elif mode == 'selflink': put('<I', d + 2 + 12 * n, d)
    elif mode == 'count65535': put('<H', d, 65535)
    elif mode == 'firstpastend': put('<I', 4, len(b) + 1000)
    elif mode == 'sectionpastend': put('<I', entries[34821][0] + 8, len(b) - 8)
    elif mode == 'countffff': put('<I', entries[34822][0] + 4, 0xFFFFFFFF)
    elif mode == 'poolend':
        put('<I', entries[34828][0] + 4, 1)
        put('<I', entries[34828][0] + 8, len(b))
        b += struct.pack('<H', 65535) + b'abc'
    elif mode == 'cutz': b = b[:entries[34821][2] + 30]
    return b

src, folder = sys.argv[1:3]
for mode in sys.argv[3:]:
    with open(folder + '/' + mode + '.8gh', 'wb') as f:
        f.write(craft(mode, bytearray(open(src, 'rb').read())))
)PY";

// The lines of a program dump that start with one of the letters.
std::string Lines(const std::string& text, const std::string& letters)
{
    std::istringstream in(text);
    std::string out, line;
    while (std::getline(in, line))
        if (line.size() > 1 && letters.find(line[0]) != std::string::npos && line[1] == ' ')
            out += line + "\n";
    return out;
}

class TkfProbe : public testing::Test {
protected:
    void SetUp() override
    {
        SetMachine("844", 8);
        FillProgram();
        lists = DumpLines("ZNWSVFPA");
        ASSERT_EQ(SaveTo(good), 0);
        WriteTestFile(craft, kCraft);
    }
    // Crafts the files of the modes in one python3 run.
    void Craft(const std::string& modes)
    {
        ASSERT_EQ(RunCommand("python3 '" + craft + "' '" + good + "' '" + TestHome() + "' " + modes), 0);
    }
    std::string Crafted(const std::string& mode) const { return TestHome() + mode + ".8gh"; }
    // Offsets where two files differ, from cmp -l.
    static std::vector<size_t> Cmp(const std::string& a, const std::string& b)
    {
        std::string out;
        RunCommand("cmp -l '" + a + "' '" + b + "' 2>&1", &out);
        std::istringstream in(out);
        std::vector<size_t> at;
        size_t offset;
        std::string rest;
        while (in >> offset) {
            at.push_back(offset - 1);
            std::getline(in, rest);
        }
        return at;
    }

    std::string good = TestHome() + "Good.8gh";
    std::string craft = TestHome() + "craft.py";
    std::string lists;
};

// Two saves of one program differ only in the 19 bytes of the date text.
void ExpectOnlyTheDateDiffers(const std::string& a, const std::string& b)
{
    const TkfFile fa(a);
    ASSERT_NE(fa.Find(306), nullptr);
    const uint32_t date = fa.Find(306)->value;
    std::string diff;
    RunCommand("cmp -l '" + a + "' '" + b + "' 2>&1", &diff);
    std::istringstream in(diff);
    size_t offset;
    std::string rest;
    while (in >> offset) {
        EXPECT_GE(offset - 1, date) << a << " " << b << "\n" << diff;
        EXPECT_LT(offset - 1, date + 19) << a << " " << b << "\n" << diff;
        std::getline(in, rest);
    }
    EXPECT_EQ(fs::file_size(a), fs::file_size(b));
}

}  // namespace

TEST_F(TkfProbe, LoadDumpAndSaveAgain)
{
    std::string out;
    const std::string a = TestHome() + "A.8gh";
    const std::string b = TestHome() + "B.8gh";
    const std::string home = TestHome() + "home";
    ASSERT_EQ(Probe("--home " + home + " load " + good + " --dump --save " + a, &out), 0) << out;
    ASSERT_EQ(out.substr(0, 3), "OK\n");
    EXPECT_EQ(out.substr(out.size() - 3), "OK\n");
    EXPECT_EQ(Lines(out, "ZNWSVFPA"), lists);
    EXPECT_NE(out.find("\nK "), std::string::npos);
    EXPECT_NE(out.find("\nR "), std::string::npos);
    // Check 6 from outside: what the save leaves in the temporary folder.
    EXPECT_EQ(RunCommand("cmp '" + a + "' '" + home + "/Temp/ZORITPRG.TMP'"), 0);
    EXPECT_TRUE(fs::is_regular_file(home + "/Temp/F-liste.DB"));
    EXPECT_GE(fs::file_size(home + "/Temp/K-Liste.TMP"), 1620000u);

    ASSERT_EQ(Probe("load " + a + " --save " + b, &out), 0) << out;
    EXPECT_EQ(out, "OK\nOK\n");
    // Only the date differs, inside its 19 characters.
    const TkfFile fa(a);
    const uint32_t date = fa.Find(306)->value;
    for (size_t at : Cmp(good, a)) {
        EXPECT_GE(at, date);
        EXPECT_LT(at, date + 19);
    }
    for (size_t at : Cmp(a, b)) {
        EXPECT_GE(at, date);
        EXPECT_LT(at, date + 19);
    }
    std::string dump;
    RunCommand("tiffdump '" + b + "'", &dump);
    EXPECT_NE(dump.find("32774 (0x8006) SHORT (3) 1<0>"), std::string::npos) << dump;
}

// A named pipe is no program file: refused at once, not waited on.
TEST(TkfProbeFile, NamedPipeIsRefusedAtOnce)
{
    const std::string fifo = TestHome() + "pipe.8AH";
    ASSERT_EQ(RunCommand("mkfifo '" + fifo + "'"), 0);
    std::string out;
    EXPECT_EQ(Probe("load " + fifo, &out), 1);
    EXPECT_EQ(out, "ERROR 301 Datei ist nicht geöffnet\n");
}

TEST_F(TkfProbe, HeaderCases)
{
    Craft("gx format4 no32774 systems no32769");
    std::string out;
    EXPECT_EQ(Probe("load " + Crafted("gx"), &out), 1);
    EXPECT_EQ(out, "ERROR 302 TKF-Datei ist falsch\n");
    EXPECT_EQ(Probe("load " + Crafted("format4") + " --dump", &out), 1);
    EXPECT_EQ(out.substr(0, 31), "ERROR 302 TKF-Datei ist falsch\n");
    EXPECT_NE(out.find("\nK "), std::string::npos);  // the dump follows all the same
    EXPECT_EQ(Probe("load " + Crafted("no32774"), &out), 1);
    EXPECT_EQ(out, "ERROR 302 TKF-Datei ist falsch\n");
    EXPECT_EQ(Probe("load " + Crafted("systems"), &out), 1);
    EXPECT_EQ(out, "ERROR 302 TKF-Datei ist falsch\n");
    EXPECT_EQ(Probe("load " + Crafted("no32769") + " --dump", &out), 0);
    EXPECT_EQ(out.substr(0, 3), "OK\n");
    EXPECT_EQ(Lines(out, "ZNWSVFPA"), lists);
    EXPECT_EQ(Probe("load " + TestHome() + "missing.8gh", &out), 1);
    EXPECT_EQ(out, "ERROR 301 Datei ist nicht geöffnet\n");
    EXPECT_EQ(Probe("load", &out), 2);
    EXPECT_EQ(Probe("load a b", &out), 2);
}

// Check 10 from outside: each crafted file is refused, in time, and the
// save behind --save is not run.
TEST_F(TkfProbe, CraftedFiles)
{
    Craft("selflink count65535 firstpastend sectionpastend countffff poolend cutz");
    for (const char* mode : {"selflink", "count65535", "firstpastend", "sectionpastend", "countffff", "poolend",
                             "cutz"}) {
        SCOPED_TRACE(mode);
        std::string out;
        const std::string saved = TestHome() + mode + "-saved.8gh";
        EXPECT_EQ(Probe("load " + Crafted(mode) + " --save " + saved, &out), 1);
        EXPECT_EQ(out, "ERROR 302 TKF-Datei ist falsch\n");
        EXPECT_FALSE(fs::exists(saved));
    }
}

// Check 7 from outside on a compiled script: compile --save A, then
// load A --save B. The script fills every list it can and ends its stitch
// density list with a line that has a value, so that no pinned loss
// applies: B differs from A only in the date, and the loaded lists are the
// compiled ones.
TEST(TkfProbeCompiled, CompileSaveLoadSave)
{
    const std::string script = TestHome() + "rich.skx";
    WriteTestFile(script, "MODULSET TEST;\r\nBEGIN\r\n$ZR_TYP=311;\r\n$NR1=1,101;\r\n$XMAX=100;\r\n$YMAX=20;\r\n"
                          "$FS_1=D10;$FS_2=W12;\r\n$P_1=FF1A(+5N/-3)[AB],FF2(+7S);\r\n"
                          "$A_1=50,PULSE-5,PRESSON;\r\n$A_2=6;\r\n$N_1=X5,10,D2;\r\n$V_1=R3,U1;\r\n"
                          "$S_1=Z1,1,D1;[]=MAIN;\r\nEND;\r\nMODUL MAIN;\r\nBEGIN\r\nS1=>,POS;\r\nTZ=50;\r\n"
                          "WA=D10;\r\nS1=<,POS;END;\r\n");
    const std::string a = TestHome() + "A.PRG";
    const std::string b = TestHome() + "B.PRG";
    std::string compiled, loaded;
    ASSERT_EQ(Probe("compile " + script + " --dump --save " + a, &compiled), 0) << compiled;
    ASSERT_EQ(compiled.substr(0, 3), "OK\n");
    EXPECT_EQ(compiled.substr(compiled.size() - 3), "OK\n");
    ASSERT_EQ(Probe("load " + a + " --dump --save " + b, &loaded), 0) << loaded;
    EXPECT_EQ(loaded.substr(loaded.size() - 3), "OK\n");

    const auto lists = [](const std::string& text) { return Lines(text, "ZNWSVFPA"); };
    const std::string before = lists(compiled);
    for (const char* letters : {"F 2 ", "P 2 ", "A 2 ", "N 1 ", "V 1 ", "S 1 ", "Z 2 "})
        EXPECT_NE(before.find(letters), std::string::npos) << letters;
    EXPECT_EQ(lists(loaded), before);

    ExpectOnlyTheDateDiffers(a, b);
}

// A line comment in Windows letters and a stitch density list that ends in
// empty lines, saved and loaded three times over: the program neither
// changes nor shrinks.
TEST(TkfProbeCompiled, RepeatedSaveAndLoadKeepTheProgram)
{
    const std::string script = TestHome() + "cycle.skx";
    WriteTestFile(script, "MODULSET TEST;\r\nBEGIN\r\n$ZR_TYP=311;\r\n$NR1=1,101;\r\n$XMAX=100;\r\n$YMAX=20;\r\n"
                          "$FS_1=D10,D12,D14,D16,D0;{\x84Ma\xdf\x93 \x9arka \xe1 5\x99}\r\n"
                          "$S_1=Z1,1,D1;[]=MAIN;\r\nEND;\r\nMODUL MAIN;\r\nBEGIN\r\nS1=>,POS;\r\nTZ=50;\r\n"
                          "S1=<,POS;END;\r\n");
    std::string compiled;
    const std::string first = TestHome() + "P1.8AH";
    ASSERT_EQ(Probe("compile " + script + " --dump --save " + first, &compiled), 0) << compiled;
    const std::string comment = "0f844d61df93209a726b6120e1203599";
    ASSERT_NE(compiled.find("\nF 5 00000000000000000000000000000000" + comment), std::string::npos) << compiled;
    const auto lists = [](const std::string& text) { return Lines(text, "KRZNWSVFPA"); };
    std::vector<std::string> saved = {first};
    std::vector<std::string> dumps;
    for (int cycle = 2; cycle <= 3; ++cycle) {
        std::string loaded;
        saved.push_back(TestHome() + "P" + std::to_string(cycle) + ".8AH");
        ASSERT_EQ(Probe("load " + saved[saved.size() - 2] + " --dump --save " + saved.back(), &loaded), 0)
            << loaded;
        dumps.push_back(lists(loaded));
    }
    std::string last;
    ASSERT_EQ(Probe("load " + saved.back() + " --dump", &last), 0) << last;
    dumps.push_back(lists(last));
    EXPECT_NE(dumps[0].find("\nF 6 "), std::string::npos) << dumps[0];
    for (const std::string& dump : dumps)
        EXPECT_EQ(dump, dumps[0]);
    EXPECT_EQ(lists(compiled).substr(lists(compiled).find("\nZ 1 ")), dumps[0].substr(dumps[0].find("\nZ 1 ")));
    ExpectOnlyTheDateDiffers(saved[0], saved[1]);
    ExpectOnlyTheDateDiffers(saved[0], saved[2]);
}

// The save behind the probes' --save: the pattern files of the present
// planes beside the program, named after its first six characters.
TEST(ProbeSave, PatternFilesBesideTheProgram)
{
    SetMachine("832", 8);
    ProgrammKopf.SetWidth(16);
    ProgrammKopf.SetHeight(8);
    for (T_Patrone* plane : {&BildEbene0, &BildEbene1, &BildEbene2}) {
        plane->allocate(8);
        for (uint16_t row = 1; row <= 8; ++row)
            for (size_t x = 0; x < 16; ++x)
                plane->rows[row * kPatternStride + x] = static_cast<uint8_t>((row + x) % 5);
    }
    BildEbene0.present = true;
    BildEbene1.present = true;
    const std::string out = TestHome() + "out/LONGNAME.8dh";
    testing::internal::CaptureStdout();
    EXPECT_EQ(SaveProgramAs(out), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "OK\n");
    EXPECT_EQ(RunCommand("tiffinfo '" + TestHome() + "out/LONGNA_p.TIF' >/dev/null 2>&1"), 0);
    EXPECT_EQ(RunCommand("tiffinfo '" + TestHome() + "out/LONGNA_y.TIF' >/dev/null 2>&1"), 0);
    EXPECT_FALSE(fs::exists(TestHome() + "out/LONGNA_q.TIF"));
    TkfFile f(out);
    ASSERT_NE(f.Find(34832), nullptr);
    EXPECT_EQ(f.bytes.substr(f.Find(34832)->value, 13), std::string("LONGNA_p.TIF\0", 13));
    EXPECT_EQ(f.Find(34833), nullptr);
    EXPECT_EQ(f.bytes.substr(f.Find(34834)->value, 13), std::string("LONGNA_y.TIF\0", 13));

    BildEbene2.present = true;
    testing::internal::CaptureStdout();
    EXPECT_EQ(SaveProgramAs(out), 0);
    testing::internal::GetCapturedStdout();
    // Written under the name the file stores, in its spelling.
    EXPECT_TRUE(fs::exists(TestHome() + "out/LONGNA_q.TIF"));
    EXPECT_FALSE(fs::exists(TestHome() + "out/LONGNA_q.Tif"));
    f = TkfFile(out);
    EXPECT_EQ(f.bytes.substr(f.Find(34833)->value, 13), std::string("LONGNA_q.TIF\0", 13));
}

// Folders and names a Linux technician gives: letters outside Windows-1252
// and paths past 255 characters. What a save writes opens again; a name the
// program file cannot store, or one too long for the file system, is
// refused before anything is written, with one message that names it.
TEST(TkfProbePaths, SavedProgramsOpenFromAnyFolder)
{
    const std::string script = TestHome() + "p.skx";
    WriteTestFile(script, "MODULSET TEST;\r\nBEGIN\r\n$ZR_TYP=311;\r\n$NR1=1,101;\r\n$XMAX=100;\r\n$YMAX=20;\r\n"
                          "$FS_1=D10;\r\n$S_1=Z1,1,D1;[]=MAIN;\r\nEND;\r\nMODUL MAIN;\r\nBEGIN\r\nS1=>,POS;\r\n"
                          "TZ=50;\r\nS1=<,POS;END;\r\n");
    const std::string tiff = TestHome() + "p.tif";
    ASSERT_EQ(Probe("tiff-write " + tiff + " --size 100x20"), 0);
    const std::string deep = std::string(140, 'a') + "/" + std::string(150, 'b') + "/";
    struct Case {
        std::string path;  // under the test's folder
        bool pattern;
        std::string patternName;  // the name the program file stores
        std::string refusal;      // the message's first line, for a refused save
    };
    const Case cases[] = {
        {"Клиент/PROG.8GH", true, "PROG_p.TIF", ""},
        {"Ωμέγα/Ωμέγα.8GH", false, "", ""},
        {"Müller/Müller.8GH", true, "Müller_p.TIF", ""},
        {deep + "PROG.8GH", true, "PROG_p.TIF", ""},
        {"Отказ/Программа.8GH", true, "",
         "Die Programmdatei kann den Namen dieser Musterdatei nicht speichern: er enthält Zeichen außerhalb von "
         "Windows-1252. Bitte einen Programmnamen ohne solche Zeichen wählen!\nMSG Програ_p.TIF"},
        {"long/" + std::string(232, 'n') + ".8GH", false, "",
         "Der Dateiname oder Pfad ist zu lang!\nMSG " + std::string(40, 'n') + "\u2026" + std::string(16, 'n') +
             ".8GH"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const std::string file = TestHome() + c.path;
        const std::string pattern = c.pattern ? " --pattern " + tiff : "";
        std::string compiled, loaded;
        const int rc = Probe("compile " + script + pattern + " --dump --save '" + file + "'", &compiled);
        if (!c.refusal.empty()) {
            EXPECT_EQ(rc, 1);
            EXPECT_EQ(compiled.substr(compiled.find("\nMSG ") + 1),
                      "MSG " + c.refusal + "\nERROR 301 Datei ist nicht geöffnet\n");
            EXPECT_FALSE(fs::exists(FolderPart(file))) << "nothing is written";
            continue;
        }
        ASSERT_EQ(rc, 0) << compiled;
        ASSERT_EQ(Probe("load '" + file + "' --dump", &loaded), 0) << loaded;
        EXPECT_EQ(loaded.substr(0, 3), "OK\n");
        EXPECT_EQ(Lines(loaded, "ZNWSVFPA"), Lines(compiled, "ZNWSVFPA"));
        const TkfFile saved(file);
        if (c.patternName.empty()) {
            EXPECT_EQ(saved.Find(34832), nullptr);
            continue;
        }
        ASSERT_NE(saved.Find(34832), nullptr);
        const std::string stored = Utf8ToCp1252(c.patternName);
        EXPECT_EQ(saved.bytes.substr(saved.Find(34832)->value, stored.size() + 1), stored + '\0');
        EXPECT_EQ(RunCommand("tiffinfo '" + FolderPart(file) + c.patternName + "' >/dev/null 2>&1"), 0);
    }
}
