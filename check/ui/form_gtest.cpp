#include "check/ui/form_gtest.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QToolBar>
#include <algorithm>

#include "check/programcheck.h"
#include "check/rules/checkstate.h"
#include "check/simdll.h"
#include "check/ui/check_items.h"
#include "check/ui/check_windows_shell.h"
#include "check/ui/core/sim_status_text.h"
#include "check/ui/core/stroke_label.h"
#include "check/ui/form_gtest_text.h"
#include "check/ui/form_tool_bar_sim.h"
#include "check/ui/gtest_check_host.h"
#include "check/ui/list_cursor.h"
#include "check/ui/wait_loop.h"
#include "kernel/language/language.h"
#include "kernel/model/globals.h"
#include "kernel/ui/modul_dde_hndl.h"
#include "picture/frame_bild_kk.h"
#include "picture/mal_status_bar.h"
#include "picture/my_scroll_bar.h"
#include "platform/codepage.h"
#include "simlib/vpsimmod_abi.h"

namespace {

QString Q(const std::string& s)
{
    return QString::fromStdString(s);
}

constexpr std::array<uint8_t, 12> kCellHeights = {1, 2, 3, 4, 5, 6, 7, 9, 10, 12, 13, 14};

}  // namespace

TFormGTest::TFormGTest(QWidget* parent)
    : T_FormBildKKZoom(parent, "G-Test", FormRole::Simulation),
      source_(std::make_unique<DllSimRowSource>()),
      cache_(*source_),
      painter_(cache_)
{
    setObjectName("G_Test");
    if (!GTestText)
        GTestText = new TFormGTestText(parent);
    if (!FormToolBarSim)
        FormToolBarSim = new TFormToolBarSim(parent);
    TakePaletteColours();
    SetPictureHeight(1);
    EnableZoomBar(kZoomSteps);
    AttachToolBar();
    FormToolBarSim->setWindowTitle(windowTitle() + " \\ " + GTestText->windowTitle());
}

TFormGTest::~TFormGTest()
{
    if (FormToolBarSim && FormToolBarSim->ToolBarSim->parent() == PanelToolBar)
        FormToolBarSim->ToolBarSim->setParent(FormToolBarSim->PanelToolBar);
}

QAction* TFormGTest::ToolButton(const QString& name) const
{
    return FormToolBarSim ? FormToolBarSim->Button(name) : nullptr;
}

void TFormGTest::AttachToolBar()
{
    QToolBar* bar = FormToolBarSim->ToolBarSim;
    bar->setParent(PanelToolBar);
    bar->move(0, 0);
    bar->adjustSize();
    bar->show();
    PanelToolBar->resize(width(), bar->sizeHint().height());
    for (QAction* a : bar->actions()) {
        if (a->objectName().isEmpty())
            continue;
        disconnect(a, &QAction::triggered, nullptr, nullptr);
        connect(a, &QAction::triggered, this, [this, a] { ToolButtonClick(a); });
    }
    const QString start = ToolButton("ToolButtonStart")->toolTip();
    const QString step = ToolButton("ToolButtonSchrittweise")->toolTip();
    startLetter_ = start.isEmpty() ? QChar('S') : start.at(0).toUpper();
    stepLetter_ = step.isEmpty() ? QChar('E') : step.at(0).toUpper();
    LayOut();
}

void TFormGTest::TakePaletteColours()
{
    originalEntries_ = Palette().Entries();
}

void TFormGTest::CopyColour(uint8_t from, uint8_t to)
{
    auto entries = Palette().Entries();
    std::copy_n(entries.begin() + 4 * from, 3, entries.begin() + 4 * to);
    SetPaletteEntries(entries);
}

void TFormGTest::RestoreCarrierColours()
{
    // The carrier colours are entries 32 to 95.
    auto entries = Palette().Entries();
    std::copy(originalEntries_.begin() + 4 * 32, originalEntries_.begin() + 4 * 96, entries.begin() + 4 * 32);
    SetPaletteEntries(entries);
}

void TFormGTest::SetRowSource(std::unique_ptr<SimRowSource> source)
{
    source_ = std::move(source);
    cache_.SetSource(*source_);
}

// --- picture window operations ----------------------------------------------

void TFormGTest::ScrollBarChange(T_MyScrollBar* bar)
{
    // New rows place the view themselves.
    if (silentScroll_)
        return;
    T_FormBildKKZoom::ScrollBarChange(bar);
}

uint8_t TFormGTest::CellSizeFromZoom(uint8_t step)
{
    return kCellHeights[std::clamp<size_t>(step, 1, kCellHeights.size()) - 1];
}

uint8_t TFormGTest::HandleKey(char32_t key)
{
    const QChar c = QChar(static_cast<char16_t>(key)).toUpper();
    if (c == startLetter_) {
        ToolButtonStartClick();
        return 1;
    }
    if (c == stepLetter_) {
        ToolButtonSchrittweiseClick();
        return 1;
    }
    return c == QChar('Z') ? 1 : 0;
}

void TFormGTest::ChooseRenderMode(uint8_t& mode, uint8_t& symbolFlag, uint8_t& gridFlag, uint8_t& accentColour,
                                  uint8_t cellWidth, uint8_t)
{
    mode = cellWidth == 1 ? 6 : cellWidth <= 16 ? 2 : 0;
    symbolFlag = 0;
    gridFlag = 0;
    accentColour = kSimGridColour;
}

void TFormGTest::GetDisplayCell(uint16_t x, uint16_t y, uint32_t& shown, uint8_t& reference, uint8_t& combined)
{
    const auto cells = cache_.DisplayCells(x, y);
    shown = cells.empty() ? cache_.Background(y) : cells[0];
    reference = 255;
    combined = 0;
}

std::span<const uint8_t> TFormGTest::GetCellPointer(int32_t x, int32_t y)
{
    return cache_.DisplayCells(x, y);
}

void TFormGTest::DrawRowsCustom2(const BandRequest& band)
{
    cache_.SetCellWidth(band.cellWidth);
    SimPaintSettings s;
    s.shapes = SimRowPainter::ShapesOfWidth(shapes_, band.cellWidth);
    s.argb = &Palette().Argb();
    s.gridPeriod = gridPeriod;
    s.marks = marks;
    if (interruptible)
        s.interrupted = [this] { return MouseCellChanged(); };
    painter_.DrawRowsCustom2(band, s);
}

SimCell TFormGTest::GetSimCell(int32_t x, int32_t y)
{
    return cache_.GetSimCell(x, y);
}

// --- the run -----------------------------------------------------------------------

bool TFormGTest::WalkRunning() const
{
    return run_.runStarted() && !CheckState.checkFinished;
}

void TFormGTest::LibraryStarted(uint16_t needleStart, std::vector<uint8_t> shapes)
{
    shapes_ = std::move(shapes);
    SetPictureWidth(std::max<uint16_t>(needleStart, 1));
    run_.LibraryStarted();
    shownRows_ = -1;
    RefreshRows(0);
    GTestText->Clear();
    pending_.clear();
    for (const char* name : {"ToolButtonStart", "ToolButtonSchrittweise"})
        ToolButton(name)->setEnabled(true);
    ToolButton("ToolButtonFehler")->setEnabled(false);
}

void TFormGTest::InstallSinks()
{
    CheckState.carrierReportSink = [this](const std::string& piece) { pending_ += piece; };
    CheckState.messageSink = [this](const std::string& text) {
        GTestText->AddLine(Q(pending_ + text + " "));
        pending_.clear();
        ToolButton("ToolButtonFehler")->setEnabled(true);
    };
}

void TFormGTest::DropRun()
{
    run_.Reset();
    cache_.Drop();
    cache_.SetHeight(0);
    cache_.SetFabricRows(0);
    shownRows_ = 0;
    shapes_.clear();
    // The new height wipes the picture; nothing is asked of the library,
    // which is being freed.
    const uint8_t enabled = redrawEnabled;
    redrawEnabled = 0;
    SetPictureHeight(1);
    redrawEnabled = enabled;
}

void TFormGTest::RunCheckRoutine()
{
    remote = Fernsteuerung;
    pace_.Reset();
    TestModus = 1;
    GTestCheckHost host(*this);
    RunProgramCheck();
}

void TFormGTest::ToolButtonStartClick()
{
    if (run_.Press(false)) {
        SimDllFfEinAus(Switches().carriers ? 1 : 0);
        RunCheckRoutine();
    }
}

void TFormGTest::ToolButtonSchrittweiseClick()
{
    if (run_.Press(true)) {
        SimDllFfEinAus(Switches().carriers ? 1 : 0);
        RunCheckRoutine();
    }
}

void TFormGTest::RefreshRows(uint16_t height)
{
    const int32_t oldFabric = cache_.FabricRows();
    const int32_t old = shownRows_;
    const int32_t fabric = Switches().carriers ? std::max(0, height - kCarrierBarRows) : height;
    cache_.SetHeight(height);
    cache_.SetFabricRows(fabric);
    cache_.Drop();
    shownRows_ = height;
    if (height == old)
        return;
    const int32_t visible = Geometry(0).visibleRows;
    // Rows grow on top of a view that shows the highest rows: the kept
    // images move down and only the new rows are drawn.
    const bool following = old > 0 && height > old && (old <= visible || firstVisibleRow + visible - 1 >= old);
    const uint8_t enabled = redrawEnabled;
    redrawEnabled = 0;
    if (following)
        ShiftViewForNewRows(height - old);
    // A new picture height wipes the kept images: the rows they hold stay.
    std::vector<QImage> kept;
    if (following)
        for (int p = 0; p < PaneCount(); ++p)
            kept.push_back(Pane(p)->keptImage);
    silentScroll_ = true;
    SetPictureHeight(std::max<uint16_t>(height, 1));
    for (size_t p = 0; p < kept.size(); ++p)
        if (kept[p].size() == Pane(static_cast<int>(p))->keptImage.size())
            Pane(static_cast<int>(p))->keptImage = kept[p];
    // The view follows the newest row.
    const bool taller = visible < height;
    if (taller)
        SetBarPosition(VerScrollBar, VerScrollBar->minimum());
    silentScroll_ = false;
    ApplyScrollPosition();
    redrawEnabled = enabled;
    if (following)
        RedrawCells(1, std::min(old, oldFabric) + 1, PictureWidth(), height);
    else
        RedrawCells();
}

void TFormGTest::P_SimulationAnzeigen(bool ended)
{
    // A fast run draws once a frame: the strokes between only count, since
    // no screen shows more. Single steps and the run's end draw every time.
    if (!ended && run_.mode() == GTestRunState::Fast && !pace_.Due())
        return;
    // Keys and buttons of the window between two strokes.
    if (!ended)
        QCoreApplication::processEvents();
    if (run_.mode() == GTestRunState::Aborted) {
        close();
        return;
    }
    RefreshRows(source_->height());
    if (!ended) {
        if (run_.AfterStroke(remote)) {
            WaitLoop([this] { return run_.mode() != GTestRunState::Waiting; });
            // A run going on fast after the wait draws its next stroke.
            pace_.Reset();
        }
        return;
    }
    if (run_.mode() == GTestRunState::Ended)
        EndOfRun();
}

void TFormGTest::EndOfRun()
{
    for (const char* name : {"ToolButtonStart", "ToolButtonSchrittweise"})
        ToolButton(name)->setEnabled(false);
    const uint16_t strokes = CheckExportEnd().strokes;
    if (strokes != 0) {
        GTestText->AddLine(QString());
        GTestText->AddLine(Q(F_TRANS("Anzahl der Schlittenhübe: ") + std::to_string(strokes)));
    }
    if (!remote)
        return;
    if (TModulDdeHndl* dde = CheckShell() ? CheckShell()->dde() : nullptr) {
        dde->SendDdeCommand("Derodi", "CARRIAGEAMOUNT " + std::to_string(strokes), false);
        dde->CloseDdeLink();
    }
    close();
}

void TFormGTest::closeEvent(QCloseEvent* event)
{
    CheckState.userAbort = 1;
    if (run_.Close(WalkRunning()) == GTestRunState::CloseAnswer::Refuse) {
        // The walk stops at its next stroke; the close follows its end.
        CheckState.continueFlag = 1;
        event->ignore();
        return;
    }
    T_FormBildKKZoom::closeEvent(event);
    if (!event->isAccepted())
        return;
    WaitNote note;
    if (SimDllRecord.usable())
        SimDllSpeicherFrei();
    SetCheckItemsEnabled(true);
    DropRun();
}

// --- tool buttons ------------------------------------------------------------------

void TFormGTest::SetSwitches(const SimDisplaySwitches& s)
{
    cache_.SetSwitches(s);
    RedrawCells();
}

std::pair<uint16_t, uint16_t> TFormGTest::MarkedRows() const
{
    if (marks.state == 0)
        return {0, 0};
    return {marks.start, marks.end};
}

void TFormGTest::ClearMarks()
{
    marks = {};
    rowStored_ = false;
    ReleaseMarkButtons();
}

void TFormGTest::TakeSideMargin(uint16_t margin)
{
    if (!rowStored_)
        marks.start = margin;
}

void TFormGTest::ReleaseMarkButtons()
{
    if (FormToolBarSim)
        for (const char* name : {"ToolButtonTrindelStart", "ToolButtonTrindelEnde"})
            FormToolBarSim->ShowState(name, false);
}

void TFormGTest::ToolButtonClick(QAction* button)
{
    const QString name = button->objectName();
    const bool on = button->isChecked();
    const bool markButton = name == "ToolButtonTrindelStart" || name == "ToolButtonTrindelEnde";
    if (!markButton) {
        ReleaseMarkButtons();
        marks.state = rowStored_ ? 1 : 0;
    }
    SimDisplaySwitches s = Switches();
    if (name == "ToolButtonStart") {
        ToolButtonStartClick();
    } else if (name == "ToolButtonSchrittweise") {
        ToolButtonSchrittweiseClick();
    } else if (name == "ToolButtonGitter") {
        s.grid = on;
        SetSwitches(s);
    } else if (name == "ToolButtonFadenfuehrer") {
        s.carriers = on;
        cache_.SetSwitches(s);
        SimDllFfEinAus(on ? 1 : 0);
        shownRows_ = -1;
        RefreshRows(source_->height());
    } else if (name == "ToolButtonFehler") {
        if (on)
            GTestText->ShowBeside(*this);
        else
            GTestText->hide();
    } else if (name == "ToolButtonAltesGarn") {
        s.oldYarn = on;
        SetSwitches(s);
    } else if (name == "ToolButtonFestigkeit") {
        s.density = on;
        SetSwitches(s);
    } else if (name == "ToolButtonCursor") {
        bigCursor = on;
        on ? CrosshairOn() : CrosshairOff();
    } else if (name == "ToolButtonDarstellungsArt" || name == "ToolButtonJacquardSeite") {
        (name == "ToolButtonDarstellungsArt" ? jacquard : jacquardBack) = on;
        SimDllShowJacquard(jacquard ? 1 : 0, jacquardBack ? 1 : 0);
        cache_.Drop();
        RedrawCells();
    } else if (markButton) {
        const bool start = name == "ToolButtonTrindelStart";
        FormToolBarSim->ShowState(start ? "ToolButtonTrindelEnde" : "ToolButtonTrindelStart", false);
        marks.state = on ? (start ? 2 : 3) : (rowStored_ ? 1 : 0);
    }
    if (button->isCheckable() && !markButton)
        FormToolBarSim->ShowState(name, button->isChecked());
    else if (markButton)
        FormToolBarSim->ShowState(name, on);
}

// --- pointing ----------------------------------------------------------------------

void TFormGTest::ShowBildMouseDown(TFrameBildKK* pane, QMouseEvent* event)
{
    T_FormBildKKZoom::ShowBildMouseDown(pane, event);
    const int32_t x = currentCellX, y = currentCellY;
    if (!InPicture(x, y) || run_.mode() == GTestRunState::Created)
        return;
    if (event->button() == Qt::LeftButton) {
        if (marks.state == 2 || marks.state == 3) {
            (marks.state == 2 ? marks.start : marks.end) = static_cast<uint16_t>((y + 1) / 2);
            marks.state = 1;
            rowStored_ = true;
            ReleaseMarkButtons();
            RedrawCells();
        } else if (Switches().carriers && y > FabricRows()) {
            SimDllSetFfBar(static_cast<uint16_t>(x));
        }
    } else if (event->button() == Qt::RightButton && y <= FabricRows()) {
        const uint8_t colour = GetSimCell(x, y).c[1];
        selectedColour = source_->carrierOf(colour) ? colour : 0;
        PreparePopup(selectedColour);
        FormToolBarSim->PopupMnuSim->popup(event->globalPosition().toPoint());
    }
}

void TFormGTest::CellEvent()
{
    T_FormBildKKZoom::CellEvent();
    PointAt(currentCellX, currentCellY);
}

void TFormGTest::PointAt(int32_t x, int32_t y)
{
    if (!InPicture(x, y) || y > FabricRows() || run_.mode() == GTestRunState::Created) {
        ShowCellHint(QString());
        return;
    }
    const SimCell cell = GetSimCell(x, y);
    const std::string label = source_->comment(static_cast<uint16_t>(y));
    const SimExtras extras = source_->extras(cell.c[1], static_cast<uint16_t>(x), static_cast<uint16_t>(y));
    SimCellInfo info;
    info.label = Cp1252ToUtf8(label);
    info.carrier = source_->carrierOf(cell.c[1]);
    info.density = ValueText(extras.density);
    info.racking = static_cast<int8_t>(extras.racking);
    StatusBar->SetStatusText(3, Q(SimStatusText(info, statusWords)));
    ShowCellHint(Q(SimHintText(info, statusWords)));

    const StrokeLabel l = ParseStrokeLabel(label, systemWord);
    if (l.zRow) {
        // The side's mark: the system, and bit 8 on the front bed's rows.
        const int32_t field = l.system | (y % 2 == 1 ? 0x100 : 0);
        if (l.zRow != listZ || field != listField) {
            listZ = l.zRow;
            listField = field;
            MoveListCursor("Z_Liste", listZ, listField);
        }
    }
    if (l.sLine && l.sLine != listS) {
        listS = l.sLine;
        MoveListCursor("S_Liste", listS, 65535);
    }
}

void TFormGTest::changeEvent(QEvent* event)
{
    T_FormBildKKZoom::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

void TFormGTest::DeactivateHook()
{
    MoveListCursor("Z_Liste", listZ, listField);
    MoveListCursor("S_Liste", listS, 65535);
}
