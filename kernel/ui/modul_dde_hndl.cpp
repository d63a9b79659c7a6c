#include "kernel/ui/modul_dde_hndl.h"

#include <cstdlib>
#include <exception>

#include "kernel/services/debuglog.h"
#include "kernel/services/services.h"
#include "kernel/services/stream.h"
#include "platform/paths.h"
#include "platform/registry_ini_file.h"

namespace {

const char* const ExeSection = "Exe";
const char* const SystemSection = "System";
const char* const LanguageValue = "Language";
const char* const ServerTopic = "DdeServer1";
const char* const ServerItemName = "DdeServerItem";
// Any code without a text of its own reads "Unbekannter Fehler am Laufwerk!".
constexpr int UnknownDiskError = 255;

}  // namespace

std::string TModulDdeHndl::PathWithoutExtension(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot <= nameStart)
        return path;
    return path.substr(0, dot);
}

namespace {

std::string FirstLocaleVariable()
{
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value && *value)
            return value;
    }
    return {};
}

}  // namespace

TModulDdeHndl::TModulDdeHndl(QObject* parent, const std::string& programName)
    : QObject(parent),
      programName_(programName.empty() ? ExecutableNameWithoutExtension() : programName),
      DdeServer1(programName_, ServerTopic, this),
      DdeServerItem{&DdeServer1, ServerItemName},
      DdeClient1(this),
      DdeClientItem{&DdeClient1, std::string()}
{
    DdeServer1.setObjectName(QStringLiteral("DdeServer1"));
    DdeClient1.setObjectName(QStringLiteral("DdeClient1"));
    DdeServer1.setWaitWatcher([this](const std::vector<std::string>& lines) {
        if (!lines.empty())
            CommandWaiting(lines.front());
    });
    DdeServer1.setMacroHandler([this](const std::vector<std::string>& lines) {
        try {
            return DdeServer1ExecuteMacro(&DdeServer1, lines);
        } catch (const std::exception& e) {
            DebugLog({"DDE-Befehl fehlgeschlagen:", e.what()});
        } catch (...) {
            DebugLog({"DDE-Befehl fehlgeschlagen"});
        }
        return false;
    });
    connect(&DdeServer1, &DdeServerConv::acceptFailed, this, [](const QString& what) {
        DebugLog({"DDE-Verbindung abgewiesen:", what.toStdString()});
    });
    // Listening comes first: a partner that finds the registry entry then
    // finds the server too.
    startServer();
    if (register_)
        registerProgram();
}

TModulDdeHndl::~TModulDdeHndl()
{
    // No string may reach the handler of a half-destroyed module.
    DdeServer1.close();
    CloseDdeLink();
}

void TModulDdeHndl::startServer()
{
    switch (DdeServer1.listen()) {
    case DdeServerConv::ListenResult::Listening:
    case DdeServerConv::ListenResult::TakenOver:
        break;
    case DdeServerConv::ListenResult::LiveServer:
        DebugLog({"DDE-Server nicht gestartet, er laeuft schon:", DdeServer1.socketPath().toStdString()});
        break;
    case DdeServerConv::ListenResult::Failed:
        DebugLog({"DDE-Server nicht gestartet:", DdeServer1.errorText()});
        break;
    }
}

void TModulDdeHndl::ReportServerNotStarted()
{
    if (DdeServer1.isServing())
        return;
    // The reason, in the system's words, is in the debug log; the socket's
    // place tells the technician where to look.
    P_WarningBox(F_TRANS("DDE-Server nicht gestartet!") + "\r\n" +
                 F_TRANS("Das Designprogramm kann dieses Programm nicht fernsteuern.") + "\r\n" +
                 DdeServer1.socketPath().toStdString());
}

void TModulDdeHndl::registerProgram()
{
    RegistryIniFile registry;
    if (!registry.WriteString(ExeSection, programName_, ExecutablePathWithoutExtension()))
        DebugLog({"Registrierung nicht geschrieben:", registry.path()});
}

bool TModulDdeHndl::DdeServer1ExecuteMacro(QObject*, const std::vector<std::string>& lines)
{
    if (lines.empty())
        return false;
    refused_ = false;
    P_DdeBefehlEmpfangen(lines.front());
    const bool refused = refused_;
    refused_ = false;
    return !refused;
}

void TModulDdeHndl::RefuseCommand(const std::string& command, const std::string& why)
{
    refused_ = true;
    DebugLog({"DDE-Befehl nicht ausgefuehrt:", command, why});
}

std::string TModulDdeHndl::ReadProgramPath(const std::string& programName) const
{
    return RegistryIniFile().ReadString(ExeSection, programName, std::string());
}

std::string TModulDdeHndl::ReadLanguageSetting()
{
    RegistryIniFile registry;
    std::string name = registry.ReadString(SystemSection, LanguageValue, std::string());
    if (name.empty()) {
        name = SystemLanguageName();
        registry.WriteString(SystemSection, LanguageValue, name);
    }
    return name;
}

int TModulDdeHndl::WriteLanguageSetting(const std::string& name)
{
    RegistryIniFile registry;
    if (registry.WriteString(SystemSection, LanguageValue, name))
        return 0;
    DebugLog({"Sprache nicht gespeichert:", registry.path(), registry.lastError()});
    // A failure the disk error codes do not name still is one.
    const int code = DiskErrorCode(registry.lastError());
    return code != 0 ? code : UnknownDiskError;
}

bool TModulDdeHndl::SendDdeCommand(const std::string& programName, const std::string& command, bool wait)
{
    // A partner that went away is linked anew, as is a new partner; the name
    // is kept only once the link stands, so a failed link is tried again.
    if (programName != linkedProgramName_ || !DdeClient1.isLinked()) {
        CloseDdeLink();
        const std::string path = ReadProgramPath(programName);
        if (path.empty())
            return false;
        if (!DdeClient1.SetLink(programName, ServerTopic))
            return false;
        DdeClientItem.DdeItem = ServerItemName;
        linkedProgramName_ = programName;
        linkedProgramPath_ = path;
    }
    return DdeClient1.ExecuteMacro(command, wait);
}

void TModulDdeHndl::CloseDdeLink()
{
    DdeClient1.CloseLink();
    linkedProgramName_.clear();
    linkedProgramPath_.clear();
}

std::string TModulDdeHndl::SystemLanguageName()
{
    const std::string locale = FirstLocaleVariable();
    const std::string code = AsciiLower(locale.substr(0, locale.find_first_of("_.@")));
    struct Entry {
        const char* code;
        const char* name;
    };
    static const Entry table[] = {
        {"de", "Deutsch"},     {"el", "Griechisch"}, {"es", "Spanisch"},      {"fr", "Französisch"},
        {"it", "Italienisch"}, {"ja", "Japanisch"},  {"pt", "Portugiesisch"},
    };
    for (const Entry& e : table)
        if (code == e.code)
            return e.name;
    return "Englisch";
}

std::string TModulDdeHndl::ExecutablePathWithoutExtension()
{
    return PathWithoutExtension(ExecutablePath());
}

std::string TModulDdeHndl::ExecutableNameWithoutExtension()
{
    return PathWithoutExtension(FileNamePart(ExecutablePath()));
}
