#include "platform/qt/dde_socket_path.h"

#include <QDir>

#include "platform/paths.h"

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

QString DdeSocketPath(const std::string& service, const std::string& topic)
{
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty())
        folder = QDir::tempPath();
    while (folder.size() > 1 && folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    const std::string name = "dde-" + SocketNamePart(service) + "-" + SocketNamePart(topic);
    return folder + QLatin1Char('/') + QString::fromStdString(name);
}
