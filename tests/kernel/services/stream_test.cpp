#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

#include "kernel/services/stream.h"
#include "tests/support/test_env.h"

namespace fs = std::filesystem;

namespace {

// The unit stream outlives a test case: never hand an open one to the next.
class Stream : public testing::Test {
protected:
    void TearDown() override { P_DiskClose(); }

    // Everything in the program folder but the fixture's own folders.
    static std::vector<std::string> Files()
    {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(TestHome()))
            if (!e.is_directory())
                names.push_back(e.path().filename().string());
        return names;
    }
};

}  // namespace

TEST_F(Stream, ShortReadSetsFlagAndKeepsBuffer)
{
    WriteTestFile(TestHome() + "Ten.bin", "0123456789");
    bool error = false;
    P_DiskOpen(TestHome() + "TEN.BIN", error, true);
    char buf[8];
    P_DiskRead(buf, 8, error);
    ASSERT_FALSE(error);
    EXPECT_EQ(std::string(buf, 8), "01234567");

    unsigned char more[4] = {0xaa, 0xaa, 0xaa, 0xaa};
    P_DiskRead(more, 4, error);
    EXPECT_TRUE(error);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(more), 4), "\xaa\xaa\xaa\xaa");
    EXPECT_EQ(F_DiskSize(error), 0u);
    // The set flag stops a read that would fit, too.
    P_DiskSeek(0, error);
    P_DiskRead(more, 2, error);
    EXPECT_EQ(more[0], 0xaa);
}

TEST_F(Stream, MissingFileOrStreamSetsFlag)
{
    bool error = false;
    P_DiskOpen(TestHome() + "missing.8a", error, true);
    EXPECT_TRUE(error);
    EXPECT_EQ(P_DiskLastError(), 2);
    // Nor is anything but a regular file opened: a device, a folder.
    for (const std::string& path : {std::string("/dev/null"), TestHome()}) {
        error = false;
        P_DiskOpen(path, error, true);
        EXPECT_TRUE(error) << path;
    }

    // No stream opened: every call sets the flag.
    bool read = false, write = false, size = false;
    char c = 'x';
    P_DiskRead(&c, 1, read);
    P_DiskWrite(&c, 1, write);
    F_DiskSize(size);
    EXPECT_TRUE(read && write && size);
    EXPECT_EQ(c, 'x');
}

TEST_F(Stream, CreatedFileReplacesOldOnlyWhenJobSucceeded)
{
    const std::string file = WriteTestFile(TestHome() + "Prog.8a", "old");
    bool error = false;
    P_DiskCreate(TestHome() + "PROG.8A", error, true);
    P_DiskWrite("new bytes", 9, error);
    P_DiskSeek(4, error);
    P_DiskWrite("B", 1, error);
    ASSERT_FALSE(error);
    EXPECT_EQ(ReadTestFile(file), "old");
    EXPECT_TRUE(P_DiskClose());
    EXPECT_EQ(ReadTestFile(file), "new Bytes");

    P_DiskCreate(file, error, true);
    P_DiskWrite("half", 4, error);
    error = true;  // the caller's job failed elsewhere
    P_DiskWrite("rest", 4, error);
    EXPECT_FALSE(P_DiskClose());
    EXPECT_EQ(ReadTestFile(file), "new Bytes");
    EXPECT_EQ(Files(), std::vector<std::string>{"Prog.8a"});

    // A file the user made read-only is refused with "access denied".
    ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
    error = false;
    P_DiskCreate(file, error, true);
    EXPECT_TRUE(error);
    EXPECT_EQ(P_DiskLastError(), 5);
    P_DiskWrite("x", 1, error);
    P_DiskClose();
    EXPECT_EQ(ReadTestFile(file), "new Bytes");
    EXPECT_EQ(Files(), std::vector<std::string>{"Prog.8a"});
}

TEST_F(Stream, MemoryStreamKeepsBytes)
{
    bool error = false;
    P_DiskCreate("", error, false);
    P_DiskWrite("abcdef", 6, error);
    P_DiskSeek(2, error);
    char buf[3];
    P_DiskRead(buf, 3, error);
    EXPECT_FALSE(error);
    EXPECT_EQ(std::string(buf, 3), "cde");
    EXPECT_EQ(P_DiskMemoryBytes(), "abcdef");

    P_DiskOpen("", error, false);
    P_DiskMemoryLoad("copy");
    P_DiskRead(buf, 3, error);
    EXPECT_EQ(std::string(buf, 3), "cop");
    EXPECT_TRUE(P_DiskClose());
    EXPECT_TRUE(Files().empty());
}

// The bulk read goes straight into the caller's buffer: the same bytes and
// position as P_DiskRead, and a read past the end still leaves the buffer
// and sets the flag.
TEST_F(Stream, BulkReadAsTheReadAside)
{
    std::string bytes;
    for (int i = 0; i < 70000; ++i)
        bytes += static_cast<char>(i * 31 + i / 256);
    WriteTestFile(TestHome() + "Big.bin", bytes);
    bool error = false;
    P_DiskOpen(TestHome() + "Big.bin", error, true);
    std::string aside(65000, '\0');
    std::string bulk(65000, '\0');
    P_DiskSeek(1000, error);
    P_DiskRead(aside.data(), 65000, error);
    const uint32_t after = F_DiskPosition(error);
    P_DiskSeek(1000, error);
    P_DiskReadBulk(bulk.data(), 65000, error);
    ASSERT_FALSE(error);
    EXPECT_EQ(bulk, aside);
    EXPECT_EQ(bulk, bytes.substr(1000, 65000));
    EXPECT_EQ(F_DiskPosition(error), after);

    std::string kept(10, 'k');
    P_DiskSeek(69995, error);
    P_DiskReadBulk(kept.data(), 10, error);
    EXPECT_TRUE(error);
    EXPECT_EQ(kept, std::string(10, 'k'));

    // Memory streams too.
    bool memError = false;
    P_DiskCreate("", memError, false);
    P_DiskWrite("abcdef", 6, memError);
    P_DiskSeek(1, memError);
    char buf[4];
    P_DiskReadBulk(buf, 4, memError);
    EXPECT_FALSE(memError);
    EXPECT_EQ(std::string(buf, 4), "bcde");
}
