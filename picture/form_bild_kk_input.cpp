// The picture window's input: mouse, wheel and keys move the current cell
// and reach the window on top through CellEvent; keyboard cursor, temporary
// zoom, auto-scroll and the cell hint.
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>

#include "kernel/ui/my_hint_window.h"
#include "picture/form_bild_kk.h"
#include "picture/frame_bild_kk.h"
#include "picture/my_scroll_bar.h"
#include "picture/pane_paint_box.h"
#include "platform/qt/vkeys.h"

namespace {

KeyState StateOf(Qt::KeyboardModifiers m)
{
    return {m.testFlag(Qt::ControlModifier), m.testFlag(Qt::ShiftModifier), m.testFlag(Qt::AltModifier)};
}

int VirtualKeyOf(const QKeyEvent* event)
{
    // Shift+Tab arrives as its own key; the table knows only Tab.
    if (event->key() == Qt::Key_Backtab)
        return VK_TAB;
    return VirtualKeyFromQt(event->key(), event->modifiers());
}

// The character a key types, as the keyboard driver makes it: Ctrl with a
// letter or one of @ [ \ ] ^ _ gives its control code (Ctrl+M is Enter,
// Ctrl+H Backspace), Ctrl with Alt is AltGr and types its character, Alt
// alone types nothing and stays with the menus. 0xFFFFFFFF when none.
constexpr char32_t kNoCharacter = 0xFFFFFFFF;

char32_t TypedCharacter(const QKeyEvent* event)
{
    const QString text = event->text();
    const KeyState keys = StateOf(event->modifiers());
    const char32_t c = text.size() == 1 ? text.at(0).unicode() : kNoCharacter;
    if (keys.ctrl && keys.alt)
        return c != kNoCharacter && c >= 32 && c != 127 ? c : kNoCharacter;
    if (keys.alt)
        return kNoCharacter;
    if (!keys.ctrl)
        return c;
    if (c < 32)
        return c;
    const int key = event->key();
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return static_cast<char32_t>(key - Qt::Key_A + 1);
    switch (key) {
    case Qt::Key_At: return 0;
    case Qt::Key_BracketLeft: return 27;
    case Qt::Key_Backslash: return 28;
    case Qt::Key_BracketRight: return 29;
    case Qt::Key_AsciiCircum: return 30;
    case Qt::Key_Underscore: return 31;
    default: return kNoCharacter;
    }
}

}  // namespace

bool TFormBildKK::InCellArea(int p, const QPoint& point) const
{
    const TFrameBildKK* pane = frames_[p];
    return point.y() >= topMargin && point.y() < pane->ShowBild->height() && point.x() >= 0 &&
           point.x() < pane->cellAreaWidth;
}

void TFormBildKK::ShowBildMouseDown(TFrameBildKK* pane, QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    if (!InCellArea(pane->Index(), point))
        return;
    if (keyboardCursor) {
        KeyboardCursorOff();
        return;
    }
    currentPane = pane->Index();
    DrawCrosshair(point.x(), point.y());
    const bool ctrl = event->modifiers().testFlag(Qt::ControlModifier);
    switch (event->button()) {
    case Qt::LeftButton: buttonState = ctrl ? 3 : 1; break;
    case Qt::RightButton: buttonState = 2; break;
    case Qt::MiddleButton: buttonState = 3; break;
    default: return;
    }
    lastMouseX = point.x();
    lastMouseY = point.y();
    mouseTracking = 1;
    CellRoutine(currentPane, 0, false, 0);
}

void TFormBildKK::ShowBildMouseMove(TFrameBildKK* pane, QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    if (mouseMoveBlock || keyboardCursor || !InCellArea(pane->Index(), point))
        return;
    if (pane->Index() != currentPane)
        DrawCrosshair(-1, -1);
    currentPane = pane->Index();
    lastMouseX = point.x();
    lastMouseY = point.y();
    DrawCrosshair(point.x(), point.y());
    mouseTracking = 1;
    CellRoutine(currentPane, 0, false, 0);
}

void TFormBildKK::ShowBildMouseUp(TFrameBildKK*, QMouseEvent*)
{
    if (keyboardCursor)
        return;
    buttonState = 0;
    autoScroll_.Reset();
    TimerCursorInsideTest->stop();
    mouseMoveBlock = 1;
    CellRoutine(currentPane, 0, false, 0);
    mouseMoveBlock = 0;
    TimerCursorInsideTest->start();
}

void TFormBildKK::CellRoutine(int p, int32_t dx, bool keyboardStep, int32_t dy)
{
    if (cellRoutineGuard || p < 0 || p >= PaneCount())
        return;
    cellRoutineGuard = 1;
    if (keyboardStep && p == currentPane) {
        currentCellX = std::clamp(currentCellX + dx, 1, static_cast<int32_t>(pictureWidth_));
        currentCellY = std::clamp(currentCellY + dy, 1, static_cast<int32_t>(pictureHeight_));
        if (crosshairOn && keyboardCursor)
            FollowKeyboardCursor();
    } else if (!keyboardStep && p == currentPane && mouseTracking) {
        const PictureGeometry g = Geometry(p);
        currentCellX = g.ColumnAt(lastMouseX, frames_[p]->firstVisibleColumn);
        currentCellY = g.RowAt(lastMouseY, firstVisibleRow);
    }
    if (temporaryZoom && lastButton_ != -1 && buttonState != lastButton_)
        TemporaryZoomOff();
    if (currentCellX != lastCellX || currentCellY != lastCellY || buttonState != lastButton_) {
        lastCellX = currentCellX;
        lastCellY = currentCellY;
        lastButton_ = buttonState;
        if (frames_[p]->isVisible())
            CellEvent();
    }
    cellRoutineGuard = 0;
}

void TFormBildKK::FollowKeyboardCursor()
{
    TFrameBildKK* pane = frames_[currentPane];
    const PictureGeometry g = Geometry(currentPane);
    const PictureInput::Follow f = PictureInput::FollowCursor(currentCellX, currentCellY, pane->firstVisibleColumn,
                                                              pane->visibleColumns, g.HorizontalRange(),
                                                              firstVisibleRow, g);
    const uint8_t guard = cellRoutineGuard;
    if (f.horizontal != -1 && f.horizontal != pane->HorScrollBar->value())
        SetBarPosition(pane->HorScrollBar, f.horizontal);
    if (f.vertical != -1 && f.vertical != VerScrollBar->value())
        SetBarPosition(VerScrollBar, f.vertical);
    cellRoutineGuard = guard;
    const QPoint centre = CellCentre(currentPane, currentCellX, currentCellY);
    DrawCrosshair(centre.x(), centre.y());
}

bool TFormBildKK::MouseCellChanged()
{
    const TFrameBildKK* pane = frames_[std::clamp(currentPane, 0, PaneCount() - 1)];
    const QPoint point = pane->ShowBild->mapFromGlobal(pointerPosition());
    const PictureGeometry g = Geometry(currentPane);
    const int32_t x = g.ColumnAt(point.x(), pane->firstVisibleColumn);
    const int32_t y = g.RowAt(point.y(), firstVisibleRow);
    if (x == lastCellX && y == lastCellY)
        return false;
    redrawInterrupted = 1;
    return true;
}

void TFormBildKK::KeyboardCursorOn()
{
    keyboardCursor = 1;
    savedCrosshair_ = crosshairOn != 0;
    autoScroll_.Reset();
    TimerCursorInsideTest->stop();
    CrosshairOn();
    CellRoutine(currentPane, 0, true, 0);
}

void TFormBildKK::KeyboardCursorOff()
{
    if (!keyboardCursor)
        return;
    if (buttonState) {
        buttonState = 0;
        CellRoutine(currentPane, 0, true, 0);
    }
    keyboardCursor = 0;
    TimerCursorInsideTest->start();
    if (savedCrosshair_)
        DrawCrosshair(-2, -2);
    else
        CrosshairOff();
    RedrawCells();
}

void TFormBildKK::TemporaryZoomOn()
{
    savedCellWidth = cellWidth;
    savedCellHeight = cellHeight;
    savedHorPositions_.clear();
    for (TFrameBildKK* pane : frames_)
        savedHorPositions_.push_back(pane->HorScrollBar->value());
    savedVerPosition_ = VerScrollBar->value();
    SetCellSize(temporaryZoomCellSize);
    temporaryZoom = 1;
    VerScrollBar->hide();
    for (TFrameBildKK* pane : frames_)
        pane->HorScrollBar->hide();
}

void TFormBildKK::TemporaryZoomOff()
{
    if (!temporaryZoom)
        return;
    temporaryZoom = 0;
    VerScrollBar->show();
    for (TFrameBildKK* pane : frames_)
        pane->HorScrollBar->show();
    SetCellSize(savedCellWidth);
    adjustingBars_ = true;
    for (size_t p = 0; p < frames_.size() && p < savedHorPositions_.size(); ++p)
        SetBarPosition(frames_[p]->HorScrollBar, savedHorPositions_[p]);
    SetBarPosition(VerScrollBar, savedVerPosition_);
    adjustingBars_ = false;
    ApplyScrollPosition();
    RedrawCells();
}

void TFormBildKK::CentreOnCurrentCell()
{
    if (currentCellX == -1 || currentCellY == -1) {
        const TFrameBildKK* pane = frames_[std::clamp(currentPane, 0, PaneCount() - 1)];
        currentCellX = pane->firstVisibleColumn + pane->visibleColumns / 2;
        currentCellY = firstVisibleRow + visibleRows / 2;
    }
    adjustingBars_ = true;
    for (int p = 0; p < PaneCount(); ++p) {
        const PictureGeometry g = Geometry(p);
        if (p == currentPane)
            SetBarPosition(frames_[p]->HorScrollBar,
                           PictureInput::CentredFirstColumn(currentCellX, g.visibleColumns, g.HorizontalRange()));
    }
    const PictureGeometry g = Geometry(currentPane);
    SetBarPosition(VerScrollBar, g.VerticalRange().enabled ? g.PositionForFirstRow(currentCellY - g.visibleRows / 2)
                                                           : VerScrollBar->maximum());
    adjustingBars_ = false;
    // The pointer is moved onto the current cell next: the cell under its
    // old place does not count.
    const uint8_t tracking = mouseTracking;
    mouseTracking = 0;
    ApplyScrollPosition();
    mouseTracking = tracking;
}

void TFormBildKK::SetCellSize(uint8_t size)
{
    if (zoomStepCount > 0)
        size = std::min(size, zoomStepCount);
    size = std::max<uint8_t>(size, 1);
    const uint8_t height = CellSizeFromZoom(size);
    const bool changed = size != cellWidth || height != cellHeight;
    if (currentCellX == -1 || currentCellY == -1)
        CentreOnCurrentCell();
    cellWidth = size;
    cellHeight = height;
    if (changed) {
        const uint8_t enabled = redrawEnabled;
        redrawEnabled = 0;
        UpdateScrollRanges();
        redrawEnabled = enabled;
    }
    CentreOnCurrentCell();
    TFrameBildKK* pane = frames_[std::clamp(currentPane, 0, PaneCount() - 1)];
    const QPoint centre = CellCentre(currentPane, currentCellX, currentCellY);
    // The pointer follows only when it is over the pane: a zoom by key must
    // not pull it away from another window.
    const bool pointerInPane = pane->ShowBild->rect().contains(pane->ShowBild->mapFromGlobal(pointerPosition()));
    if (isVisible() && pointerInPane && pane->ShowBild->rect().contains(centre)) {
        QCursor::setPos(pane->ShowBild->mapToGlobal(centre));
        lastMouseX = centre.x();
        lastMouseY = centre.y();
    }
    if (crosshairOn && keyboardCursor)
        DrawCrosshair(centre.x(), centre.y());
    if (changed) {
        RedrawCells();
        emit cellSizeChanged(cellWidth, cellHeight);
    }
}

void TFormBildKK::ShowCellHint(const QString& text)
{
    if (!isActiveWindow())
        return;
    if (text.isEmpty()) {
        TimerHint->stop();
        HintWindow->ReleaseHint();
        return;
    }
    pendingHint = text;
    TimerHint->start();
}

void TFormBildKK::TimerHintTimer()
{
    TimerHint->stop();
    const TFrameBildKK* pane = frames_[std::clamp(currentPane, 0, PaneCount() - 1)];
    const QPoint at = pane->ShowBild->mapToGlobal(QPoint(lastMouseX + 16, lastMouseY + 16));
    HintWindow->ActivateHint(at, pendingHint, 800);
}

KeyContext TFormBildKK::Context() const
{
    KeyContext c;
    c.keys = {keyCtrl != 0, keyShift != 0, keyAlt != 0};
    c.keyboardCursor = keyboardCursor != 0;
    c.temporaryZoom = temporaryZoom != 0;
    c.pictureWidth = pictureWidth_;
    c.vertical = Geometry(0).VerticalRange();
    c.verticalPosition = VerScrollBar->value();
    const TFrameBildKK* widest = frames_[WidestPane()];
    c.horizontal = Geometry(WidestPane()).HorizontalRange();
    c.horizontalPosition = widest->HorScrollBar->value();
    c.cellWidth = cellWidth;
    c.zoomSteps = zoomStepCount;
    c.temporaryZoomCellSize = temporaryZoomCellSize;
    c.closeAllowed = closeAllowed != 0;
    return c;
}

void TFormBildKK::ApplyKeyAction(const KeyAction& a)
{
    switch (a.kind) {
    case KeyAction::KeyboardCursorOn: KeyboardCursorOn(); break;
    case KeyAction::KeyboardCursorOff: KeyboardCursorOff(); break;
    case KeyAction::VerticalPosition: SetBarPosition(VerScrollBar, a.value); break;
    case KeyAction::HorizontalPosition: SetBarPosition(frames_[WidestPane()]->HorScrollBar, a.value); break;
    case KeyAction::CursorStep: CellRoutine(currentPane, a.dx, true, a.dy); break;
    case KeyAction::SelectLevel: SelectLevel(a.value); break;
    case KeyAction::CellSize: SetCellSize(static_cast<uint8_t>(a.value)); break;
    case KeyAction::ToggleButton:
        buttonState = buttonState ? 0 : 1;
        CellRoutine(currentPane, 0, true, 0);
        break;
    case KeyAction::Close: QTimer::singleShot(0, this, [this] { close(); }); break;
    case KeyAction::TemporaryZoomOn: TemporaryZoomOn(); break;
    case KeyAction::TemporaryZoomOff: TemporaryZoomOff(); break;
    default: break;
    }
}

bool TFormBildKK::ClaimsKey(const QKeyEvent* event) const
{
    return PictureInput::ClaimsNavigationKey(VirtualKeyOf(event), StateOf(event->modifiers()));
}

bool TFormBildKK::FormShortCut(const QKeyEvent* event)
{
    KeyContext c = Context();
    c.keys = StateOf(event->modifiers());
    const KeyAction a = PictureInput::NavigationKey(VirtualKeyOf(event), c);
    if (a.kind == KeyAction::None)
        return false;
    ApplyKeyAction(a);
    return true;
}

void TFormBildKK::FormKeyPress(char32_t key)
{
    if (HandleKey(key))
        return;
    ApplyKeyAction(PictureInput::TypedKey(key, Context()));
}

bool TFormBildKK::event(QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride && ClaimsKey(static_cast<QKeyEvent*>(event))) {
        event->accept();
        return true;
    }
    return QWidget::event(event);
}

void TFormBildKK::keyPressEvent(QKeyEvent* event)
{
    const KeyState keys = StateOf(event->modifiers());
    keyCtrl = keys.ctrl, keyShift = keys.shift, keyAlt = keys.alt;
    if (FormShortCut(event))
        return;
    if (const char32_t c = TypedCharacter(event); c != kNoCharacter) {
        FormKeyPress(c);
        return;
    }
    QWidget::keyPressEvent(event);
}

void TFormBildKK::keyReleaseEvent(QKeyEvent* event)
{
    const KeyState keys = StateOf(event->modifiers());
    keyCtrl = keys.ctrl, keyShift = keys.shift, keyAlt = keys.alt;
    QWidget::keyReleaseEvent(event);
}

bool TFormBildKK::focusNextPrevChild(bool)
{
    return false;
}

void TFormBildKK::wheelEvent(QWheelEvent* event)
{
    event->accept();
    const int32_t step = PictureInput::WheelStep(wheelDivisor, event->angleDelta().y(), StateOf(event->modifiers()),
                                                 VerScrollBar->pageStep(), VerScrollBar->singleStep());
    if (step != 0)
        SetBarPosition(VerScrollBar, VerScrollBar->value() - step);
}

void TFormBildKK::CursorInsideTest()
{
    TFrameBildKK* pane = frames_[std::clamp(currentPane, 0, PaneCount() - 1)];
    const QPoint point = pane->ShowBild->mapFromGlobal(pointerPosition());
    if (redrawInterrupted && !cellRoutineGuard) {
        redrawInterrupted = 0;
        lastCellX = -1;
        CellRoutine(currentPane, 0, false, 0);
    }
    if (!pane->ShowBild->rect().contains(point)) {
        autoScroll_.Reset();
        if (!mouseTracking)
            return;
        mouseTracking = 0;
        DrawCrosshair(-1, -1);
        for (TFrameBildKK* f : frames_)
            f->crosshairCopyX = f->crosshairCopyY = -1;
        if (pane->isVisible())
            CellEvent();
        return;
    }
    autoScroll_.maxSteps = autoScrollMaxSteps;
    const AutoScroll::Step step =
        autoScroll_.Tick(clock(), {point.x(), point.y(), pane->ShowBild->width(), pane->ShowBild->height()},
                         autoScrollEnabled && buttonState != 0, keyboardCursor || temporaryZoom);
    if (step.dx != 0)
        SetBarPosition(pane->HorScrollBar, pane->HorScrollBar->value() + step.dx * pane->HorScrollBar->singleStep());
    if (step.dy != 0)
        SetBarPosition(VerScrollBar, VerScrollBar->value() - step.dy * VerScrollBar->singleStep());
}
