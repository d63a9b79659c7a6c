#include "pattern/shapes/paint_surface.h"

void PaintSurface::CellWritten(int, bool, int32_t, int32_t) {}

bool PaintSurface::SubclassRedraws(int)
{
    return false;
}
