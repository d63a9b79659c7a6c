#include "platform/qt/dde_socket_path.h"

#include "platform/paths.h"
#include "platform/runtime_folder.h"

namespace {

// A "/" in a name would reach into another folder.
std::string SocketNamePart(const std::string& name)
{
    std::string part = AsciiUpper(name);
    for (char& c : part)
        if (c == '/')
            c = '_';
    return part;
}

}  // namespace

QString DdeSocketPath(const std::string& service, const std::string& topic, std::string& error)
{
    const std::string folder = RuntimeFolder(error);
    const std::string name = "dde-" + SocketNamePart(service) + "-" + SocketNamePart(topic);
    return QString::fromStdString(folder + "/" + name);
}

QString DdeSocketPath(const std::string& service, const std::string& topic)
{
    std::string error;
    return DdeSocketPath(service, topic, error);
}
