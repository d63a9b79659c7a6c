// The whole save of a program: a failure anywhere leaves the old program
// and pattern files as they were, with no temporary file beside them, and a
// save removes what killed saves of the same files left.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include <sys/wait.h>
#include <unistd.h>

#include "kernel/dispatch/kernelroutines.h"
#include "kernel/model/globals.h"
#include "kernel/model/programmodel.h"
#include "kernel/tkf/programsave.h"
#include "platform/safe_file.h"
#include "platform/save_journal.h"
#include "tests/kernel/tkf/tkf_testing.h"
#include "tests/support/recording_host.h"
#include "tests/support/test_env.h"

namespace fs = std::filesystem;
using namespace tkftest;

namespace {

class ProgramSave : public testing::Test {
protected:
    void SetUp() override
    {
        SetMachine("832", 8);
        FillProgram();
        ProgrammKopf.SetWidth(16);
        ProgrammKopf.SetHeight(8);
        for (T_Patrone* plane : {&BildEbene0, &BildEbene1, &BildEbene2}) {
            plane->allocate(8);
            plane->present = true;
        }
        Paint(1);
        fs::create_directories(folder);
    }
    void TearDown() override { SetSafeFileFaultForTesting({}); }

    static void Paint(int seed)
    {
        for (T_Patrone* plane : {&BildEbene0, &BildEbene1, &BildEbene2})
            for (uint16_t row = 1; row <= 8; ++row)
                for (size_t x = 0; x < 16; ++x)
                    plane->rows[row * kPatternStride + x] = static_cast<uint8_t>((row * seed + x) % 7);
    }
    // Every file of the folder, temporary ones too, with its bytes.
    std::map<std::string, std::string> Files() const
    {
        std::map<std::string, std::string> files;
        for (const auto& e : fs::directory_iterator(folder))
            files[e.path().filename().string()] = ReadTestFile(e.path().string());
        return files;
    }

    std::string folder = TestHome() + "out/";
    std::string program = folder + "LONGNAME.8DH";
};

}  // namespace

TEST_F(ProgramSave, FailureAnywhereKeepsTheOldSetWhole)
{
    ASSERT_EQ(SaveWholeProgram(program, TempPfad), 0);
    const auto before = Files();
    const std::vector<std::string> names = {"LONGNAME.8DH", "LONGNA_p.TIF", "LONGNA_q.TIF", "LONGNA_y.TIF"};
    ASSERT_EQ(before.size(), names.size());
    for (const std::string& name : names)
        ASSERT_EQ(before.count(name), 1u) << name;
    const auto programSize = static_cast<int64_t>(before.at("LONGNAME.8DH").size());
    const auto patternSize = static_cast<int64_t>(before.at("LONGNA_p.TIF").size());
    // The new save differs from the old one in every pattern file.
    Paint(2);

    const std::string full = "Diskette ist voll!";
    const std::string unknown = "Unbekannter Fehler am Laufwerk!";
    const struct {
        const char* name;
        SafeFileFault fault;
        std::string message;
    } cases[] = {
        {"disk full from the start", {0, false, -1}, full},
        {"disk full in the first pattern file", {programSize + 300, false, -1}, full},
        {"disk full in the last pattern file", {programSize + 2 * patternSize + 300, false, -1}, full},
        {"flush fails", {-1, true, -1}, full},
        {"rename of the second pattern file fails", {-1, false, 1}, unknown},
        {"rename of the program file fails", {-1, false, 3}, unknown},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetSafeFileFaultForTesting(c.fault);
        ScopedRecordingHost host;
        EXPECT_EQ(SaveWholeProgram(program, TempPfad), 301);
        EXPECT_EQ(host.host.messages(), std::vector<std::string>{c.message});
        EXPECT_EQ(Files(), before);
    }

    SetSafeFileFaultForTesting({});
    ASSERT_EQ(SaveWholeProgram(program, TempPfad), 0);
    const auto after = Files();
    ASSERT_EQ(after.size(), names.size());
    for (const char* name : {"LONGNA_p.TIF", "LONGNA_q.TIF", "LONGNA_y.TIF"})
        EXPECT_NE(after.at(name), before.at(name)) << name;
}

static std::string Repeated(const std::string& text, int count)
{
    std::string out;
    for (int i = 0; i < count; ++i)
        out += text;
    return out;
}

// A save that could not be opened again is refused before any file is
// written, the save's working file in the temporary folder included.
TEST_F(ProgramSave, NamesThatCannotBeOpenedAgainAreRefusedFirst)
{
    ASSERT_EQ(SaveWholeProgram(program, TempPfad), 0);
    const auto before = Files();
    const struct {
        std::string name;
        std::string message;
    } cases[] = {
        {"Программа.8DH",
         "Die Programmdatei kann den Namen dieser Musterdatei nicht speichern: er enthält Zeichen außerhalb von "
         "Windows-1252. Bitte einen Programmnamen ohne solche Zeichen wählen!\r\nПрогра_p.TIF"},
        {"ΩMEGA.8DH", "Die Programmdatei kann den Namen dieser Musterdatei nicht speichern: er enthält Zeichen "
                      "außerhalb von Windows-1252. Bitte einen Programmnamen ohne solche Zeichen wählen!\r\n"
                      "ΩMEGA_p.TIF"},
        // 224 letters but 244 bytes: too long for the save's temporary file.
        {std::string(200, 'x') + Repeated("й", 20) + ".8DH",
         "Der Dateiname oder Pfad ist zu lang!\r\n" + std::string(40, 'x') + "\u2026" + Repeated("й", 16) +
             ".8DH"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(TempPfad + "ZORITPRG.TMP");
        ScopedRecordingHost host;
        EXPECT_EQ(SaveWholeProgram(folder + c.name, TempPfad), 301);
        EXPECT_EQ(host.host.messages(), std::vector<std::string>{c.message});
        EXPECT_EQ(Files(), before);
        EXPECT_FALSE(fs::exists(TempPfad + "ZORITPRG.TMP"));
    }
}

TEST_F(ProgramSave, RemovesTheTemporariesOfKilledSaves)
{
    // No process has the pid 99999999; this test's process runs.
    const std::string running = std::to_string(::getpid());
    // Those of other files of the folder go too.
    const std::vector<std::string> stale = {".LONGNAME.8DH.99999999-1.tmp", ".LONGNA_p.TIF.99999999-2.tmp",
                                            ".LONGNA_q.TIF.99999999-3.tmp", ".OTHER.8DH.99999999-1.tmp",
                                            ".A.B.C.99999999-12.tmp"};
    const std::vector<std::string> kept = {".LONGNAME.8DH." + running + "-1.tmp", ".OTHER.8DH." + running + "-7.tmp",
                                           ".LONGNAME.8DH.99999999-x.tmp", ".LONGNAME.8DH.99999999.tmp",
                                           "OTHER.8DH.99999999-1.tmp", ".99999999-1.tmp"};
    for (const auto* list : {&stale, &kept})
        for (const std::string& name : *list)
            WriteTestFile(folder + name, "partial");
    ASSERT_EQ(SaveWholeProgram(program, TempPfad), 0);
    for (const std::string& name : stale)
        EXPECT_FALSE(fs::exists(folder + name)) << name;
    for (const std::string& name : kept)
        EXPECT_TRUE(fs::exists(folder + name)) << name;
    EXPECT_EQ(Files().size(), 4 + kept.size());
}

namespace {

// The program file's bytes with the save's date text blanked: two saves of
// one program differ only there.
std::string WithoutDate(const std::string& path)
{
    const TkfFile file(path);
    std::string bytes = file.bytes;
    if (const TkfFile::Entry* date = file.Find(306))
        bytes.replace(date->value, date->count, std::string(date->count, '\0'));
    return bytes;
}

}  // namespace

TEST_F(ProgramSave, AKillBetweenAnyTwoStepsLeavesOneWholeSet)
{
    const std::vector<std::string> names = {"LONGNAME.8DH", "LONGNA_p.TIF", "LONGNA_q.TIF", "LONGNA_y.TIF"};
    // The set as it stands in a folder, the program file without its date.
    const auto set = [&](const std::string& in) {
        std::map<std::string, std::string> files;
        for (const std::string& name : names)
            if (fs::exists(in + name))
                files[name] = name == names[0] ? WithoutDate(in + name) : ReadTestFile(in + name);
        return files;
    };
    ASSERT_EQ(SaveWholeProgram(program, TempPfad), 0);
    const auto oldFiles = Files();
    const auto oldSet = set(folder);
    // The new program differs in the program file and every pattern file.
    CommentPut(9, 1, "Ablauf neu");
    ProgrammKopf.SetHeight(9);
    for (T_Patrone* plane : {&BildEbene0, &BildEbene1, &BildEbene2})
        plane->allocate(9);
    Paint(2);
    const std::string reference = TestHome() + "new/";
    ASSERT_EQ(SaveWholeProgram(reference + "LONGNAME.8DH", TempPfad), 0);
    const auto newSet = set(reference);
    for (const std::string& name : names)
        ASSERT_TRUE(oldSet.at(name) != newSet.at(name)) << name;

    int kills = 0;
    int mixedBeforeCompletion = 0;
    int newAfterKill = 0;
    for (int point = 1;; ++point) {
        SCOPED_TRACE("killed at step point " + std::to_string(point));
        fs::remove_all(folder);
        fs::create_directories(folder);
        for (const auto& [name, bytes] : oldFiles)
            WriteTestFile(folder + name, bytes);

        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            SetSaveStepKillForTesting(point);
            ::_exit(SaveWholeProgram(program, TempPfad) == 0 ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        if (WIFEXITED(status)) {
            // The save ran past its last step point.
            EXPECT_EQ(WEXITSTATUS(status), 0);
            EXPECT_EQ(set(folder), newSet);
            EXPECT_EQ(Files().size(), names.size());
            break;
        }
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
        ++kills;
        const auto before = set(folder);
        if (before != oldSet && before != newSet)
            ++mixedBeforeCompletion;

        // The next open or save in the folder completes what the journal
        // names.
        EXPECT_EQ(CompleteInterruptedSave(folder), 0);
        EXPECT_FALSE(fs::exists(folder + kSaveJournalName));
        const auto after = set(folder);
        EXPECT_TRUE(after == oldSet || after == newSet);
        if (after == newSet)
            ++newAfterKill;
        // Nothing of the killed save is left once the next save ran.
        ASSERT_EQ(SaveWholeProgram(program, TempPfad), 0);
        EXPECT_TRUE(set(folder) == newSet);
        EXPECT_EQ(Files().size(), names.size());
    }
    // Staged, journal, four renames, journal gone.
    EXPECT_EQ(kills, 7);
    EXPECT_EQ(mixedBeforeCompletion, 3);
    EXPECT_EQ(newAfterKill, 6);
}

TEST_F(ProgramSave, AJournalThatIsNotWholeIsDropped)
{
    ASSERT_EQ(SaveWholeProgram(program, TempPfad), 0);
    const auto before = Files();
    WriteTestFile(folder + ".LONGNAME.8DH.99999999-1.tmp", "new");
    using namespace std::string_literals;
    // Cut before its end, of another version, a name leaving the folder.
    for (const std::string& damaged : {"ZORIT SAVE JOURNAL 1\0R\0.LONGNAME.8DH.99999999-1.tmp\0"s,
                                       "ZORIT SAVE JOURNAL 2\0E\0"s,
                                       "ZORIT SAVE JOURNAL 1\0R\0../x\0LONGNAME.8DH\0E\0"s}) {
        WriteTestFile(folder + kSaveJournalName, damaged);
        EXPECT_EQ(CompleteInterruptedSave(folder), 0);
        EXPECT_FALSE(fs::exists(folder + kSaveJournalName));
        EXPECT_EQ(ReadTestFile(program), before.at("LONGNAME.8DH"));
    }
}
