#include "textedit/core/file_stamp.h"

#include <sys/stat.h>

FileStamp StampOf(const std::string& path)
{
    struct stat st{};
    if (path.empty() || ::stat(path.c_str(), &st) != 0)
        return {};
    FileStamp s;
    s.exists = true;
    s.size = static_cast<uint64_t>(st.st_size);
    s.mtimeNs = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    s.inode = static_cast<uint64_t>(st.st_ino);
    return s;
}

bool ReloadWanted(const ReloadInput& in)
{
    return in.fileBound && in.nameBound && !in.saveFailing && !(in.current == in.recorded);
}
