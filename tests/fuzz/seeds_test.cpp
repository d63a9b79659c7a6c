// The fuzz seeds that the program's own writers make: each is made again
// here and must equal the file in the corpus, so the seeds follow the
// writers. ZORIT_UPDATE_SEEDS=1 writes them anew instead.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "kernel/globals.h"
#include "kernel/language.h"
#include "platform/ini_profile.h"
#include "tests/support/test_env.h"

namespace fs = std::filesystem;

namespace {

const std::string kFuzzDir = ZORIT_FUZZ_DIR;
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

std::vector<Seed> Seeds()
{
    return {
        {"ini", "written.ini", WrittenProfile},
        {"phrases", "learnt.txt", LearntPhrases},
        {"phrases", "translated.txt", TranslatedPhrases},
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
