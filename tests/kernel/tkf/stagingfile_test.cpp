// Pre-sized record files: their size, their records, their failures.
#include <gtest/gtest.h>

#include <filesystem>

#include "kernel/tkf/stagingfile.h"
#include "tests/support/test_env.h"

namespace fs = std::filesystem;

TEST(StagingFile, PreSizedRecordsAndTheirContent)
{
    const std::string path = TestHome() + "K-Liste.TMP";
    {
        StagingFile f;
        ASSERT_TRUE(f.Open(path, 81, 20000));
        EXPECT_EQ(fs::file_size(path), 1620000u);
        std::string rec(81, ' ');
        rec[0] = 3;
        rec.replace(1, 3, "abc");
        ASSERT_TRUE(f.Write(19999, rec.data()));
        ASSERT_TRUE(f.Write(20000, rec.data()));  // past the capacity: the file grows
        std::string back(81, '\0');
        ASSERT_TRUE(f.Read(19999, back.data()));
        EXPECT_EQ(back, rec);
        ASSERT_TRUE(f.Read(5, back.data()));
        EXPECT_EQ(back, std::string(81, '\0'));

        // A record that is not there leaves the buffer alone.
        std::string keep(81, 'k');
        EXPECT_FALSE(f.Read(20001, keep.data()));
        EXPECT_EQ(keep, std::string(81, 'k'));
        EXPECT_TRUE(f.Close());
    }
    EXPECT_EQ(fs::file_size(path), 81u * 20001);

    // Opened again with a smaller capacity it keeps its size and records: what
    // an earlier job left there is still there.
    StagingFile again;
    ASSERT_TRUE(again.Open(path, 81, 100));
    EXPECT_EQ(fs::file_size(path), 81u * 20001);
    std::string back(81, '\0');
    ASSERT_TRUE(again.Read(19999, back.data()));
    EXPECT_EQ(back.substr(0, 4), "\x03"
                                 "abc");
    // Several records in one go.
    const std::string two(2 * 81, 'x');
    ASSERT_TRUE(again.Write(1, two.data(), 2));
    std::string three(3 * 81, '\0');
    ASSERT_TRUE(again.Read(0, three.data(), 3));
    EXPECT_EQ(three.substr(81), two);
}

TEST(StagingFile, FailuresAreReported)
{
    StagingFile f;
    fs::create_directories(TestHome() + "SF-Liste.DB");
    EXPECT_FALSE(f.Open(TestHome() + "SF-Liste.DB", 24, 20000));
    EXPECT_FALSE(f.IsOpen());
    EXPECT_NE(f.Error(), 0);
    // A folder path running through a regular file.
    WriteTestFile(TestHome() + "plain", "x");
    EXPECT_FALSE(f.Open(TestHome() + "plain/F-liste.DB", 14, 10));
    EXPECT_NE(f.Error(), 0);
    char rec[24] = {};
    EXPECT_FALSE(f.Write(0, rec));
    EXPECT_FALSE(f.Read(0, rec));
    EXPECT_TRUE(f.Close());
}
