#pragma once
// Where a picture window's cells lie in a pane: columns grow to the right
// from the pane's first column, rows grow upward from the window's first row
// (the lowest band of cells). All numbers in cells count from 1; pixels from
// the paint box's top left.
#include <cstdint>

// A scroll bar's setting: positions run from minimum to maximum.
struct ScrollRange {
    int32_t minimum = 1;
    int32_t maximum = 1;
    int32_t largeChange = 1;
    bool enabled = false;

    int32_t Clamp(int32_t position) const;
};

// A rectangle of cells and the pixel where its top left lands.
struct CellBand {
    int32_t firstColumn = 1;
    int32_t firstRow = 1;
    int32_t columns = 0;
    int32_t rows = 0;
    int32_t leftPixel = 0;
    int32_t topPixel = 0;

    bool Empty() const { return columns <= 0 || rows <= 0; }
};

// A 1-pixel outline in pixels: the lines x = left, x = right, y = top and
// y = bottom, each drawn only where it lies inside the clip.
struct Outline {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = -1;
    int32_t bottom = -1;
    // The clip: columns [0, clipRight) and lines [clipTop, clipBottom).
    int32_t clipTop = 0;
    int32_t clipRight = 0;
    int32_t clipBottom = 0;

    bool Empty() const { return right < left || bottom < top; }
};

struct PictureGeometry {
    // Inputs.
    int32_t pictureWidth = 1000;
    int32_t pictureHeight = 1000;
    int32_t cellWidth = 1;
    int32_t cellHeight = 1;
    // The paint box.
    int32_t boxWidth = 0;
    int32_t boxHeight = 0;
    bool bottomAnchored = true;
    // Worked out by Update.
    int32_t visibleColumns = 0;
    int32_t cellAreaWidth = 0;
    int32_t visibleRows = 0;
    int32_t topMargin = 0;

    // Visible columns and rows, cell area and top margin: a picture shorter
    // than the pane sits at the bottom when bottom-anchored.
    void Update();
    ScrollRange HorizontalRange() const;
    ScrollRange VerticalRange() const;
    // The first row shown at vertical position p: the lowest position shows
    // the highest rows, the highest position row 1 at the bottom.
    int32_t FirstRowAt(int32_t position) const;
    // The position that shows firstRow as the lowest row (within the range).
    int32_t PositionForFirstRow(int32_t firstRow) const;

    // Pixels of a cell in a pane whose first column is firstColumn.
    int32_t CellLeft(int32_t x, int32_t firstColumn) const { return (x - firstColumn) * cellWidth; }
    // The top line of row y (its lowest line is CellTop + cellHeight - 1).
    int32_t CellTop(int32_t y, int32_t firstRow) const;
    // The cell under a pixel (may lie outside the picture).
    int32_t ColumnAt(int32_t px, int32_t firstColumn) const;
    int32_t RowAt(int32_t py, int32_t firstRow) const;

    // The band that redraws every visible cell of a pane.
    CellBand WholeView(int32_t firstColumn, int32_t firstRow) const;
    // The band for the cells x1..x2, y1..y2 cut to the view and the picture.
    CellBand Rectangle(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t firstColumn, int32_t firstRow) const;
    // The outline of cells x1..x2, y1..y2 on the grid lines around them.
    Outline CellOutline(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t firstColumn, int32_t firstRow) const;
};
