#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/safe_file.h"
#include "tests/support/test_env.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> Names()
{
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(TestHome()))
        if (e.is_regular_file())
            names.push_back(e.path().filename().string());
    return names;
}

class SafeFile : public testing::Test {
protected:
    void TearDown() override { SetSafeFileFaultForTesting({}); }
};

}  // namespace

TEST_F(SafeFile, ReplacesOnlyOnCommit)
{
    const std::string file = WriteTestFile(TestHome() + "Data.bin", "old");
    {
        SafeFileWriter w;
        ASSERT_TRUE(w.Create(TestHome() + "DATA.BIN"));
        EXPECT_EQ(w.destination(), file);
        ASSERT_TRUE(w.Write("abcdef", 6));
        ASSERT_TRUE(w.WriteAt(1, "B", 1));
        ASSERT_TRUE(w.Write("!", 1));
        EXPECT_EQ(ReadTestFile(file), "old");
        ASSERT_TRUE(w.Commit());
    }
    EXPECT_EQ(ReadTestFile(file), "aBcdef!");
    {
        // Dropped without commit: the old file stays, no temporary is left.
        SafeFileWriter w;
        ASSERT_TRUE(w.Create(file));
        ASSERT_TRUE(w.Write("new", 3));
    }
    EXPECT_EQ(ReadTestFile(file), "aBcdef!");
    EXPECT_EQ(Names(), std::vector<std::string>{"Data.bin"});

    SafeFileWriter fresh;
    ASSERT_TRUE(fresh.Create(TestHome() + "New.bin"));
    ASSERT_TRUE(fresh.Commit());
    EXPECT_TRUE(fs::exists(TestHome() + "New.bin"));
}

TEST_F(SafeFile, FullDiskAtWriteOrFlush)
{
    const std::string file = WriteTestFile(TestHome() + "Data.bin", "old");
    SetSafeFileFaultForTesting({5, false});
    SafeFileWriter w;
    ASSERT_TRUE(w.Create(file));
    EXPECT_TRUE(w.Write("abc", 3));
    EXPECT_FALSE(w.Write("defg", 4));
    EXPECT_TRUE(w.diskFull());
    EXPECT_EQ(w.error(), ENOSPC);
    EXPECT_FALSE(w.Write("x", 1));
    EXPECT_FALSE(w.Commit());
    EXPECT_EQ(ReadTestFile(file), "old");

    SetSafeFileFaultForTesting({-1, true});
    SafeFileWriter f;
    ASSERT_TRUE(f.Create(file));
    EXPECT_TRUE(f.Write("abc", 3));
    EXPECT_FALSE(f.Commit());
    EXPECT_TRUE(f.diskFull());
    EXPECT_EQ(ReadTestFile(file), "old");
    EXPECT_EQ(Names(), std::vector<std::string>{"Data.bin"});
}

TEST_F(SafeFile, UnwritablePlaces)
{
    SafeFileWriter w;
    EXPECT_FALSE(w.Create(TestHome() + "missing/x.bin"));
    EXPECT_FALSE(w.diskFull());
    EXPECT_FALSE(w.Write("a", 1));
    EXPECT_FALSE(w.Commit());
    fs::create_directories(TestHome() + "folder");
    EXPECT_FALSE(w.Create(TestHome() + "folder"));
}

namespace {
uint32_t ModeOf(const std::string& path)
{
    struct stat st{};
    return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}
}  // namespace

// A file the user marked read-only is not replaced, though its folder would
// let a rename do it; a writable one keeps its permissions.
TEST_F(SafeFile, ReadOnlyTargetsStayAndPermissionsAreKept)
{
    const std::string file = WriteTestFile(TestHome() + "Prog.bin", "old");
    ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
    SafeFileWriter w;
    EXPECT_FALSE(w.Create(TestHome() + "PROG.BIN"));
    EXPECT_EQ(w.error(), EACCES);
    EXPECT_FALSE(w.Commit());
    EXPECT_EQ(ReadTestFile(file), "old");
    EXPECT_EQ(ModeOf(file), 0444u);

    // Made read-only while the new content was written: still kept.
    ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
    SafeFileWriter late;
    ASSERT_TRUE(late.Create(file));
    ASSERT_TRUE(late.Write("new", 3));
    ASSERT_EQ(::chmod(file.c_str(), 0440), 0);
    EXPECT_FALSE(late.Commit());
    EXPECT_EQ(late.error(), EACCES);
    EXPECT_EQ(ReadTestFile(file), "old");
    EXPECT_EQ(Names(), std::vector<std::string>{"Prog.bin"});

    ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
    SafeFileWriter ok;
    ASSERT_TRUE(ok.Create(file));
    ASSERT_TRUE(ok.Write("new", 3));
    ASSERT_TRUE(ok.Commit());
    EXPECT_EQ(ReadTestFile(file), "new");
    EXPECT_EQ(ModeOf(file), 0640u);
}

// A copy whose source is a pipe or a device fails at once and keeps the old
// destination.
TEST_F(SafeFile, CopyOfWhatIsNoFileFails)
{
    const std::string dest = WriteTestFile(TestHome() + "Copy.bin", "old");
    for (const std::string& source : NoFilePaths("pipe.bin")) {
        SafeFileWriter w;
        ASSERT_TRUE(w.Create(dest));
        EXPECT_FALSE(w.WriteFileContents(source)) << source;
        EXPECT_FALSE(w.Commit()) << source;
        EXPECT_EQ(ReadTestFile(dest), "old") << source;
    }
}

TEST(StaleTemporaries, AWriterIsGoneWhenItsPidIsFreeOrGivenAgain)
{
    struct Case {
        bool running;
        double start;
        double change;
        bool gone;
    };
    for (const Case& c : {Case{false, 0, 1000, true}, Case{false, 500, 1000, true},
                          // The writer itself: it began before it wrote.
                          Case{true, 990, 1000, false}, Case{true, 1000, 1000, false},
                          // Within the clocks' slack nothing is taken for reused.
                          Case{true, 1001.5, 1000, false},
                          // A process that began later cannot have written it.
                          Case{true, 1003, 1000, true},
                          // Unknown start: kept.
                          Case{true, 0, 1000, false}})
        EXPECT_EQ(TemporaryWriterGone(c.running, c.start, c.change), c.gone)
            << c.running << " " << c.start << " " << c.change;
}

TEST(StaleTemporaries, TheFolderSweepTakesEveryDeadSavesFiles)
{
    // A process that has ended, and two that run: this one and the first.
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ASSERT_GT(child, 0);
    ASSERT_EQ(::waitpid(child, nullptr, 0), child);
    const std::string dead = std::to_string(child);
    const std::string self = std::to_string(::getpid());
    const std::string folder = TestHome() + "sweep/";
    fs::create_directories(folder);
    const std::vector<std::string> stale = {".A.8DH." + dead + "-1.tmp", ".LONG.NAME.TIF." + dead + "-12.tmp",
                                            ".ZoritSave.jnl." + dead + "-3.tmp", ".X.99999999-1.tmp"};
    const std::vector<std::string> kept = {"A.8DH", ".A.8DH." + self + "-2.tmp", ".B.TIF.1-1.tmp",
                                           "A.8DH." + dead + "-1.tmp", ".A.8DH." + dead + ".tmp",
                                           ".A.8DH." + dead + "-1.TMP", "." + dead + "-1.tmp"};
    for (const auto* list : {&stale, &kept})
        for (const std::string& name : *list)
            WriteTestFile(folder + name, "x");
    if (::kill(child, 0) == 0)
        GTEST_SKIP() << "the ended process's pid was given again";
    RemoveDeadTemporaries(folder);
    for (const std::string& name : stale)
        EXPECT_FALSE(fs::exists(folder + name)) << name;
    for (const std::string& name : kept)
        EXPECT_TRUE(fs::exists(folder + name)) << name;
}
