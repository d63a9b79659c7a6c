#include "pattern/option_glyphs.h"

#include <QPainter>

#include "pattern/tool_glyphs.h"

namespace {

const QColor kInk(0, 0, 0);
const QColor kFill(0, 0, 160);
const QColor kProtected(150, 150, 150);
const QColor kNew(200, 0, 0);

void LineType(QPainter& p, int button)
{
    if (button == 1) {  // free
        p.drawLine(3, 20, 20, 5);
    } else if (button == 2) {  // snapped to the slope
        p.drawLine(3, 20, 20, 3);
        p.fillRect(18, 2, 4, 4, kFill);
    } else {  // staircase
        for (int i = 0; i < 4; ++i)
            p.fillRect(3 + 4 * i, 18 - 4 * i, 5, 2, kFill);
    }
}

void LineWidth(QPainter& p, int button)
{
    p.fillRect(3, 12 - button / 2, 18, button, kInk);
}

// A protected cell with the cell the outline writes beside it; mode 5
// writes all four.
void Outline(QPainter& p, int button)
{
    p.fillRect(9, 9, 6, 6, kProtected);
    const uint16_t mode = kOutlineModes[static_cast<size_t>(button - 1)];
    const QRect below(9, 15, 6, 6), above(9, 3, 6, 6), right(15, 9, 6, 6), left(3, 9, 6, 6);
    // Rows count upwards: mode 1 writes under a protected cell, 2 over it.
    if (mode == 1 || mode == 5)
        p.fillRect(below, kNew);
    if (mode == 2 || mode == 5)
        p.fillRect(above, kNew);
    if (mode == 3 || mode == 5)
        p.fillRect(right, kNew);
    if (mode == 4 || mode == 5)
        p.fillRect(left, kNew);
}

// Upper row inserts, lower row deletes; columns or rows, in the motif framed.
void InsertDelete(QPainter& p, int button)
{
    const uint16_t code = InsertDeleteButtons()[static_cast<size_t>(button - 1)].code;
    const bool columns = (code & 7) == 2 || (code & 7) == 4;
    const bool insert = (code & 7) <= 2;
    const QColor band = insert ? kFill : kNew;
    if (columns)
        p.fillRect(10, 3, 4, 18, band);
    else
        p.fillRect(3, 10, 18, 4, band);
    if (!insert) {
        p.setPen(QPen(kInk, 2));
        p.drawLine(5, 5, 19, 19);
    }
    if (code > 8) {
        p.setPen(QPen(kInk, 1, Qt::DashLine));
        p.drawRect(2, 2, 19, 19);
    }
}

}  // namespace

QPixmap OptionGlyph(ToolOption option, int button)
{
    QPixmap pixmap(kToolGlyphSize, kToolGlyphSize);
    pixmap.fill(Qt::transparent);
    if (button < 1 || button > ToolOptionButtonCount(option))
        return pixmap;
    QPainter p(&pixmap);
    p.setPen(QPen(kInk, 1));
    switch (option) {
    case ToolOption::Slope: break;
    case ToolOption::LineType: LineType(p, button); break;
    case ToolOption::LineWidth: LineWidth(p, button); break;
    case ToolOption::Outline: Outline(p, button); break;
    case ToolOption::InsertDelete: InsertDelete(p, button); break;
    }
    return pixmap;
}
