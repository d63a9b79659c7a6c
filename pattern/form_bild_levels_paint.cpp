// The painting part of the layered painting form: the palette's buttons
// and pop-ups, the mouse tool machine, colour keys, the write rule's run
// forms and the Edit menu's undo. The rules live in the painting core; the
// form hands it the cells, the size and levels, and the mouse.
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QToolButton>
#include <utility>

#include "kernel/dispatch/busystate.h"
#include "pattern/bind_edit_action.h"
#include "pattern/form_bild_levels.h"
#include "pattern/tool_option_buttons.h"
#include "pattern/tool_option_popup.h"
#include "pattern/zeichenfunktionen.h"
#include "platform/codepage.h"

namespace {


// Buttons that open their option pop-up on a click of their own.
bool IsOptionButton(const QString& name)
{
    for (ToolOption option : {ToolOption::Slope, ToolOption::LineType, ToolOption::LineWidth, ToolOption::Outline,
                              ToolOption::InsertDelete})
        if (name == QLatin1String(ToolOptionPopup::PaletteButtonName(option)))
            return true;
    return false;
}

MouseButton ToMouse(Qt::MouseButton b)
{
    return b == Qt::RightButton ? MouseButton::Right : b == Qt::MiddleButton ? MouseButton::Middle : MouseButton::Left;
}

}  // namespace

void TFormBildLevels::SyncPaintCore()
{
    if (paint.width != static_cast<int32_t>(PictureWidth()) || paint.height != static_cast<int32_t>(PictureHeight()))
        core_->SetPictureSize(PictureWidth(), PictureHeight());
    UpdatePaintState();
    core_->SetLevelStates(Levels().States());
    core_->workBmp = workBitmapFile;
    core_->colours = Palette().Argb();
    core_->cutFillsWithBackground = cutFillsWithBackground != 0;
    paint.currentLevel = Levels().CurrentLevel();
    paint.referenceLevel = Levels().ReferenceLevel();
    const QString symbols = QString::fromStdString(Cp1252ToUtf8(SymbolText()));
    if (core_->Symbols() != symbols.toStdU32String())
        core_->SetSymbols(symbols.toStdU32String());
}

void TFormBildLevels::SetPictureWidth(uint16_t width)
{
    T_FormBildKKZoom::SetPictureWidth(width);
    core_->SetPictureSize(PictureWidth(), PictureHeight());
}

void TFormBildLevels::SetPictureHeight(uint16_t height)
{
    T_FormBildKKZoom::SetPictureHeight(height);
    core_->SetPictureSize(PictureWidth(), PictureHeight());
}

// The zoom bar's pick runs first; an event that ends a pending pick is the
// pick's, not the tool's.
void TFormBildLevels::CellEvent()
{
    const bool pending = ZoomPending();
    T_FormBildKKZoom::CellEvent();
    SyncPaintCore();
    core_->CellEvent({currentCellX, currentCellY, buttonState, pending || ZoomPending()});
    FeedbackShowAndDrop();
}

uint8_t TFormBildLevels::HandleKey(char32_t key)
{
    SyncPaintCore();
    return core_->HandleKey(key) ? 1 : 0;
}

// Symbol keys are the form's before the menus see them; everything else
// (Alt+Backspace, Ctrl+S) stays with the main window.
bool TFormBildLevels::ClaimsKey(const QKeyEvent* event) const
{
    if (T_FormBildKKZoom::ClaimsKey(event))
        return true;
    const QString text = event->text();
    if (text.size() != 1 || (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        return false;
    return core_->TakesKey(text.at(0).unicode());
}

void TFormBildLevels::FilterPaintRow(std::span<const uint8_t> colours, std::span<uint8_t> cells)
{
    core_->FilterPaintRow(colours, cells);
}

std::vector<std::span<uint8_t>> TFormBildLevels::GetRowBytes(int32_t i, uint8_t mode)
{
    SyncPaintCore();
    return core_->GetRowBytes(i, mode);
}

void TFormBildLevels::Rueckgaengig1Click()
{
    if (ProgramBusy())
        return;
    SyncPaintCore();
    core_->Rueckgaengig1Click();
    FeedbackShowAndDrop();
}

void TFormBildLevels::SpeedButtonMouseUp(QObject* button, Qt::MouseButton mouse)
{
    SyncPaintCore();
    core_->SpeedButtonMouseUp(button->objectName().toStdString(), ToMouse(mouse));
}

void TFormBildLevels::ColSchutzTranspPopUp_Click(ColourFlagKind kind, int item)
{
    if (item < 0 || item > 3)
        return;
    core_->ColSchutzTranspPopUp_Click(kind, static_cast<FlagPopupItem>(item));
}

void TFormBildLevels::WirePalette()
{
    TZeichenfunktionen* palette = Zeichenfunktionen;
    if (!palette || paletteWired_)
        return;
    paletteWired_ = true;
    for (QToolButton* b : palette->Buttons())
        b->installEventFilter(this);
    // Choosing an outline mode or an insert/delete code chooses its tool.
    ConnectToolOptionButtons(palette, this, [this](ToolOption option, int chosen) {
        if (chosen == 0 || !Zeichenfunktionen)
            return;
        if (option == ToolOption::Outline || option == ToolOption::InsertDelete)
            SpeedButtonMouseUp(Zeichenfunktionen->Button(ToolOptionPopup::PaletteButtonName(option)), Qt::LeftButton);
    });
    const std::pair<QMenu*, ColourFlagKind> menus[] = {{palette->ColSchutz_PopupMenu, ColourFlagKind::Protected},
                                                       {palette->ColTransp_PopupMenu, ColourFlagKind::Transparent}};
    for (auto [menu, kind] : menus) {
        const QList<QAction*> items = menu->actions();
        for (int i = 0; i < items.size(); ++i)
            connect(items[i], &QAction::triggered, this, [this, kind, i] { ColSchutzTranspPopUp_Click(kind, i); });
    }
}

bool TFormBildLevels::eventFilter(QObject* watched, QEvent* event)
{
    auto* button = qobject_cast<QToolButton*>(watched);
    if (!button || !Zeichenfunktionen || button->window() != Zeichenfunktionen)
        return T_FormBildKKZoom::eventFilter(watched, event);
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick && type != QEvent::MouseButtonRelease)
        return false;
    const QString name = button->objectName();
    if (IsOptionButton(name))
        return false;
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (type == QEvent::MouseButtonPress && mouse->button() == Qt::RightButton &&
        (name == "ColSchutz_SpeedButton" || name == "ColTransp_SpeedButton")) {
        QMenu* menu = name == "ColSchutz_SpeedButton" ? Zeichenfunktionen->ColSchutz_PopupMenu
                                                      : Zeichenfunktionen->ColTransp_PopupMenu;
        menu->popup(mouse->globalPosition().toPoint());
        return true;
    }
    if (type != QEvent::MouseButtonRelease)
        return button->isEnabled();
    if (!button->isEnabled() || !button->rect().contains(mouse->position().toPoint()))
        return true;
    if (name == "GrosserCursor_SpeedButton") {
        crosshairOn ? CrosshairOff() : CrosshairOn();
        button->setChecked(crosshairOn != 0);
    } else if (name == "BildRaster_SpeedButton") {
        gridFlag = gridFlag ? 0 : 1;
        button->setChecked(gridFlag != 0);
        RedrawCells();
    } else {
        SpeedButtonMouseUp(button, mouse->button());
    }
    return true;
}

void TFormBildLevels::showEvent(QShowEvent* event)
{
    T_FormBildKKZoom::showEvent(event);
    WirePalette();
    SyncPaintCore();
    paintView_->ForegroundChanged(core_->Foreground());
    paintView_->BackgroundChanged(core_->Background());
    if (core_->ToolNow() != 0)
        core_->P_EinSchalten_SpeedButton(true);
    BindEditOnShow();
    // Shown at the activation that follows: the colour window belongs to
    // this window, and a window manager that meets it before this window
    // is on the screen does not know the window it belongs to (openbox
    // then stacks it as a window of its own).
    colourWindowDue_ = true;
}

void TFormBildLevels::hideEvent(QHideEvent* event)
{
    T_FormBildKKZoom::hideEvent(event);
    core_->Hide();
    UnbindAllEditActions();
}

void TFormBildLevels::changeEvent(QEvent* event)
{
    T_FormBildKKZoom::changeEvent(event);
    if (event->type() != QEvent::ActivationChange || !isActiveWindow())
        return;
    if (std::exchange(colourWindowDue_, false))
        ShowColourWindow();
    // Another window may have taken the shared undo entry meanwhile.
    if (core_->UndoBound())
        paintView_->RebindUndo();
}
