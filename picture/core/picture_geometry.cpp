#include "picture/core/picture_geometry.h"

#include <algorithm>

int32_t ScrollRange::Clamp(int32_t position) const
{
    return std::clamp(position, minimum, std::max(minimum, maximum));
}

void PictureGeometry::Update()
{
    cellWidth = std::max(1, cellWidth);
    cellHeight = std::max(1, cellHeight);
    visibleColumns = std::max(0, boxWidth) / cellWidth;
    cellAreaWidth = visibleColumns * cellWidth;
    visibleRows = std::max(0, boxHeight) / cellHeight;
    topMargin = bottomAnchored ? std::max(0, boxHeight) % cellHeight : 0;
    if (bottomAnchored && pictureHeight < visibleRows) {
        topMargin += cellHeight * (visibleRows - pictureHeight);
        visibleRows = pictureHeight;
    }
}

namespace {

ScrollRange RangeOver(int32_t visible, int32_t total)
{
    ScrollRange r;
    if (visible < total) {
        r.enabled = true;
        r.maximum = total - visible + 1;
        r.largeChange = std::max(1, visible - 1);
    } else {
        r.largeChange = std::max(1, total);
    }
    return r;
}

}  // namespace

ScrollRange PictureGeometry::HorizontalRange() const
{
    return RangeOver(visibleColumns, pictureWidth);
}

ScrollRange PictureGeometry::VerticalRange() const
{
    return RangeOver(visibleRows, pictureHeight);
}

int32_t PictureGeometry::FirstRowAt(int32_t position) const
{
    return std::max(1, pictureHeight - visibleRows - position + 2);
}

int32_t PictureGeometry::PositionForFirstRow(int32_t firstRow) const
{
    return VerticalRange().Clamp(pictureHeight - visibleRows - firstRow + 2);
}

int32_t PictureGeometry::CellTop(int32_t y, int32_t firstRow) const
{
    return boxHeight - (y - firstRow + 1) * cellHeight - (bottomAnchored ? 0 : boxHeight % cellHeight);
}

int32_t PictureGeometry::ColumnAt(int32_t px, int32_t firstColumn) const
{
    return px / cellWidth + firstColumn;
}

int32_t PictureGeometry::RowAt(int32_t py, int32_t firstRow) const
{
    if (!bottomAnchored)
        py += boxHeight % cellHeight;
    const int32_t fromBottom = boxHeight - py - 1;
    // Division toward minus infinity: a pixel below the last line is row first - 1.
    return (fromBottom >= 0 ? fromBottom / cellHeight : (fromBottom - cellHeight + 1) / cellHeight) + firstRow;
}

CellBand PictureGeometry::WholeView(int32_t firstColumn, int32_t firstRow) const
{
    CellBand band;
    band.firstColumn = std::max(1, firstColumn);
    band.firstRow = std::max(1, firstRow);
    band.columns = std::min(boxWidth, pictureWidth * cellWidth) / cellWidth;
    band.rows = std::min(visibleRows, pictureHeight);
    band.topPixel = topMargin;
    if (!bottomAnchored) {
        // The strip below the lowest whole row shows part of the row under
        // it; row 0 there is no row of the picture and stays background.
        band.firstRow -= 1;
        band.rows += 1;
        band.topPixel = CellTop(band.firstRow + band.rows - 1, band.firstRow + 1);
    }
    return band;
}

CellBand PictureGeometry::Rectangle(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t firstColumn,
                                    int32_t firstRow) const
{
    CellBand band;
    firstColumn = std::max(1, firstColumn);
    firstRow = std::max(1, firstRow);
    const int32_t lastColumn = std::min(firstColumn + visibleColumns - 1, pictureWidth);
    const int32_t lastRow = std::min(firstRow + visibleRows - 1, pictureHeight);
    x1 = std::max({x1, firstColumn, 1});
    y1 = std::max({y1, bottomAnchored ? firstRow : firstRow - 1, 1});
    x2 = std::min(x2, lastColumn);
    y2 = std::min(y2, lastRow);
    if (x2 < x1 || y2 < y1)
        return band;
    band.firstColumn = x1;
    band.firstRow = y1;
    band.columns = x2 - x1 + 1;
    band.rows = y2 - y1 + 1;
    band.leftPixel = CellLeft(x1, firstColumn);
    band.topPixel = CellTop(y2, firstRow);
    return band;
}

Outline PictureGeometry::CellOutline(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t firstColumn,
                                     int32_t firstRow) const
{
    Outline o;
    o.left = CellLeft(x1, firstColumn);
    o.right = CellLeft(x2 + 1, firstColumn);
    o.bottom = CellTop(y1, firstRow) + cellHeight - 1;
    o.top = CellTop(y2 + 1, firstRow) + cellHeight - 1;
    o.clipTop = topMargin;
    o.clipRight = cellAreaWidth;
    o.clipBottom = boxHeight;
    return o;
}
