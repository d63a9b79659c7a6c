#pragma once
// The listening socket of a DDE server. It takes every connection as a plain
// descriptor and keeps listening whatever an accept meets: when the process
// has run out of descriptors, the waiting client is turned away (its
// connection closed at once), the failure is reported, and the next client
// is served once descriptors are free again.
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>

class QSocketNotifier;

class DdeListenSocket : public QObject {
public:
    explicit DdeListenSocket(QObject* parent = nullptr);
    ~DdeListenSocket() override;

    // Called with each accepted descriptor (close-on-exec, non-blocking);
    // the callee owns it.
    std::function<void(int)> onConnection;
    // Called with the text of an accept that failed.
    std::function<void(const std::string&)> onAcceptFailed;

    // Listens on path, open only to this user; a file in the way makes it
    // fail. False with the reason in error.
    bool listen(const QString& path, std::string& error);
    // Stops listening and removes the socket file, unless another has
    // replaced it meanwhile.
    void close();
    bool isListening() const { return fd_ >= 0; }

private:
    void acceptAll();
    // Out of descriptors (err): turns the first waiting client away with
    // the descriptor kept in reserve, and reports it; true when one was.
    bool turnAwayOne(int err);
    void reportFailure(int err, const char* outcome);
    void reopenReserve();

    int fd_ = -1;
    // Kept open so that a client can still be accepted, and closed, when
    // the process has no other descriptor left.
    int reserve_ = -1;
    QString path_;
    unsigned long long device_ = 0;
    unsigned long long inode_ = 0;
    std::unique_ptr<QSocketNotifier> notifier_;
    // Without a reserve, accepting pauses for a while instead of spinning.
    QTimer retry_;
    // A pause was reported: the failures until the next accept are not.
    bool quiet_ = false;
};
