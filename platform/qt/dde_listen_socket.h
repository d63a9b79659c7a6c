#pragma once
// The listening socket of a DDE server. It takes every connection as a plain
// descriptor and keeps listening whatever an accept meets. When the owner
// holds as many connections as it allows, or the process has run out of
// descriptors, the owner is asked to make room (it closes an idle
// connection); when it cannot, a waiting client waits in the queue while
// the owner is full, and is turned away (its connection closed at once) when
// the process has no descriptor left. Each shortage is reported once.
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
    // Called with the text of an accept that failed, or that needed room.
    std::function<void(const std::string&)> onAcceptFailed;
    // True when the owner takes no further connection as things stand.
    std::function<bool()> atCapacity;
    // Closes one of the owner's connections to make room; false when none
    // may go.
    std::function<bool()> makeRoom;

    // Listens on path, open only to this user; a file in the way makes it
    // fail. False with the reason in error.
    bool listen(const QString& path, std::string& error);
    // Stops listening and removes the socket file, unless another has
    // replaced it meanwhile.
    void close();
    bool isListening() const { return fd_ >= 0; }
    // One of the owner's connections ended: accepting goes on if it waited
    // for room.
    void resume();

private:
    void acceptAll();
    // Out of descriptors (err): turns the first waiting client away with
    // the descriptor kept in reserve, and reports it; true when one was.
    bool turnAwayOne(int err);
    bool clientWaiting() const;
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
    // Room was made and reported: not again until an accept needs none.
    bool roomReported_ = false;
    // Accepting waits for one of the owner's connections to end.
    bool full_ = false;
};
