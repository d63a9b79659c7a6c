#pragma once
// The routines behind the area tools: spraying, outlining protected
// colours, replacing every occurrence of the motif, and inserting or
// deleting rows and columns. Each saves what it overwrites in the core's
// history of the running step.
#include <cstdint>
#include <random>

class PaintCore;

// The spray's random source: seeded once from the clock; a probe reseeds it
// to repeat a run.
std::mt19937& SprayRandom();
void SeedSprayRandom(uint32_t seed);

// Two random brush strokes in the square around the cell, its side eight
// cells a line width step.
void SprayDots(PaintCore& core, int32_t x, int32_t y);

// Writes the outline colour into the cells of the rectangle on the level
// that border a protected colour in the mode's direction: 1 the next row,
// 2 the previous row, 3 the previous column, 4 the next column, 5 all four
// in that order. Only cells of an unprotected colour that is transparent or
// the background colour are written.
void OutlineProtected(PaintCore& core, uint16_t level, uint16_t mode, int32_t x1, int32_t y1, int32_t x2,
                      int32_t y2);

// Every occurrence of the motif's cells of the current level inside the
// rectangle is painted over with the current colour.
void Motiversetzen(PaintCore& core, int32_t x1, int32_t y1, int32_t x2, int32_t y2);

// Inserts (codes 1, 2) or deletes (3, 4) the rectangle's rows or columns on
// the level across the picture; codes 9 to 12 do the same within the motif
// rectangle. fill: the opened rows or columns take the background colour.
void ZeilenSpaltenInsDel(PaintCore& core, bool fill, uint16_t level, int32_t y1, int32_t y2, int32_t x1,
                         int32_t x2, uint16_t code);
