#include "platform/qt/dde_server_conv.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <deque>
#include <map>
#include <utility>

#include "platform/codepage.h"
#include "platform/qt/dde_socket_path.h"

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
        // Only the user who runs the program may send it commands.
        server_.setSocketOptions(QLocalServer::UserAccessOption);
        if (!server_.listen(path_)) {
            error = "cannot listen on " + path_.toStdString() + ": " + server_.errorString().toStdString();
            return false;
        }
        connect(&server_, &QLocalServer::newConnection, this, [this] { acceptConnections(); });
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
        QPointer<QLocalSocket> socket;
        std::string bytes;  // Windows-1252, without the NUL
    };

    void acceptConnections()
    {
        while (QLocalSocket* socket = server_.nextPendingConnection()) {
            buffers_[socket] = QByteArray();
            socket->setReadBufferSize(static_cast<qint64>(DdeServerConv::MaxFrameBytes) + 1);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] { takeFrames(socket); });
            connect(socket, &QLocalSocket::disconnected, this, [this, socket] { connectionLost(socket); });
            takeFrames(socket);
            if (buffers_.count(socket) && socket->state() == QLocalSocket::UnconnectedState)
                connectionLost(socket);
        }
    }

    // Moves every complete frame into the queue; false when the connection
    // was dropped for an oversized frame.
    bool takeFrames(QLocalSocket* socket)
    {
        const auto it = buffers_.find(socket);
        if (it == buffers_.end()) {
            socket->readAll();
            return false;
        }
        constexpr qsizetype limit = static_cast<qsizetype>(DdeServerConv::MaxFrameBytes);
        bool queued = false;
        while (socket->bytesAvailable() > 0) {
            QByteArray& buffer = it->second;
            buffer += socket->read(limit + 1);
            qsizetype start = 0;
            for (;;) {
                const qsizetype nul = buffer.indexOf('\0', start);
                if (nul < 0)
                    break;
                if (nul - start > limit) {
                    drop(socket, queued);
                    return false;
                }
                queue_.push_back(Pending{socket, std::string(buffer.constData() + start,
                                                             static_cast<std::size_t>(nul - start))});
                queued = true;
                start = nul + 1;
            }
            buffer.remove(0, start);
            if (buffer.size() > limit) {
                drop(socket, queued);
                return false;
            }
        }
        if (queued)
            schedule();
        return true;
    }

    // A frame too long for the wire: nothing of it runs, and the connection
    // goes, since its next bytes could not be told apart from the tail.
    void drop(QLocalSocket* socket, bool queued)
    {
        if (queued)
            schedule();
        buffers_.erase(socket);
        socket->disconnect(this);
        socket->abort();
        socket->deleteLater();
    }

    // The strings the peer finished still run; a frame cut off by the end of
    // the connection is dropped.
    void connectionLost(QLocalSocket* socket)
    {
        if (!takeFrames(socket))
            return;
        buffers_.erase(socket);
        socket->disconnect(this);
        socket->deleteLater();
    }

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
            answer(next.socket, done);
        }
        running_ = false;
        if (closing_)
            delete this;
    }

    // A peer may be gone by the time its answer is due. The byte goes out
    // with MSG_NOSIGNAL, so that this never raises SIGPIPE, whatever the
    // process has done with that signal; only a full socket buffer leaves it
    // to Qt's buffer (and then every later byte too, to keep the order).
    static void answer(const QPointer<QLocalSocket>& socket, bool done)
    {
        if (!socket || socket->state() != QLocalSocket::ConnectedState)
            return;
        const char byte = done ? 1 : 0;
        if (socket->bytesToWrite() == 0) {
            const ssize_t n = ::send(static_cast<int>(socket->socketDescriptor()), &byte, 1,
                                     MSG_NOSIGNAL | MSG_DONTWAIT);
            if (n == 1)
                return;
            if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
                socket->abort();
                return;
            }
        }
        socket->write(&byte, 1);
        socket->flush();
    }

    void shutDown()
    {
        const auto it = Endpoints().find(path_);
        if (it != Endpoints().end() && it->second == this)
            Endpoints().erase(it);
        closing_ = true;
        server_.close();
        for (auto& [socket, buffer] : buffers_) {
            socket->disconnect(this);
            socket->abort();
        }
        buffers_.clear();
        queue_.clear();
        if (!running_)
            delete this;
    }

    QString path_;
    QLocalServer server_;
    std::map<QLocalSocket*, QByteArray> buffers_;
    std::deque<Pending> queue_;
    std::vector<DdeServerConv*> convs_;
    bool scheduled_ = false;
    bool running_ = false;
    bool closing_ = false;
};

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
    QLocalSocket probe;
    probe.connectToServer(path);
    if (probe.waitForConnected(1000)) {
        probe.abort();
        return SocketFile::Live;
    }
    return SocketFile::Stale;
}

}  // namespace

DdeServerConv::DdeServerConv(std::string service, std::string topic, QObject* parent)
    : QObject(parent),
      service_(std::move(service)),
      topic_(std::move(topic)),
      socketPath_(DdeSocketPath(service_, topic_))
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
