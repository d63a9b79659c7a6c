// listedit_harness [--home DIR] [--load FILE | --ram FILE] [--cells OUT]
//                  [--dump OUT] [--ram-out OUT] [--log] FORM...
// Opens list windows over a program and lets them be driven from outside
// (xdotool, screenshots). On SIGUSR1 it writes the cell dump, the program
// dump and a RAM copy and runs on; again at the end (SIGTERM, or when no
// list window is visible any more).
#include "kernel/model/workrecord.h"

#include <QApplication>
#include <QMainWindow>
#include <QTimer>
#include <csignal>
#include <fstream>
#include <iostream>
#include <map>

#include "kernel/compiler/compilererror.h"
#include "kernel/model/globals.h"
#include "kernel/model/listmodel.h"
#include "kernel/model/programmodel.h"
#include "kernel/model/ramcopy.h"
#include "kernel/services/debuglog.h"
#include "kernel/services/services.h"
#include "kernel/tkf/enginebridge.h"
#include "kernel/ui/forms.h"
#include "kernel/ui/shell_values.h"
#include "lists/core/list_editor_core.h"
#include "lists/core/symbol_farben.h"
#include "lists/form_liste.h"
#include "lists/list_editors.h"
#include "lists/list_globals.h"
#include "tests/tools/common/probe_common.h"
#include "tests/tools/listedit_harness/cell_dump.h"
#include "tests/tools/listedit_harness/edit_menu.h"
#include "tests/tools/programdump.h"
#include "tests/tools/test_liste/form_test_liste.h"

namespace {
const char* const kUsage =
    "usage: listedit_harness [--home DIR] [--load FILE | --ram FILE] [--cells OUT] [--dump OUT]\n"
    "                        [--ram-out OUT] [--log] FORM...\n"
    "  FORM: T (the test list), V, A, W, P, F, N, S or Z (the list editors), NR (needle room),\n"
    "        FF (yarn carriers) or RB (set-up sheet)\n"
    "  --log: STORE lines of the test list, CLIP on every clipboard set, BIND after every\n"
    "         edit-menu binding\n";

volatile std::sig_atomic_t dumpAsked = 0;
volatile std::sig_atomic_t endAsked = 0;

struct Outputs {
    std::string cells, dump, ramOut;

    void Write() const
    {
        if (!cells.empty())
            std::ofstream(cells, std::ios::binary) << CellDump();
        if (!dump.empty())
            std::ofstream(dump, std::ios::binary) << ProgramDump();
        if (!ramOut.empty())
            WriteRamCopy(ramOut);
    }
};

void PrintStore(int field, int row, int32_t value, const std::optional<std::string>& text, int line)
{
    std::cout << "STORE " << field << " " << row << " " << value << " "
              << (text ? "\"" + *text + "\"" : std::string("-")) << " " << line << std::endl;
}

void PrintClipboard(char code, const std::vector<uint8_t>& block)
{
    static const char* const digits = "0123456789abcdef";
    std::string hex;
    for (uint8_t b : block) {
        hex += digits[b >> 4];
        hex += digits[b & 15];
    }
    std::cout << "CLIP " << code << " " << hex << std::endl;
}

QWidget* ShowForm(const std::string& name, bool log)
{
    if (name == "NR") {
        P_ShowNrListe(0);
        return FormNrListe;
    }
    if (name == "FF") {
        P_ShowFfListe(0);
        return FormFfListe;
    }
    if (name == "RB") {
        P_ShowRustListe(0);
        return FormRustListe;
    }
    switch (name[0]) {
    case 'T':
        P_ShowTestListe();
        if (log)
            FormTestListe->TestCore().OnStore = PrintStore;
        return FormTestListe;
    case 'V':
        P_ShowVListe(0);
        return FormVListe;
    case 'A':
        P_ShowAListe(0);
        return FormAListe;
    case 'W':
        P_ShowWListe(0);
        return FormWListe;
    case 'P':
        P_ShowPListe(0);
        return FormPListe;
    case 'F':
        P_ShowFListe(0);
        return FormFListe;
    case 'N':
        P_ShowNListe(0);
        return FormNListe;
    case 'Z':
        P_ShowZListe(0);
        return FormZListe;
    default:
        P_ShowSListe(0);
        return FormSListe;
    }
}

// The values the main window publishes at its creation.
void PublishShellValues(QMainWindow& main)
{
    main.setObjectName("FormMain");
    main.setWindowTitle("FormMain");
    main.setGeometry(0, 0, 300, 60);
    MainForm = &main;
    MainFormName = "FormMain";
    ToolFormStyle = 3;
    ListWindowLeft = 0;
    ListWindowTop = 80;
    MainClientWidth = 1024;
    MainClientHeight = 768;
    SettingsPath = IniFilePath();
    StatusTextProc = [](const QString&) {};
    SetPatternSymbolColours();
    // The header the main window would show: its panel's text on stdout.
    ShowProgrammKopfProc = [] { std::cout << "HEADER ZR" << ProgrammKopf.Model() << std::endl; };
}

// Closes the list windows as the main window does: all but the set-up sheet.
class HarnessHost : public PrintingHost {
public:
    void closeProgramWindows() override
    {
        std::cout << "CLOSE" << std::endl;
        for (const FormEntry& e : Forms())
            if (e.role == FormRole::List && !e.form->objectName().isEmpty() && e.form->objectName() != "Ruestblatt")
                DestroyForm(e.form);
    }
};

bool AnyListVisible()
{
    for (const FormEntry& e : Forms())
        if (e.role == FormRole::List && e.form->isVisible())
            return true;
    return false;
}

int Run(int argc, char** argv, ProbeArgs args)
{
    const std::string home = TakeOption(args, "--home");
    const std::string load = TakeOption(args, "--load");
    const std::string ram = TakeOption(args, "--ram");
    Outputs out{TakeOption(args, "--cells"), TakeOption(args, "--dump"), TakeOption(args, "--ram-out")};
    const bool log = TakeSwitch(args, "--log");
    if (args.empty() || (!load.empty() && !ram.empty()))
        throw ProbeUsage{"give one or more forms, and at most one of --load and --ram"};
    for (const std::string& form : args)
        if ((form.size() != 1 || std::string("TVAWPFNSZ").find(form) == std::string::npos) && form != "NR" &&
            form != "FF" && form != "RB")
            throw ProbeUsage{"unknown form " + form};

    ProbeHome folder;
    folder.Enter(home, "listedit-harness");
    HarnessHost host;
    setKernelHost(&host);
    DebugLogStart();
    CreateProgramModel();
    SetDefaults();
    if (!load.empty()) {
        PatternNames names;
        const uint16_t rc = engineBridge.P_LoadProgram(TempPfad, TempPfad, load, names);
        if (rc != 0) {
            std::cout << "ERROR " << rc << " " << CompilerErrorText(rc) << std::endl;
            return 1;
        }
    } else if (!ram.empty() && !ReadRamCopy(ram)) {
        std::cout << "ERROR the RAM copy " << ram << " was not taken" << std::endl;
        return 1;
    }

    QApplication app(argc, argv);
    QMainWindow main;
    PublishShellValues(main);
    CreateEditMenu(main);
    if (log) {
        ListEditMenuBound = PrintEditBinding;
        ListEditorCore::OnClipboardSet = PrintClipboard;
    }
    main.show();
    QWidget* last = nullptr;
    for (const std::string& form : args)
        last = ShowForm(form, log);
    if (last) {
        last->raise();
        last->activateWindow();
    }

    std::signal(SIGUSR1, [](int) { dumpAsked = 1; });
    std::signal(SIGTERM, [](int) { endAsked = 1; });
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (dumpAsked) {
            dumpAsked = 0;
            out.Write();
        }
        if (endAsked || !AnyListVisible())
            app.quit();
    });
    watch.start(50);
    app.exec();
    out.Write();
    for (const FormEntry& e : Forms())
        if (e.role == FormRole::List)
            delete e.form;
    setKernelHost(nullptr);
    FreeProgramModel();
    return 0;
}
}  // namespace

int main(int argc, char** argv)
{
    ProbeArgs args(argv + 1, argv + argc);
    return RunProbe("listedit_harness", kUsage, [&] { return Run(argc, argv, args); });
}
