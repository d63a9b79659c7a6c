#include "platform/qt/dde_client_conv.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QLocalSocket>
#include <algorithm>

#include "platform/codepage.h"
#include "platform/qt/dde_server_conv.h"
#include "platform/qt/dde_socket_path.h"

namespace {

// A local connect either succeeds or fails at once; the bound only matters
// for a server whose backlog is full.
constexpr int ConnectWaitMs = 5000;
// Closing a link waits this long for unwritten bytes.
constexpr int CloseWaitMs = 5000;

// Clears a flag when the scope ends, however it ends.
class FlagScope {
public:
    explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& flag_;
};

}  // namespace

DdeClientConv::DdeClientConv(QObject* parent) : QObject(parent), socket_(new QLocalSocket(this))
{
    connect(socket_, &QLocalSocket::readyRead, this, [this] { discardAnswers(); });
}

DdeClientConv::~DdeClientConv()
{
    CloseLink();
}

bool DdeClientConv::SetLink(const std::string& service, const std::string& topic)
{
    CloseLink();
    error_.clear();
    std::string folderError;
    const QString path = DdeSocketPath(service, topic, folderError);
    // A socket in a folder others may reach could be anybody's.
    if (!folderError.empty()) {
        error_ = folderError;
        return false;
    }
    socket_->connectToServer(path);
    if (!socket_->waitForConnected(ConnectWaitMs)) {
        error_ = socket_->errorString().toStdString();
        socket_->abort();
        return false;
    }
    service_ = service;
    topic_ = topic;
    return true;
}

bool DdeClientConv::isLinked()
{
    if (socket_->state() != QLocalSocket::ConnectedState)
        return false;
    // A server that went away shows only once its end of the socket is read.
    if (!waiting_ && socket_->bytesAvailable() == 0)
        socket_->waitForReadyRead(0);
    return socket_->state() == QLocalSocket::ConnectedState;
}

void DdeClientConv::discardAnswers()
{
    if (waiting_)
        return;
    const qint64 n = socket_->bytesAvailable();
    if (n <= 0)
        return;
    socket_->read(n);
    unanswered_ = std::max<qint64>(0, unanswered_ - n);
}

bool DdeClientConv::writeFrame(const QByteArray& frame, int waitMs)
{
    if (socket_->write(frame) != frame.size()) {
        error_ = socket_->errorString().toStdString();
        return false;
    }
    const QDeadlineTimer deadline(waitMs);
    socket_->flush();
    while (waitMs > 0 && socket_->bytesToWrite() > 0) {
        if (!socket_->waitForBytesWritten(static_cast<int>(std::max<qint64>(0, deadline.remainingTime()))))
            break;
    }
    if (socket_->state() != QLocalSocket::ConnectedState) {
        error_ = "the server closed the conversation";
        return false;
    }
    return true;
}

bool DdeClientConv::ExecuteMacro(const std::string& macro, bool wait)
{
    error_.clear();
    if (socket_->state() != QLocalSocket::ConnectedState) {
        error_ = "no conversation";
        return false;
    }
    std::string bytes = Utf8ToCp1252(macro);
    bytes.resize(std::min(bytes.size(), bytes.find('\0')));
    // The server would drop the frame and the link with it.
    if (bytes.size() > DdeServerConv::MaxFrameBytes) {
        error_ = "the command is too long";
        return false;
    }
    QByteArray frame(bytes.data(), static_cast<qsizetype>(bytes.size()));
    frame.append('\0');
    if (!wait) {
        if (!writeFrame(frame, 0))
            return false;
        ++unanswered_;
        return true;
    }

    FlagScope waiting(waiting_);
    const QDeadlineTimer deadline(waitMs_);
    if (!writeFrame(frame, waitMs_))
        return false;
    // Answers come in the order of the strings: those of earlier strings
    // sent without wait come first.
    qint64 due = unanswered_ + 1;
    char byte = 0;
    while (due > 0) {
        if (socket_->bytesAvailable() == 0) {
            const qint64 left = deadline.remainingTime();
            if (left <= 0 || !socket_->waitForReadyRead(static_cast<int>(left))) {
                unanswered_ = due;
                error_ = socket_->state() == QLocalSocket::ConnectedState
                             ? "no answer in time"
                             : "the server closed the conversation without an answer";
                return false;
            }
        }
        if (socket_->read(&byte, 1) == 1)
            --due;
    }
    unanswered_ = 0;
    if (byte != 1)
        error_ = "the server did not carry the command out";
    return byte == 1;
}

void DdeClientConv::CloseLink()
{
    if (socket_->state() == QLocalSocket::ConnectedState) {
        const QDeadlineTimer deadline(CloseWaitMs);
        while (socket_->bytesToWrite() > 0) {
            const qint64 left = deadline.remainingTime();
            if (left <= 0 || !socket_->waitForBytesWritten(static_cast<int>(left)))
                break;
        }
        socket_->disconnectFromServer();
    }
    socket_->abort();
    service_.clear();
    topic_.clear();
    unanswered_ = 0;
}
