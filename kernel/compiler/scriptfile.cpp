#include "kernel/compiler/scriptfile.h"

#include <cerrno>

#include "kernel/services/stream.h"
#include "platform/paths.h"
#include "platform/stored_file.h"

int ReadScriptFile(const std::string& path, std::string& text)
{
    if (ReadStoredFile(FindExisting(path), kMaxScriptBytes, text))
        return 0;
    const int code = DiskErrorCode(errno);
    // An error the table does not name must still not read as success.
    return code != 0 ? code : 100;
}
