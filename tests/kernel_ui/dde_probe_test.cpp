// dde_probe from outside, as reviewers drive it: socat and python3 on the
// other end of the socket.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/registry_ini_file.h"
#include "tests/support/dde_partner.h"
#include "tests/support/qt_app.h"
#include "tests/support/test_env.h"

namespace {

std::string Probe()
{
    return ToolsFolder() + "dde_probe";
}

std::string SocketOf(const std::string& upperName)
{
    return TestHome() + "runtime/dde-" + upperName + "-DDESERVER1";
}

// "dde_probe serve NAME" in the background, its output read line by line.
class Server {
public:
    explicit Server(const std::string& name, const QStringList& extra = {})
    {
        process_.setProgram(QString::fromStdString(Probe()));
        process_.setArguments(QStringList{QStringLiteral("--home"), QString::fromStdString(TestHome()),
                                          QStringLiteral("serve"), QString::fromStdString(name)} +
                              extra);
        process_.start();
        process_.waitForStarted(5000);
    }
    ~Server()
    {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }

    // The first line, once it is there ("READY <path>" or "ERROR ...").
    std::string firstLine(int ms = 10000)
    {
        SpinUntil([&] { return read(), !lines_.empty() || process_.state() == QProcess::NotRunning; }, ms);
        read();
        return lines_.empty() ? std::string() : lines_.front();
    }
    // The CMD lines so far, waiting until there are at least count.
    std::vector<std::string> commands(std::size_t count = 0, int ms = 5000)
    {
        std::vector<std::string> cmds;
        SpinUntil(
            [&] {
                read();
                cmds.clear();
                for (const std::string& l : lines_)
                    if (l.rfind("CMD ", 0) == 0)
                        cmds.push_back(l.substr(4));
                return cmds.size() >= count;
            },
            ms);
        return cmds;
    }
    bool waitForExit(int ms = 5000)
    {
        return process_.state() == QProcess::NotRunning || process_.waitForFinished(ms);
    }
    int exitCode() const { return process_.exitCode(); }
    QProcess::ExitStatus exitStatus() const { return process_.exitStatus(); }
    void terminate() { process_.terminate(); }
    void killHard()
    {
        process_.kill();
        process_.waitForFinished(5000);
    }

private:
    void read()
    {
        partial_ += process_.readAllStandardOutput().toStdString();
        std::size_t nl;
        while ((nl = partial_.find('\n')) != std::string::npos) {
            lines_.push_back(partial_.substr(0, nl));
            partial_.erase(0, nl + 1);
        }
    }

    QProcess process_;
    std::string partial_;
    std::vector<std::string> lines_;
};

// Feeds bytes (a printf format) to the socket through socat; the answer in hex.
std::string Socat(const std::string& printfFormat, const std::string& socket)
{
    std::string out;
    RunCommand("printf '" + printfFormat + "' | socat -t 5 - UNIX-CONNECT:" + socket + " | xxd -p", &out);
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r'))
        out.pop_back();
    return out;
}

std::string Send(const std::string& args, int* rc = nullptr)
{
    std::string out;
    const int status = RunCommand(Probe() + " --home " + TestHome() + " send " + args, &out);
    if (rc)
        *rc = status;
    return out;
}

class DdeProbe : public testing::Test {
protected:
    void SetUp() override { EnsureQtApplication<QApplication>(); }
};

}  // namespace

TEST_F(DdeProbe, ServeRegistersOnce)
{
    const std::string registry = TestHome() + "config/Vasp/Registry.ini";
    for (int run = 0; run < 2; ++run) {
        Server serve("Derodi");
        ASSERT_EQ(serve.firstLine(), "READY " + SocketOf("DERODI"));
        serve.terminate();
        ASSERT_TRUE(serve.waitForExit());
        EXPECT_EQ(serve.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(serve.exitCode(), 0);
        EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(SocketOf("DERODI"))));
        EXPECT_EQ(ReadTestFile(registry), "[Exe]\r\nDerodi=" + Probe() + "\r\n");
    }
    RegistryIniFile reg;
    EXPECT_EQ(reg.ReadString("Exe", "DERODI"), Probe());
    EXPECT_EQ(reg.ReadString("Exe", "Zorak"), "");
}

TEST_F(DdeProbe, ServeAnswersSocat)
{
    Server serve("Derodi");
    ASSERT_EQ(serve.firstLine(), "READY " + SocketOf("DERODI"));
    const std::string socket = SocketOf("DERODI");
    EXPECT_EQ(Socat("SIZEMAX\\0", socket), "01");
    EXPECT_EQ(serve.commands(1), std::vector<std::string>{"SIZEMAX"});
    EXPECT_EQ(Socat("ONE\\0TWO\\0THREE\\0", socket), "010101");
    EXPECT_EQ(Socat("A\\r\\nB\\0", socket), "01");
    EXPECT_EQ(Socat("\\0", socket), "00");
    EXPECT_EQ(Socat("NAME C:\\\\M\\374ller\\\\X.SMA\\0", socket), "01");
    EXPECT_EQ(serve.commands(6), (std::vector<std::string>{"SIZEMAX", "ONE", "TWO", "THREE", "A",
                                                           "NAME C:\\M\xC3\xBCller\\X.SMA"}));
}

TEST_F(DdeProbe, BadFramesAndVanishedPeers)
{
    Server serve("Derodi");
    ASSERT_EQ(serve.firstLine(), "READY " + SocketOf("DERODI"));
    const std::string socket = SocketOf("DERODI");
    std::string out;
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(RunCommand("python3 -c \"import sys; sys.stdout.write('A'*70000)\" | socat -t 5 - UNIX-CONNECT:" +
                             socket + " | xxd -p",
                         &out),
              0);
    EXPECT_EQ(out, "");
    EXPECT_LT(timer.elapsed(), 4000) << "the server closes the connection itself";
    EXPECT_EQ(RunCommand("python3 -c \"import socket; s = socket.socket(socket.AF_UNIX); s.connect('" + socket +
                         "'); s.sendall(b'X\\\\0'); s.close()\"",
                         &out),
              0);
    EXPECT_EQ(Socat("NEXT\\0", socket), "01");
    EXPECT_EQ(serve.commands(2), (std::vector<std::string>{"X", "NEXT"}));
}

TEST_F(DdeProbe, StaleAndLiveSockets)
{
    const std::string socket = SocketOf("DERODI");
    {
        Server crashed("Derodi");
        ASSERT_EQ(crashed.firstLine(), "READY " + socket);
        crashed.killHard();
        EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(socket)));
    }
    Server serve("Derodi");
    ASSERT_EQ(serve.firstLine(), "READY " + socket);
    EXPECT_EQ(Socat("AFTER\\0", socket), "01");

    Server second("Derodi");
    EXPECT_EQ(second.firstLine().rfind("ERROR ", 0), 0u);
    ASSERT_TRUE(second.waitForExit());
    EXPECT_EQ(second.exitCode(), 1);
    EXPECT_EQ(Socat("MINE\\0", socket), "01");
    EXPECT_EQ(serve.commands(2), (std::vector<std::string>{"AFTER", "MINE"}));
}

TEST_F(DdeProbe, ServeEndsAfterItsCount)
{
    Server serve("Derodi", {QStringLiteral("--count"), QStringLiteral("2")});
    ASSERT_EQ(serve.firstLine(), "READY " + SocketOf("DERODI"));
    EXPECT_EQ(Socat("ONE\\0TWO\\0THREE\\0", SocketOf("DERODI")), "0101");
    ASSERT_TRUE(serve.waitForExit());
    EXPECT_EQ(serve.exitCode(), 0);
    EXPECT_EQ(serve.commands(), (std::vector<std::string>{"ONE", "TWO"}));
}

TEST_F(DdeProbe, SendGoesOutOnOneLink)
{
    RegistryIniFile().WriteString("Exe", "Derodi", "/opt/vasp/Derodi");
    DdePartner derodi(QString::fromStdString(SocketOf("DERODI")));
    ASSERT_TRUE(derodi.ready());
    int rc = -1;
    EXPECT_EQ(Send("Derodi 'CARRIAGEAMOUNT 17' 'EXPORT FERTIG'", &rc), "SENT\nSENT\n");
    EXPECT_EQ(rc, 0);
    ASSERT_TRUE(derodi.waitForLine("EOF 1 " + Hex(std::string("CARRIAGEAMOUNT 17\0EXPORT FERTIG\0", 32))));
    derodi.stop();
    int accepts = 0;
    for (const std::string& l : derodi.log())
        accepts += l.rfind("ACCEPT", 0) == 0;
    EXPECT_EQ(accepts, 1);
}

TEST_F(DdeProbe, FailedSends)
{
    int rc = -1;
    // Never registered: no connection is tried.
    DdePartner zorak(QString::fromStdString(SocketOf("ZORAK")));
    ASSERT_TRUE(zorak.ready());
    EXPECT_EQ(Send("Zorak SIZEMAX", &rc), "NOT SENT\n");
    EXPECT_EQ(rc, 0);
    zorak.stop();
    EXPECT_TRUE(zorak.log().empty());

    // Registered, nobody listening.
    RegistryIniFile().WriteString("Exe", "Derodi", "/opt/vasp/Derodi");
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(Send("Derodi SIZEMAX", &rc), "NOT SENT\n");
    EXPECT_LT(timer.elapsed(), 3000);

    // A partner that closes without answering.
    DdePartner rude(QString::fromStdString(SocketOf("DERODI")), "close");
    ASSERT_TRUE(rude.ready());
    timer.restart();
    EXPECT_EQ(Send("Derodi 'EXPORT FERTIG' --wait", &rc), "NOT SENT\n");
    EXPECT_LT(timer.elapsed(), 3000);
    rude.stop();

    DdePartner polite(QString::fromStdString(SocketOf("DERODI")), "1");
    ASSERT_TRUE(polite.ready());
    EXPECT_EQ(Send("Derodi A B --wait", &rc), "SENT\nSENT\n");
}

TEST_F(DdeProbe, LanguageFromTheLocale)
{
    std::string out;
    const std::string probe = "env -u LC_ALL -u LC_MESSAGES ";
    EXPECT_EQ(RunCommand(probe + "LANG=de_DE.UTF-8 " + Probe() + " language", &out), 0);
    EXPECT_EQ(out, "Deutsch\n");
    EXPECT_EQ(RegistryIniFile().ReadString("System", "Language"), "Deutsch");
    // Once stored, the locale no longer counts.
    EXPECT_EQ(RunCommand(probe + "LANG=ja_JP.UTF-8 " + Probe() + " language", &out), 0);
    EXPECT_EQ(out, "Deutsch\n");
    EXPECT_EQ(RunCommand(probe + "LANG=C " + Probe() + " language --set Italienisch", &out), 0);
    EXPECT_EQ(out, "Italienisch\n");
    const std::string registry = TestHome() + "config/Vasp/Registry.ini";
    std::filesystem::rename(registry, registry + ".saved");
    std::filesystem::create_directory(registry);
    EXPECT_EQ(RunCommand(Probe() + " language --set Englisch", &out), 1);
    EXPECT_EQ(out, "ERROR Unbekannter Fehler am Laufwerk!\n");
    std::filesystem::remove(registry);
    std::filesystem::rename(registry + ".saved", registry);

    RegistryIniFile().DeleteValue("System", "Language");
    EXPECT_EQ(RunCommand("env -u LC_MESSAGES LC_ALL=fr_FR LANG=de_DE " + Probe() + " language", &out), 0);
    EXPECT_EQ(Hex(out), Hex("Franz\xC3\xB6sisch\n"));
    EXPECT_NE(Hex(ReadTestFile(TestHome() + "config/Vasp/Registry.ini")).find("4c616e67756167653d4672616e7ac3b67369736368"),
              std::string::npos);
}

TEST_F(DdeProbe, BadUsage)
{
    std::string out;
    EXPECT_EQ(RunCommand(Probe() + " 2>/dev/null", &out), 2);
    EXPECT_EQ(RunCommand(Probe() + " frobnicate 2>/dev/null", &out), 2);
    EXPECT_EQ(RunCommand(Probe() + " serve 2>/dev/null", &out), 2);
    EXPECT_EQ(RunCommand(Probe() + " serve Derodi --count 0 2>/dev/null", &out), 2);
    EXPECT_EQ(RunCommand(Probe() + " send Derodi 2>/dev/null", &out), 2);
    EXPECT_EQ(RunCommand(Probe() + " language extra 2>/dev/null", &out), 2);
}
