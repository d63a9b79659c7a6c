#pragma once
// The scanline fill around the anchor on the current level together with
// the reference level, inside the visible part of the picture.
#include <cstdint>

#include "pattern/shapes/paint_state.h"
#include "pattern/shapes/paint_surface.h"

// search: find the region only and leave it in state.fillMotif; else paint
// it (the current colour, or the pattern unless noPattern). lowestRow: the
// region's lowest row. False when the seed file failed (the fill stopped
// there); state.spilledSeeds counts the seeds that went to the file.
bool FloodFill(PaintSurface& surface, PaintState& state, bool search, bool noPattern, int32_t& lowestRow);
