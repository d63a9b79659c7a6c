// The whole save of a program: a failure anywhere leaves the old program
// and pattern files as they were, with no temporary file beside them, and a
// save removes what killed saves of the same files left.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include <unistd.h>

#include "kernel/model/globals.h"
#include "kernel/model/programmodel.h"
#include "kernel/tkf/programsave.h"
#include "platform/safe_file.h"
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

TEST_F(ProgramSave, RemovesTheTemporariesOfKilledSaves)
{
    // No process has the pid 99999999; this test's process runs.
    const std::string running = std::to_string(::getpid());
    const std::vector<std::string> stale = {".LONGNAME.8DH.99999999-1.tmp", ".LONGNA_p.TIF.99999999-2.tmp",
                                            ".LONGNA_q.TIF.99999999-3.tmp"};
    const std::vector<std::string> kept = {".LONGNAME.8DH." + running + "-1.tmp", ".OTHER.8DH.99999999-1.tmp",
                                           ".LONGNAME.8DH.99999999-x.tmp", ".LONGNAME.8DH.99999999.tmp"};
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
