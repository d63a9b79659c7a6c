#include "pattern/shapes/flood_fill.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "pattern/shapes/cell_box.h"
#include "pattern/shapes/line_painter.h"
#include "pattern/shapes/seed_stack.h"

namespace {

// Seeds keep 16-bit coordinates.
constexpr int64_t kLargestCoordinate = 65535;

// The cells a fill has taken, over the area it may fill. A map of its own:
// a mark in the cell byte could not be told from a colour of 128 or more.
// Kept between fills and cleared over each fill's box, so a large area is
// not cleared whole every time.
class FillMarks {
public:
    FillMarks(const CellBox& area) : area_(area), width_(area.x2 - area.x1 + 1)
    {
        std::vector<uint8_t>& map = Map();
        const auto size = static_cast<size_t>(width_ * (area.y2 - area.y1 + 1));
        if (map.size() < size)
            map.resize(size);
        map_ = map.data();
    }
    // The marks of row y, from the area's first column.
    uint8_t* Row(int64_t y) { return map_ + (y - area_.y1) * width_; }
    void Clear(const CellBox& box)
    {
        if (box.Empty())
            return;
        for (int64_t y = box.y1; y <= box.y2; ++y)
            std::memset(Row(y) + (box.x1 - area_.x1), 0, static_cast<size_t>(box.x2 - box.x1 + 1));
    }

private:
    static std::vector<uint8_t>& Map()
    {
        thread_local std::vector<uint8_t> map;
        return map;
    }

    CellBox area_;
    int64_t width_;
    uint8_t* map_;
};

class ScanlineFill {
public:
    ScanlineFill(PaintSurface& surface, PaintState& state, bool search, bool noPattern, const CellBox& area)
        : surface_(surface), state_(state), search_(search), area_(area), marks_(area), seeds_(state.fillFile),
          usePattern_(!noPattern && state.motifIsForeground != 0)
    {
    }

    bool Run();
    const CellBox& Box() const { return box_; }
    int32_t Spilled() const { return seeds_.Spilled(); }
    FillMotif Motif();
    void ClearMarks() { marks_.Clear(box_); }

private:
    // One row of both levels and the marks, as the scans read it.
    struct Line {
        const uint8_t* current = nullptr;
        const uint8_t* reference = nullptr;
        uint8_t* marks = nullptr;  // from the area's first column
        int64_t first = 1;
        bool Fillable(int64_t x, const ScanlineFill& f) const
        {
            return marks[x - first] == 0 && f.currentOk_[current[x - 1]] != 0 && f.referenceOk_[reference[x - 1]] != 0;
        }
    };

    bool Start();
    bool GetLine(int64_t y, Line& line);
    bool PushRuns(int64_t y, int64_t from, int64_t to);
    void Paint(int64_t y, int64_t xl, int64_t xr);

    PaintSurface& surface_;
    PaintState& state_;
    bool search_;
    CellBox area_;
    FillMarks marks_;
    SeedStack seeds_;
    bool usePattern_;
    int current_ = 0;
    int reference_ = 0;
    std::array<uint8_t, 256> currentOk_{};
    std::array<uint8_t, 256> referenceOk_{};
    CellBox box_{kLargestCoordinate, kLargestCoordinate, 0, 0};
};

bool ScanlineFill::GetLine(int64_t y, Line& line)
{
    std::span<uint8_t> c = surface_.Row(current_, static_cast<int32_t>(y));
    std::span<uint8_t> r = surface_.Row(reference_, static_cast<int32_t>(y));
    if (c.size() < static_cast<size_t>(area_.x2) || r.size() < static_cast<size_t>(area_.x2))
        return false;
    line = {c.data(), r.data(), marks_.Row(y), area_.x1};
    return true;
}

bool ScanlineFill::Start()
{
    current_ = state_.currentLevel;
    reference_ = state_.referenceLevel == PaintState::kNoReference ? current_ : state_.referenceLevel;
    const int32_t ax = state_.anchorX;
    const int32_t ay = state_.anchorY;
    if (current_ == 0 || area_.Empty() || !area_.Contains(ax, ay))
        return false;
    // A reference level without this row takes no part.
    if (surface_.Row(reference_, ay).size() < static_cast<size_t>(area_.x2))
        reference_ = current_;
    std::span<uint8_t> c = surface_.Row(current_, ay);
    std::span<uint8_t> r = surface_.Row(reference_, ay);
    if (c.size() < static_cast<size_t>(area_.x2))
        return false;
    const uint8_t c0 = c[static_cast<size_t>(ax - 1)];
    const uint8_t r0 = r[static_cast<size_t>(ax - 1)];
    for (int v = 0; v < 128; ++v) {
        currentOk_[v] = v == c0 || state_.T[v] != 0;
        referenceOk_[v] = v == r0 || state_.T[v] != 0;
    }
    return seeds_.Push({static_cast<uint16_t>(ax), static_cast<uint16_t>(ay)});
}

bool ScanlineFill::PushRuns(int64_t y, int64_t from, int64_t to)
{
    Line line;
    if (!GetLine(y, line))
        return true;
    const int64_t step = from <= to ? 1 : -1;
    bool inRun = false;
    for (int64_t x = from;; x += step) {
        const bool fillable = line.Fillable(x, *this);
        if (fillable && !inRun && !seeds_.Push({static_cast<uint16_t>(x), static_cast<uint16_t>(y)}))
            return false;
        inRun = fillable;
        if (x == to)
            return true;
    }
}

void ScanlineFill::Paint(int64_t y, int64_t xl, int64_t xr)
{
    std::span<uint8_t> row = surface_.Row(current_, static_cast<int32_t>(y));
    const auto cy = static_cast<int32_t>(y);
    bool changed = false;
    int64_t runStart = 0;
    // Cells the write rule keeps are not saved for undo.
    auto close = [&](int64_t end) {
        if (runStart == 0)
            return;
        changed = true;
        surface_.CellsWritten(current_, state_.motifIsForeground != 0, static_cast<int32_t>(runStart),
                              static_cast<int32_t>(end), cy);
        runStart = 0;
    };
    for (int64_t x = xl; x <= xr; ++x) {
        uint8_t& cell = row[static_cast<size_t>(x - 1)];
        const uint8_t c = usePattern_ ? PatternPixel(state_, static_cast<int32_t>(x), cy) : state_.currentColour;
        if (state_.T[c] != 0 || state_.P[cell] != 0) {
            close(x - 1);
            continue;
        }
        surface_.SaveUndo(current_, cy, static_cast<int32_t>(x - 1), {&cell, 1});
        cell = c;
        if (runStart == 0)
            runStart = x;
    }
    close(xr);
    if (changed)
        surface_.RowChanged(current_, cy);
}

bool ScanlineFill::Run()
{
    if (!Start())
        return true;
    SeedStack::Seed seed;
    while (!seeds_.Empty()) {
        if (!seeds_.Pop(seed))
            return false;
        const int64_t y = seed.y;
        Line line;
        // A seed whose cell a later span took is stale.
        if (!area_.Contains(seed.x, y) || !GetLine(y, line) || !line.Fillable(seed.x, *this))
            continue;
        int64_t xl = seed.x;
        int64_t xr = seed.x;
        while (xl > area_.x1 && line.Fillable(xl - 1, *this))
            --xl;
        while (xr < area_.x2 && line.Fillable(xr + 1, *this))
            ++xr;
        if (y - 1 >= area_.y1 && !PushRuns(y - 1, xl, xr))
            return false;
        if (y + 1 <= area_.y2 && !PushRuns(y + 1, xr, xl))
            return false;
        if (!search_)
            Paint(y, xl, xr);
        std::memset(line.marks + (xl - area_.x1), 1, static_cast<size_t>(xr - xl + 1));
        box_ = {std::min(box_.x1, xl), std::min(box_.y1, y), std::max(box_.x2, xr), std::max(box_.y2, y)};
    }
    return true;
}

FillMotif ScanlineFill::Motif()
{
    FillMotif motif;
    if (box_.Empty())
        return motif;
    motif = {static_cast<int32_t>(box_.x1), static_cast<int32_t>(box_.y1), static_cast<int32_t>(box_.x2),
             static_cast<int32_t>(box_.y2), {}};
    motif.cells.reserve(static_cast<size_t>(motif.Width()) * static_cast<size_t>(motif.Height()));
    for (int64_t y = box_.y2; y >= box_.y1; --y) {
        std::span<uint8_t> row = surface_.Row(current_, static_cast<int32_t>(y));
        const uint8_t* marks = marks_.Row(y);
        for (int64_t x = box_.x1; x <= box_.x2; ++x)
            motif.cells.push_back(marks[x - area_.x1] != 0 ? row[static_cast<size_t>(x - 1)] : state_.transparentColour);
    }
    return motif;
}

}  // namespace

bool FloodFill(PaintSurface& surface, PaintState& state, bool search, bool noPattern, int32_t& lowestRow)
{
    CellBox area = VisibleCells(state);
    area.x2 = std::min(area.x2, kLargestCoordinate);
    area.y2 = std::min(area.y2, kLargestCoordinate);
    if (search)
        state.fillMotif = {};
    bool ok = true;
    CellBox box;
    {
        ScanlineFill fill(surface, state, search, noPattern, area);
        ok = fill.Run();
        box = fill.Box();
        state.spilledSeeds = fill.Spilled();
        if (ok && search)
            state.fillMotif = fill.Motif();
        fill.ClearMarks();
    }
    lowestRow = static_cast<int32_t>(box.y1);
    if (!search && !box.Empty() && !surface.SubclassRedraws(1))
        surface.RedrawCells(static_cast<int32_t>(box.x1), static_cast<int32_t>(box.y1), static_cast<int32_t>(box.x2),
                            static_cast<int32_t>(box.y2));
    return ok;
}
