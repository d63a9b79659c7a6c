// Before any Qt header: the work record has a member that Qt's "slots"
// keyword would swallow.
#include "kernel/model/workrecord.h"

#include "pattern/form_patrone.h"

#include <QCloseEvent>
#include <QEvent>
#include <algorithm>

#include "kernel/model/globals.h"
#include "kernel/model/programmodel.h"
#include "kernel/services/services.h"
#include "kernel/ui/forms.h"
#include "kernel/ui/shell_values.h"
#include "kernel/ui/translate_form.h"
#include "lists/list_forms.h"
#include "pattern/pattern_tool_windows.h"
#include "pattern/zeichenfunktionen.h"
#include "picture/screen_placement.h"

TFormPatrone* FormPatrone = nullptr;

namespace {

constexpr uint8_t kZoomSteps = 16;
constexpr uint8_t kTemporaryZoomCellSize = 7;
constexpr int kPaletteBelowToolBar = 60;
// Until the window has a stored place.
constexpr QSize kDefaultSize(800, 600);

// The level states a program's planes give: the first present plane is
// current, later ones shown, absent ones off.
std::vector<uint8_t> PlaneStates()
{
    std::vector<uint8_t> states;
    bool current = false;
    for (int plane = 0; plane < 3; ++plane) {
        const bool present = PatternPlane(plane)->present;
        states.push_back(!present ? 0 : current ? 1 : 3);
        current = current || present;
    }
    return states;
}

}  // namespace

TFormPatrone::TFormPatrone(QWidget* parent) : TFormBildLevels(parent, "PatroneMalen")
{
    setObjectName("Patrone");
    if (F_ReadIni("Windows", "PatroneMalen", "").empty())
        resize(kDefaultSize);
    EnableZoomBar(kZoomSteps);
    redrawEnabled = 0;
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setWindowTitle("Patrone");
    temporaryZoomCellSize = kTemporaryZoomCellSize;
    SetCellSize(1);
    firstActivation = 1;
    SetMaxWidthMargin(Zeichenfunktionen->frameGeometry().width());
    SetMaxHeightMargin(CoolBarMainBottom);
    LoadPaletteFile(ProgrammPfad + F_ReadIni("Files", "Palette", "Kelt.Pal"));
    BuildSymbolTextMap(ZrVar.Symbols);
    stepByte = 1;
    cutFillsWithBackground = 1;
    // The brush, waiting for its first event.
    Core().StartWithTool(1);
    BuildLevelTabs({"Nadel", QString::fromUtf8("Fadenf\u00fchrer"), "Festigkeit"}, {-25, -25, -25}, {3, 0, 0}, {});
    SetPictureWidth(kInitialWidth);
    SetPictureHeight(kInitialHeight);
    redrawEnabled = 1;
    workBitmapFile = TempPfad + "Clip.bmp";
    fillFile = TempPfad + "Fuell.Tmp";
    RedrawCells();
    currentTool = 1;
    previousTool = 1;
    phase = 0;
    Zeichenfunktionen->move(0, CoolBarMainHeight + kPaletteBelowToolBar);
    TranslateForm(this);
    show();
    activateWindow();
    setFocus();
}

TFormPatrone::~TFormPatrone()
{
    // The palette's buttons act on this window: they go with it.
    HidePatternToolWindows();
    if (FormPatrone == this)
        FormPatrone = nullptr;
}

void TFormPatrone::P_AddrBild(int32_t row, int32_t level, uint8_t)
{
    std::vector<LevelRow>& table = LevelTable();
    if (level < 0 || static_cast<size_t>(level) >= table.size())
        return;
    T_Patrone* plane = PatternPlane(level >= 1 && level <= 3 ? level - 1 : 0);
    const int32_t last = std::min<int32_t>(ProgrammKopf.Height(), static_cast<int32_t>(plane->rowCount()) - 1);
    if (!plane->present || row < 1 || row > last) {
        table[level].bytes = {};
        return;
    }
    uint8_t* start = plane->rows.data() + static_cast<size_t>(row) * kPatternStride;
    table[level].bytes = std::span<uint8_t>(start, std::min<size_t>(PictureWidth(), kPatternStride));
}

void TFormPatrone::FormActivate()
{
    KeepToolWindowWith(Zeichenfunktionen, this);
    Zeichenfunktionen->F_Visible(1);
    if (firstActivation) {
        firstActivation = 0;
        ApplyLevelStates(PlaneStates());
        SetPictureWidth(ProgrammKopf.Width());
        SetPictureHeight(ProgrammKopf.Height());
        RedrawCells();
        // Now that this window has its size.
        KeepColourWindowClear();
    }
    // Showing the palette may have moved the activation to it.
    activateWindow();
    setFocus();
    RaisePatternToolWindows();
}

void TFormPatrone::MarkForRebuild()
{
    firstActivation = 1;
    activateWindow();
    FormActivate();
}

void TFormPatrone::changeEvent(QEvent* event)
{
    TFormBildLevels::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

void TFormPatrone::closeEvent(QCloseEvent* event)
{
    TFormBildLevels::closeEvent(event);
    if (!event->isAccepted())
        return;
    // A closed window would lose its native window; the same one comes back
    // when the window is shown again.
    event->ignore();
    hide();
    HidePatternToolWindows();
}

void ShowPatternWindow(int iconIndex)
{
    if (!FormExists("Patrone") || !FormPatrone) {
        FormPatrone = new TFormPatrone(MainForm);
        FormPatrone->setWindowIcon(ListIcon(iconIndex));
    }
    FormPatrone->show();
    FormPatrone->raise();
    FormPatrone->activateWindow();
    FormPatrone->setFocus();
}
