#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <algorithm>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/qt/dde_client_conv.h"
#include "platform/qt/dde_server_conv.h"
#include "platform/qt/dde_socket_path.h"
#include "tests/support/dde_partner.h"
#include "tests/support/qt_app.h"
#include "tests/support/scoped_env.h"
#include "tests/support/test_env.h"

using namespace std::string_literals;

namespace {

using Lines = std::vector<std::string>;

std::string Runtime()
{
    return TestHome() + "runtime";
}

// Records the lines of each string; carries out every string that has one.
struct Recorder {
    std::vector<Lines> calls;
    DdeServerConv::MacroHandler handler()
    {
        return [this](const Lines& lines) {
            calls.push_back(lines);
            return !lines.empty();
        };
    }
};

// A plain client that collects the answer bytes while events run.
class RawClient {
public:
    explicit RawClient(const QString& path)
    {
        QObject::connect(&socket_, &QLocalSocket::readyRead, [this] { answers_ += socket_.readAll(); });
        socket_.connectToServer(path);
        connected_ = socket_.waitForConnected(2000);
    }
    bool connected() const { return connected_; }
    void send(const std::string& bytes)
    {
        socket_.write(bytes.data(), static_cast<qint64>(bytes.size()));
        socket_.flush();
    }
    std::string answers() const { return Hex(answers_.toStdString()); }
    bool waitForAnswers(int count, int ms = 5000)
    {
        return SpinUntil([&] { return answers_.size() >= count; }, ms);
    }
    bool waitForDisconnect(int ms = 5000)
    {
        return SpinUntil([&] { return socket_.state() == QLocalSocket::UnconnectedState; }, ms);
    }
    QLocalSocket& socket() { return socket_; }

private:
    QLocalSocket socket_;
    QByteArray answers_;
    bool connected_ = false;
};

class DdeTransport : public testing::Test {
protected:
    void SetUp() override { EnsureQtApplication(); }
    // Lets pending deletions and events of the previous case run out.
    void TearDown() override { SpinFor(5); }
};

// Leaves a socket file behind whose listener is gone, as "kill -9" does.
void MakeStaleSocket(const QString& path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un addr = {};
    addr.sun_family = AF_UNIX;
    const QByteArray native = path.toLocal8Bit();
    std::strncpy(addr.sun_path, native.constData(), sizeof addr.sun_path - 1);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ASSERT_EQ(::listen(fd, 1), 0);
    ::close(fd);
    ASSERT_TRUE(QFileInfo::exists(path));
}

}  // namespace

TEST_F(DdeTransport, SocketNameUpperCasesServiceAndTopic)
{
    EXPECT_EQ(DdeSocketPath("Derodi", "DdeServer1").toStdString(), Runtime() + "/dde-DERODI-DDESERVER1");
    EXPECT_EQ(DdeSocketPath("Zorit", "DdeServer1").toStdString(), Runtime() + "/dde-ZORIT-DDESERVER1");
    // Only ASCII letters change case; a "/" cannot lead into another folder.
    EXPECT_EQ(DdeSocketPath("Z\xC3\xB6rit", "a/b").toStdString(), Runtime() + "/dde-Z\xC3\xB6RIT-A_B");
}

TEST_F(DdeTransport, WithoutRuntimeFolderTheSocketsAreTheUsersAlone)
{
    // Another user who could bind the name first in the shared temporary
    // folder would receive the partners' commands.
    const std::string shared = TestHome() + "shared";
    QDir().mkpath(QString::fromStdString(shared));
    ::chmod(shared.c_str(), 01777);
    const std::string folder = shared + "/vasp-" + std::to_string(::geteuid());
    const QString socket = QString::fromStdString(folder + "/dde-DERODI-DDESERVER1");
    ScopedEnv noRuntime("XDG_RUNTIME_DIR", nullptr);
    ScopedEnv tmp("TMPDIR", shared.c_str());
    {
        DdeServerConv server("Derodi", "DdeServer1");
        EXPECT_EQ(server.socketPath(), socket);
        ASSERT_EQ(server.listen(), DdeServerConv::ListenResult::Listening) << server.errorText();
        struct stat st;
        ASSERT_EQ(::lstat(folder.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0700u);
        DdeClientConv client;
        EXPECT_TRUE(client.SetLink("Derodi", "DdeServer1"));
    }
    {
        // A folder others may enter: whoever listens in it is not trusted,
        // and nobody of ours listens there.
        ::chmod(folder.c_str(), 0777);
        QLocalServer other;
        ASSERT_TRUE(other.listen(socket));
        DdeClientConv client;
        EXPECT_FALSE(client.SetLink("Derodi", "DdeServer1"));
        EXPECT_EQ(client.errorText(), folder + " is open to other users");
        SpinFor(20);
        EXPECT_FALSE(other.hasPendingConnections());
        other.close();
        DdeServerConv server("Derodi", "DdeServer1");
        EXPECT_EQ(server.listen(), DdeServerConv::ListenResult::Failed);
        EXPECT_NE(server.errorText().find("is open to other users"), std::string::npos) << server.errorText();
    }
}

TEST_F(DdeTransport, MacroLinesSplitAtLineEnds)
{
    using S = DdeServerConv;
    EXPECT_EQ(S::SplitMacroLines(""), Lines{});
    EXPECT_EQ(S::SplitMacroLines("SIZEMAX"), Lines{"SIZEMAX"});
    EXPECT_EQ(S::SplitMacroLines("A\r\nB"), (Lines{"A", "B"}));
    EXPECT_EQ(S::SplitMacroLines("A\nB\n"), (Lines{"A", "B"}));
    EXPECT_EQ(S::SplitMacroLines("\r\nB"), (Lines{"", "B"}));
    EXPECT_EQ(S::SplitMacroLines("A\r\n\r\n"), (Lines{"A", ""}));
    // A lone CR is no line end.
    EXPECT_EQ(S::SplitMacroLines("A\rB"), Lines{"A\rB"});
}

TEST_F(DdeTransport, StringsRunInOrderAndEachIsAnswered)
{
    DdeServerConv server("Derodi", "DdeServer1");
    Recorder rec;
    server.setMacroHandler(rec.handler());
    ASSERT_EQ(server.listen(), DdeServerConv::ListenResult::Listening);
    EXPECT_TRUE(server.isServing());

    RawClient client(server.socketPath());
    ASSERT_TRUE(client.connected());
    client.send("ONE\0TWO\0THREE\0"s);
    ASSERT_TRUE(client.waitForAnswers(3));
    EXPECT_EQ(client.answers(), "010101");
    EXPECT_EQ(rec.calls, (std::vector<Lines>{{"ONE"}, {"TWO"}, {"THREE"}}));

    // The same connection goes on carrying strings; a string of two lines
    // reaches the handler whole, the empty one has no line and gets 0.
    client.send("A\r\nB\0\0"s);
    ASSERT_TRUE(client.waitForAnswers(5));
    EXPECT_EQ(client.answers(), "0101010100");
    ASSERT_EQ(rec.calls.size(), 5u);
    EXPECT_EQ(rec.calls[3], (Lines{"A", "B"}));
    EXPECT_EQ(rec.calls[4], Lines{});
}

TEST_F(DdeTransport, PeerThatStopsSendingStillGetsItsAnswers)
{
    // As "printf 'ONE\0TWO\0' | socat - UNIX-CONNECT:..." does: send, shut
    // the sending side, then read the answers until the server closes.
    DdeServerConv server("Derodi", "DdeServer1");
    Recorder rec;
    server.setMacroHandler(rec.handler());
    ASSERT_EQ(server.listen(), DdeServerConv::ListenResult::Listening);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un addr = {};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, server.socketPath().toLocal8Bit().constData(), sizeof addr.sun_path - 1);
    ASSERT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    const std::string bytes = "ONE\0TWO\0PART"s;
    ASSERT_EQ(::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL), static_cast<ssize_t>(bytes.size()));
    ASSERT_EQ(::shutdown(fd, SHUT_WR), 0);
    std::string answers;
    bool closed = false;
    ASSERT_TRUE(SpinUntil([&] {
        char buf[16];
        const ssize_t n = ::recv(fd, buf, sizeof buf, MSG_DONTWAIT);
        if (n > 0)
            answers.append(buf, static_cast<std::size_t>(n));
        closed = n == 0;
        return closed;
    }));
    ::close(fd);
    EXPECT_EQ(Hex(answers), "0101");
    EXPECT_EQ(rec.calls, (std::vector<Lines>{{"ONE"}, {"TWO"}}));
}

TEST_F(DdeTransport, StringsArriveInWindows1252)
{
    DdeServerConv server("Derodi", "DdeServer1");
    Recorder rec;
    server.setMacroHandler(rec.handler());
    ASSERT_EQ(server.listen(), DdeServerConv::ListenResult::Listening);
    RawClient client(server.socketPath());
    client.send("NAME C:\\M\xFCller\\X.SMA\0"s);
    ASSERT_TRUE(client.waitForAnswers(1));
    ASSERT_EQ(rec.calls.size(), 1u);
    EXPECT_EQ(rec.calls[0], Lines{"NAME C:\\M\xC3\xBCller\\X.SMA"});
}

TEST_F(DdeTransport, OversizedFrameDropsItsConnectionOnly)
{
    DdeServerConv server("Derodi", "DdeServer1");
    Recorder rec;
    server.setMacroHandler(rec.handler());
    ASSERT_EQ(server.listen(), DdeServerConv::ListenResult::Listening);

    RawClient flood(server.socketPath());
    flood.send(std::string(70000, 'A'));
    EXPECT_TRUE(flood.waitForDisconnect());
    EXPECT_TRUE(rec.calls.empty());
    EXPECT_EQ(flood.answers(), "");

    // One byte over the limit with its NUL is dropped the same way, and a
    // good string before it on the same connection still runs.
    RawClient over(server.socketPath());
    over.send("OK\0"s + std::string(DdeServerConv::MaxFrameBytes + 1, 'B') + std::string(1, '\0'));
    EXPECT_TRUE(over.waitForDisconnect());
    SpinFor(20);
    EXPECT_EQ(rec.calls, std::vector<Lines>{{"OK"}});

    // Exactly at the limit is fine, and the server goes on serving.
    RawClient next(server.socketPath());
    next.send(std::string(DdeServerConv::MaxFrameBytes, 'C') + std::string(1, '\0'));
    ASSERT_TRUE(next.waitForAnswers(1));
    EXPECT_EQ(next.answers(), "01");
    ASSERT_EQ(rec.calls.size(), 2u);
    EXPECT_EQ(rec.calls[1][0].size(), DdeServerConv::MaxFrameBytes);
}

TEST_F(DdeTransport, FrameCutOffByTheConnectionIsDropped)
{
    DdeServerConv server("Derodi", "DdeServer1");
    Recorder rec;
    server.setMacroHandler(rec.handler());
    ASSERT_EQ(server.listen(), DdeServerConv::ListenResult::Listening);
    {
        RawClient client(server.socketPath());
        client.send("DONE\0PART"s);
        client.socket().disconnectFromServer();
    }
    ASSERT_TRUE(SpinUntil([&] { return !rec.calls.empty(); }));
    SpinFor(30);
    EXPECT_EQ(rec.calls, std::vector<Lines>{{"DONE"}});
}

TEST_F(DdeTransport, VanishedPeerDoesNotHarmTheServer)
{
    // With the default action a write to a closed socket would end the process.
    struct sigaction saved, dflt = {};
    dflt.sa_handler = SIG_DFL;
    ::sigaction(SIGPIPE, &dflt, &saved);

    DdeServerConv server("Derodi", "DdeServer1");
    std::unique_ptr<RawClient> client;
    int handled = 0;
    server.setMacroHandler([&](const Lines&) {
        // The peer goes while its string runs: the answer meets a closed socket.
        if (client)
            client->socket().abort();
        ++handled;
        return true;
    });
    ASSERT_EQ(server.listen(), DdeServerConv::ListenResult::Listening);
    client = std::make_unique<RawClient>(server.socketPath());
    client->send("X\0"s);
    ASSERT_TRUE(SpinUntil([&] { return handled == 1; }));
    SpinFor(30);

    // A client that sends and closes at once.
    {
        RawClient gone(server.socketPath());
        gone.send("Y\0"s);
    }
    ASSERT_TRUE(SpinUntil([&] { return handled == 2; }));
    client.reset();

    RawClient next(server.socketPath());
    next.send("Z\0"s);
    ASSERT_TRUE(next.waitForAnswers(1));
    EXPECT_EQ(next.answers(), "01");
    ::sigaction(SIGPIPE, &saved, nullptr);
}

namespace {

// A connected client socket that sends nothing (-1 when none could be made).
int IdleClient(const QString& path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    sockaddr_un addr = {};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, path.toLocal8Bit().constData(), sizeof addr.sun_path - 1);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Lowers the process's descriptor limit for the lifetime of the object.
class LowDescriptorLimit {
public:
    explicit LowDescriptorLimit(rlim_t limit)
    {
        ::getrlimit(RLIMIT_NOFILE, &saved_);
        rlimit low = saved_;
        low.rlim_cur = std::min(limit, saved_.rlim_cur);
        ::setrlimit(RLIMIT_NOFILE, &low);
    }
    ~LowDescriptorLimit() { ::setrlimit(RLIMIT_NOFILE, &saved_); }

private:
    rlimit saved_;
};

// A client of our own that sends its string and collects the answer while
// events run; the socket is made before it connects.
class PlainClient {
public:
    PlainClient() : fd_(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0)) {}
    ~PlainClient()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    bool made() const { return fd_ >= 0; }
    // Connects, sends the bytes and waits for one answer byte per string;
    // "" when the connection was refused or closed before.
    std::string exchange(const QString& path, const std::string& bytes, int strings)
    {
        sockaddr_un addr = {};
        addr.sun_family = AF_UNIX;
        std::strncpy(addr.sun_path, path.toLocal8Bit().constData(), sizeof addr.sun_path - 1);
        if (!connected_ && ::connect(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0)
            return "";
        connected_ = true;
        if (::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(bytes.size()))
            return "";
        std::string answers;
        SpinUntil([&] {
            char buf[16];
            const ssize_t n = ::recv(fd_, buf, sizeof buf, MSG_DONTWAIT);
            if (n > 0)
                answers.append(buf, static_cast<std::size_t>(n));
            return n == 0 || (n < 0 && errno != EAGAIN) || answers.size() >= static_cast<std::size_t>(strings);
        });
        return Hex(answers);
    }

private:
    int fd_;
    bool connected_ = false;
};

}  // namespace

TEST_F(DdeTransport, IdleConnectionsAreClosed)
{
    DdeServerConv server("Derodi", "DdeServer1");
    server.setIdleTimeout(150);
    Recorder rec;
    server.setMacroHandler(rec.handler());
    ASSERT_EQ(server.listen(), DdeServerConv::ListenResult::Listening);

    // A partner keeps its link between strings, however long it is quiet.
    RawClient partner(server.socketPath());
    partner.send("ONE\0"s);
    ASSERT_TRUE(partner.waitForAnswers(1));

    RawClient silent(server.socketPath());
    RawClient halfway(server.socketPath());
    halfway.send("SIZE"s);
    // A string begun after whole ones must be finished in time too.
    RawClient stalled(server.socketPath());
    stalled.send("TWO\0"s);
    ASSERT_TRUE(stalled.waitForAnswers(1));
    stalled.send("THR"s);
    for (RawClient* client : {&silent, &halfway, &stalled}) {
        ASSERT_TRUE(client->connected());
        EXPECT_TRUE(client->waitForDisconnect());
    }
    EXPECT_EQ(partner.socket().state(), QLocalSocket::ConnectedState);
    partner.send("FOUR\0"s);
    ASSERT_TRUE(partner.waitForAnswers(2));
    EXPECT_EQ(partner.answers(), "0101");
    EXPECT_EQ(rec.calls, (std::vector<Lines>{{"ONE"}, {"TWO"}, {"FOUR"}}));

    // A string that runs longer than the timeout does not count as idle
    // time, before or after its answer.
    server.setMacroHandler([&](const Lines& lines) {
        SpinFor(400);
        return !lines.empty();
    });
    RawClient slow(server.socketPath());
    slow.send("LONG\0"s);
    ASSERT_TRUE(slow.waitForAnswers(1));
    slow.send("NEXT\0"s);
    ASSERT_TRUE(slow.waitForAnswers(2));
    EXPECT_EQ(slow.answers(), "0101");
}

TEST_F(DdeTransport, IdleClientsCannotLockThePartnersOut)
{
    // Clients that only hold connections, far more than the server takes:
    // at its own limit, and with the process out of descriptors. The idle
    // timeout is long, so that only making room can serve the partners.
    enum class Shortage { OwnLimit, Descriptors };
    for (const Shortage shortage : {Shortage::OwnLimit, Shortage::Descriptors}) {
        SCOPED_TRACE(shortage == Shortage::OwnLimit ? "own limit" : "descriptors");
        DdeServerConv server("Derodi", "DdeServer1");
        server.setIdleTimeout(60000);
        Recorder rec;
        server.setMacroHandler(rec.handler());
        QStringList failures;
        QObject::connect(&server, &DdeServerConv::acceptFailed, [&](const QString& what) { failures << what; });
        ASSERT_EQ(server.listen(), DdeServerConv::ListenResult::Listening);
        // A partner that keeps its link goes only after every idle one.
        PlainClient partner;
        ASSERT_EQ(partner.exchange(server.socketPath(), "P\0"s, 1), "01");

        std::vector<int> held;
        PlainClient next;
        ASSERT_TRUE(next.made());
        std::unique_ptr<LowDescriptorLimit> limit;
        int idle = 200;
        if (shortage == Shortage::OwnLimit) {
            server.setConnectionLimit(16);
        } else {
            const int probe = ::dup(0);
            ASSERT_GE(probe, 0);
            ::close(probe);
            limit = std::make_unique<LowDescriptorLimit>(static_cast<rlim_t>(probe) + 64);
            idle = 40;
        }
        for (int i = 0; i < idle; ++i) {
            const int fd = IdleClient(server.socketPath());
            if (fd >= 0)
                held.push_back(fd);
            if (i % 4 == 0)
                SpinFor(1);
        }
        // Every descriptor left is taken, those the server frees included.
        if (shortage == Shortage::Descriptors)
            for (int fd; (fd = ::dup(0)) >= 0;)
                held.push_back(fd);
        SpinFor(50);
        EXPECT_EQ(next.exchange(server.socketPath(), "X\0"s, 1), "01");
        EXPECT_EQ(partner.exchange(server.socketPath(), "Q\0"s, 1), "01");
        for (int fd : held)
            ::close(fd);
        limit.reset();
        EXPECT_EQ(rec.calls, (std::vector<Lines>{{"P"}, {"X"}, {"Q"}}));
        // Told, but not once for every client that needed room.
        EXPECT_FALSE(failures.isEmpty());
        EXPECT_LT(failures.size(), 5) << failures.join("\n").toStdString();
        EXPECT_TRUE(server.isServing());
    }
}

TEST_F(DdeTransport, StaleSocketIsReplaced)
{
    const QString path = DdeSocketPath("Derodi", "DdeServer1");
    MakeStaleSocket(path);
    DdeServerConv server("Derodi", "DdeServer1");
    Recorder rec;
    server.setMacroHandler(rec.handler());
    ASSERT_EQ(server.listen(), DdeServerConv::ListenResult::Listening) << server.errorText();
    RawClient client(path);
    client.send("SIZEMAX\0"s);
    ASSERT_TRUE(client.waitForAnswers(1));
    EXPECT_EQ(client.answers(), "01");
}

TEST_F(DdeTransport, LiveSocketIsNeverStolen)
{
    const QString path = DdeSocketPath("Derodi", "DdeServer1");
    QLocalServer other;  // a server that is not ours
    ASSERT_TRUE(other.listen(path));
    DdeServerConv server("Derodi", "DdeServer1");
    EXPECT_EQ(server.listen(), DdeServerConv::ListenResult::LiveServer);
    EXPECT_FALSE(server.isServing());
    EXPECT_NE(server.errorText().find("dde-DERODI-DDESERVER1"), std::string::npos);
    ASSERT_TRUE(SpinUntil([&] { return other.hasPendingConnections(); }));
    delete other.nextPendingConnection();  // the probe of the live server

    // The other server still gets the next client.
    RawClient client(path);
    ASSERT_TRUE(client.connected());
    EXPECT_TRUE(SpinUntil([&] { return other.hasPendingConnections(); }));
}

TEST_F(DdeTransport, BusyServerCountsAsLive)
{
    // A server that does not accept for a while: once its backlog is full a
    // connect is turned away, which must not pass for a stale socket.
    const QString path = DdeSocketPath("Derodi", "DdeServer1");
    const int server = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(server, 0);
    sockaddr_un addr = {};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, path.toLocal8Bit().constData(), sizeof addr.sun_path - 1);
    ASSERT_EQ(::bind(server, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ASSERT_EQ(::listen(server, 0), 0);
    std::vector<int> waiting;
    for (int i = 0; i < 64; ++i) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0);
        const int rc = ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        waiting.push_back(fd);
        if (rc != 0)
            break;
    }
    DdeServerConv conv("Derodi", "DdeServer1");
    EXPECT_EQ(conv.listen(), DdeServerConv::ListenResult::LiveServer);
    EXPECT_TRUE(QFileInfo::exists(path));
    for (int fd : waiting)
        ::close(fd);
    ::close(server);
}

TEST_F(DdeTransport, SomethingElseInTheWayIsLeftAlone)
{
    const QString path = DdeSocketPath("Derodi", "DdeServer1");
    WriteTestFile(path.toStdString(), "data");
    DdeServerConv server("Derodi", "DdeServer1");
    EXPECT_EQ(server.listen(), DdeServerConv::ListenResult::Failed);
    EXPECT_EQ(ReadTestFile(path.toStdString()), "data");
}

TEST_F(DdeTransport, OnlyTheUserMayConnect)
{
    DdeServerConv server("Derodi", "DdeServer1");
    ASSERT_EQ(server.listen(), DdeServerConv::ListenResult::Listening);
    struct stat st;
    ASSERT_EQ(::lstat(server.socketPath().toLocal8Bit().constData(), &st), 0);
    EXPECT_TRUE(S_ISSOCK(st.st_mode));
    EXPECT_EQ(st.st_mode & 077, 0u);
}

TEST_F(DdeTransport, SecondConversationInTheProcessTakesOver)
{
    auto first = std::make_unique<DdeServerConv>("Derodi", "DdeServer1");
    Recorder one, two;
    first->setMacroHandler(one.handler());
    ASSERT_EQ(first->listen(), DdeServerConv::ListenResult::Listening);
    RawClient early(first->socketPath());
    ASSERT_TRUE(early.connected());

    auto second = std::make_unique<DdeServerConv>("DERODI", "ddeserver1");
    second->setMacroHandler(two.handler());
    ASSERT_EQ(second->listen(), DdeServerConv::ListenResult::TakenOver);
    EXPECT_FALSE(first->isServing());
    EXPECT_TRUE(second->isServing());

    // Connections made before the takeover are served by the new handler too.
    RawClient late(first->socketPath());
    early.send("E\0"s);
    late.send("L\0"s);
    ASSERT_TRUE(early.waitForAnswers(1));
    ASSERT_TRUE(late.waitForAnswers(1));
    EXPECT_TRUE(one.calls.empty());
    EXPECT_EQ(two.calls.size(), 2u);

    // When the later one goes, the earlier one serves again.
    second.reset();
    EXPECT_TRUE(first->isServing());
    late.send("M\0"s);
    ASSERT_TRUE(late.waitForAnswers(2));
    EXPECT_EQ(one.calls, std::vector<Lines>{{"M"}});

    const QString path = first->socketPath();
    first.reset();
    EXPECT_FALSE(QFileInfo::exists(path));
}

TEST_F(DdeTransport, StringsWaitForTheRunningHandler)
{
    DdeServerConv server("Derodi", "DdeServer1");
    std::vector<std::string> trace;
    std::unique_ptr<RawClient> client;
    server.setMacroHandler([&](const Lines& lines) {
        trace.push_back("begin " + lines[0]);
        if (lines[0] == "ONE") {
            // A long job that processes events until the next string is in.
            client->send("TWO\0"s);
            EXPECT_TRUE(SpinUntil([&] { return server.pendingCommands() == 1; }));
            SpinFor(30);
        }
        trace.push_back("end " + lines[0]);
        // The answers tell the two strings apart.
        return lines[0] == "ONE";
    });
    ASSERT_EQ(server.listen(), DdeServerConv::ListenResult::Listening);
    client = std::make_unique<RawClient>(server.socketPath());
    client->send("ONE\0"s);
    ASSERT_TRUE(client->waitForAnswers(2));
    EXPECT_EQ(trace, (std::vector<std::string>{"begin ONE", "end ONE", "begin TWO", "end TWO"}));
    EXPECT_EQ(client->answers(), "0100");
}

TEST_F(DdeTransport, HeldStringsWaitForTheRelease)
{
    DdeServerConv server("Derodi", "DdeServer1");
    Recorder rec;
    server.setMacroHandler(rec.handler());
    ASSERT_EQ(server.listen(), DdeServerConv::ListenResult::Listening);
    server.setCommandsHeld(true);
    RawClient client(server.socketPath());
    client.send("A\0B\0"s);
    ASSERT_TRUE(SpinUntil([&] { return server.pendingCommands() == 2; }));
    SpinFor(30);
    EXPECT_TRUE(rec.calls.empty());
    EXPECT_EQ(client.answers(), "");

    server.setCommandsHeld(false);
    ASSERT_TRUE(client.waitForAnswers(2));
    EXPECT_EQ(rec.calls, (std::vector<Lines>{{"A"}, {"B"}}));
    EXPECT_EQ(server.pendingCommands(), 0u);
}

TEST_F(DdeTransport, FailingHandlerAnswersZeroAndServesOn)
{
    DdeServerConv server("Derodi", "DdeServer1");
    QStringList failures;
    QObject::connect(&server, &DdeServerConv::macroFailed, [&](const QString& what) { failures << what; });
    server.setMacroHandler([](const Lines& lines) {
        if (lines[0] == "BAD")
            throw std::runtime_error("kaputt");
        if (lines[0] == "WORSE")
            throw 42;
        return true;
    });
    ASSERT_EQ(server.listen(), DdeServerConv::ListenResult::Listening);
    RawClient client(server.socketPath());
    client.send("BAD\0WORSE\0GOOD\0"s);
    ASSERT_TRUE(client.waitForAnswers(3));
    EXPECT_EQ(client.answers(), "000001");
    EXPECT_EQ(failures, (QStringList{"kaputt", "unknown exception"}));
}

TEST_F(DdeTransport, NoHandlerAnswersZero)
{
    DdeServerConv server("Derodi", "DdeServer1");
    ASSERT_EQ(server.listen(), DdeServerConv::ListenResult::Listening);
    RawClient client(server.socketPath());
    client.send("X\0"s);
    ASSERT_TRUE(client.waitForAnswers(1));
    EXPECT_EQ(client.answers(), "00");
}

TEST_F(DdeTransport, HandlerMayEndItsOwnConversation)
{
    auto server = std::make_unique<DdeServerConv>("Derodi", "DdeServer1");
    int handled = 0;
    server->setMacroHandler([&](const Lines&) {
        ++handled;
        server.reset();  // a command that closes the program
        return true;
    });
    ASSERT_EQ(server->listen(), DdeServerConv::ListenResult::Listening);
    const QString path = server->socketPath();
    RawClient client(path);
    client.send("CLOSE\0MORE\0"s);
    EXPECT_TRUE(client.waitForDisconnect());
    SpinFor(20);
    EXPECT_EQ(handled, 1);
    EXPECT_FALSE(QFileInfo::exists(path));
}

// The client side, against a partner in another process.

TEST_F(DdeTransport, ClientSendsEveryStringOnOneConnection)
{
    DdePartner partner(DdeSocketPath("Derodi", "DdeServer1"));
    ASSERT_TRUE(partner.ready());
    DdeClientConv client;
    ASSERT_TRUE(client.SetLink("Derodi", "DdeServer1"));
    EXPECT_EQ(client.ddeService(), "Derodi");
    EXPECT_EQ(client.ddeTopic(), "DdeServer1");
    EXPECT_TRUE(client.isLinked());
    EXPECT_TRUE(client.ExecuteMacro("CARRIAGEAMOUNT 17", false));
    EXPECT_TRUE(client.ExecuteMacro("NAME C:\\M\xC3\xBCller", false));
    // A NUL would end the string early on the wire: the rest is not sent.
    EXPECT_TRUE(client.ExecuteMacro("EXPORT FERTIG\0tail"s, false));
    client.CloseLink();
    EXPECT_EQ(client.ddeService(), "");
    EXPECT_FALSE(client.isLinked());

    const std::string expected = "CARRIAGEAMOUNT 17\0NAME C:\\M\xFCller\0EXPORT FERTIG\0"s;
    ASSERT_TRUE(partner.waitForLine("EOF 1 " + Hex(expected)));
    const auto log = partner.log();
    EXPECT_EQ(log.front(), "ACCEPT 1");
    EXPECT_EQ(std::count_if(log.begin(), log.end(), [](const std::string& l) { return l.rfind("ACCEPT", 0) == 0; }), 1);
}

TEST_F(DdeTransport, ClientWaitsForTheAnswer)
{
    {
        DdePartner yes(DdeSocketPath("Yes", "DdeServer1"), "1");
        ASSERT_TRUE(yes.ready());
        DdeClientConv client;
        ASSERT_TRUE(client.SetLink("Yes", "DdeServer1"));
        // Answers of strings sent without wait are skipped before the own one.
        EXPECT_TRUE(client.ExecuteMacro("A", false));
        EXPECT_TRUE(client.ExecuteMacro("B", false));
        EXPECT_TRUE(client.ExecuteMacro("C", true));
        EXPECT_TRUE(client.ExecuteMacro("D", true));
    }
    {
        DdePartner no(DdeSocketPath("No", "DdeServer1"), "0");
        ASSERT_TRUE(no.ready());
        DdeClientConv client;
        ASSERT_TRUE(client.SetLink("No", "DdeServer1"));
        EXPECT_TRUE(client.ExecuteMacro("A", false)) << "sent, the answer is not asked for";
        EXPECT_FALSE(client.ExecuteMacro("B", true));
        EXPECT_FALSE(client.errorText().empty());
    }
    {
        DdePartner rude(DdeSocketPath("Rude", "DdeServer1"), "close");
        ASSERT_TRUE(rude.ready());
        DdeClientConv client;
        ASSERT_TRUE(client.SetLink("Rude", "DdeServer1"));
        QElapsedTimer timer;
        timer.start();
        EXPECT_FALSE(client.ExecuteMacro("A", true));
        EXPECT_LT(timer.elapsed(), 5000) << "a closed conversation ends the wait at once";
        EXPECT_FALSE(client.isLinked());
        EXPECT_FALSE(client.ExecuteMacro("B", false));
    }
    {
        DdePartner mute(DdeSocketPath("Mute", "DdeServer1"), "none");
        ASSERT_TRUE(mute.ready());
        DdeClientConv client;
        client.setWaitTimeout(200);
        ASSERT_TRUE(client.SetLink("Mute", "DdeServer1"));
        EXPECT_FALSE(client.ExecuteMacro("A", true));
        EXPECT_EQ(client.errorText(), "no answer in time");
    }
}

TEST_F(DdeTransport, ClientFindsNobody)
{
    DdeClientConv client;
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(client.SetLink("Derodi", "DdeServer1"));
    MakeStaleSocket(DdeSocketPath("Derodi", "DdeServer1"));
    EXPECT_FALSE(client.SetLink("Derodi", "DdeServer1"));
    EXPECT_LT(timer.elapsed(), 2000);
    EXPECT_FALSE(client.isLinked());
    EXPECT_EQ(client.ddeService(), "");
    EXPECT_FALSE(client.ExecuteMacro("X", false));
}

TEST_F(DdeTransport, ClientNoticesThePartnerLeaving)
{
    auto partner = std::make_unique<DdePartner>(DdeSocketPath("Derodi", "DdeServer1"));
    ASSERT_TRUE(partner->ready());
    DdeClientConv client;
    ASSERT_TRUE(client.SetLink("Derodi", "DdeServer1"));
    ASSERT_TRUE(client.ExecuteMacro("X", true));
    partner.reset();
    ASSERT_TRUE(SpinUntil([&] { return !client.isLinked(); }));
}

TEST_F(DdeTransport, OverlongStringIsNotSent)
{
    DdePartner partner(DdeSocketPath("Derodi", "DdeServer1"));
    ASSERT_TRUE(partner.ready());
    DdeClientConv client;
    ASSERT_TRUE(client.SetLink("Derodi", "DdeServer1"));
    EXPECT_FALSE(client.ExecuteMacro(std::string(DdeServerConv::MaxFrameBytes + 1, 'A'), false));
    // The link survives for the next string.
    EXPECT_TRUE(client.ExecuteMacro("OK", true));
}

TEST_F(DdeTransport, ClientAndServerTalk)
{
    // Both ends of this program's own transport, without wait (the server
    // runs on this thread's events).
    DdeServerConv server("Zorit", "DdeServer1");
    Recorder rec;
    server.setMacroHandler(rec.handler());
    ASSERT_EQ(server.listen(), DdeServerConv::ListenResult::Listening);
    DdeClientConv client;
    ASSERT_TRUE(client.SetLink("zorit", "DDESERVER1"));
    EXPECT_TRUE(client.ExecuteMacro("LOADPATTERN C:\\M\xC3\xBCller.3FF", false));
    ASSERT_TRUE(SpinUntil([&] { return rec.calls.size() == 1; }));
    EXPECT_EQ(rec.calls[0], Lines{"LOADPATTERN C:\\M\xC3\xBCller.3FF"});
}
