// The single-instance guard: the try-and-wait loop with injected steps, and
// the real lock against a second process and across exec.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/single_instance.h"
#include "tests/support/test_env.h"

namespace {

struct Recorder {
    int tries = 0;
    int sleeps = 0;
    std::string path;
    // The try that succeeds (0: never).
    int succeedAt = 0;

    SingleInstanceOps Ops()
    {
        SingleInstanceOps ops;
        ops.tryLock = [this](const std::string& p) {
            path = p;
            ++tries;
            if (tries == succeedAt)
                return SingleInstanceTry{SingleInstanceTry::Locked, -1};
            return SingleInstanceTry{SingleInstanceTry::Taken, -1};
        };
        ops.sleep = [this](int ms) {
            EXPECT_EQ(ms, 100);
            ++sleeps;
        };
        return ops;
    }
};

class SingleInstance : public testing::Test {
protected:
    void TearDown() override { ReleaseSingleInstance(); }
};

}  // namespace

TEST_F(SingleInstance, TriesFiftyTimesWithFortyNinePauses)
{
    Recorder r;
    EXPECT_FALSE(AcquireSingleInstance("Zorit", r.Ops()));
    EXPECT_EQ(r.tries, 50);
    EXPECT_EQ(r.sleeps, 49);
    EXPECT_EQ(r.path, TestHome() + "runtime/Zorit.lock");

    Recorder third;
    third.succeedAt = 3;
    EXPECT_TRUE(AcquireSingleInstance("Zorit", third.Ops()));
    EXPECT_EQ(third.tries, 3);
    EXPECT_EQ(third.sleeps, 2);
}

TEST_F(SingleInstance, SecondProcessIsRefusedUntilTheFirstEnds)
{
    const std::string path = SingleInstanceLockPath("Zorit");
    int ready[2], quit[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(quit), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Only system calls here: the first instance holds the lock.
        const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        const char ok = fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0 ? 1 : 0;
        (void)!::write(ready[1], &ok, 1);
        char c;
        (void)!::read(quit[0], &c, 1);
        _exit(0);
    }
    char ok = 0;
    ASSERT_EQ(::read(ready[0], &ok, 1), 1);
    ASSERT_EQ(ok, 1);

    int sleeps = 0;
    SingleInstanceOps fastSleep;
    fastSleep.sleep = [&sleeps](int) { ++sleeps; };
    EXPECT_FALSE(AcquireSingleInstance("Zorit", fastSleep));
    EXPECT_EQ(sleeps, 49);
    EXPECT_EQ(MutexHandle, -1);

    // The first instance ends during the wait: the second one gets through.
    fastSleep.sleep = [&](int) {
        if (++sleeps == 52) {
            (void)!::write(quit[1], "q", 1);
            int status = 0;
            waitpid(child, &status, 0);
        }
    };
    EXPECT_TRUE(AcquireSingleInstance("Zorit", fastSleep));
    EXPECT_EQ(sleeps, 52);
    EXPECT_GE(MutexHandle, 0);
    for (int fd : {ready[0], ready[1], quit[0], quit[1]})
        ::close(fd);
}

TEST_F(SingleInstance, LockIsNotInheritedByStartedPrograms)
{
    ASSERT_TRUE(AcquireSingleInstance("Zorit"));
    ASSERT_GE(MutexHandle, 0);
    const std::string path = SingleInstanceLockPath("Zorit");
    // A program started from here lists its descriptors: the lock is not among them.
    std::string listing;
    ASSERT_EQ(RunCommand("ls -l /proc/self/fd/ 2>&1", &listing), 0);
    EXPECT_NE(listing.find("/proc/"), std::string::npos) << listing;
    EXPECT_EQ(listing.find(path), std::string::npos) << listing;
    // And it may take the lock once this process has let go.
    EXPECT_EQ(RunCommand("flock -n '" + path + "' true"), 1);
    ReleaseSingleInstance();
    EXPECT_EQ(RunCommand("flock -n '" + path + "' true"), 0);
}

TEST_F(SingleInstance, NoLockPossibleStillRuns)
{
    setenv("XDG_RUNTIME_DIR", (TestHome() + "missing").c_str(), 1);
    int sleeps = 0;
    SingleInstanceOps ops;
    ops.sleep = [&sleeps](int) { ++sleeps; };
    EXPECT_TRUE(AcquireSingleInstance("Zorit", ops));
    EXPECT_EQ(sleeps, 0);
    EXPECT_EQ(MutexHandle, -1);
}
