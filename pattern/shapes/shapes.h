#pragma once
// The shape routines of the painting forms, in one include.
#include "pattern/shapes/arc.h"
#include "pattern/shapes/ellipse_circles.h"
#include "pattern/shapes/flood_fill.h"
#include "pattern/shapes/grid_surface.h"
#include "pattern/shapes/line_painter.h"
#include "pattern/shapes/line_preview.h"
#include "pattern/shapes/paint_state.h"
#include "pattern/shapes/paint_surface.h"
#include "pattern/shapes/rhombus.h"
#include "pattern/shapes/shape_settings.h"
