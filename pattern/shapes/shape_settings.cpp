#include "pattern/shapes/shape_settings.h"

ShapeSettings& PaintUnitSettings()
{
    static ShapeSettings settings;
    return settings;
}
