#include "shell/dde_hndl_zorit.h"

#include <QTimer>

#include "check/ui/install_check_windows.h"
#include "kernel/dispatch/busystate.h"
#include "kernel/model/globals.h"
#include "kernel/model/programmodel.h"
#include "kernel/ui/form_hold.h"
#include "kernel/ui/remote_message_hold.h"
#include "platform/paths.h"
#include "shell/dde_zorit.h"
#include "shell/form_main.h"
#include "shell/program_files.h"

TDdeHndlZorit* DdeHndlZorit = nullptr;

namespace {
// The design program waits for each command's answer: success messages,
// which would hold the answer until somebody is there to confirm them, are
// left out while a command runs, as under remote control.
class RemoteQuiet {
public:
    RemoteQuiet() : before_(Fernsteuerung) { Fernsteuerung = true; }
    ~RemoteQuiet() { Fernsteuerung = Fernsteuerung && before_; }
    void keep() { before_ = true; }
    // Whether the design program asked for remote control.
    bool asked() const { return before_; }
    RemoteQuiet(const RemoteQuiet&) = delete;
    RemoteQuiet& operator=(const RemoteQuiet&) = delete;

private:
    bool before_;
};
}  // namespace

void TDdeHndlZorit::CommandWaiting(const std::string& text)
{
    // CLOSE must not wait for a running check to finish on its own: it
    // stops the walk, as closing the window does, and runs once it has.
    if (ParseDdeCommand(text).command == DdeCommand::Close && ProgramBusy())
        StopCheckWalk();
}

void TDdeHndlZorit::P_DdeBefehlEmpfangen(const std::string& text)
{
    const ParsedDdeCommand c = ParseDdeCommand(text);
    TFormMain* main = FormMain;
    if (c.command == DdeCommand::None || !main)
        return;
    // Declared first, so that the held messages are let go last, once the
    // command has returned and its answer can go out.
    RemoteMessageHold messages;
    ProgramBusyScope busy;
    RemoteQuiet quiet;
    // While a window's dialog waits, only the design program can change the
    // program: the answer that dialog gives was meant for the program these
    // commands empty, replace or end, and is dropped.
    if (c.command == DdeCommand::RamDelete || c.command == DdeCommand::LoadPattern ||
        c.command == DdeCommand::LoadOrdalinFiles || c.command == DdeCommand::Close)
        NoteProgramReplaced();
    switch (c.command) {
    case DdeCommand::SizeMax:
        main->showMaximized();
        main->raise();
        break;
    case DdeCommand::RamDelete:
        main->MnuNeuClick();
        break;
    case DdeCommand::Fernsteuerung:
        quiet.keep();
        break;
    case DdeCommand::LoadPattern:
        main->OpenProgram(c.argument, true);
        break;
    case DdeCommand::LoadOrdalinFiles:
        CompileProgramFiles(c.argument.empty() ? std::string() : NormalizePath(c.argument));
        break;
    case DdeCommand::Name:
        ProgrammKopf.SetName(DdeProgramName(c.argument));
        main->P_ShowProgrammKopf();
        break;
    case DdeCommand::Close:
        // After the answer: the close waits for the command's end.
        QTimer::singleShot(0, main, [main] { main->close(); });
        break;
    case DdeCommand::Simulation: {
        // Only a simulation under remote control reports and closes itself.
        const bool quietFlag = Fernsteuerung;
        Fernsteuerung = quiet.asked();
        const bool carried = DdeSimulation();
        Fernsteuerung = quietFlag;
        if (!carried)
            RefuseCommand(text, "Simulation nicht moeglich");
        break;
    }
    case DdeCommand::ExportMaFile:
        if (!DdeExportMaFile(c.argument))
            RefuseCommand(text, "Exportfenster nicht moeglich");
        break;
    case DdeCommand::ExportExtented:
        if (!DdeExportExtented(c.argument))
            RefuseCommand(text, "Daten falsch");
        break;
    case DdeCommand::ExportDo:
        if (!DdeExportDo())
            RefuseCommand(text, "kein Exportfenster bereit");
        break;
    case DdeCommand::None:
        break;
    }
}
