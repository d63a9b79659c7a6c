#include "platform/qt/dde_server_conv.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QByteArray>
#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <deque>
#include <functional>
#include <map>
#include <utility>

#include "platform/codepage.h"
#include "platform/qt/dde_listen_socket.h"
#include "platform/qt/dde_socket_path.h"

class DdeEndpoint;

using DdeClock = std::chrono::steady_clock;

// One client connection: reads frames, writes answer bytes. It ends once
// the peer has finished sending and every string it sent is answered, or at
// once when a frame breaks the rules or the peer is gone, or when it has
// been idle too long (see DdeServerConv).
class DdeConnection : public QObject {
public:
    DdeConnection(int fd, DdeEndpoint* endpoint);
    ~DdeConnection() override { closeDescriptor(); }

    void readAvailable();
    // The answer of one of this connection's strings, in their order.
    void answer(bool done);
    void end();
    bool ended() const { return fd_ < 0; }

    // A string of it waits, runs or has its answer still to go out.
    bool busy() const { return unanswered_ > 0 || !out_.isEmpty() || peerDone_; }
    // Waits for a whole string: none came yet, or one has begun.
    bool idle() const { return fd_ >= 0 && !busy() && (!delivered_ || !in_.isEmpty()); }
    // Since when it has waited for its next string.
    DdeClock::time_point waitingSince() const { return waitingSince_; }

private:
    void readSome();
    void writePending();
    void finishWhenDone();
    void closeDescriptor();
    // Arms the idle timer for as long as the connection is idle.
    void watchIdle();

    int fd_;
    DdeEndpoint* endpoint_;
    QSocketNotifier readNotifier_;
    QSocketNotifier writeNotifier_;
    QTimer idleTimer_;
    QByteArray in_;
    QByteArray out_;
    int unanswered_ = 0;
    bool peerDone_ = false;
    bool delivered_ = false;
    DdeClock::time_point waitingSince_ = DdeClock::now();
};

// One listening socket of this process, shared by the conversations created
// on it. The last one attached serves; strings wait here in one queue.
class DdeEndpoint : public QObject {
public:
    explicit DdeEndpoint(QString path) : path_(std::move(path)) {}
    ~DdeEndpoint() override
    {
        auto& all = Endpoints();
        const auto it = all.find(path_);
        if (it != all.end() && it->second == this)
            all.erase(it);
    }

    static std::map<QString, DdeEndpoint*>& Endpoints()
    {
        static std::map<QString, DdeEndpoint*> all;
        return all;
    }

    static DdeEndpoint* Find(const QString& path)
    {
        const auto it = Endpoints().find(path);
        return it == Endpoints().end() ? nullptr : it->second;
    }

    bool listen(std::string& error)
    {
        listener_.onConnection = [this](int fd) {
            auto* connection = new DdeConnection(fd, this);
            live_.push_back(connection);
            // What the client sent with its connect is read before other
            // clients may push it out.
            connection->readAvailable();
        };
        listener_.atCapacity = [this] { return live_.size() >= connectionLimit(); };
        listener_.makeRoom = [this] { return closeOneForRoom(); };
        listener_.onAcceptFailed = [this](const std::string& what) {
            if (DdeServerConv* conv = serving())
                emit conv->acceptFailed(QString::fromStdString(what));
        };
        if (!listener_.listen(path_, error))
            return false;
        Endpoints()[path_] = this;
        return true;
    }

    void attach(DdeServerConv* conv)
    {
        convs_.push_back(conv);
        schedule();
    }

    // The endpoint ends with its last conversation.
    void detach(DdeServerConv* conv)
    {
        convs_.erase(std::remove(convs_.begin(), convs_.end(), conv), convs_.end());
        if (convs_.empty())
            shutDown();
        else
            schedule();
    }

    DdeServerConv* serving() const { return convs_.empty() ? nullptr : convs_.back(); }
    std::size_t pending() const { return queue_.size(); }

    int idleTimeoutMs() const
    {
        const DdeServerConv* conv = serving();
        return conv ? conv->idleTimeout() : DdeServerConv::DefaultIdleTimeoutMs;
    }

    // Half the descriptors the process may open leave the other half to the
    // program's own files.
    std::size_t connectionLimit() const
    {
        if (const DdeServerConv* conv = serving(); conv && conv->connectionLimit() > 0)
            return conv->connectionLimit();
        rlimit limit;
        if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
            return DdeServerConv::MaxConnections;
        return std::clamp<std::size_t>(static_cast<std::size_t>(limit.rlim_cur / 2), 8,
                                       DdeServerConv::MaxConnections);
    }

    void connectionEnded(DdeConnection* connection)
    {
        live_.erase(std::remove(live_.begin(), live_.end(), connection), live_.end());
        listener_.resume();
    }

    void enqueue(DdeConnection* connection, std::string bytes)
    {
        DdeServerConv* conv = serving();
        if (conv && conv->waitWatcher_ && (running_ || conv->commandsHeld() || !queue_.empty())) {
            const DdeServerConv::WaitWatcher watcher = conv->waitWatcher_;
            watcher(DdeServerConv::SplitMacroLines(Cp1252ToUtf8(bytes)));
        }
        queue_.push_back(Pending{connection, std::move(bytes)});
        schedule();
    }

    void schedule()
    {
        if (scheduled_ || closing_)
            return;
        scheduled_ = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                scheduled_ = false;
                runQueue();
            },
            Qt::QueuedConnection);
    }

private:
    struct Pending {
        QPointer<DdeConnection> connection;
        std::string bytes;  // Windows-1252, without the NUL
    };

    void runQueue()
    {
        // A handler that processes events comes back here; the strings that
        // arrive meanwhile wait for the loop below.
        if (running_)
            return;
        running_ = true;
        while (!closing_ && !queue_.empty()) {
            DdeServerConv* conv = serving();
            if (!conv || conv->commandsHeld())
                break;
            Pending next = std::move(queue_.front());
            queue_.pop_front();
            const bool done = conv->runMacro(DdeServerConv::SplitMacroLines(Cp1252ToUtf8(next.bytes)));
            if (next.connection)
                next.connection->answer(done);
        }
        running_ = false;
        if (closing_)
            delete this;
    }

    // The longest idle connection goes first; one that is only quiet
    // between strings (a partner keeping its link) only when none is idle.
    bool closeOneForRoom()
    {
        DdeConnection* victim = nullptr;
        auto before = [](const DdeConnection* a, const DdeConnection* b) {
            if (a->idle() != b->idle())
                return a->idle();
            return a->waitingSince() < b->waitingSince();
        };
        for (DdeConnection* connection : live_)
            if (!connection->ended() && !connection->busy() && (!victim || before(connection, victim)))
                victim = connection;
        if (!victim)
            return false;
        victim->end();
        return true;
    }

    void shutDown()
    {
        const auto it = Endpoints().find(path_);
        if (it != Endpoints().end() && it->second == this)
            Endpoints().erase(it);
        closing_ = true;
        listener_.close();
        for (DdeConnection* connection : findChildren<DdeConnection*>(Qt::FindDirectChildrenOnly))
            connection->end();
        queue_.clear();
        if (!running_)
            delete this;
    }

    QString path_;
    DdeListenSocket listener_;
    std::deque<Pending> queue_;
    std::vector<DdeServerConv*> convs_;
    // The open connections, oldest first.
    std::vector<DdeConnection*> live_;
    bool scheduled_ = false;
    bool running_ = false;
    bool closing_ = false;
};

DdeConnection::DdeConnection(int fd, DdeEndpoint* endpoint)
    : QObject(endpoint),
      fd_(fd),
      endpoint_(endpoint),
      readNotifier_(fd, QSocketNotifier::Read),
      writeNotifier_(fd, QSocketNotifier::Write)
{
    ::fcntl(fd_, F_SETFD, FD_CLOEXEC);
    ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) | O_NONBLOCK);
    writeNotifier_.setEnabled(false);
    idleTimer_.setSingleShot(true);
    connect(&readNotifier_, &QSocketNotifier::activated, this, [this] { readAvailable(); });
    connect(&writeNotifier_, &QSocketNotifier::activated, this, [this] { writePending(); });
    connect(&idleTimer_, &QTimer::timeout, this, [this] { watchIdle(); });
}

void DdeConnection::readAvailable()
{
    readSome();
    watchIdle();
}

void DdeConnection::watchIdle()
{
    if (!idle()) {
        idleTimer_.stop();
        return;
    }
    const auto deadline = waitingSince_ + std::chrono::milliseconds(endpoint_->idleTimeoutMs());
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - DdeClock::now());
    if (left.count() <= 0) {
        end();
        return;
    }
    idleTimer_.start(static_cast<int>(std::min<long long>(left.count(), 1 << 30)));
}

void DdeConnection::readSome()
{
    constexpr qsizetype limit = static_cast<qsizetype>(DdeServerConv::MaxFrameBytes);
    char buffer[16384];
    while (fd_ >= 0 && !peerDone_) {
        const ssize_t n = ::recv(fd_, buffer, sizeof buffer, MSG_DONTWAIT);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            if (errno != EAGAIN && errno != EWOULDBLOCK)
                end();
            return;
        }
        if (n == 0) {
            // The peer sends no more; what it left unfinished is dropped, and
            // the answers still due go out before the connection ends.
            peerDone_ = true;
            readNotifier_.setEnabled(false);
            in_.clear();
            finishWhenDone();
            return;
        }
        // The wait for a string begun after others starts with its first
        // byte; a connection that never sent a whole one waits since it was
        // opened.
        const bool begun = in_.isEmpty() && delivered_;
        in_.append(buffer, n);
        qsizetype start = 0;
        for (;;) {
            const qsizetype nul = in_.indexOf('\0', start);
            if (nul < 0)
                break;
            // A frame too long for the wire: nothing of it runs, and the
            // connection goes, as its next bytes could not be told apart
            // from the tail.
            if (nul - start > limit) {
                end();
                return;
            }
            ++unanswered_;
            delivered_ = true;
            endpoint_->enqueue(this, std::string(in_.constData() + start, static_cast<std::size_t>(nul - start)));
            start = nul + 1;
        }
        if (begun || start > 0)
            waitingSince_ = DdeClock::now();
        in_.remove(0, start);
        if (in_.size() > limit) {
            end();
            return;
        }
    }
}

void DdeConnection::answer(bool done)
{
    if (fd_ < 0)
        return;
    --unanswered_;
    out_.append(done ? '\1' : '\0');
    // A string that ran long must not count against the next one.
    waitingSince_ = DdeClock::now();
    writePending();
    finishWhenDone();
    watchIdle();
}

// MSG_NOSIGNAL: a peer that has gone must not raise SIGPIPE, whatever the
// process has done with that signal.
void DdeConnection::writePending()
{
    while (fd_ >= 0 && !out_.isEmpty()) {
        const ssize_t n = ::send(fd_, out_.constData(), static_cast<std::size_t>(out_.size()),
                                 MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) {
                writeNotifier_.setEnabled(true);
                return;
            }
            end();
            return;
        }
        out_.remove(0, n);
    }
    writeNotifier_.setEnabled(false);
    finishWhenDone();
    watchIdle();
}

void DdeConnection::finishWhenDone()
{
    if (peerDone_ && unanswered_ <= 0 && out_.isEmpty())
        end();
}

void DdeConnection::end()
{
    if (fd_ < 0)
        return;
    closeDescriptor();
    in_.clear();
    out_.clear();
    idleTimer_.stop();
    endpoint_->connectionEnded(this);
    deleteLater();
}

void DdeConnection::closeDescriptor()
{
    if (fd_ < 0)
        return;
    readNotifier_.setEnabled(false);
    writeNotifier_.setEnabled(false);
    ::close(fd_);
    fd_ = -1;
}

namespace {

// A socket file with nobody accepting on it is left over from a program that
// ended without cleaning up.
enum class SocketFile { Missing, Stale, Live, NotASocket };

SocketFile ProbeSocketFile(const QString& path)
{
    const QByteArray native = path.toLocal8Bit();
    struct stat st;
    if (::lstat(native.constData(), &st) != 0)
        return SocketFile::Missing;
    if (!S_ISSOCK(st.st_mode))
        return SocketFile::NotASocket;
    sockaddr_un addr = {};
    addr.sun_family = AF_UNIX;
    if (static_cast<std::size_t>(native.size()) >= sizeof addr.sun_path)
        return SocketFile::Live;  // cannot tell: leave it alone
    std::memcpy(addr.sun_path, native.constData(), static_cast<std::size_t>(native.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return SocketFile::Live;
    int rc;
    do
        rc = ::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr);
    while (rc != 0 && errno == EINTR);
    const int error = rc == 0 ? 0 : errno;
    ::close(fd);
    // Only a refused connection proves that nobody listens; a server too
    // busy to take one more (EAGAIN) is alive.
    if (error == ENOENT)
        return SocketFile::Missing;
    return error == ECONNREFUSED ? SocketFile::Stale : SocketFile::Live;
}

}  // namespace

DdeServerConv::DdeServerConv(std::string service, std::string topic, QObject* parent)
    : QObject(parent),
      service_(std::move(service)),
      topic_(std::move(topic)),
      socketPath_(DdeSocketPath(service_, topic_, pathError_))
{
}

DdeServerConv::~DdeServerConv()
{
    close();
}

DdeServerConv::ListenResult DdeServerConv::listen()
{
    if (endpoint_)
        return ListenResult::Listening;
    error_.clear();
    if (!pathError_.empty()) {
        error_ = "no safe folder for " + socketPath_.toStdString() + ": " + pathError_;
        return ListenResult::Failed;
    }
    if (DdeEndpoint* mine = DdeEndpoint::Find(socketPath_)) {
        endpoint_ = mine;
        mine->attach(this);
        return ListenResult::TakenOver;
    }
    switch (ProbeSocketFile(socketPath_)) {
    case SocketFile::Live:
        error_ = "another program serves " + socketPath_.toStdString();
        return ListenResult::LiveServer;
    case SocketFile::NotASocket:
        error_ = socketPath_.toStdString() + " is in the way and is no socket";
        return ListenResult::Failed;
    case SocketFile::Stale:
        if (::unlink(socketPath_.toLocal8Bit().constData()) != 0 && errno != ENOENT) {
            error_ = "cannot remove " + socketPath_.toStdString() + ": " + std::strerror(errno);
            return ListenResult::Failed;
        }
        break;
    case SocketFile::Missing:
        break;
    }
    auto* endpoint = new DdeEndpoint(socketPath_);
    if (!endpoint->listen(error_)) {
        delete endpoint;
        return ListenResult::Failed;
    }
    endpoint_ = endpoint;
    endpoint->attach(this);
    return ListenResult::Listening;
}

void DdeServerConv::close()
{
    if (!endpoint_)
        return;
    DdeEndpoint* endpoint = endpoint_;
    endpoint_ = nullptr;
    endpoint->detach(this);
}

bool DdeServerConv::isServing() const
{
    return endpoint_ && endpoint_->serving() == this;
}

void DdeServerConv::setCommandsHeld(bool held)
{
    held_ = held;
    if (!held && endpoint_)
        endpoint_->schedule();
}

std::size_t DdeServerConv::pendingCommands() const
{
    return endpoint_ ? endpoint_->pending() : 0;
}

std::vector<std::string> DdeServerConv::SplitMacroLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        const std::size_t next = end == std::string::npos ? text.size() : end + 1;
        if (end == std::string::npos)
            end = text.size();
        else if (end > start && text[end - 1] == '\r')
            --end;
        lines.push_back(text.substr(start, end - start));
        start = next;
    }
    return lines;
}

bool DdeServerConv::runMacro(const std::vector<std::string>& lines)
{
    // The handler may end this conversation (a command that closes the
    // program): it runs from a copy, and nothing here is touched after it
    // unless the conversation still exists.
    const MacroHandler handler = handler_;
    if (!handler)
        return false;
    QPointer<DdeServerConv> self(this);
    QString failure;
    try {
        return handler(lines);
    } catch (const std::exception& e) {
        failure = QString::fromUtf8(e.what());
    } catch (...) {
        failure = QStringLiteral("unknown exception");
    }
    if (self)
        emit self->macroFailed(failure);
    return false;
}
