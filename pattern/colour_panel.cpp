#include "pattern/colour_panel.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr int kBevel = 2;

void Bevel(QPainter& p, const QRect& r, bool sunk)
{
    const QColor light(255, 255, 255), dark(64, 64, 64);
    p.setPen(QPen(sunk ? dark : light, kBevel));
    p.drawLine(r.topLeft() + QPoint(1, 1), r.topRight() + QPoint(-1, 1));
    p.drawLine(r.topLeft() + QPoint(1, 1), r.bottomLeft() + QPoint(1, -1));
    p.setPen(QPen(sunk ? light : dark, kBevel));
    p.drawLine(r.bottomLeft() + QPoint(1, 0), r.bottomRight());
    p.drawLine(r.topRight() + QPoint(0, 1), r.bottomRight());
}

}  // namespace

ColourPanel::ColourPanel(int tag, QWidget* parent) : QWidget(parent), tag_(tag)
{
    setProperty("Tag", tag);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ColourPanel::SetColour(const QColor& fill, const QColor& ink)
{
    fill_ = fill;
    ink_ = ink;
    update();
}

void ColourPanel::SetCaption(const QString& caption)
{
    caption_ = caption;
    update();
}

void ColourPanel::SetMarked(bool marked)
{
    marked_ = marked;
    update();
}

void ColourPanel::SetMarkVisible(PanelMark mark, bool visible)
{
    (mark == PanelMark::Protect ? protect_ : transparent_) = visible;
    update();
}

bool ColourPanel::MarkVisible(PanelMark mark) const
{
    return mark == PanelMark::Protect ? protect_ : transparent_;
}

void ColourPanel::SetImage(const QPixmap& image)
{
    image_ = image;
    update();
}

void ColourPanel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect r = rect();
    p.fillRect(r, fill_);
    if (!image_.isNull())
        p.drawPixmap(r.adjusted(kBevel, kBevel, -kBevel, -kBevel), image_);
    if (!caption_.isEmpty()) {
        QFont f = font();
        f.setBold(true);
        p.setFont(f);
        p.setPen(ink_);
        p.drawText(r, Qt::AlignCenter, caption_);
    }
    PaintMarks(p);
    Bevel(p, r.adjusted(0, 0, -1, -1), marked_);
    if (marked_) {
        // A sunk bevel alone is hard to see on dark colours.
        p.setPen(QPen(ink_, 1, Qt::DotLine));
        p.drawRect(r.adjusted(3, 3, -4, -4));
    }
}

// The protect mark closes the panel's left edge like a bar, the transparent
// mark strikes it through, so both can show beside the symbol.
void ColourPanel::PaintMarks(QPainter& p)
{
    const QRect r = rect();
    if (protect_)
        p.fillRect(QRect(kBevel + 1, kBevel + 1, 4, r.height() - 2 * kBevel - 2), ink_);
    if (transparent_) {
        p.setPen(QPen(ink_, 2));
        p.drawLine(r.bottomLeft() + QPoint(kBevel + 2, -kBevel - 2), r.topRight() + QPoint(-kBevel - 2, kBevel + 2));
    }
}

void ColourPanel::mousePressEvent(QMouseEvent* event)
{
    emit pressed(tag_, event->button());
}
