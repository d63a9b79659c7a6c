#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "kernel/services/debuglog.h"
#include "kernel/services/services.h"
#include "kernel/ui/modul_dde_hndl.h"
#include "platform/paths.h"
#include "platform/qt/dde_socket_path.h"
#include "platform/registry_ini_file.h"
#include "tests/support/dde_partner.h"
#include "tests/support/qt_app.h"
#include "tests/support/recording_host.h"
#include "tests/support/scoped_env.h"
#include "tests/support/test_env.h"

using namespace std::string_literals;

namespace {

class TestModule : public TModulDdeHndl {
public:
    using TModulDdeHndl::TModulDdeHndl;
    std::vector<std::string> commands;
    std::function<void(const std::string&)> onCommand;
    std::vector<std::string> waiting;
    using TModulDdeHndl::RefuseCommand;

    void P_DdeBefehlEmpfangen(const std::string& command) override
    {
        commands.push_back(command);
        if (onCommand)
            onCommand(command);
    }
    void CommandWaiting(const std::string& command) override { waiting.push_back(command); }
};

// The locale variables as a test wants them; the others unset.
struct Locale {
    Locale(const char* lcAll, const char* lcMessages, const char* lang)
        : all("LC_ALL", lcAll), messages("LC_MESSAGES", lcMessages), lang("LANG", lang)
    {
    }
    ScopedEnv all, messages, lang;
};

// Sends raw frames and collects the answers while events run.
class RawClient {
public:
    explicit RawClient(const QString& path)
    {
        QObject::connect(&socket_, &QLocalSocket::readyRead, [this] { answers_ += socket_.readAll(); });
        socket_.connectToServer(path);
        socket_.waitForConnected(2000);
    }
    void send(const std::string& bytes)
    {
        socket_.write(bytes.data(), static_cast<qint64>(bytes.size()));
        socket_.flush();
    }
    bool waitForAnswers(int count) { return SpinUntil([&] { return answers_.size() >= count; }); }
    std::string answers() const { return Hex(answers_.toStdString()); }

private:
    QLocalSocket socket_;
    QByteArray answers_;
};

class ModulDdeHndl : public testing::Test {
protected:
    void SetUp() override
    {
        EnsureQtApplication<QApplication>();
        DebugLogStart();
    }
    void TearDown() override { SpinFor(5); }
};

int CountOf(const std::vector<std::string>& lines, const std::string& prefix)
{
    int n = 0;
    for (const std::string& l : lines)
        n += l.rfind(prefix, 0) == 0;
    return n;
}

}  // namespace

TEST_F(ModulDdeHndl, RegistersTheProgramAndServes)
{
    TestModule module(nullptr, "Derodi");
    EXPECT_TRUE(module.registerFlag());
    EXPECT_EQ(module.programName(), "Derodi");
    const std::string exe = ExecutablePath();
    EXPECT_EQ(ReadTestFile(RegistryPath()), "[Exe]\r\nDerodi=" + exe + "\r\n");
    EXPECT_EQ(module.ReadProgramPath("DERODI"), exe);
    EXPECT_EQ(module.ReadProgramPath("Zorak"), "");

    EXPECT_EQ(module.DdeServer1.service(), "Derodi");
    EXPECT_EQ(module.DdeServer1.topic(), "DdeServer1");
    EXPECT_EQ(module.DdeServerItem.ServerConv, &module.DdeServer1);
    EXPECT_EQ(module.DdeServerItem.Name, "DdeServerItem");
    EXPECT_EQ(module.DdeClientItem.DdeConv, &module.DdeClient1);
    ASSERT_TRUE(module.DdeServer1.isServing());
    EXPECT_EQ(module.DdeServer1.socketPath().toStdString(), TestHome() + "runtime/dde-DERODI-DDESERVER1");

    RawClient client(module.DdeServer1.socketPath());
    client.send("SIZEMAX\0A\r\nB\0\0"s);
    ASSERT_TRUE(client.waitForAnswers(3));
    EXPECT_EQ(client.answers(), "010100");
    EXPECT_EQ(module.commands, (std::vector<std::string>{"SIZEMAX", "A"}));
}

TEST_F(ModulDdeHndl, NamedAfterTheExecutable)
{
    TestModule module;
    EXPECT_EQ(module.programName(), FileNamePart(ExecutablePath()));
    EXPECT_EQ(TModulDdeHndl::PathWithoutExtension("/opt/v.1/Zorit.exe"), "/opt/v.1/Zorit");
    EXPECT_EQ(TModulDdeHndl::PathWithoutExtension("/opt/v.1/Zorit"), "/opt/v.1/Zorit");
    EXPECT_EQ(TModulDdeHndl::PathWithoutExtension("/opt/.Zorit"), "/opt/.Zorit");
    EXPECT_EQ(module.ReadProgramPath(module.programName()), ExecutablePath());

    TestModule zorit(nullptr, "Zorit");
    EXPECT_EQ(zorit.DdeServer1.socketPath().toStdString(), TestHome() + "runtime/dde-ZORIT-DDESERVER1");
}

TEST_F(ModulDdeHndl, SecondModuleTakesTheServerOver)
{
    auto first = std::make_unique<TestModule>(nullptr, "Zorit");
    auto second = std::make_unique<TestModule>(nullptr, "Zorit");
    // Registering again rewrites the same line.
    EXPECT_EQ(ReadTestFile(RegistryPath()), "[Exe]\r\nZorit=" + ExecutablePath() + "\r\n");
    EXPECT_FALSE(first->DdeServer1.isServing());
    EXPECT_TRUE(second->DdeServer1.isServing());

    RawClient client(second->DdeServer1.socketPath());
    client.send("RAMDELETE\0"s);
    ASSERT_TRUE(client.waitForAnswers(1));
    EXPECT_TRUE(first->commands.empty());
    EXPECT_EQ(second->commands, std::vector<std::string>{"RAMDELETE"});
}

TEST_F(ModulDdeHndl, ExecuteMacroHandsOnTheFirstLine)
{
    TestModule module(nullptr, "Derodi");
    EXPECT_FALSE(module.DdeServer1ExecuteMacro(&module.DdeServer1, {}));
    EXPECT_TRUE(module.commands.empty());
    EXPECT_TRUE(module.DdeServer1ExecuteMacro(&module.DdeServer1, {"LOADPATTERN X", "SIMULATION"}));
    EXPECT_EQ(module.commands, std::vector<std::string>{"LOADPATTERN X"});
}

TEST_F(ModulDdeHndl, FailingCommandIsLoggedAndAnsweredZero)
{
    TestModule module(nullptr, "Derodi");
    module.onCommand = [](const std::string& c) {
        if (c == "BAD")
            throw std::runtime_error("Datei fehlt");
    };
    RawClient client(module.DdeServer1.socketPath());
    client.send("BAD\0GOOD\0"s);
    ASSERT_TRUE(client.waitForAnswers(2));
    EXPECT_EQ(client.answers(), "0001");
    EXPECT_NE(ReadTestFile(DebugLogPath()).find("Datei fehlt"), std::string::npos);
}

// A command that cannot be carried out is answered 0 (the log says why);
// one that has to wait is announced as it arrives, and still runs.
TEST_F(ModulDdeHndl, RefusedCommandsAnswerZeroAndWaitingOnesAreAnnounced)
{
    TestModule module(nullptr, "Derodi");
    module.onCommand = [&module](const std::string& c) {
        if (c == "NO")
            module.RefuseCommand(c, "geht jetzt nicht");
    };
    RawClient client(module.DdeServer1.socketPath());
    client.send("NO\0"s);
    ASSERT_TRUE(client.waitForAnswers(1));
    client.send("YES\0"s);
    ASSERT_TRUE(client.waitForAnswers(2));
    EXPECT_EQ(client.answers(), "0001");
    EXPECT_NE(ReadTestFile(DebugLogPath()).find("NO geht jetzt nicht"), std::string::npos);
    EXPECT_TRUE(module.waiting.empty());

    module.setCommandsHeld(true);
    client.send("CLOSE\0"s);
    ASSERT_TRUE(SpinUntil([&] { return module.DdeServer1.pendingCommands() == 1; }));
    EXPECT_EQ(module.waiting, std::vector<std::string>{"CLOSE"});
    EXPECT_EQ(module.commands.size(), 2u);
    module.setCommandsHeld(false);
    ASSERT_TRUE(client.waitForAnswers(3));
    EXPECT_EQ(module.commands.back(), "CLOSE");
}

TEST_F(ModulDdeHndl, CommandsRunOneAtATime)
{
    TestModule module(nullptr, "Derodi");
    std::vector<std::string> trace;
    std::unique_ptr<RawClient> client;
    module.onCommand = [&](const std::string& c) {
        trace.push_back("begin " + c);
        if (c == "ONE") {
            // A long job (loading a pattern) that processes events.
            client->send("TWO\0"s);
            EXPECT_TRUE(SpinUntil([&] { return module.DdeServer1.pendingCommands() == 1; }));
            SpinFor(20);
        }
        trace.push_back("end " + c);
    };
    client = std::make_unique<RawClient>(module.DdeServer1.socketPath());
    client->send("ONE\0"s);
    ASSERT_TRUE(client->waitForAnswers(2));
    EXPECT_EQ(trace, (std::vector<std::string>{"begin ONE", "end ONE", "begin TWO", "end TWO"}));

    module.setCommandsHeld(true);
    client->send("THREE\0"s);
    ASSERT_TRUE(SpinUntil([&] { return module.DdeServer1.pendingCommands() == 1; }));
    SpinFor(20);
    EXPECT_EQ(module.commands.size(), 2u);
    module.setCommandsHeld(false);
    ASSERT_TRUE(client->waitForAnswers(3));
    EXPECT_EQ(module.commands.back(), "THREE");
}

TEST_F(ModulDdeHndl, LiveServerOfAnotherProgramIsLeftAlone)
{
    DdePartner other(DdeSocketPath("Derodi", "DdeServer1"));
    ASSERT_TRUE(other.ready());
    TestModule module(nullptr, "Derodi");
    EXPECT_FALSE(module.DdeServer1.isServing());
    EXPECT_NE(ReadTestFile(DebugLogPath()).find("dde-DERODI-DDESERVER1"), std::string::npos);
    // Still registered: the registry tells where the program is, not who serves.
    EXPECT_EQ(module.ReadProgramPath("Derodi"), ExecutablePath());
}

TEST_F(ModulDdeHndl, ServerThatDidNotStartIsToldOnce)
{
    // Without a runtime folder, in a private folder that somebody opened to
    // every user; a live server in the way; and a server that runs.
    const std::string shared = TestHome() + "shared";
    std::filesystem::create_directories(shared);
    const std::string folder = shared + "/vasp-" + std::to_string(::geteuid());
    std::filesystem::create_directories(folder);
    ::chmod(folder.c_str(), 0777);
    const std::string told = "DDE-Server nicht gestartet!\r\nDas Designprogramm kann dieses Programm nicht fernsteuern.\r\n";
    {
        ScopedEnv noRuntime("XDG_RUNTIME_DIR", nullptr);
        ScopedEnv tmp("TMPDIR", shared.c_str());
        ScopedRecordingHost recording;
        TestModule module(nullptr, "Zorit");
        EXPECT_FALSE(module.DdeServer1.isServing());
        module.ReportServerNotStarted();
        EXPECT_EQ(recording.host.messages(), std::vector<std::string>{told + folder + "/dde-ZORIT-DDESERVER1"});
        EXPECT_NE(ReadTestFile(DebugLogPath()).find("DDE-Server nicht gestartet: no safe folder for " + folder +
                                                    "/dde-ZORIT-DDESERVER1: " + folder + " is open to other users"),
                  std::string::npos);
    }
    {
        DdePartner other(DdeSocketPath("Derodi", "DdeServer1"));
        ASSERT_TRUE(other.ready());
        ScopedRecordingHost recording;
        TestModule module(nullptr, "Derodi");
        module.ReportServerNotStarted();
        EXPECT_EQ(recording.host.messages(), std::vector<std::string>{told + TestHome() + "runtime/dde-DERODI-DDESERVER1"});
    }
    ScopedRecordingHost recording;
    TestModule module(nullptr, "Zorit");
    module.ReportServerNotStarted();
    EXPECT_TRUE(recording.host.messages().empty());
}

TEST_F(ModulDdeHndl, LanguageDefaultsToTheSystemLanguage)
{
    struct Case {
        const char* lang;
        const char* name;
    };
    for (const Case& c : {Case{"de_DE.UTF-8", "Deutsch"}, Case{"ja_JP.UTF-8", "Japanisch"},
                          Case{"pt_BR", "Portugiesisch"}, Case{"C", "Englisch"}, Case{"el_GR", "Griechisch"},
                          Case{"es_ES.UTF-8", "Spanisch"}, Case{"it_IT", "Italienisch"},
                          Case{"fr_CA.UTF-8", "Französisch"}, Case{"en_US.UTF-8", "Englisch"},
                          Case{"POSIX", "Englisch"}, Case{"de", "Deutsch"}}) {
        Locale locale(nullptr, nullptr, c.lang);
        RegistryIniFile().DeleteValue("System", "Language");
        EXPECT_EQ(TModulDdeHndl::SystemLanguageName(), c.name) << c.lang;
        TestModule module(nullptr, "Derodi");
        EXPECT_EQ(module.ReadLanguageSetting(), c.name) << c.lang;
        EXPECT_EQ(RegistryIniFile().ReadString("System", "Language"), c.name) << c.lang;
    }
    {
        Locale none(nullptr, nullptr, nullptr);
        EXPECT_EQ(TModulDdeHndl::SystemLanguageName(), "Englisch");
        Locale empty("", "", "");
        EXPECT_EQ(TModulDdeHndl::SystemLanguageName(), "Englisch");
    }
}

TEST_F(ModulDdeHndl, LocaleVariablesCountInTheirOrder)
{
    TestModule module(nullptr, "Derodi");
    {
        Locale locale("fr_FR", nullptr, "de_DE");
        EXPECT_EQ(module.ReadLanguageSetting(), "Französisch");
    }
    const std::string file = ReadTestFile(RegistryPath());
    EXPECT_NE(file.find("\r\n[System]\r\nLanguage=Franz\xC3\xB6sisch\r\n"), std::string::npos);
    EXPECT_NE(Hex(file).find("4c616e67756167653d4672616e7ac3b67369736368"), std::string::npos);

    RegistryIniFile().DeleteValue("System", "Language");
    {
        Locale locale(nullptr, "it_IT", "de_DE");
        EXPECT_EQ(module.ReadLanguageSetting(), "Italienisch");
    }
    RegistryIniFile().DeleteValue("System", "Language");
    {
        Locale locale("", "es_ES", "de_DE");
        EXPECT_EQ(module.ReadLanguageSetting(), "Spanisch");
    }
}

TEST_F(ModulDdeHndl, StoredLanguageWins)
{
    TestModule module(nullptr, "Derodi");
    Locale locale(nullptr, nullptr, "de_DE.UTF-8");
    EXPECT_EQ(module.WriteLanguageSetting("Italienisch"), 0);
    EXPECT_EQ(RegistryIniFile().ReadString("System", "Language"), "Italienisch");
    EXPECT_EQ(module.ReadLanguageSetting(), "Italienisch");
    // A name no table knows is kept as it stands; the engine then stays English.
    module.WriteLanguageSetting("Klingonisch");
    EXPECT_EQ(module.ReadLanguageSetting(), "Klingonisch");
}

TEST_F(ModulDdeHndl, LanguageThatCannotBeStoredGivesTheDiskError)
{
    TestModule module(nullptr, "Derodi");
    ASSERT_EQ(module.WriteLanguageSetting("Italienisch"), 0);
    const std::string registry = RegistryIniFile::DefaultPath();
    const std::string folder = registry.substr(0, registry.rfind('/'));
    if (::geteuid() != 0) {
        // A read-only folder refuses the new file.
        ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);
        EXPECT_EQ(module.WriteLanguageSetting("Englisch"), 5);
        ::chmod(folder.c_str(), 0755);
    }
    // A folder in the place of the file: no code of its own.
    std::filesystem::remove(registry);
    std::filesystem::create_directory(registry);
    EXPECT_EQ(F_DiskErrorText(module.WriteLanguageSetting("Englisch")), "Unbekannter Fehler am Laufwerk!");
    std::filesystem::remove(registry);
    // A file where the folder belongs.
    std::filesystem::remove_all(folder);
    WriteTestFile(folder, "");
    EXPECT_NE(module.WriteLanguageSetting("Englisch"), 0);
}

TEST_F(ModulDdeHndl, CommandsReuseTheLinkUntilAnotherProgram)
{
    RegistryIniFile().WriteString("Exe", "Derodi", "/opt/vasp/Derodi");
    RegistryIniFile().WriteString("Exe", "Ordalin", "/opt/vasp/Ordalin");
    DdePartner derodi(DdeSocketPath("Derodi", "DdeServer1"));
    DdePartner ordalin(DdeSocketPath("Ordalin", "DdeServer1"));
    ASSERT_TRUE(derodi.ready());
    ASSERT_TRUE(ordalin.ready());
    TestModule module(nullptr, "Zorit");

    EXPECT_TRUE(module.SendDdeCommand("Derodi", "CARRIAGEAMOUNT 17", false));
    EXPECT_EQ(module.linkedProgramName(), "Derodi");
    EXPECT_EQ(module.linkedProgramPath(), "/opt/vasp/Derodi");
    EXPECT_EQ(module.DdeClientItem.DdeItem, "DdeServerItem");
    EXPECT_EQ(module.DdeClient1.ddeService(), "Derodi");
    EXPECT_EQ(module.DdeClient1.ddeTopic(), "DdeServer1");
    EXPECT_TRUE(module.SendDdeCommand("Derodi", "EXPORT FERTIG", true));

    // Another program: the first link is closed.
    EXPECT_TRUE(module.SendDdeCommand("Ordalin", "SIZEMAX", false));
    EXPECT_TRUE(derodi.waitForLine("EOF 1 " + Hex("CARRIAGEAMOUNT 17\0EXPORT FERTIG\0"s)));
    EXPECT_EQ(CountOf(derodi.log(), "ACCEPT"), 1);
    EXPECT_EQ(module.linkedProgramName(), "Ordalin");
    EXPECT_TRUE(module.SendDdeCommand("Ordalin", "LOADORDALINFILES /TMP/WANDEL.SMA", false));

    module.CloseDdeLink();
    EXPECT_EQ(module.linkedProgramName(), "");
    EXPECT_EQ(module.linkedProgramPath(), "");
    EXPECT_TRUE(ordalin.waitForLine("EOF 1 " + Hex("SIZEMAX\0LOADORDALINFILES /TMP/WANDEL.SMA\0"s)));
}

TEST_F(ModulDdeHndl, UnregisteredProgramGetsNothing)
{
    // Listening, but never registered: no connection is even tried.
    DdePartner zorak(DdeSocketPath("Zorak", "DdeServer1"));
    ASSERT_TRUE(zorak.ready());
    TestModule module(nullptr, "Zorit");
    EXPECT_FALSE(module.SendDdeCommand("Zorak", "SIZEMAX", false));
    EXPECT_EQ(module.linkedProgramName(), "");
    SpinFor(50);
    EXPECT_EQ(CountOf(zorak.log(), "ACCEPT"), 0);
}

TEST_F(ModulDdeHndl, FailedLinkIsTriedAgain)
{
    RegistryIniFile().WriteString("Exe", "Derodi", "/opt/vasp/Derodi");
    TestModule module(nullptr, "Zorit");
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(module.SendDdeCommand("Derodi", "CARRIAGEAMOUNT 3", false));
    EXPECT_FALSE(module.SendDdeCommand("Derodi", "CARRIAGEAMOUNT 4", true));
    EXPECT_LT(timer.elapsed(), 2000) << "nobody listening fails at once";
    // The name is kept only for a link that stands.
    EXPECT_EQ(module.linkedProgramName(), "");

    DdePartner derodi(DdeSocketPath("Derodi", "DdeServer1"));
    ASSERT_TRUE(derodi.ready());
    EXPECT_TRUE(module.SendDdeCommand("Derodi", "CARRIAGEAMOUNT 5", false));
    EXPECT_TRUE(derodi.waitForLine("FRAME 1 " + Hex("CARRIAGEAMOUNT 5")));
}

TEST_F(ModulDdeHndl, PartnerThatRestartedIsLinkedAgain)
{
    RegistryIniFile().WriteString("Exe", "Derodi", "/opt/vasp/Derodi");
    TestModule module(nullptr, "Zorit");
    auto derodi = std::make_unique<DdePartner>(DdeSocketPath("Derodi", "DdeServer1"));
    ASSERT_TRUE(derodi->ready());
    EXPECT_TRUE(module.SendDdeCommand("Derodi", "ONE", true));
    derodi.reset();
    derodi = std::make_unique<DdePartner>(DdeSocketPath("Derodi", "DdeServer1"));
    ASSERT_TRUE(derodi->ready());
    EXPECT_TRUE(module.SendDdeCommand("Derodi", "TWO", true));
    EXPECT_TRUE(derodi->waitForLine("FRAME 1 " + Hex("TWO")));
}

TEST_F(ModulDdeHndl, WaitEndsWhenThePartnerClosesWithoutAnswer)
{
    RegistryIniFile().WriteString("Exe", "Derodi", "/opt/vasp/Derodi");
    DdePartner derodi(DdeSocketPath("Derodi", "DdeServer1"), "close");
    ASSERT_TRUE(derodi.ready());
    TestModule module(nullptr, "Zorit");
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(module.SendDdeCommand("Derodi", "EXPORT FERTIG", true));
    EXPECT_LT(timer.elapsed(), 5000);
}
