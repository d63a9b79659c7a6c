#include "pattern/motif/motif_transform.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <numbers>
#include <vector>

#include "pattern/motif/line_kernels.h"

namespace {

// Shapes the target as width x rows a level with the source's levels and
// colours; its storage is kept where it is large enough.
void Shape(const MotifImage& source, int32_t width, int32_t rows, MotifImage& t)
{
    t.width = std::max(0, width);
    t.levels = std::max(1, source.levels);
    t.height = std::max(0, rows) * t.levels;
    t.colours = source.colours;
    t.indices.resize(static_cast<size_t>(t.width) * static_cast<size_t>(t.height));
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

enum class ColumnMap { Any, Same, Reversed, Halved };

ColumnMap KindOf(const std::vector<int32_t>& from, int32_t sourceCount)
{
    const auto n = static_cast<int32_t>(from.size());
    auto all = [&](auto rule) {
        for (int32_t i = 0; i < n; ++i)
            if (from[static_cast<size_t>(i)] != rule(i))
                return false;
        return true;
    };
    if (n == sourceCount && all([](int32_t i) { return i; }))
        return ColumnMap::Same;
    if (n == sourceCount && all([&](int32_t i) { return n - 1 - i; }))
        return ColumnMap::Reversed;
    if (all([](int32_t i) { return 2 * i + 1; }))
        return ColumnMap::Halved;
    return ColumnMap::Any;
}

// Copies a line by the column map; upcoming is the target line made next
// but one, for the kernels that fetch ahead.
void CopyLine(const uint8_t* in, uint8_t* out, const std::vector<int32_t>& from, ColumnMap kind,
              const uint8_t* upcoming)
{
    const auto n = static_cast<int32_t>(from.size());
    switch (kind) {
    case ColumnMap::Same:
        std::memcpy(out, in, from.size());
        return;
    case ColumnMap::Reversed:
        ReverseCells(in, out, n, upcoming);
        return;
    case ColumnMap::Halved:
        OddCells(in, out, n);
        return;
    case ColumnMap::Any:
        for (int32_t x = 0; x < n; ++x)
            out[x] = in[from[static_cast<size_t>(x)]];
        return;
    }
}

// A turn maps doubled coordinates about the centres (so that even and odd
// sides turn about the same point) in fixed point of 32 fraction bits. A
// source coordinate is floor((round(d) - 1) / 2) + centre for the turned
// doubled coordinate d, which is floor((d - 1/2) / 2) + centre: the turned
// value less one half, shifted right by 33.
constexpr int64_t kOne = int64_t{1} << 32;
constexpr int kShift = 33;
// One source cell in turned doubled coordinates.
constexpr int64_t kCell = int64_t{1} << kShift;
// Target cells a turn walks at a time: a strip of columns over a band of
// rows, so that the source lines one strip row reads are read again by the
// rows below it while they are still in the nearest cache.
constexpr int32_t kTurnStrip = 64;
constexpr int32_t kTurnBand = 256;

int32_t TurnCentre(int32_t side)
{
    return (side + 1) / 2;
}

int64_t FloorDiv(int64_t a, int64_t b)
{
    const int64_t q = a / b;
    return q - ((a % b != 0) && ((a < 0) != (b < 0)));
}

// The x in [first, last] for which lo <= a + x d < hi, as first > last when none.
void Within(int64_t a, int64_t d, int64_t lo, int64_t hi, int32_t& first, int32_t& last)
{
    int64_t from = first;
    int64_t to = last;
    if (d == 0) {
        if (a < lo || a >= hi)
            to = from - 1;
    } else if (d > 0) {
        from = std::max(from, -FloorDiv(a - lo, d));
        to = std::min(to, FloorDiv(hi - 1 - a, d));
    } else {
        from = std::max(from, FloorDiv(a - hi, -d) + 1);
        to = std::min(to, FloorDiv(a - lo, -d));
    }
    first = static_cast<int32_t>(std::clamp<int64_t>(from, INT32_MIN, INT32_MAX));
    last = static_cast<int32_t>(std::clamp<int64_t>(to, INT32_MIN, INT32_MAX));
}

// A target line's cells whose source lies inside the motif, first to last
// (first > last when none), and the turned coordinates at first.
struct TurnSpan {
    int32_t first;
    int32_t last;
    int64_t a;
    int64_t b;
};

// A level's source walked from its centre: the lines by their row about
// the centre row, each taken at the centre column (a table costs the walk
// less than a multiplication per cell).
struct TurnWalk {
    const uint8_t* const* lines;
    int64_t da;
    int64_t db;

    // The cells from first to last of a line starting at a, b, all inside
    // the source. Kept in locals: the cells written could alias anything the
    // compiler would otherwise read again after each store.
    void Cells(uint8_t* out, int32_t first, int32_t last, int64_t a, int64_t b) const
    {
        const uint8_t* const* const from = lines;
        const int64_t stepA = da;
        const int64_t stepB = db;
        for (int32_t x = first; x <= last; ++x, a += stepA, b += stepB)
            out[x] = from[b >> kShift][a >> kShift];
    }
};

// Target lines outside their span take the transparent index.
void FillOutside(uint8_t* out, int32_t width, const TurnSpan& s, uint8_t transparent)
{
    const int32_t inside = std::max(0, s.last - s.first + 1);
    const int32_t lead = inside > 0 ? s.first : width;
    std::memset(out, transparent, static_cast<size_t>(lead));
    std::memset(out + lead + inside, transparent, static_cast<size_t>(width - lead - inside));
}

// Lines from..to (exclusive) of one level's turn: what lies outside each
// line's span first, then the spans strip by strip.
void TurnBand(const TurnWalk& walk, const TurnSpan* spans, int32_t from, int32_t to, uint8_t* out, int32_t width,
              uint8_t transparent)
{
    const auto line = [&](int32_t r) { return out + static_cast<size_t>(r) * static_cast<size_t>(width); };
    for (int32_t r = from; r < to; ++r)
        FillOutside(line(r), width, spans[r], transparent);
    for (int32_t x0 = 0; x0 < width; x0 += kTurnStrip) {
        const int32_t x1 = std::min(width, x0 + kTurnStrip) - 1;
        for (int32_t r = from; r < to; ++r) {
            const TurnSpan& s = spans[r];
            const int32_t first = std::max(s.first, x0);
            const int32_t last = std::min(s.last, x1);
            if (first > last)
                continue;
            const int64_t skip = first - s.first;
            walk.Cells(line(r), first, last, s.a + skip * walk.da, s.b + skip * walk.db);
        }
    }
}

}  // namespace

void MirrorScaleMotif(const MotifImage& source, int32_t width, int32_t rows, int mirror, MotifImage& t)
{
    const int32_t sourceRows = source.Rows();
    width = width > 0 ? width : source.width;
    rows = rows > 0 ? rows : sourceRows;
    Shape(source, width, rows, t);
    if (source.width <= 0 || sourceRows <= 0) {
        std::fill(t.indices.begin(), t.indices.end(), 0);
        return;
    }
    const std::vector<int32_t> columns = NearestCells(source.width, width, mirror & kMirrorLeftRight);
    const std::vector<int32_t> lines = NearestCells(sourceRows, rows, mirror & kMirrorTopBottom);
    const ColumnMap kind = KindOf(columns, source.width);
    // Reversed lines are read from their ends backwards: taken from the
    // bottom line up, the reads run through the motif as one stream.
    const bool upwards = kind == ColumnMap::Reversed;
    const auto from = [&](int32_t r) { return lines[static_cast<size_t>(r)]; };
    for (int32_t k = 0; k < source.levels; ++k) {
        for (int32_t i = 0; i < rows; ++i) {
            const int32_t r = upwards ? rows - 1 - i : i;
            const int32_t before = upwards ? r + 1 : r - 1;
            uint8_t* out = t.Line(k * rows + r);
            // Enlarged lines repeat the line made before them.
            if (i > 0 && from(r) == from(before)) {
                std::memcpy(out, t.Line(k * rows + before), static_cast<size_t>(width));
                continue;
            }
            const int32_t ahead = upwards ? std::max(r - 2, 0) : std::min(r + 2, rows - 1);
            CopyLine(source.Line(k * sourceRows + from(r)), out, columns, kind, t.Line(k * rows + ahead));
        }
    }
}

void StretchMotif(const MotifImage& source, int32_t offset, bool vertical, uint8_t transparent, MotifImage& t)
{
    const int32_t rows = source.Rows();
    const int32_t grow = std::abs(offset);
    Shape(source, source.width + (vertical ? 0 : grow), rows + (vertical ? grow : 0), t);
    std::fill(t.indices.begin(), t.indices.end(), transparent);
    // The row or column that moves k of n steps.
    const int32_t n = vertical ? source.width : rows;
    auto shift = [&](int32_t k) {
        return (offset < 0 ? grow : 0) + static_cast<int32_t>(std::lrint(double(offset) * k / std::max(n - 1, 1)));
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
}

void RotateMotif90(const MotifImage& source, MotifImage& t)
{
    const int32_t rows = source.Rows();
    const int32_t w = source.width;
    Shape(source, rows, w, t);
    for (int32_t k = 0; k < source.levels; ++k)
        TurnBlock(source.Line(k * rows), static_cast<size_t>(w), w, rows, t.Line(k * w), static_cast<size_t>(rows));
}

void RotateMotif90(const MotifImage& source, double degrees, int32_t width, int32_t rows, uint8_t transparent,
                   MotifImage& t)
{
    Shape(source, width, rows, t);
    const int32_t sourceRows = source.Rows();
    const double angle = degrees * std::numbers::pi / 180.0;
    const auto sine = static_cast<int64_t>(std::llrint(std::sin(angle) * double(kOne)));
    const auto cosine = static_cast<int64_t>(std::llrint(std::cos(angle) * double(kOne)));
    // Odd sides are taken one larger, the added line transparent.
    const int32_t scx = TurnCentre(source.width + (source.width & 1));
    const int32_t scy = TurnCentre(sourceRows + (sourceRows & 1));
    const int32_t dcx = TurnCentre(t.width);
    const int32_t dcy = TurnCentre(t.Rows());
    const int64_t u0 = 2 * int64_t{-dcx} + 1;
    const int32_t targetRows = t.Rows();
    if (t.width == 0 || targetRows == 0)
        return;
    std::vector<TurnSpan> spans(static_cast<size_t>(targetRows));
    for (int32_t r = 0; r < targetRows; ++r) {
        const int64_t v = 2 * int64_t{r - dcy} + 1;
        // The turned doubled coordinates less one half at x = 0.
        const int64_t a0 = u0 * cosine - v * sine - kOne / 2;
        const int64_t b0 = u0 * sine + v * cosine - kOne / 2;
        TurnSpan& s = spans[static_cast<size_t>(r)];
        s.first = 0;
        s.last = t.width - 1;
        Within(a0, 2 * cosine, -scx * kCell, (source.width - scx) * kCell, s.first, s.last);
        Within(b0, 2 * sine, -scy * kCell, (sourceRows - scy) * kCell, s.first, s.last);
        s.a = a0 + int64_t{s.first} * 2 * cosine;
        s.b = b0 + int64_t{s.first} * 2 * sine;
    }
    std::vector<const uint8_t*> lines(static_cast<size_t>(sourceRows));
    for (int32_t k = 0; k < source.levels; ++k) {
        for (int32_t y = 0; y < sourceRows; ++y)
            lines[static_cast<size_t>(y)] = source.Line(k * sourceRows + y) + scx;
        const TurnWalk walk{lines.data() + scy, 2 * cosine, 2 * sine};
        for (int32_t r = 0; r < targetRows; r += kTurnBand)
            TurnBand(walk, spans.data(), r, std::min(targetRows, r + kTurnBand), t.Line(k * targetRows), t.width,
                     transparent);
    }
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
