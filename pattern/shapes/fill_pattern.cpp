#include "pattern/shapes/fill_pattern.h"

bool FillPattern::Empty() const
{
    return width <= 0 || height <= 0 || pixels.size() < static_cast<size_t>(width) * static_cast<size_t>(height);
}
