#include "platform/runtime_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

std::string WithoutTrailingSlashes(std::string folder)
{
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder;
}

std::string EnvironmentFolder(const char* name)
{
    const char* value = std::getenv(name);
    return value && *value ? WithoutTrailingSlashes(value) : std::string();
}

}  // namespace

std::string PrivateRuntimeFolderPath()
{
    std::string temp = EnvironmentFolder("TMPDIR");
    if (temp.empty())
        temp = "/tmp";
    if (temp != "/")
        temp += '/';
    return temp + "vasp-" + std::to_string(::geteuid());
}

bool CheckPrivateFolder(const std::string& path, std::string& error)
{
    auto fail = [&](const std::string& why) {
        error = path + " " + why;
        return false;
    };
    if (::mkdir(path.c_str(), S_IRWXU) == 0) {
        // The umask may have taken the owner's own rights.
        if (::chmod(path.c_str(), S_IRWXU) != 0)
            return fail(std::string("cannot be set up: ") + std::strerror(errno));
    } else if (errno != EEXIST) {
        return fail(std::string("cannot be created: ") + std::strerror(errno));
    }
    // lstat: a link is refused, whoever made it and wherever it points.
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0)
        return fail(std::string("cannot be read: ") + std::strerror(errno));
    if (S_ISLNK(st.st_mode))
        return fail("is a symbolic link");
    if (!S_ISDIR(st.st_mode))
        return fail("is no folder");
    if (st.st_uid != ::geteuid())
        return fail("belongs to another user");
    if ((st.st_mode & (S_IRWXG | S_IRWXO)) != 0)
        return fail("is open to other users");
    if ((st.st_mode & S_IRWXU) != S_IRWXU)
        return fail("is closed to its owner");
    return true;
}

std::string RuntimeFolder(std::string& error)
{
    error.clear();
    std::string folder = EnvironmentFolder("XDG_RUNTIME_DIR");
    if (!folder.empty())
        return folder;
    folder = PrivateRuntimeFolderPath();
    CheckPrivateFolder(folder, error);
    return folder;
}
