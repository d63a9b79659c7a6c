#include "pattern/shapes/flood_fill.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <vector>

#include "pattern/shapes/cell_box.h"
#include "pattern/shapes/fill_row.h"
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
    bool Start();
    // Row y over the area; false where a level does not hold it.
    bool GetRow(int64_t y, FillRow& row);
    bool PushRuns(int64_t y, int64_t from, int64_t to);
    void Paint(int64_t y, int64_t xl, int64_t xr);
    void PaintRun(std::span<uint8_t> row, int32_t y, int64_t x1, int64_t x2, uint8_t colour);

    PaintSurface& surface_;
    PaintState& state_;
    bool search_;
    CellBox area_;
    FillMarks marks_;
    SeedStack seeds_;
    bool usePattern_;
    int current_ = 0;
    int reference_ = 0;
    std::unique_ptr<FillMatch> match_;
    bool anyProtected_ = false;
    CellBox box_{kLargestCoordinate, kLargestCoordinate, 0, 0};
};

bool ScanlineFill::GetRow(int64_t y, FillRow& row)
{
    std::span<uint8_t> c = surface_.Row(current_, static_cast<int32_t>(y));
    std::span<uint8_t> r = surface_.Row(reference_, static_cast<int32_t>(y));
    if (c.size() < static_cast<size_t>(area_.x2) || r.size() < static_cast<size_t>(area_.x2))
        return false;
    const auto first = static_cast<size_t>(area_.x1 - 1);
    row = FillRow(c.data() + first, r.data() + first, marks_.Row(y), *match_);
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
    match_ = std::make_unique<FillMatch>(c[static_cast<size_t>(ax - 1)], r[static_cast<size_t>(ax - 1)], state_.T,
                                         reference_ == current_);
    anyProtected_ = std::any_of(state_.P.begin(), state_.P.end(), [](uint8_t p) { return p != 0; });
    const uint8_t colour = state_.currentColour;
    match_->marks = search_ || usePattern_ || anyProtected_ || state_.T[colour] != 0 || match_->currentOk[colour] != 0;
    return seeds_.Push({static_cast<uint16_t>(ax), static_cast<uint16_t>(ay)});
}

// One seed for each run of fillable cells of row y from column `from` to `to`.
bool ScanlineFill::PushRuns(int64_t y, int64_t from, int64_t to)
{
    FillRow row(nullptr, nullptr, nullptr, *match_);
    if (!GetRow(y, row))
        return true;
    const int step = from <= to ? 1 : -1;
    const int64_t end = to - area_.x1;
    for (int64_t i = from - area_.x1;;) {
        i = row.Scan(i, end, step, false);
        if (step > 0 ? i > end : i < end)
            return true;
        if (!seeds_.Push({static_cast<uint16_t>(i + area_.x1), static_cast<uint16_t>(y)}))
            return false;
        i = row.Scan(i, end, step, true);
        if (step > 0 ? i > end : i < end)
            return true;
    }
}

// Cells the write rule keeps are not saved for undo.
void ScanlineFill::PaintRun(std::span<uint8_t> row, int32_t y, int64_t x1, int64_t x2, uint8_t colour)
{
    const auto offset = static_cast<size_t>(x1 - 1);
    const auto count = static_cast<size_t>(x2 - x1 + 1);
    surface_.SaveUndo(current_, y, static_cast<int32_t>(x1 - 1), row.subspan(offset, count));
    if (usePattern_) {
        for (int64_t x = x1; x <= x2; ++x)
            row[static_cast<size_t>(x - 1)] = PatternPixel(state_, static_cast<int32_t>(x), y);
    } else {
        std::memset(row.data() + offset, colour, count);
    }
    surface_.CellsWritten(current_, state_.motifIsForeground != 0, static_cast<int32_t>(x1), static_cast<int32_t>(x2),
                          y);
}

void ScanlineFill::Paint(int64_t y, int64_t xl, int64_t xr)
{
    std::span<uint8_t> row = surface_.Row(current_, static_cast<int32_t>(y));
    const auto cy = static_cast<int32_t>(y);
    const uint8_t colour = state_.currentColour;
    if (!usePattern_ && state_.T[colour] != 0)
        return;
    auto writable = [&](int64_t x) {
        const uint8_t c = usePattern_ ? PatternPixel(state_, static_cast<int32_t>(x), cy) : colour;
        return state_.T[c] == 0 && state_.P[row[static_cast<size_t>(x - 1)]] == 0;
    };
    if (!usePattern_ && !anyProtected_) {
        PaintRun(row, cy, xl, xr, colour);
        surface_.RowChanged(current_, cy);
        return;
    }
    bool changed = false;
    for (int64_t x = xl; x <= xr;) {
        if (!writable(x)) {
            ++x;
            continue;
        }
        int64_t end = x;
        while (end < xr && writable(end + 1))
            ++end;
        PaintRun(row, cy, x, end, colour);
        changed = true;
        x = end + 1;
    }
    if (changed)
        surface_.RowChanged(current_, cy);
}

bool ScanlineFill::Run()
{
    if (!Start())
        return true;
    SeedStack::Seed seed;
    const int64_t last = area_.x2 - area_.x1;
    while (!seeds_.Empty()) {
        if (!seeds_.Pop(seed))
            return false;
        const int64_t y = seed.y;
        FillRow row(nullptr, nullptr, nullptr, *match_);
        const int64_t i = seed.x - area_.x1;
        // A seed whose cell a later span took is stale.
        if (!area_.Contains(seed.x, y) || !GetRow(y, row) || !row.Fillable(i))
            continue;
        const int64_t xl = row.Scan(i, 0, -1, true) + 1 + area_.x1;
        const int64_t xr = row.Scan(i, last, 1, true) - 1 + area_.x1;
        if (y - 1 >= area_.y1 && !PushRuns(y - 1, xl, xr))
            return false;
        if (y + 1 <= area_.y2 && !PushRuns(y + 1, xr, xl))
            return false;
        if (!search_)
            Paint(y, xl, xr);
        row.Mark(xl - area_.x1, xr - area_.x1);
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
