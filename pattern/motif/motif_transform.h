#pragma once
// The motif's transformations. Each works on palette indices and on one
// level's block of rows at a time, so a motif of several levels keeps its
// levels apart: every level is scaled, mirrored or turned in place. Each
// writes into a target whose storage is reused (it must not be the source),
// or returns a new motif.
#include <cstdint>

#include "pattern/motif/motif_image.h"

enum MotifMirror : int {
    kMirrorNone = 0,
    kMirrorLeftRight = 1,
    kMirrorTopBottom = 2,
    // Both mirrors: half a turn.
    kMirrorBoth = 3,
};

// Scales every level to width x rows (0 or less: the source's) by nearest
// neighbours (target cell i takes source cell (2i + 1) S / 2D), then
// mirrors it.
void MirrorScaleMotif(const MotifImage& source, int32_t width, int32_t rows, int mirror, MotifImage& target);
// Shears every level by offset cells: with vertical false each row moves
// right (left for a negative offset), the bottom row staying and the top
// row moving by the whole offset; with vertical true each column moves up,
// the left column staying. The motif grows by |offset|; cells no row or
// column reaches take the transparent index.
void StretchMotif(const MotifImage& source, int32_t offset, bool vertical, uint8_t transparent, MotifImage& target);
// A quarter turn counter-clockwise: width x rows becomes rows x width, target
// (x, r) taking source (width - 1 - r, x), rows from the top.
void RotateMotif90(const MotifImage& source, MotifImage& target);
// Turns every level by degrees (counter-clockwise as shown for positive
// angles) about its centre into width x rows; the source is taken with even
// sides. Target cells whose source lies outside the motif take the
// transparent index.
void RotateMotif90(const MotifImage& source, double degrees, int32_t width, int32_t rows, uint8_t transparent,
                   MotifImage& target);

inline MotifImage MirrorScaleMotif(const MotifImage& source, int32_t width, int32_t rows, int mirror)
{
    MotifImage t;
    MirrorScaleMotif(source, width, rows, mirror, t);
    return t;
}
inline MotifImage StretchMotif(const MotifImage& source, int32_t offset, bool vertical, uint8_t transparent)
{
    MotifImage t;
    StretchMotif(source, offset, vertical, transparent, t);
    return t;
}
inline MotifImage RotateMotif90(const MotifImage& source)
{
    MotifImage t;
    RotateMotif90(source, t);
    return t;
}
inline MotifImage RotateMotif90(const MotifImage& source, double degrees, int32_t width, int32_t rows,
                                uint8_t transparent)
{
    MotifImage t;
    RotateMotif90(source, degrees, width, rows, transparent, t);
    return t;
}

struct MotifSize {
    int32_t width = 0;
    int32_t rows = 0;
};
// The box around a width x rows motif turned by degrees, each side at least 1.
MotifSize RotatedMotifSize(int32_t width, int32_t rows, double degrees);

// The turn a rotation drag gives, in degrees in (-90, 90]: the angle from
// the grab point (gx, gy) to the pointer (x, y) seen from the centre of the
// motif (x1, y1)-(x2, y2). Turns that differ by half a turn are one, as
// the slopes of the two lines are.
double MotifRotationAngle(double x1, double y1, double x2, double y2, double gx, double gy, double x, double y);
