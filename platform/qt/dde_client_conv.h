#pragma once
// The client side of a DDE conversation: links to the server of (service,
// topic) on its local socket and sends execute strings, each as its
// Windows-1252 bytes and one NUL. The server answers every string with one
// byte, 1 when it carried the string out.
#include <QObject>
#include <QString>
#include <string>

class QLocalSocket;

class DdeClientConv : public QObject {
    Q_OBJECT
public:
    static constexpr int DefaultWaitMs = 60000;

    explicit DdeClientConv(QObject* parent = nullptr);
    ~DdeClientConv() override;

    // Opens the conversation; false when nobody serves it. An open link is
    // closed first.
    bool SetLink(const std::string& service, const std::string& topic);
    // True while the link is open; notices a server that went away.
    bool isLinked();
    const std::string& ddeService() const { return service_; }
    const std::string& ddeTopic() const { return topic_; }

    // Sends one string (UTF-8; cut at a NUL). Without wait the bytes are
    // written and flushed, and the answer is read and thrown away when it
    // comes. With wait the call blocks, without processing events, until the
    // answer arrives or the wait time is over. True when the string was sent,
    // and with wait only when the server answered 1.
    bool ExecuteMacro(const std::string& macro, bool wait);

    // Writes out what is still pending (for a bounded time), then
    // disconnects.
    void CloseLink();

    void setWaitTimeout(int ms) { waitMs_ = ms; }
    const std::string& errorText() const { return error_; }

private:
    void discardAnswers();
    bool writeFrame(const QByteArray& frame, int waitMs);

    QLocalSocket* socket_;
    std::string service_;
    std::string topic_;
    // Answers still due for strings sent without wait.
    qint64 unanswered_ = 0;
    bool waiting_ = false;
    int waitMs_ = DefaultWaitMs;
    std::string error_;
};

// The client item of a conversation: the item name a link asks for, kept as
// a field only, since items never travel on the wire.
struct DdeClientItemComponent {
    DdeClientConv* DdeConv = nullptr;
    std::string DdeItem;
};
