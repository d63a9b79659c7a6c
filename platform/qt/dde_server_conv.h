#pragma once
// The server side of a DDE conversation (service, topic) on a local socket
// (see DdeSocketPath). A client sends execute strings, each as its
// Windows-1252 bytes and one NUL; the server splits each string into lines
// at CR LF or LF, hands the lines to its handler on the GUI thread and
// answers one byte: 1 when the handler carried the string out, 0 when not.
//
// Strings run one at a time, in the order they arrive over all connections.
// One that arrives while a handler runs (a long job that processes events)
// waits until the handler returns. A frame over MaxFrameBytes, or one cut off
// by a broken connection, is dropped with its connection.
//
// A connection stays open between strings as long as its client likes once
// it has sent a whole string. One that has not sent a whole string within
// the idle timeout of being opened, or that has begun a string and not
// finished it within that time, is closed: a client that only holds
// connections would otherwise use up the process's descriptors. When the
// connections reach their limit (half the process's descriptors, at most
// MaxConnections) or the process has no descriptor left, the longest idle
// connection, else the one longest quiet between strings, is closed to make
// room for the next client; a connection whose string waits or runs, or
// whose answer is not yet out, is never closed for it.
//
// Within one process, a second conversation on the same socket takes the
// socket over: its handler serves from then on, and the earlier one serves
// again should the later one close first. Another process that serves the
// socket already is never disturbed.
#include <QObject>
#include <QString>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

class DdeEndpoint;

class DdeServerConv : public QObject {
    Q_OBJECT
public:
    // Carries out one string (lines in UTF-8); true when it was handed on.
    using MacroHandler = std::function<bool(const std::vector<std::string>& lines)>;

    enum class ListenResult {
        Listening,   // this conversation now serves the socket
        TakenOver,   // took the socket over from another one of this process
        LiveServer,  // another process serves the socket: left alone
        Failed,      // see errorText()
    };

    static constexpr std::size_t MaxFrameBytes = 65536;
    static constexpr int DefaultIdleTimeoutMs = 5000;
    static constexpr std::size_t MaxConnections = 512;

    DdeServerConv(std::string service, std::string topic, QObject* parent = nullptr);
    ~DdeServerConv() override;

    const std::string& service() const { return service_; }
    const std::string& topic() const { return topic_; }
    // The socket, as named when the conversation was created.
    const QString& socketPath() const { return socketPath_; }

    // How long a connection may be idle (see above); for tests.
    void setIdleTimeout(int ms) { idleTimeoutMs_ = ms; }
    int idleTimeout() const { return idleTimeoutMs_; }
    // The number of connections held at most; 0 for the default limit.
    void setConnectionLimit(std::size_t count) { connectionLimit_ = count; }
    std::size_t connectionLimit() const { return connectionLimit_; }

    void setMacroHandler(MacroHandler handler) { handler_ = std::move(handler); }
    // Told of a string that has to wait (a handler runs, or strings are
    // held) as it arrives, so that the program may cut the wait short; the
    // string still runs in its turn.
    using WaitWatcher = std::function<void(const std::vector<std::string>& lines)>;
    void setWaitWatcher(WaitWatcher watcher) { waitWatcher_ = std::move(watcher); }

    ListenResult listen();
    // Stops serving; the socket goes back to the conversation that served it
    // before, or is closed and removed when there is none.
    void close();
    // True while this conversation's handler serves the socket.
    bool isServing() const;
    const std::string& errorText() const { return error_; }

    // Held strings wait in the queue until the hold is released.
    void setCommandsHeld(bool held);
    bool commandsHeld() const { return held_; }
    // Strings received and not yet carried out.
    std::size_t pendingCommands() const;

    // The lines of a string: split at CR LF or LF; a line end at the very end
    // opens no further line, and the empty string has no line.
    static std::vector<std::string> SplitMacroLines(const std::string& text);

signals:
    // A handler threw; the string was answered with 0.
    void macroFailed(const QString& what);
    // A client could not be taken at once (the connections are at their
    // limit, the process is out of descriptors): an idle connection was
    // closed for it, or it was turned away; the server listens on.
    void acceptFailed(const QString& what);

private:
    friend class DdeEndpoint;
    bool runMacro(const std::vector<std::string>& lines);

    std::string service_;
    std::string topic_;
    // Set when the socket's folder must not be used; before the path, which
    // sets it.
    std::string pathError_;
    QString socketPath_;
    int idleTimeoutMs_ = DefaultIdleTimeoutMs;
    std::size_t connectionLimit_ = 0;
    MacroHandler handler_;
    WaitWatcher waitWatcher_;
    DdeEndpoint* endpoint_ = nullptr;
    bool held_ = false;
    std::string error_;
};

// The server item of a conversation. Items never travel on the wire: the
// item keeps its name for the partners that ask for it.
struct DdeServerItemComponent {
    DdeServerConv* ServerConv = nullptr;
    std::string Name;
};
