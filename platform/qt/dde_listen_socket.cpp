#include "platform/qt/dde_listen_socket.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QByteArray>
#include <QSocketNotifier>
#include <cerrno>
#include <cstring>

namespace {

// How long accepting pauses when no descriptor is left even to turn a
// client away.
constexpr int RetryMs = 200;
// Accepting yields to the event loop after this many clients, so that the
// connections just taken read what their clients sent before a flood of
// others pushes them out.
constexpr int AcceptBatch = 16;

int OpenReserve()
{
    return ::open("/dev/null", O_RDONLY | O_CLOEXEC);
}

bool OutOfDescriptors(int err)
{
    return err == EMFILE || err == ENFILE || err == ENOBUFS || err == ENOMEM;
}

}  // namespace

DdeListenSocket::DdeListenSocket(QObject* parent) : QObject(parent)
{
    retry_.setSingleShot(true);
    retry_.setInterval(RetryMs);
    connect(&retry_, &QTimer::timeout, this, [this] {
        if (!notifier_)
            return;
        reopenReserve();
        notifier_->setEnabled(true);
        acceptAll();
    });
}

DdeListenSocket::~DdeListenSocket()
{
    close();
}

bool DdeListenSocket::listen(const QString& path, std::string& error)
{
    close();
    const QByteArray native = path.toLocal8Bit();
    auto fail = [&](const char* why) {
        error = "cannot listen on " + path.toStdString() + ": " + why;
        return false;
    };
    sockaddr_un addr = {};
    addr.sun_family = AF_UNIX;
    if (static_cast<std::size_t>(native.size()) >= sizeof addr.sun_path)
        return fail("the path is too long");
    std::memcpy(addr.sun_path, native.constData(), static_cast<std::size_t>(native.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return fail(std::strerror(errno));
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) {
        const int err = errno;
        ::close(fd);
        return fail(std::strerror(err));
    }
    // Nobody can connect before listen(), so the file is closed to others
    // before the first client could reach it.
    struct stat st;
    if (::chmod(native.constData(), S_IRUSR | S_IWUSR) != 0 || ::lstat(native.constData(), &st) != 0 ||
        ::listen(fd, SOMAXCONN) != 0) {
        const int err = errno;
        ::unlink(native.constData());
        ::close(fd);
        return fail(std::strerror(err));
    }
    fd_ = fd;
    path_ = path;
    device_ = st.st_dev;
    inode_ = st.st_ino;
    quiet_ = false;
    roomReported_ = false;
    full_ = false;
    reserve_ = OpenReserve();
    notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, [this] { acceptAll(); });
    return true;
}

void DdeListenSocket::close()
{
    retry_.stop();
    full_ = false;
    notifier_.reset();
    if (fd_ < 0)
        return;
    ::close(fd_);
    fd_ = -1;
    const QByteArray native = path_.toLocal8Bit();
    struct stat st;
    if (::lstat(native.constData(), &st) == 0 && st.st_dev == device_ && st.st_ino == inode_)
        ::unlink(native.constData());
    if (reserve_ >= 0)
        ::close(reserve_);
    reserve_ = -1;
}

void DdeListenSocket::acceptAll()
{
    // Whether the next client is taken in room made for it.
    bool roomMade = false;
    for (int taken = 0; fd_ >= 0 && taken < AcceptBatch;) {
        if (atCapacity && atCapacity()) {
            if (!clientWaiting())
                return;
            if (!makeRoom || !makeRoom()) {
                // Every connection is in use: the client waits in the queue
                // until one ends.
                full_ = true;
                notifier_->setEnabled(false);
                return;
            }
            if (!roomReported_ && onAcceptFailed)
                onAcceptFailed("connections on " + path_.toStdString() +
                               " at their limit; the oldest idle one was closed to make room");
            roomReported_ = true;
            roomMade = true;
        }
        const int client = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (client >= 0) {
            ++taken;
            quiet_ = false;
            roomReported_ = roomMade;
            roomMade = false;
            if (onConnection)
                onConnection(client);
            else
                ::close(client);
            continue;
        }
        const int err = errno;
        if (err == EINTR || err == ECONNABORTED)
            continue;
        if (err == EAGAIN || err == EWOULDBLOCK)
            return;
        if (OutOfDescriptors(err) && makeRoom && makeRoom()) {
            if (!roomReported_)
                reportFailure(err, "; the oldest idle connection was closed to make room");
            roomReported_ = true;
            roomMade = true;
            continue;
        }
        if (OutOfDescriptors(err) && turnAwayOne(err))
            continue;
        // Nothing taken off the queue: the notifier would fire again at
        // once, so accepting waits a while, reported once until it succeeds
        // again.
        reportFailure(err, "");
        quiet_ = true;
        notifier_->setEnabled(false);
        retry_.start();
        return;
    }
}

void DdeListenSocket::resume()
{
    if (!full_ || !notifier_)
        return;
    full_ = false;
    if (!retry_.isActive())
        notifier_->setEnabled(true);
}

bool DdeListenSocket::clientWaiting() const
{
    pollfd p = {fd_, POLLIN, 0};
    return ::poll(&p, 1, 0) > 0 && (p.revents & POLLIN) != 0;
}

bool DdeListenSocket::turnAwayOne(int err)
{
    if (reserve_ < 0)
        return false;
    ::close(reserve_);
    reserve_ = -1;
    const int client = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (client >= 0) {
        ::close(client);
        // Reported while the reserve's place is free, so that a log file
        // can still be opened.
        reportFailure(err, "; the client was turned away");
    }
    reopenReserve();
    return client >= 0 && reserve_ >= 0;
}

void DdeListenSocket::reopenReserve()
{
    if (reserve_ < 0)
        reserve_ = OpenReserve();
}

void DdeListenSocket::reportFailure(int err, const char* outcome)
{
    if (onAcceptFailed && !quiet_)
        onAcceptFailed("accept on " + path_.toStdString() + " failed: " + std::strerror(err) + outcome);
}
