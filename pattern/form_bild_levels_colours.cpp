// The colour window "Farben" beside the tool palette: its panels pick and
// flag colours of the painting form, its motif panels keep motifs and
// lend them to the tools as the pattern to paint with.
#include <QApplication>
#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include "kernel/model/globals.h"
#include "kernel/ui/shell_values.h"
#include "pattern/farbauswahl.h"
#include "pattern/form_bild_levels.h"
#include "pattern/pattern_tool_windows.h"
#include "pattern/zeichenfunktionen.h"
#include "picture/core/bmp8_file.h"
#include "platform/codepage.h"

namespace {

// Like the tool palette, one colour window serves every painting form.
TFarbauswahl* FindOrCreateColourWindow()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* found = qobject_cast<TFarbauswahl*>(w); found && found->objectName() == "Farbauswahl")
            return found;
    return new TFarbauswahl(MainForm);
}

ScreenRect Frame(const QWidget* w)
{
    const QRect r = w->frameGeometry();
    return {r.x(), r.y(), r.width(), r.height()};
}

MouseButton FromQt(Qt::MouseButton b)
{
    return b == Qt::RightButton ? MouseButton::Right : MouseButton::Left;
}

}  // namespace

TFarbauswahl* TFormBildLevels::ColourWindow() const
{
    return colourWindow_;
}

void TFormBildLevels::ShowColourWindow()
{
    if (!colourWindow_) {
        colourWindow_ = FindOrCreateColourWindow();
        TFarbauswahl* w = colourWindow_;
        w->motifFolder = TempPfad;
        connect(w, &TFarbauswahl::ColourPanelPressed, this, [this](int panel, Qt::MouseButton b) {
            if (!isVisible())
                return;
            SyncPaintCore();
            core_->IkonCol_MouseDown(panel, FromQt(b));
        });
        connect(w, &TFarbauswahl::MotifPanelPressed, this, [this](int n, Qt::MouseButton b) {
            if (isVisible())
                MotifPanelPressed(n, b);
        });
    }
    TFarbauswahl* w = colourWindow_;
    w->colourText = QString::fromStdString(Cp1252ToUtf8(SymbolText()));
    w->refreshColours = [this] { FarbpaletteamBildschirmaktualisieren(); };
    w->BuildColourGrid();
    w->SetForeground(core_->Foreground());
    w->SetBackground(core_->Background());
    for (size_t c = 0; c < core_->PanelCount(); ++c) {
        w->SetMark(PanelMark::Protect, static_cast<uint8_t>(c), paint.P[c] != 0);
        w->SetMark(PanelMark::Transparent, static_cast<uint8_t>(c), paint.T[c] != 0);
    }
    KeepToolWindowWith(w, this);
    w->F_Visible(1);
    // Placed once shown: only then does it have its size. Shown again, it
    // comes back where it was.
    KeepColourWindowClear();
    w->raise();
}

void TFormBildLevels::PlaceColourWindow()
{
    TFarbauswahl* w = colourWindow_;
    if (!w || !Zeichenfunktionen)
        return;
    const QRect screen = Zeichenfunktionen->screen()->availableGeometry();
    const ScreenRect place =
        PlaceBesidePalette(Frame(Zeichenfunktionen), Frame(this), w->frameGeometry().width(),
                           w->frameGeometry().height(),
                           w->layoutScreen.value_or(ScreenRect{screen.x(), screen.y(), screen.width(), screen.height()}));
    w->move(place.left, place.top);
    colourPlaced_ = true;
    colourPlacedAt_ = w->pos();
    // A window manager frames a window only once it is on the screen: until
    // then Qt takes a frame to be the client area, and the place above may
    // have the palette's or this window's frame wrong by its title bar.
    if (ColourWindowsFramed())
        return;
    if (!framingTimer_) {
        framingTimer_ = new QTimer(this);
        framingTimer_->setSingleShot(true);
        framingTimer_->setInterval(50);
        connect(framingTimer_, &QTimer::timeout, this, &TFormBildLevels::PlaceColourWindowFramed);
    }
    framingChecks_ = 0;
    framesSeen_ = {};
    framingTimer_->start();
}

bool TFormBildLevels::ColourWindowsFramed() const
{
    for (const QWidget* w : {static_cast<const QWidget*>(Zeichenfunktionen), static_cast<const QWidget*>(this),
                             static_cast<const QWidget*>(colourWindow_.data())})
        if (!w || !w->isVisible() || !w->windowHandle() || !w->windowHandle()->isExposed())
            return false;
    return true;
}

void TFormBildLevels::PlaceColourWindowFramed()
{
    TFarbauswahl* w = colourWindow_;
    if (!w || !w->isVisible())
        return;
    // Moved since by the user: it stays. A window manager that framed it may
    // have put it off by its frame, which is no move of the user's.
    const QPoint shift = w->pos() - colourPlacedAt_;
    if (!shift.isNull() && shift != w->geometry().topLeft() - w->pos())
        return;
    // Two seconds at most: a window that never shows keeps the first place.
    constexpr int kFramingChecks = 40;
    const std::array<QRect, 3> frames = {Zeichenfunktionen ? Zeichenfunktionen->frameGeometry() : QRect(),
                                         frameGeometry(), w->frameGeometry()};
    const bool still = frames == framesSeen_;
    framesSeen_ = frames;
    if (!ColourWindowsFramed() || !still) {
        if (++framingChecks_ < kFramingChecks)
            framingTimer_->start();
        return;
    }
    PlaceColourWindow();
}

void TFormBildLevels::KeepColourWindowClear()
{
    TFarbauswahl* w = colourWindow_;
    if (!w || !w->isVisible())
        return;
    if (!colourPlaced_ || (isVisible() && w->frameGeometry().intersects(frameGeometry())))
        PlaceColourWindow();
}

// Both stay on top: a colour window under this one would hide its panels.
void TFormBildLevels::MoveOrSizeEnded()
{
    KeepColourWindowClear();
}

void TFormBildLevels::ColourMarkChanged(ColourFlagKind kind, uint8_t colour, bool on)
{
    if (colourWindow_)
        colourWindow_->SetMark(kind == ColourFlagKind::Protected ? PanelMark::Protect : PanelMark::Transparent, colour,
                               on);
}

void TFormBildLevels::ColourChosen(bool background, uint8_t colour)
{
    if (!colourWindow_)
        return;
    if (background)
        colourWindow_->SetBackground(colour);
    else
        colourWindow_->SetForeground(colour);
}

// A stored motif becomes the pattern the tools paint with; the right button
// in a placing tool stores the work bitmap in the panel instead.
void TFormBildLevels::MotifPanelPressed(int n, Qt::MouseButton button)
{
    QLabel* image = Zeichenfunktionen ? Zeichenfunktionen->MotivFill_Image : nullptr;
    const TFarbauswahl::MotifPress done =
        colourWindow_->PressMotifPanel(n, button, currentTool, workBitmapFile, image);
    if (done != TFarbauswahl::MotifPress::Painting)
        return;
    Bmp8 picture;
    std::string error;
    if (!ReadBmp8(colourWindow_->MotifFile(n), picture, error))
        return;
    FillPattern& p = paint.pattern;
    p.width = picture.width;
    p.height = picture.height;
    p.pixels = picture.pixels;
    p.originX = std::max(core_->Motif().x1, 1);
    p.originY = std::max(core_->Motif().y1, 1);
    paint.motifIsForeground = 1;
}

void TFormBildLevels::FarbpaletteamBildschirmaktualisieren()
{
    if (colourWindow_)
        colourWindow_->PaintPanels(Palette());
}
