#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

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
