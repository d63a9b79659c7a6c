#include "check/ui/form_gtest_zorit.h"

#include <QAction>

#include "check/programcheck.h"
#include "check/simdll.h"
#include "check/simlibrary.h"
#include "check/ui/check_items.h"
#include "check/ui/form_gtest_text.h"
#include "check/ui/form_tool_bar_sim.h"
#include "kernel/language/language.h"
#include "kernel/model/globals.h"
#include "kernel/services/services.h"
#include "kernel/ui/forms.h"
#include "kernel/ui/shell_values.h"
#include "kernel/ui/translate_form.h"
#include "pattern/pattern_tool_windows.h"
#include "picture/crosshair_cursor.h"
#include "picture/frame_bild_kk.h"
#include "picture/pane_paint_box.h"
#include "platform/codepage.h"

TFormGTestZorit* G_Test = nullptr;

TFormGTestZorit::TFormGTestZorit(QWidget* parent) : T_FormGTestFarben(parent)
{
    for (int p = 0; p < PaneCount(); ++p)
        Pane(p)->ShowBild->setCursor(LoadCrosshairCursor());
    // Without a stored placement the window opens large enough to show
    // the fabric, not at its minimum.
    if (F_ReadIni("Windows", "G-Test", "").empty())
        resize(640, 480);
    move(x(), std::max(CoolBarMainBottom, 0));
    statusWords.ff = " " + F_TRANS("Ff");
    statusWords.density = " " + F_TRANS("Festigkeit") + " ";
    statusWords.racking = " " + F_TRANS("Versatz");
    systemWord = Utf8ToCp1252(F_TRANS("System"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setWindowTitle("G-Test");
    LoadPaletteFile(F_ReadIni("Files", "Palette", "Kelt.Pal"));
    TakePaletteColours();
    const bool marking = ExportOffered();
    for (const char* name : {"ToolButtonTrindelStart", "ToolButtonTrindelEnde"})
        ToolButton(name)->setVisible(marking);
    // The tool bar translated itself when it was made: once more would look
    // its translations up as German phrases.
    TranslateForm(this);
}

std::string TFormGTestZorit::ValueText(uint16_t value)
{
    return value == 0 ? std::string() : std::to_string(value / 100);
}

void TFormGTestZorit::FormActivate()
{
    if (FormExists("Patrone"))
        HidePatternToolWindows();
    if (Run().mode() != GTestRunState::Created)
        return;
    TestModus = 1;
    SetSimLibrary(nullptr);
    if (!StartSimDll(std::string(), F_NadelStart()))
        return;
    LibraryStarted(CheckNeedleStart(), SimDllGetSimSym());
    TakeSideMargin(CheckSideMargin());
    listZ = 10000;
    listField = 0;
    listS = 10000;
    SetCheckItemsEnabled(false);
    InstallSinks();
}

TFormGTestZorit::~TFormGTestZorit()
{
    if (G_Test == this)
        G_Test = nullptr;
}
