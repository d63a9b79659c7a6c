#include "picture/core/cell_size.h"

#include <cmath>

uint8_t CellSizeFromZoom(uint8_t step, double factor)
{
    const double size = step * factor;
    // Written so that NaN falls to 1 as well.
    if (!(size >= 1.0))
        return 1;
    if (size >= 255.0)
        return 255;
    const long rounded = std::lrint(size);
    return static_cast<uint8_t>(rounded < 1 ? 1 : rounded);
}
