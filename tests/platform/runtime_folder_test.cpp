// The folder of the user's sockets and lock files when $XDG_RUNTIME_DIR is
// not set: a folder of the user's own below the shared temporary folder,
// refused when somebody else could have prepared it.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>

#include "platform/runtime_folder.h"
#include "platform/single_instance.h"
#include "tests/support/scoped_env.h"
#include "tests/support/test_env.h"

namespace fs = std::filesystem;

namespace {

// The shared temporary folder of a test, without $XDG_RUNTIME_DIR.
class RuntimeFolderTest : public testing::Test {
protected:
    std::string privateFolder() const { return shared_ + "/vasp-" + std::to_string(::geteuid()); }

    std::string shared_ = MakeShared();
    ScopedEnv noRuntime_{"XDG_RUNTIME_DIR", nullptr};
    ScopedEnv tmp_{"TMPDIR", (shared_ + "/").c_str()};

private:
    static std::string MakeShared()
    {
        const std::string shared = TestHome() + "shared";
        fs::create_directories(shared);
        ::chmod(shared.c_str(), 01777);
        return shared;
    }
};

mode_t ModeOf(const std::string& path)
{
    struct stat st = {};
    ::lstat(path.c_str(), &st);
    return st.st_mode;
}

}  // namespace

TEST_F(RuntimeFolderTest, PrivateFolderIsMadeForTheUserAlone)
{
    EXPECT_EQ(PrivateRuntimeFolderPath(), privateFolder());
    std::string error;
    EXPECT_EQ(RuntimeFolder(error), privateFolder());
    EXPECT_EQ(error, "");
    EXPECT_TRUE(S_ISDIR(ModeOf(privateFolder())));
    EXPECT_EQ(ModeOf(privateFolder()) & 07777, 0700u);
    // Found again as it was left.
    EXPECT_EQ(RuntimeFolder(error), privateFolder());
    EXPECT_EQ(error, "");
    // The lock of the single instance lives there too.
    EXPECT_EQ(SingleInstanceLockPath("Zorit"), privateFolder() + "/Zorit.lock");

    setenv("XDG_RUNTIME_DIR", (TestHome() + "runtime/").c_str(), 1);
    EXPECT_EQ(RuntimeFolder(error), TestHome() + "runtime");
}

TEST_F(RuntimeFolderTest, FolderSomebodyElseCouldHavePreparedIsRefused)
{
    const std::string path = privateFolder();
    const std::string mine = TestHome() + "mine";
    struct Case {
        const char* what;
        std::function<bool()> prepare;  // false: cannot be set up here
        const char* reason;
    };
    const Case cases[] = {
        {"open to the group and others", [&] { return fs::create_directory(path) && ::chmod(path.c_str(), 0755) == 0; },
         "is open to other users"},
        {"writable by all", [&] { return fs::create_directory(path) && ::chmod(path.c_str(), 01777) == 0; },
         "is open to other users"},
        {"a link to a private folder",
         [&] {
             fs::create_directory(mine);
             ::chmod(mine.c_str(), 0700);
             return ::symlink(mine.c_str(), path.c_str()) == 0;
         },
         "is a symbolic link"},
        {"a file",
         [&] {
             WriteTestFile(path, "x");
             return fs::is_regular_file(path);
         },
         "is no folder"},
        // Only the superuser can give a folder away.
        {"another user's",
         [&] { return fs::create_directory(path) && ::chmod(path.c_str(), 0700) == 0 && ::chown(path.c_str(), 65534, 65534) == 0; },
         "belongs to another user"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::error_code ec;
        fs::remove_all(path, ec);
        fs::remove(path, ec);
        if (!c.prepare()) {
            ASSERT_EQ(std::string(c.what), "another user's");
            continue;
        }
        const mode_t before = ModeOf(path);
        std::string error;
        EXPECT_EQ(RuntimeFolder(error), path);
        EXPECT_EQ(error, path + " " + c.reason);
        EXPECT_EQ(ModeOf(path), before) << "left as it was found";
        EXPECT_EQ(SingleInstanceLockPath("Zorit"), "");
        EXPECT_FALSE(fs::exists(mine + "/Zorit.lock"));
    }
}

TEST_F(RuntimeFolderTest, WithoutAPrivateFolderTheProgramRunsWithoutTheLock)
{
    // Another user's lock file can no longer keep the program from starting.
    fs::create_directory(privateFolder());
    ::chmod(privateFolder().c_str(), 0777);
    int sleeps = 0;
    SingleInstanceOps ops;
    ops.sleep = [&sleeps](int) { ++sleeps; };
    EXPECT_TRUE(AcquireSingleInstance("Zorit", ops));
    EXPECT_EQ(sleeps, 0);
    EXPECT_EQ(MutexHandle, -1);
}
