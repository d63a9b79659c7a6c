#include "platform/single_instance.h"

#include <cerrno>
#include <chrono>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "platform/runtime_folder.h"

int MutexHandle = -1;

namespace {

void Pause(int milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace

std::string SingleInstanceLockPath(const std::string& exeFileName)
{
    std::string error;
    const std::string folder = RuntimeFolder(error);
    return error.empty() ? folder + "/" + exeFileName + ".lock" : std::string();
}

SingleInstanceTry TryLockFile(const std::string& lockPath)
{
    if (lockPath.empty())
        return {SingleInstanceTry::Unavailable, -1};
    const int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return {SingleInstanceTry::Unavailable, -1};
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
        return {SingleInstanceTry::Locked, fd};
    if (errno == EWOULDBLOCK)
        return {SingleInstanceTry::Taken, fd};
    ::close(fd);
    return {SingleInstanceTry::Unavailable, -1};
}

bool AcquireSingleInstance(const std::string& exeFileName, const SingleInstanceOps& ops)
{
    const auto tryLock = ops.tryLock ? ops.tryLock : TryLockFile;
    const auto sleep = ops.sleep ? ops.sleep : Pause;
    const std::string path = SingleInstanceLockPath(exeFileName);
    for (int n = 1;; ++n) {
        const SingleInstanceTry attempt = tryLock(path);
        if (attempt.result != SingleInstanceTry::Taken) {
            MutexHandle = attempt.result == SingleInstanceTry::Locked ? attempt.fd : -1;
            return true;
        }
        if (n == SingleInstanceTries) {
            if (attempt.fd >= 0)
                ::close(attempt.fd);
            return false;
        }
        sleep(SingleInstancePauseMs);
        if (attempt.fd >= 0)
            ::close(attempt.fd);
    }
}

void ReleaseSingleInstance()
{
    if (MutexHandle >= 0)
        ::close(MutexHandle);
    MutexHandle = -1;
}
