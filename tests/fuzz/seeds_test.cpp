// The fuzz seeds that the program's own writers make: each is made again
// here and must equal the file in the corpus, so the seeds follow the
// writers. ZORIT_UPDATE_SEEDS=1 writes them anew instead.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "kernel/language/language.h"
#include "kernel/model/bytes.h"
#include "kernel/model/globals.h"
#include "kernel/model/listmodel.h"
#include "kernel/model/programmodel.h"
#include "kernel/model/ramcopy.h"
#include "kernel/model/workrecord.h"
#include "kernel/pattern/lzwcodec.h"
#include "kernel/pattern/tiffpattern.h"
#include "pattern/motif/motif_exchange.h"
#include "picture/core/bmp8_file.h"
#include "platform/ini_profile.h"
#include "tests/kernel/tkf/tkf_testing.h"
#include "tests/support/test_env.h"

namespace fs = std::filesystem;

namespace {

const std::string kFuzzDir = ZORIT_FUZZ_DIR;
const std::string kSourceDir = ZORIT_SOURCE_DIR;
// "Small, a few KB each": the fuzzer mutates every seed many times a second.
constexpr std::uintmax_t kMaxSeedSize = 16 * 1024;

struct Seed {
    const char* target;
    const char* name;
    std::function<std::string()> make;
};

std::string WrittenProfile()
{
    const std::string path = TestHome() + "Zorit.INI";
    IniProfile ini(path);
    ini.WriteString("System", "WorkingLevel", "1");
    ini.WriteString("System", "Language", "Englisch");
    ini.WriteString("Windows", "FormMain", "0,0,800,600,1");
    ini.WriteString("Windows", "FormPatrone", "12,40,640,480,0");
    ini.WriteString("Exe", "Path", "/home/strick/M\xC3\xBCster/zorit");
    ini.WriteString("System", "LastProgram", "C:\\Programme\\Strick\\Pullover.ZPR");
    ini.WriteString("Recent", "File1", "Pullover.ZPR");
    ini.WriteString("Recent", "File2", "Jacke.ZPR");
    ini.DeleteKey("Recent", "File1");
    return ReadTestFile(path);
}

// The file the engine writes while it learns a run's phrases.
std::string LearntPhrases()
{
    InitLanguage(nullptr, nullptr, "DbLang.Txt", 'E');
    for (const char* phrase : {"Datei \xC3\xB6" "ffnen", "&Speichern", "Programm:", "  Fehler in Zeile ",
                               "Strickprogramm \xC3\xBC" "bersetzen", "42", "Abbruch"})
        F_TRANS(phrase);
    F_TRANSHINT("\"LT\"Zeichnen\xC2\xBF\"RT\"L\xC3\xB6schen");
    DoneLanguage();
    return ReadTestFile(ProgrammPfad + "DbLang.Txt");
}

// The learnt file with some entries translated, as a translator leaves it.
std::string TranslatedPhrases()
{
    std::string bytes = LearntPhrases();
    const std::vector<std::pair<std::string, std::string>> lines = {
        {"G:&Speichern\r\nE:\r\nI:\r\n", "G:&Speichern\r\nE:&Save\r\nI:&Salva\r\n"},
        {"G:Abbruch\r\nE:\r\nI:\r\nS:\r\nP:\r\nF:\r\nH:\r\n",
         "G:Abbruch\r\nE:Cancel\r\nI:\r\nS:Cancelar\r\nP:\r\nF:Annuler\r\nH:\xC1\xEA\xF5\xF1\xFE\r\n"},
        {"G:Programm\r\nE:\r\nI:\r\nS:\r\nP:\r\nF:\r\nH:\r\nJ:\r\n",
         "G:Programm\r\nE:Program\r\nI:\r\nS:\r\nP:\r\nF:\r\nH:\r\nJ:\x83v\x83\x8D\x83O\x83\x89\x83\x80\r\n"},
    };
    for (const auto& [from, to] : lines) {
        const std::size_t at = bytes.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        if (at != std::string::npos)
            bytes.replace(at, from.size(), to);
    }
    return bytes;
}

// Plane 0 of the given size as the pattern writer stores it: cells from
// the probe's generator, or bands of four rows of one colour.
std::string WrittenPattern(std::uint16_t width, std::uint16_t height, bool compress, bool bands)
{
    FreeProgramModel();
    CreateProgramModel();
    SetDefaults();
    ProgrammKopf.SetWidth(width);
    ProgrammKopf.SetHeight(height);
    BildEbene0.allocate(height);
    std::uint32_t s = 1;
    for (std::size_t y = 1; y <= height; ++y) {
        std::uint8_t* row = BildEbene0.rows.data() + y * kPatternStride;
        for (std::size_t x = 0; x < width; ++x) {
            s = s * 1664525u + 1013904223u;
            row[x] = static_cast<std::uint8_t>(bands ? (y / 4) % 32 : s >> 24);
        }
    }
    BildEbene0.present = true;
    const std::string path = TestHome() + "seed.tif";
    EXPECT_TRUE(WriteTiffPattern(compress, path, 0, true, true));
    return ReadTestFile(path);
}

std::string Words(std::initializer_list<std::uint16_t> words)
{
    std::string out;
    for (std::uint16_t w : words) {
        out += static_cast<char>(w & 0xFF);
        out += static_cast<char>(w >> 8);
    }
    return out;
}

// A layer of 12 coded rows of width 9: a run, two literals (0xC0 is one)
// and a run; each row's stored length in front of it, a last length word
// behind.
std::string CodedLayer()
{
    std::string out = Words({12, 0x8009});
    for (int r = 0; r < 12; ++r) {
        std::string row = "\xC5";
        row += static_cast<char>(r % 2 ? 0x11 : 0x22);
        row += '\x01';
        row += static_cast<char>(r % 3 ? 0x02 : 0xC0);
        row += "\xC2\x09";
        out += Words({static_cast<std::uint16_t>(row.size())}) + row;
    }
    return out + Words({0});
}

// Rows as they stand, through the colour table or kept.
std::string PlainLayer(bool keepColours)
{
    std::string out = Words({static_cast<std::uint16_t>(keepColours ? 0x8004 : 0x0004), 6});
    for (int r = 0; r < 4; ++r)
        for (int x = 0; x < 6; ++x)
            out += static_cast<char>((r * 6 + x) * 2);
    return out;
}

// The pattern tests' fixture script: "COMMAND OUT OPTIONS".
std::string Fixture(const std::string& command, const std::string& options = {})
{
    const std::string out = TestHome() + "fixture.out";
    EXPECT_EQ(RunCommand("python3 " + kSourceDir + "tests/kernel/pattern/pattern_fixtures.py " + command + " " + out +
                         " " + options),
              0);
    return ReadTestFile(out);
}

// A strip's code stream behind its raw size (two bytes, low first).
std::string LzwStrip(std::vector<std::uint8_t> raw)
{
    const std::size_t size = raw.size();
    LzwCompress(raw);
    return Words({static_cast<std::uint16_t>(size)}) + std::string(raw.begin(), raw.end());
}

std::vector<std::uint8_t> Generated(std::size_t count, std::uint32_t s, int modulo)
{
    std::vector<std::uint8_t> out(count);
    for (auto& b : out) {
        s = s * 1664525u + 1013904223u;
        b = static_cast<std::uint8_t>((s >> 24) % modulo);
    }
    return out;
}

// A machine program file as the save writes it, its date fixed so that the
// seed stays the same from one day to the next.
std::string SavedProgram(const std::string& model, bool filled)
{
    FreeProgramModel();
    CreateProgramModel();
    SetDefaults();
    tkftest::SetMachine(model, 8);
    if (filled)
        tkftest::FillProgram();
    const std::string path = TempPfad + "SEED.8AH";
    EXPECT_EQ(tkftest::SaveTo(path), 0);
    std::string bytes = ReadTestFile(path);
    const tkftest::TkfFile file(path);
    const tkftest::TkfFile::Entry* date = file.Find(306);
    EXPECT_NE(date, nullptr);
    if (date)
        bytes.replace(date->value, 19, "2024:01:02 03:04:05");
    return bytes;
}

// A program snapshot as the program writes it: the new program, or one with
// lines in every list, a few set-up values and planes 0 and 1.
std::string SavedSnapshot(bool filled)
{
    FreeProgramModel();
    CreateProgramModel();
    SetDefaults();
    if (filled) {
        ProgrammKopf.SetModel("843");
        ProgrammKopf.SetName("SEED");
        ProgrammKopf.SetWidth(16);
        ProgrammKopf.SetHeight(6);
        for (int number : {1, 2, 3, 4, 5, 6, 7, 9}) {
            T_ListenVar* list = ListByNumber(number);
            for (std::uint16_t i = 1; i <= (number == 1 ? 1 : 2); ++i)
                WriteShortString(list->GetLine(i), CommentOffset(number), 80, "Zeile " + std::to_string(i));
        }
        RuestSchema.data()[0] = 2;
        put_u16(RuestSchema.data(), T_RuestSchema::kFfMax, 100);
        for (T_Patrone* plane : {&BildEbene0, &BildEbene1}) {
            plane->allocate(6);
            const std::vector<std::uint8_t> cells = Generated(plane->rows.size(), 5, 8);
            plane->rows.assign(cells.begin(), cells.end());
            plane->present = true;
        }
    }
    const std::string path = TempPfad + "Saveram.Tmp";
    EXPECT_TRUE(WriteRamCopy(path));
    return ReadTestFile(path);
}

// A motif of the painting form: palette entry i = (i, 3i mod 256, 255 - i).
Bmp8 SeedMotif(const std::vector<std::vector<std::uint8_t>>& lines)
{
    Bmp8 p;
    p.width = static_cast<std::int32_t>(lines.front().size());
    p.height = static_cast<std::int32_t>(lines.size());
    for (std::uint32_t i = 0; i < 256; ++i)
        p.colours[i] = 0xff000000u | (i << 16) | ((3 * i % 256) << 8) | (255 - i);
    for (const auto& line : lines)
        p.pixels.insert(p.pixels.end(), line.begin(), line.end());
    return p;
}

std::string WrittenMotif(const std::vector<std::vector<std::uint8_t>>& lines)
{
    EXPECT_EQ(WriteBmp8(TestHome() + "Clip.bmp", SeedMotif(lines)), "");
    return ReadTestFile(TestHome() + "Clip.bmp");
}

std::string WrittenPcx(const std::vector<std::vector<std::uint8_t>>& lines)
{
    WrittenMotif(lines);
    EXPECT_TRUE(BmpToPcx(TestHome() + "Clip.bmp", TestHome() + "Motiv.pcx", 0));
    return ReadTestFile(TestHome() + "Motiv.pcx");
}

std::string BmpFromPcx()
{
    EXPECT_TRUE(PcxToBmp(kFuzzDir + "corpus/pcx/runs-10x2.pcx", TestHome() + "Motiv.bmp", 9));
    return ReadTestFile(TestHome() + "Motiv.bmp");
}

std::vector<Seed> Seeds()
{
    return {
        {"ini", "written.ini", WrittenProfile},
        {"phrases", "learnt.txt", LearntPhrases},
        {"phrases", "translated.txt", TranslatedPhrases},
        {"tiff", "lzw-40x30.tif", [] { return WrittenPattern(40, 30, true, false); }},
        {"tiff", "plain-40x30.tif", [] { return WrittenPattern(40, 30, false, false); }},
        {"tiff", "lzw-2000x10-bands.tif", [] { return WrittenPattern(2000, 10, true, true); }},
        {"tiff", "lzw-1x1.tif", [] { return WrittenPattern(1, 1, true, false); }},
        {"bl", "coded.Bl2", CodedLayer},
        {"bl", "plain.Bl3", [] { return PlainLayer(false); }},
        {"bl", "plain-kept.Bl4", [] { return PlainLayer(true); }},
        {"smz", "three-images.SMZ", [] { return Fixture("smz"); }},
        {"smz", "no-descriptions.SMZ", [] { return Fixture("smz", "nodesc"); }},
        {"lzw", "random-600", [] { return LzwStrip(Generated(600, 7, 256)); }},
        {"lzw", "few-colours-4000", [] { return LzwStrip(Generated(4000, 3, 4)); }},
        {"lzw", "one-value-8192", [] { return LzwStrip(std::vector<std::uint8_t>(8192, 5)); }},
        {"lzw", "one-byte", [] { return LzwStrip({42}); }},
        {"program", "filled-832.8AH", [] { return SavedProgram("832", true); }},
        {"program", "filled-844.8AH", [] { return SavedProgram("844", true); }},
        {"program", "empty-832.8AH", [] { return SavedProgram("832", false); }},
        {"ramcopy", "empty.Tmp", [] { return SavedSnapshot(false); }},
        {"ramcopy", "filled.Tmp", [] { return SavedSnapshot(true); }},
        {"pcx", "written-5x2.pcx", [] { return WrittenPcx({{7, 7, 7, 62, 63}, {0, 0, 200, 200, 200}}); }},
        {"pcx", "written-130x1.pcx", [] { return WrittenPcx({std::vector<std::uint8_t>(130, 7)}); }},
        {"bmp", "written-5x2.bmp", [] { return WrittenMotif({{7, 7, 7, 62, 63}, {0, 0, 200, 200, 200}}); }},
        {"bmp", "from-pcx-10x2.bmp", BmpFromPcx},
    };
}

}  // namespace

TEST(FuzzSeeds, AreWhatTheWritersMake)
{
    const bool update = std::getenv("ZORIT_UPDATE_SEEDS") != nullptr;
    for (const Seed& seed : Seeds()) {
        const std::string path = kFuzzDir + "corpus/" + seed.target + "/" + seed.name;
        SCOPED_TRACE(path);
        const std::string bytes = seed.make();
        ASSERT_FALSE(bytes.empty());
        if (update)
            WriteTestFile(path, bytes);
        EXPECT_EQ(ReadTestFile(path), bytes) << "run with ZORIT_UPDATE_SEEDS=1 to write the seed anew";
    }
}

TEST(FuzzSeeds, EveryTargetHasSmallSeeds)
{
    int targets = 0;
    for (const auto& source : fs::directory_iterator(kFuzzDir)) {
        const std::string stem = source.path().stem().string();
        if (source.path().extension() != ".cpp" || !stem.ends_with("_fuzz"))
            continue;
        ++targets;
        const fs::path corpus = kFuzzDir + "corpus/" + stem.substr(0, stem.size() - 5);
        SCOPED_TRACE(corpus.string());
        ASSERT_TRUE(fs::is_directory(corpus));
        int seeds = 0;
        for (const auto& file : fs::directory_iterator(corpus)) {
            ++seeds;
            EXPECT_LE(fs::file_size(file.path()), kMaxSeedSize) << file.path();
        }
        EXPECT_GE(seeds, 2);
    }
    EXPECT_GE(targets, 2);
}

namespace {

// What the fuzz script gives a target at most, as its source declares it;
// 0 when it keeps libFuzzer's default.
std::uintmax_t LongestInput(const std::string& target)
{
    const std::string source = ReadTestFile(kFuzzDir + target + "_fuzz.cpp");
    const std::string mark = "\n// Longest input: ";
    const size_t at = source.find(mark);
    return at == std::string::npos ? 0 : std::stoull(source.substr(at + mark.size()));
}

// Plane 0 as read from a seed: width, height and the cells, or the message.
std::string ReadSeedPlane(const std::string& name)
{
    FreeProgramModel();
    CreateProgramModel();
    SetDefaults();
    const bool remote = Fernsteuerung;
    Fernsteuerung = true;  // no success message box
    const bool ok = ReadTiffPattern(kFuzzDir + "corpus/tiff/" + name, true, 0);
    Fernsteuerung = remote;
    if (!ok)
        return "refused";
    return std::to_string(ProgrammKopf.Width()) + "x" + std::to_string(ProgrammKopf.Height()) + " "
           + std::string(BildEbene0.rows.begin(), BildEbene0.rows.end());
}

}  // namespace

TEST(FuzzSeeds, TargetsOfBigFilesTakeLongInputs)
{
    // LZW strips beyond 4 KB, the encoder's clear at 13 bits, a program
    // with its lists, a snapshot of a real program, a real script with its
    // pattern.
    for (const char* target : {"lzw", "tiff", "program", "ramcopy", "compile_pattern"})
        EXPECT_GE(LongestInput(target), 65536u) << target;
    for (const auto& source : fs::directory_iterator(kFuzzDir)) {
        const std::string stem = source.path().stem().string();
        if (source.path().extension() != ".cpp" || !stem.ends_with("_fuzz"))
            continue;
        const std::string target = stem.substr(0, stem.size() - 5);
        const std::uintmax_t longest = LongestInput(target);
        for (const auto& file : fs::directory_iterator(kFuzzDir + "corpus/" + target))
            EXPECT_TRUE(longest == 0 || fs::file_size(file.path()) <= longest) << file.path();
    }
}

TEST(FuzzSeeds, LibtiffSeedsHoldTheirSourcePlanes)
{
    // Seeds that libtiff's tiffcp wrote from our plain files, with
    // resolution tags added: one row a strip, several rows, one strip.
    const std::pair<const char*, const char*> copies[] = {
        {"libtiff-plain-40x30-1row.tif", "plain-40x30.tif"},
        {"libtiff-lzw-40x30-1row.tif", "plain-40x30.tif"},
        {"libtiff-lzw-40x30-7rows.tif", "plain-40x30.tif"},
        {"libtiff-lzw-40x30-1strip.tif", "plain-40x30.tif"},
        {"libtiff-lzw-200x40-1strip.tif", "libtiff-plain-200x40-16rows.tif"},
    };
    for (const auto& [copy, source] : copies) {
        const std::string plane = ReadSeedPlane(source);
        EXPECT_NE(plane, "refused") << source;
        EXPECT_EQ(ReadSeedPlane(copy), plane) << copy;
    }
    // Differenced samples are refused.
    EXPECT_EQ(ReadSeedPlane("libtiff-lzw-40x30-predictor.tif"), "refused");
}
