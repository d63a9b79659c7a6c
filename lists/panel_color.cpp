#include "lists/panel_color.h"

#include <QMouseEvent>
#include <QPainter>
#include <qdrawutil.h>

#include "lists/core/symbol_farben.h"

namespace {
QColor Rgb(uint32_t rgb)
{
    return QColor((rgb >> 16) & 0xff, (rgb >> 8) & 0xff, rgb & 0xff);
}
}  // namespace

TPanelColor::TPanelColor(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TPanelColor::SetLongTag(uint32_t value)
{
    longTag_ = value;
    if (OnLongTagChanged)
        OnLongTagChanged(*this);
}

void TPanelColor::SetSymbolMode(uint8_t mode)
{
    if (mode != symbolMode_) {
        symbolMode_ = mode;
        update();
    }
}

void TPanelColor::SetColourTable(const std::string* table)
{
    colourTable_ = table;
    update();
}

void TPanelColor::SetText(const QString& text)
{
    if (text != text_) {
        text_ = text;
        update();
    }
}

void TPanelColor::SetAlignment(Qt::Alignment alignment)
{
    if (alignment != alignment_) {
        alignment_ = alignment;
        update();
    }
}

void TPanelColor::SetColours(const QColor& text, const QColor& background)
{
    if (text != textColour_ || background != background_) {
        textColour_ = text;
        background_ = background;
        update();
    }
}

void TPanelColor::SetBevel(bool raised)
{
    if (raised != bevel_) {
        bevel_ = raised;
        update();
    }
}

void TPanelColor::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect outer = rect();
    const int frame = bevel_ ? 1 : 0;
    const QRect inside = outer.adjusted(frame, frame, -frame, -frame);
    painter.fillRect(inside, background_);
    if (bevel_)
        qDrawShadePanel(&painter, outer, palette(), false, 1);
    painter.setFont(font());
    painter.setClipRect(inside);
    if (symbolMode_ && colourTable_) {
        DrawSymbols(painter, inside);
        return;
    }
    painter.setPen(textColour_);
    painter.drawText(inside, static_cast<int>(alignment_ | Qt::AlignVCenter), text_);
}

void TPanelColor::DrawSymbols(QPainter& painter, const QRect& inside)
{
    const QFontMetrics metrics(font());
    const int width = metrics.horizontalAdvance(text_);
    int x = inside.left();
    if (alignment_ & Qt::AlignHCenter)
        x += (inside.width() - width) / 2;
    else if (alignment_ & Qt::AlignRight)
        x += inside.width() - width;
    for (const QChar c : text_) {
        const int advance = metrics.horizontalAdvance(c);
        const QRect box(x, inside.top(), advance, inside.height());
        const std::optional<SymbolColours> colours =
            c.unicode() < 256 ? FindSymbolColours(*colourTable_, static_cast<unsigned char>(c.unicode()))
                              : std::nullopt;
        QColor fore = textColour_;
        if (colours) {
            // Each symbol stands on its own background, a box as high as the text.
            const QRect glyph(x, inside.top() + (inside.height() - metrics.height()) / 2, advance,
                              metrics.height());
            painter.fillRect(glyph, Rgb(colours->background));
            fore = Rgb(colours->text);
        }
        painter.setPen(fore);
        painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, QString(c));
        x += advance;
    }
}

void TPanelColor::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && focusPolicy() != Qt::NoFocus)
        setFocus(Qt::MouseFocusReason);
    QWidget::mousePressEvent(event);
}

void TPanelColor::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && focusPolicy() != Qt::NoFocus)
        setFocus(Qt::MouseFocusReason);
    QWidget::mouseDoubleClickEvent(event);
}
