#include "pattern/motif/motif_transform.h"

#include <algorithm>
#include <cstddef>
#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

namespace {

// A target of width x rows a level, the source's levels and colours.
MotifImage TargetOf(const MotifImage& source, int32_t width, int32_t rows, uint8_t fill)
{
    MotifImage t = MotifImage::Blank(width, rows, source.levels, fill);
    t.colours = source.colours;
    return t;
}

// Nearest source cell of each of the target's count cells.
std::vector<int32_t> NearestCells(int32_t sourceCount, int32_t count, bool reversed)
{
    std::vector<int32_t> from(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
        const int64_t s = (2 * int64_t{i} + 1) * sourceCount / (2 * int64_t{count});
        from[static_cast<size_t>(reversed ? count - 1 - i : i)] = static_cast<int32_t>(s);
    }
    return from;
}

// Copies one line through the column map; a plain or reversed copy where the
// map is one.
void CopyLine(const uint8_t* in, uint8_t* out, const std::vector<int32_t>& from, int kind)
{
    const auto n = static_cast<std::ptrdiff_t>(from.size());
    if (kind == 1)
        std::memcpy(out, in, from.size());
    else if (kind == 2)
        std::reverse_copy(in, in + n, out);
    else
        for (std::ptrdiff_t x = 0; x < n; ++x)
            out[x] = in[from[static_cast<size_t>(x)]];
}

// 1 when the map is the identity, 2 when it is the reversal, else 0.
int MapKind(const std::vector<int32_t>& from, int32_t sourceCount)
{
    if (static_cast<int32_t>(from.size()) != sourceCount)
        return 0;
    bool same = true;
    bool reversed = true;
    for (int32_t i = 0; i < sourceCount; ++i) {
        same = same && from[static_cast<size_t>(i)] == i;
        reversed = reversed && from[static_cast<size_t>(i)] == sourceCount - 1 - i;
    }
    return same ? 1 : reversed ? 2 : 0;
}

// A turn maps doubled coordinates about the centres, so that even and odd
// sides turn about the same point.
int32_t TurnCentre(int32_t side)
{
    return (side + 1) / 2;
}

// The source coordinate of a turned doubled one: floor((doubled - 1) / 2) from the centre.
int32_t TurnSource(long doubled, int32_t centre)
{
    return static_cast<int32_t>((doubled - 1) >> 1) + centre;
}

}  // namespace

MotifImage MirrorScaleMotif(const MotifImage& source, int32_t width, int32_t rows, int mirror)
{
    const int32_t sourceRows = source.Rows();
    width = width > 0 ? width : source.width;
    rows = rows > 0 ? rows : sourceRows;
    MotifImage t = TargetOf(source, width, rows, 0);
    if (source.width <= 0 || sourceRows <= 0)
        return t;
    const std::vector<int32_t> columns = NearestCells(source.width, width, mirror & kMirrorLeftRight);
    const std::vector<int32_t> lines = NearestCells(sourceRows, rows, mirror & kMirrorTopBottom);
    const int kind = MapKind(columns, source.width);
    for (int32_t k = 0; k < source.levels; ++k) {
        for (int32_t r = 0; r < rows; ++r) {
            uint8_t* out = t.Line(k * rows + r);
            // Enlarged lines repeat the line before them.
            if (r > 0 && lines[static_cast<size_t>(r)] == lines[static_cast<size_t>(r - 1)])
                std::memcpy(out, out - width, static_cast<size_t>(width));
            else
                CopyLine(source.Line(k * sourceRows + lines[static_cast<size_t>(r)]), out, columns, kind);
        }
    }
    return t;
}

MotifImage StretchMotif(const MotifImage& source, int32_t offset, bool vertical, uint8_t transparent)
{
    const int32_t rows = source.Rows();
    const int32_t grow = std::abs(offset);
    MotifImage t = TargetOf(source, source.width + (vertical ? 0 : grow), rows + (vertical ? grow : 0), transparent);
    // The row or column that moves k of n steps.
    const int32_t n = vertical ? source.width : rows;
    auto shift = [&](int32_t k) {
        return (offset < 0 ? grow : 0) +
               static_cast<int32_t>(std::lrint(double(offset) * k / std::max(n - 1, 1)));
    };
    const int32_t targetRows = t.Rows();
    for (int32_t k = 0; k < source.levels; ++k) {
        if (!vertical) {
            // Rows count from the bottom line of the level.
            for (int32_t r = 0; r < rows; ++r)
                std::memcpy(t.LevelRow(k, r) + shift(r), source.Line(MotifImage::MotifLevelLine(k, r, rows)),
                            static_cast<size_t>(source.width));
            continue;
        }
        for (int32_t x = 0; x < source.width; ++x) {
            const int32_t up = shift(x);
            for (int32_t r = 0; r < rows; ++r)
                t.Line(MotifImage::MotifLevelLine(k, r + up, targetRows))[x] =
                    source.Line(MotifImage::MotifLevelLine(k, r, rows))[x];
        }
    }
    return t;
}

MotifImage RotateMotif90(const MotifImage& source)
{
    const int32_t rows = source.Rows();
    const int32_t w = source.width;
    MotifImage t = TargetOf(source, rows, w, 0);
    // In tiles, so that the lines read and written stay in the cache.
    constexpr int32_t kTile = 64;
    for (int32_t k = 0; k < source.levels; ++k) {
        const uint8_t* in = source.Line(k * rows);
        uint8_t* out = t.Line(k * w);
        for (int32_t r0 = 0; r0 < w; r0 += kTile)
            for (int32_t x0 = 0; x0 < rows; x0 += kTile)
                for (int32_t r = r0; r < std::min(w, r0 + kTile); ++r) {
                    uint8_t* line = out + static_cast<size_t>(r) * rows;
                    const uint8_t* column = in + (w - 1 - r);
                    for (int32_t x = x0; x < std::min(rows, x0 + kTile); ++x)
                        line[x] = column[static_cast<size_t>(x) * w];
                }
    }
    return t;
}

MotifImage RotateMotif90(const MotifImage& source, double degrees, int32_t width, int32_t rows,
                         uint8_t transparent)
{
    MotifImage t = TargetOf(source, width, rows, transparent);
    const int32_t sourceRows = source.Rows();
    const double angle = degrees * std::numbers::pi / 180.0;
    const double sine = std::sin(angle);
    const double cosine = std::cos(angle);
    // Odd sides are taken one larger, the added line transparent.
    const int32_t scx = TurnCentre(source.width + (source.width & 1));
    const int32_t scy = TurnCentre(sourceRows + (sourceRows & 1));
    const int32_t dcx = TurnCentre(t.width);
    const int32_t dcy = TurnCentre(rows);
    std::vector<double> uc(static_cast<size_t>(t.width));
    std::vector<double> us(static_cast<size_t>(t.width));
    for (int32_t x = 0; x < t.width; ++x) {
        const double u = 2.0 * (x - dcx) + 1;
        uc[static_cast<size_t>(x)] = u * cosine;
        us[static_cast<size_t>(x)] = u * sine;
    }
    for (int32_t k = 0; k < source.levels; ++k) {
        const uint8_t* in = source.Line(k * sourceRows);
        for (int32_t r = 0; r < rows; ++r) {
            const double v = 2.0 * (r - dcy) + 1;
            const double vs = v * sine;
            const double vc = v * cosine;
            uint8_t* out = t.Line(k * rows + r);
            for (int32_t x = 0; x < t.width; ++x) {
                const int32_t sx = TurnSource(std::lrint(uc[static_cast<size_t>(x)] - vs), scx);
                const int32_t sy = TurnSource(std::lrint(us[static_cast<size_t>(x)] + vc), scy);
                if (sx >= 0 && sx < source.width && sy >= 0 && sy < sourceRows)
                    out[x] = in[static_cast<size_t>(sy) * source.width + sx];
            }
        }
    }
    return t;
}

MotifSize RotatedMotifSize(int32_t width, int32_t rows, double degrees)
{
    const double angle = degrees * std::numbers::pi / 180.0;
    const double c = std::abs(std::cos(angle));
    const double s = std::abs(std::sin(angle));
    return {std::max<int32_t>(1, static_cast<int32_t>(std::lrint(width * c + rows * s))),
            std::max<int32_t>(1, static_cast<int32_t>(std::lrint(width * s + rows * c)))};
}

double MotifRotationAngle(double x1, double y1, double x2, double y2, double gx, double gy, double x, double y)
{
    const double cx = (x1 + x2) / 2;
    const double cy = (y1 + y2) / 2;
    double turn = (std::atan2(y - cy, x - cx) - std::atan2(gy - cy, gx - cx)) * 180.0 / std::numbers::pi;
    while (turn > 90.0)
        turn -= 180.0;
    while (turn <= -90.0)
        turn += 180.0;
    return turn;
}
