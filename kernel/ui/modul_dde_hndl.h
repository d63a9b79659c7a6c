#pragma once
// The DDE data module: programs of the family find each other through the
// registry section "Exe" and drive each other with execute strings. The
// module registers the running program, serves the strings sent to it
// (service = the program's name, topic "DdeServer1") by handing the first
// line to P_DdeBefehlEmpfangen, sends strings to other family programs and
// keeps the language choice in the registry for the translation engine.
//
// Not a window, but it lives on the event loop: strings are carried out on
// the GUI thread, one at a time.
#include <QObject>
#include <string>
#include <vector>

#include "kernel/language/language.h"
#include "platform/qt/dde_client_conv.h"
#include "platform/qt/dde_server_conv.h"

class TModulDdeHndl : public QObject, public LanguageSettings {
    Q_OBJECT

    // Before the conversations: the server is named after the program.
    std::string programName_;
    // The linked partner: name and registered path.
    std::string linkedProgramName_;
    std::string linkedProgramPath_;
    bool register_ = true;
    bool refused_ = false;

public:
    // The program name defaults to the executable's file name without its
    // extension; a tool may serve under another name.
    explicit TModulDdeHndl(QObject* parent = nullptr, const std::string& programName = std::string());
    ~TModulDdeHndl() override;

    DdeServerConv DdeServer1;
    DdeServerItemComponent DdeServerItem;
    DdeClientConv DdeClient1;
    DdeClientItemComponent DdeClientItem;

    // One command string (the first line of an execute string).
    virtual void P_DdeBefehlEmpfangen(const std::string& command) = 0;
    // A command string that waits behind a running job (its first line); it
    // runs later through P_DdeBefehlEmpfangen all the same.
    virtual void CommandWaiting(const std::string& /*command*/) {}

    // The server's execute handler: true when a first line went to
    // P_DdeBefehlEmpfangen, it returned and did not refuse the command.
    bool DdeServer1ExecuteMacro(QObject* sender, const std::vector<std::string>& lines);

    // The registered path of a family program ("" when it never registered).
    std::string ReadProgramPath(const std::string& programName) const;
    // The stored language name; the system's language is stored and given
    // when none is stored.
    std::string ReadLanguageSetting() override;
    // 0 when stored, else the disk error code of the failure.
    int WriteLanguageSetting(const std::string& name) override;

    // Sends a command string to a family program; true when it was sent (and,
    // with wait, carried out).
    bool SendDdeCommand(const std::string& programName, const std::string& command, bool wait);
    void CloseDdeLink();

    // Once the windows stand: tells the technician when the server could not
    // be started, since the design program then cannot drive this one.
    void ReportServerNotStarted();

    // Holds the strings received until released (the program is busy).
    void setCommandsHeld(bool held) { DdeServer1.setCommandsHeld(held); }

    const std::string& programName() const { return programName_; }

protected:
    // From P_DdeBefehlEmpfangen: the command cannot be carried out now. The
    // partner is answered 0, and the debug log says why.
    void RefuseCommand(const std::string& command, const std::string& why);

public:
    const std::string& linkedProgramName() const { return linkedProgramName_; }
    const std::string& linkedProgramPath() const { return linkedProgramPath_; }
    bool registerFlag() const { return register_; }

    // The language name for the system's language (LC_ALL, LC_MESSAGES,
    // LANG: the first one set).
    static std::string SystemLanguageName();
    // The running executable's full path and its name, each without the
    // extension.
    static std::string ExecutablePathWithoutExtension();
    // "folder/name.ext" -> "folder/name"; a dot in a folder or at the start
    // of the name is no extension.
    static std::string PathWithoutExtension(const std::string& path);
    static std::string ExecutableNameWithoutExtension();

private:
    void registerProgram();
    void startServer();
};
