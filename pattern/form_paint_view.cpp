#include "pattern/form_paint_view.h"

#include "pattern/form_multi_copy.h"

#include <QFontDialog>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include "pattern/motif/motif_image.h"

#include <QApplication>
#include <QLabel>
#include <QToolButton>

#include "kernel/language/language.h"
#include "kernel/services/services.h"
#include "kernel/ui/form_hold.h"
#include "kernel/ui/translate_form.h"
#include "pattern/bind_edit_action.h"
#include "pattern/form_bild_levels.h"
#include "pattern/zeichenfunktionen.h"

namespace {

QString Symbol(const TFormBildLevels& form, uint8_t colour)
{
    const std::u32string& symbols = form.Core().Symbols();
    return colour < symbols.size() ? QString::fromUcs4(&symbols[colour], 1) : QString();
}

void PaintPanel(QWidget* panel, QRgb rgb)
{
    if (!panel)
        return;
    const QColor c = QColor::fromRgb(rgb);
    QPalette pal = panel->palette();
    pal.setColor(QPalette::Window, c);
    // The symbol stays readable on dark and light colours alike.
    pal.setColor(QPalette::WindowText, c.lightness() < 128 ? Qt::white : Qt::black);
    panel->setPalette(pal);
    panel->setAutoFillBackground(true);
}

}  // namespace

FormPaintView::FormPaintView(TFormBildLevels& form, std::function<void()> undo)
    : form_(form), undo_(std::move(undo))
{
}

void FormPaintView::FeedbackFrame(int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    ClearFeedback();
    for (int p = 0; p < form_.PaneCount(); ++p)
        form_.FeedbackFrame(p, x1, y1, x2, y2);
}

void FormPaintView::FeedbackQuad(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x3, int32_t y3, int32_t x4,
                                 int32_t y4)
{
    ClearFeedback();
    form_.FeedbackQuad(x1, y1, x2, y2, x3, y3, x4, y4);
}

void FormPaintView::ClearFeedback()
{
    form_.FeedbackBegin();
    form_.FeedbackWipe();
}

void FormPaintView::SetMarkedRange(int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    if (x2 < x1 || y2 < y1 || x1 < 1)
        form_.SetMarkedRange(-1, -1, -1, -1);
    else
        form_.SetMarkedRange(x1, y1, x2, y2);
}

void FormPaintView::ShowCellHint(const std::string& text)
{
    form_.ShowCellHint(QString::fromStdString(text));
}

void FormPaintView::HideCellHint()
{
    form_.ShowCellHint(QString());
}

void FormPaintView::SetBusy(bool busy)
{
    if (busy) {
        if (busy_++ == 0)
            QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (busy_ > 0 && --busy_ == 0) {
        QApplication::restoreOverrideCursor();
    }
}

void FormPaintView::SetToolHint(const std::string& first, const std::string& second)
{
    // The hint translation takes each part on its own and turns the mouse
    // markers into the form the hint window draws as pictures.
    std::string hint = first;
    if (!second.empty())
        hint += "\xc2\xbf" + second;
    SetTranslatedHint(&form_, QString::fromStdString(hint));
}

void FormPaintView::SetToolButtonDown(const std::string& button, bool down)
{
    if (QToolButton* b = form_.Zeichenfunktionen ? form_.Zeichenfunktionen->Button(QString::fromStdString(button))
                                                  : nullptr)
        b->setChecked(down);
}

void FormPaintView::SetButtonGlyph(const std::string& button, int image)
{
    TZeichenfunktionen* palette = form_.Zeichenfunktionen;
    if (!palette || image < 0 || image >= palette->ImageList1.size())
        return;
    if (QToolButton* b = palette->Button(QString::fromStdString(button))) {
        b->setIcon(palette->ImageList1[image]);
        b->setProperty("glyph", image);
    }
}

void FormPaintView::BindUndo(bool bound)
{
    BindEditAction(1, !bound, bound ? undo_ : nullptr);
}

void FormPaintView::RebindUndo()
{
    BindEditAction(1, false, undo_);
}

void FormPaintView::Warning(const std::string& text)
{
    P_WarningBox(text);
}

void FormPaintView::TakeFocus()
{
    if (form_.isVisible())
        form_.setFocus();
}

void FormPaintView::ForegroundChanged(uint8_t colour)
{
    TZeichenfunktionen* palette = form_.Zeichenfunktionen;
    if (!palette)
        return;
    form_.ColourChosen(false, colour);
    PaintPanel(palette->Vordergrund_Panel, form_.Palette().Argb()[colour]);
    palette->Vordergrund_Panel->setText(Symbol(form_, colour));
}

void FormPaintView::BackgroundChanged(uint8_t colour)
{
    TZeichenfunktionen* palette = form_.Zeichenfunktionen;
    if (!palette)
        return;
    form_.ColourChosen(true, colour);
    PaintPanel(palette->Hintergrund_Panel, form_.Palette().Argb()[colour]);
    palette->Hintergrund_Panel->setProperty("symbol", Symbol(form_, colour));
}

void FormPaintView::FlagMarkChanged(ColourFlagKind kind, uint8_t colour, bool on)
{
    form_.ColourMarkChanged(kind, colour, on);
}

void FormPaintView::P_KopierenButtonEnable(bool on)
{
    form_.P_KopierenButtonEnable(on);
}

void FormPaintView::BindMotifCommands(bool on)
{
    form_.BindMotifCommands(on);
}

int FormPaintView::MultiCopyCount(uint8_t tool)
{
    const FormHold hold(&form_);
    const int count = ::MultiCopyCount(tool);
    return hold.Gone() ? 0 : count;
}

void FormPaintView::SetCaption(const std::string& text)
{
    form_.setWindowTitle(QString::fromStdString(text));
}

void FormPaintView::PaletteChanged(const std::array<uint32_t, 256>& colours)
{
    form_.SetPaletteColours(colours);
    form_.FarbpaletteamBildschirmaktualisieren();
}

bool FormPaintView::ChooseFont()
{
    const QFont start = form_.textFont.value_or(form_.font());
    std::optional<QFont> chosen;
    const FormHold hold(&form_);
    if (form_.fontChooser) {
        chosen = form_.fontChooser(start);
    } else {
        bool ok = false;
        const QFont font = QFontDialog::getFont(&ok, start, &form_);
        if (ok)
            chosen = font;
    }
    if (hold.Gone())
        return false;
    if (chosen)
        form_.textFont = *chosen;
    return chosen.has_value();
}

// Drawn without smoothing on the transparent colour, every pixel is either
// the text's colour or the ground's: no mixed shades to map.
bool FormPaintView::RenderText(const std::u32string& text, MotifImage& motif)
{
    QFont font = form_.textFont.value_or(form_.font());
    font.setStyleStrategy(QFont::NoAntialias);
    const QFontMetrics metrics(font);
    const QString string = QString::fromStdU32String(text);
    const int width = metrics.horizontalAdvance(string);
    const int height = metrics.height();
    if (width <= 0 || height <= 0)
        return false;
    const PaintState& s = form_.paint;
    const uint8_t foreground = form_.Core().Foreground();
    const QRgb ground = form_.Palette().Argb()[s.transparentColour] | 0xff000000u;
    const QRgb ink = form_.Palette().Argb()[foreground] | 0xff000000u;
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(ground);
    {
        QPainter painter(&image);
        painter.setFont(font);
        painter.setPen(QColor::fromRgb(ink == ground ? ground ^ 0x00ffffffu : ink));
        painter.drawText(0, metrics.ascent(), string);
    }
    motif = MotifImage::Blank(width, height, 1, s.transparentColour);
    for (int y = 0; y < height; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        uint8_t* out = motif.Line(y);
        for (int x = 0; x < width; ++x)
            if ((line[x] | 0xff000000u) != ground)
                out[x] = foreground;
    }
    return true;
}
