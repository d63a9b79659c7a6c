#include "pattern/shapes/paint_surface.h"

void PaintSurface::CellWritten(int, bool, int32_t, int32_t) {}

void PaintSurface::CellsWritten(int level, bool motifIsForeground, int32_t x1, int32_t x2, int32_t y)
{
    for (int32_t x = x1; x <= x2; ++x)
        CellWritten(level, motifIsForeground, x, y);
}

bool PaintSurface::SubclassRedraws(int)
{
    return false;
}
