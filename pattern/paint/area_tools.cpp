#include "pattern/paint/area_tools.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <vector>

#include "pattern/paint/drag_rect.h"
#include "pattern/paint/paint_core.h"
#include "pattern/shapes/line_painter.h"

namespace {

std::mt19937 SeededFromClock()
{
    const auto now = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    return std::mt19937(static_cast<uint32_t>(now ^ (now >> 32)));
}

// The level's row, or none when it is shorter than the picture.
std::span<uint8_t> FullRow(PaintCore& core, uint16_t level, int32_t y)
{
    const std::span<uint8_t> row = core.Row(level, y);
    const auto width = static_cast<size_t>(core.State().width);
    return row.size() >= width ? row.first(width) : std::span<uint8_t>{};
}

void SaveRun(PaintCore& core, uint16_t level, int32_t y, int32_t x1, int32_t x2)
{
    const std::span<uint8_t> row = FullRow(core, level, y);
    if (row.empty() || x2 < x1)
        return;
    core.InUndoSchreiben(static_cast<uint8_t>(level), y, x1 - 1,
                         row.subspan(static_cast<size_t>(x1 - 1), static_cast<size_t>(x2 - x1 + 1)));
}

}  // namespace

std::mt19937& SprayRandom()
{
    static std::mt19937 random = SeededFromClock();
    return random;
}

void SeedSprayRandom(uint32_t seed)
{
    SprayRandom().seed(seed);
}

void SprayDots(PaintCore& core, int32_t x, int32_t y)
{
    PaintState& s = core.State();
    const int32_t lw = s.settings.lineWidth;
    const int32_t r = (lw + 1) * 4;
    std::mt19937& random = SprayRandom();
    auto next = [&] { return static_cast<int32_t>(random() % static_cast<uint32_t>(2 * r)); };
    for (int i = 0; i < 2; ++i) {
        const int32_t ax = x - r + next();
        const int32_t ay = y - r + next();
        int32_t bx = x - r + next();
        int32_t by = y - r + next();
        PaintBrush(core, s, true, true, ax, bx, ay, by);
    }
    core.RedrawChanged(x - r, y - r, x + r + lw, y + r + lw);
}

void OutlineProtected(PaintCore& core, uint16_t level, uint16_t mode, int32_t x1, int32_t y1, int32_t x2,
                      int32_t y2)
{
    PaintState& s = core.State();
    const DragRect r = DragRect{x1, y1, x2, y2}.ClippedTo(s.width, s.height);
    if (r.Empty() || mode < 1 || mode > 5)
        return;
    // Rows from y1 - 1 to y2 + 1 as they stood before a pass; rows outside
    // the picture stay empty, so nothing there counts as protected.
    std::vector<std::vector<uint8_t>> before(static_cast<size_t>(r.y2 - r.y1 + 3));
    auto copyRows = [&] {
        for (int32_t y = r.y1 - 1; y <= r.y2 + 1; ++y) {
            auto& copy = before[static_cast<size_t>(y - r.y1 + 1)];
            copy.clear();
            if (y >= 1 && y <= s.height) {
                const std::span<uint8_t> row = FullRow(core, level, y);
                copy.assign(row.begin(), row.end());
            }
        }
    };
    auto protectedAt = [&](int32_t x, int32_t y) {
        const auto& row = before[static_cast<size_t>(y - r.y1 + 1)];
        return x >= 1 && static_cast<size_t>(x) <= row.size() && s.P[row[static_cast<size_t>(x - 1)]] != 0;
    };
    static constexpr int32_t kDx[4] = {0, 0, -1, 1};
    static constexpr int32_t kDy[4] = {1, -1, 0, 0};
    const uint16_t first = mode == 5 ? 1 : mode;
    const uint16_t last = mode == 5 ? 4 : mode;
    for (uint16_t m = first; m <= last; ++m) {
        copyRows();
        for (int32_t y = r.y1; y <= r.y2; ++y) {
            const std::span<uint8_t> row = FullRow(core, level, y);
            if (row.empty())
                continue;
            for (int32_t x = r.x1; x <= r.x2; ++x) {
                uint8_t& cell = row[static_cast<size_t>(x - 1)];
                const uint8_t c = before[static_cast<size_t>(y - r.y1 + 1)][static_cast<size_t>(x - 1)];
                if (s.P[c] != 0 || !protectedAt(x + kDx[m - 1], y + kDy[m - 1]) ||
                    (s.T[c] == 0 && c != s.backgroundColour))
                    continue;
                const uint8_t colour = s.motifIsForeground ? PatternPixel(s, x, y) : core.Foreground();
                core.InUndoSchreiben(static_cast<uint8_t>(level), y, x - 1, row.subspan(static_cast<size_t>(x - 1), 1));
                cell = colour;
                core.RowChanged(level, y);
                core.Hooks().P_SymbolLevelzeichnen();
            }
        }
    }
}

void Motiversetzen(PaintCore& core, int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    if (core.Hooks().F_SymbolMotiversetzen())
        return;
    PaintState& s = core.State();
    MotifBlock& m = core.Motif();
    const MotifBlock saved = m;
    // A motif without cells would match everywhere.
    if (m.x1 == 0 || m.y1 == 0 || m.Empty()) {
        core.View().Warning("Kein Motiv im Bild markiert");
        return;
    }
    const uint16_t level = s.currentLevel;
    const auto w = static_cast<size_t>(m.width);
    const int32_t h = m.height;
    if (m.x1 + m.width - 1 > s.width || m.y1 + h - 1 > s.height)
        return;
    std::vector<uint8_t> motif;
    for (int32_t y = m.y1; y < m.y1 + h; ++y) {
        const std::span<uint8_t> row = FullRow(core, level, y);
        if (row.empty())
            return;
        const auto from = row.subspan(static_cast<size_t>(m.x1 - 1), w);
        motif.insert(motif.end(), from.begin(), from.end());
    }
    const DragRect r = DragRect{x1, y1, x2, y2}.ClippedTo(s.width, s.height);
    auto matches = [&](int32_t cx, int32_t cy) {
        for (int32_t i = 0; i < h; ++i) {
            const std::span<uint8_t> row = FullRow(core, level, cy + i);
            if (row.empty() || std::memcmp(row.data() + cx - 1, motif.data() + static_cast<size_t>(i) * w, w) != 0)
                return false;
        }
        return true;
    };
    for (int32_t cy = r.y1; cy + h - 1 <= r.y2; ++cy) {
        for (int32_t cx = r.x1; cx + m.width - 1 <= r.x2; ++cx) {
            if (!matches(cx, cy))
                continue;
            m.x1 = cx;
            m.y1 = cy;
            m.x2 = cx + m.width - 1;
            m.y2 = cy + h - 1;
            for (int32_t y = cy; y < cy + h; ++y) {
                SaveRun(core, level, y, cx, m.x2);
                core.FilterPaintRun(s.currentColour, FullRow(core, level, y).subspan(static_cast<size_t>(cx - 1), w));
                core.RowChanged(level, y);
            }
        }
    }
    m = saved;
}

namespace {

struct Band {
    int32_t x1, y1, x2, y2;
};

void MoveCells(std::span<uint8_t> row, int32_t from, int32_t to, int32_t count)
{
    if (count > 0)
        std::memmove(row.data() + to - 1, row.data() + from - 1, static_cast<size_t>(count));
}

}  // namespace

void ZeilenSpaltenInsDel(PaintCore& core, bool fill, uint16_t level, int32_t y1, int32_t y2, int32_t x1,
                         int32_t x2, uint16_t code)
{
    core.Hooks().P_SymbolZeilenSpaltenInsDel();
    PaintState& s = core.State();
    MotifBlock& m = core.Motif();
    const bool withinMotif = code >= 9 && code <= 12;
    const uint16_t kind = withinMotif ? code - 8 : code;
    if (kind < 1 || kind > 4)
        return;
    Band band{1, 1, s.width, s.height};
    if (withinMotif) {
        if (m.Empty())
            return;
        band = {std::max(m.x1, 1), std::max(m.y1, 1), std::min(m.x2, s.width), std::min(m.y2, s.height)};
    }
    const DragRect r = DragRect::Span(x1, y1, x2, y2);
    const DragRect cut{std::max(r.x1, band.x1), std::max(r.y1, band.y1), std::min(r.x2, band.x2),
                       std::min(r.y2, band.y2)};
    if (cut.Empty() || band.x2 < band.x1 || band.y2 < band.y1)
        return;
    for (int32_t y = band.y1; y <= band.y2; ++y)
        SaveRun(core, level, y, band.x1, band.x2);
    const uint8_t fillColour = s.backgroundColour;
    const auto bandWidth = static_cast<size_t>(band.x2 - band.x1 + 1);
    auto bandRow = [&](int32_t y) {
        const std::span<uint8_t> row = FullRow(core, level, y);
        return row.empty() ? row : row.subspan(static_cast<size_t>(band.x1 - 1), bandWidth);
    };
    auto copyRow = [&](int32_t from, int32_t to) {
        const std::span<uint8_t> a = bandRow(from), b = bandRow(to);
        if (!a.empty() && !b.empty())
            std::memcpy(b.data(), a.data(), bandWidth);
    };
    auto fillRow = [&](int32_t y) {
        const std::span<uint8_t> row = bandRow(y);
        std::fill(row.begin(), row.end(), fillColour);
    };
    const int32_t rows = cut.y2 - cut.y1 + 1;
    const int32_t columns = cut.x2 - cut.x1 + 1;
    switch (kind) {
    case 1:  // rows y1.. move up by n; the top n fall out
        for (int32_t y = band.y2; y >= cut.y1 + rows; --y)
            copyRow(y - rows, y);
        if (fill)
            for (int32_t y = cut.y1; y <= cut.y2; ++y)
                fillRow(y);
        break;
    case 3:  // rows above the rectangle move down by n; the freed top fills
        for (int32_t y = cut.y2 + 1; y <= band.y2; ++y)
            copyRow(y, y - rows);
        for (int32_t y = std::max(band.y2 - rows + 1, cut.y1); y <= band.y2; ++y)
            fillRow(y);
        break;
    case 2:
    case 4:
        for (int32_t y = band.y1; y <= band.y2; ++y) {
            const std::span<uint8_t> row = FullRow(core, level, y);
            if (row.empty())
                continue;
            auto fillCells = [&](int32_t from, int32_t to) {
                std::fill(row.begin() + from - 1, row.begin() + to, fillColour);
            };
            if (kind == 2) {
                MoveCells(row, cut.x1, cut.x1 + columns, band.x2 - cut.x1 - columns + 1);
                if (fill)
                    fillCells(cut.x1, cut.x2);
            } else {
                MoveCells(row, cut.x2 + 1, cut.x1, band.x2 - cut.x2);
                fillCells(std::max(band.x2 - columns + 1, cut.x1), band.x2);
            }
        }
        break;
    default: break;
    }
    for (int32_t y = band.y1; y <= band.y2; ++y)
        core.RowChanged(level, y);
    if (withinMotif)
        return;
    // The motif marks the rows or columns opened or closed.
    const bool byRows = kind == 1 || kind == 3;
    m.x1 = byRows ? band.x1 : cut.x1;
    m.x2 = byRows ? band.x2 : cut.x2;
    m.y1 = byRows ? cut.y1 : band.y1;
    m.y2 = byRows ? cut.y2 : band.y2;
    m.width = m.x2 - m.x1 + 1;
    m.height = m.y2 - m.y1 + 1;
}
