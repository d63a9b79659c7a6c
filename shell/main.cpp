// The program's start: one instance, the start window, the main window, the
// event loop; afterwards the libraries and the program model are released.
// Before any Qt header: the work record has a member that Qt's "slots"
// keyword would swallow.
#include "kernel/model/workrecord.h"

#include <QLabel>
#include <QMessageBox>
#include <QScreen>

#include "check/simdll.h"
#include "kernel/language/language.h"
#include "kernel/model/globals.h"
#include "kernel/model/listmodel.h"
#include "kernel/pattern/smzfile.h"
#include "kernel/services/debuglog.h"
#include "kernel/services/free_resources.h"
#include "kernel/ui/form_info4z.h"
#include "kernel/ui/program_actions.h"
#include "kernel/ui/qt_kernel_host.h"
#include "lists/form_fortschritt.h"
#include "platform/paths.h"
#include "platform/qt/termination_signals.h"
#include "platform/single_instance.h"
#include "shell/dde_hndl_zorit.h"
#include "shell/editor_script_source.h"
#include "shell/form_main.h"
#include "shell/form_programm_start.h"
#include "shell/program_windows.h"
#include "shell/ram_copy_at_exit.h"
#include "shell/script_source.h"
#include "shell/zorit_application.h"

int main(int argc, char* argv[])
{
    ZoritApplication app(argc, argv);
    app.setApplicationDisplayName(QString());

    // The guard comes first: a refused second start must not touch the
    // running program's log.
    const std::string exeName = FileNamePart(ExecutablePath());
    if (!AcquireSingleInstance(exeName)) {
        QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(exeName), "Software is running!",
                        QMessageBox::Ok);
        box.exec();
        return 1;
    }

    InitDefaultFolders();
    DebugLogStart();
    for (const char* unit : {"Init Tools", "Init Info4Z", "Init Resourcen", "Init DdeZorit Start",
                             "Init DdeZorit Ende", "Init MainUnit Start", "Init MainUnit Ende"})
        DebugLog({unit});
    CreateProgramModel();
    SetDefaults();

    DebugLog({"Start vor FormProgrammStart"});
    auto* start = new TFormProgrammStart();
    FormProgrammStart = start;
    start->show();
    start->repaint();
    DebugLog({"Start nach FormProgrammStart"});
    DebugLog({"Start nach Initialize"});
    app.setApplicationName("ZORIT");

    QtKernelHost host;
    setKernelHost(&host);
    InstallBusyHandling([](bool hold) {
        if (DdeHndlZorit)
            DdeHndlZorit->setCommandsHeld(hold);
    });

    auto* main = new TFormMain();
    QObject::connect(main, &TFormMain::painted, start, &TFormProgrammStart::MainPainted);
    host.onStatusText = [main](const std::string& text) { main->SetStatusText(QString::fromStdString(text)); };
    host.onCloseProgramWindows = [] { P_CloseProgrammFenster(); };
    // The script editor holds the script from now on.
    SetScriptSource(std::make_unique<EditorScriptSource>());
    host.onScriptText = [] { return TheScriptSource().text(); };
    host.onSetScriptCursor = [](int line, int column) { TheScriptSource().setCursor(line, column); };
    DebugLog({"Start nach CreateForm"});

    FormFortschritt = new TFormFortschritt(main);
    host.onProgressStatus = [](const std::string& text) {
        if (FormFortschritt)
            FormFortschritt->Label1->setText(QString::fromStdString(text));
    };
    FormInfo4Z = new TFormInfo4Z(main);

    // Without a window manager nobody maximises: the window fills the screen
    // by itself then.
    if (QScreen* screen = main->screen())
        main->setGeometry(screen->availableGeometry());
    main->showMaximized();
    // Shown before the main window, the start window stays in front of it.
    if (FormProgrammStart)
        FormProgrammStart->raise();
    // Ctrl+C, kill and a closed terminal close the program as "Beenden"
    // does, from whatever window waits; a display that goes away ends it
    // without a close, so the end of the process keeps the RAM copy then.
    TerminationSignals terminationSignals;
    QObject::connect(&terminationSignals, &TerminationSignals::caught, main, &TFormMain::EndOnSignal);
    ArmRamCopyAtExit();
    const int status = app.exec();
    DisarmRamCopyAtExit();

    delete main;
    SetScriptSource(nullptr);
    FormFortschritt = nullptr;
    FormInfo4Z = nullptr;
    RemoveBusyHandling();
    setKernelHost(nullptr);
    DoneLanguage();
    FreeSimDll();
    ReleaseZikLibrary();
    FreeResourcesDone();
    FreeProgramModel();
    return status;
}
