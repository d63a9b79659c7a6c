// Only regular files are read: a pipe, a device or a folder is refused at
// once, and a file above the reader's limit is not read at all.
#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include "platform/stored_file.h"
#include "tests/support/test_env.h"

namespace {
struct Names {
    std::string file, missing, folder, fifo;
};

Names MakeNames()
{
    const std::vector<std::string> refused = NoFilePaths("pipe.txt");
    Names n{TestHome() + "stored.txt", TestHome() + "nothing.txt", refused[2], refused[0]};
    WriteTestFile(n.file, "0123456789");
    return n;
}
}  // namespace

TEST(StoredFile, WhatIsReadAndWhatIsRefused)
{
    const Names n = MakeNames();
    struct Case {
        std::string path;
        uint64_t limit;
        int error;  // 0: read whole
    };
    const Case cases[] = {
        {n.file, 10, 0},
        {n.file, kStoredFileAnySize, 0},
        {n.file, 9, EFBIG},
        {n.missing, 100, ENOENT},
        {"", 100, ENOENT},
        {n.folder, 100, EISDIR},
        {n.fifo, 100, ENODEV},
        {"/dev/zero", kStoredFileAnySize, ENODEV},
        {"/dev/null", kStoredFileAnySize, ENODEV},
    };
    for (const Case& c : cases) {
        std::string bytes = "old";
        errno = 0;
        const bool ok = ReadStoredFile(c.path, c.limit, bytes);
        EXPECT_EQ(ok, c.error == 0) << c.path;
        if (ok) {
            EXPECT_EQ(bytes, "0123456789") << c.path;
        } else {
            EXPECT_EQ(errno, c.error) << c.path;
            EXPECT_EQ(bytes, "") << c.path;
        }
    }
}

TEST(StoredFile, OpenGivesSizeAndABlockingDescriptor)
{
    const Names n = MakeNames();
    uint64_t size = 0;
    const int fd = OpenStoredFile(n.file, 10, &size);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(size, 10u);
    EXPECT_EQ(::fcntl(fd, F_GETFL) & O_NONBLOCK, 0);
    ::close(fd);
    EXPECT_EQ(OpenStoredFile(n.fifo, 10, &size), -1);
    EXPECT_EQ(errno, ENODEV);
}

TEST(StoredFile, PrefixReadsAtMostTheCountOfAnyLargeFile)
{
    const Names n = MakeNames();
    std::string bytes;
    ASSERT_TRUE(ReadStoredFilePrefix(n.file, 4, bytes));
    EXPECT_EQ(bytes, "0123");
    ASSERT_TRUE(ReadStoredFilePrefix(n.file, 20, bytes));
    EXPECT_EQ(bytes, "0123456789");
    for (const std::string& refused : {n.fifo, std::string("/dev/zero")}) {
        EXPECT_FALSE(ReadStoredFilePrefix(refused, 4, bytes)) << refused;
        EXPECT_EQ(errno, ENODEV) << refused;
    }
    EXPECT_FALSE(ReadStoredFilePrefix(n.folder, 4, bytes));
    EXPECT_EQ(errno, EISDIR);
}
