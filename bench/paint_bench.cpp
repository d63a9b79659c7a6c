// The painting rules against plain memory operations on the same cells:
// the write rule's run forms, a filled rectangle over a whole level through
// the tool machine, and the undo history's snapshots and single records.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

#include "pattern/paint/paint_core.h"
#include "pattern/paint/write_rule.h"
#include "pattern/shapes/grid_surface.h"

namespace {

constexpr int32_t kW = 2000;
constexpr int32_t kH = 6000;
constexpr size_t kCells = size_t{kW} * kH;

class NullView : public PaintView {
public:
    void FeedbackFrame(int32_t, int32_t, int32_t, int32_t) override {}
    void ClearFeedback() override {}
    void SetMarkedRange(int32_t, int32_t, int32_t, int32_t) override {}
    void ShowCellHint(const std::string&) override {}
    void HideCellHint() override {}
    void SetBusy(bool) override {}
    void SetToolHint(const std::string&, const std::string&) override {}
    void SetToolButtonDown(const std::string&, bool) override {}
    void SetButtonGlyph(const std::string&, int) override {}
    void BindUndo(bool) override {}
    void Warning(const std::string&) override {}
    void TakeFocus() override {}
    void ForegroundChanged(uint8_t) override {}
    void BackgroundChanged(uint8_t) override {}
    void FlagMarkChanged(ColourFlagKind, uint8_t, bool) override {}
    void P_KopierenButtonEnable(bool) override {}
};

// A grid that records nothing.
struct QuietGrid : GridSurface {
    QuietGrid(int levels) : GridSurface(levels, kW, kH)
    {
        recordUndo = recordHooks = recordRedraws = recordPreviews = recordStatus = false;
    }
};

std::vector<uint8_t> RandomCells(size_t n, unsigned seed)
{
    std::mt19937 random(seed);
    std::vector<uint8_t> cells(n);
    for (uint8_t& c : cells)
        c = static_cast<uint8_t>(random() % 40);
    return cells;
}

struct Flags {
    ColourFlags T{};
    ColourFlags P{};
    Flags(bool protect)
    {
        T[255] = 1;
        if (protect)
            P[3] = P[9] = P[17] = 1;
    }
};

void SetCells(benchmark::State& state)
{
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kCells));
}

// --- the write rule

void BM_CopyLoop(benchmark::State& state)
{
    const std::vector<uint8_t> source = RandomCells(kCells, 1);
    std::vector<uint8_t> level = RandomCells(kCells, 2);
    for (auto _ : state) {
        for (int32_t y = 0; y < kH; ++y) {
            const uint8_t* s = source.data() + size_t{kW} * y;
            uint8_t* d = level.data() + size_t{kW} * y;
            for (int32_t x = 0; x < kW; ++x)
                d[x] = s[x];
        }
        benchmark::ClobberMemory();
    }
    SetCells(state);
}
BENCHMARK(BM_CopyLoop)->Unit(benchmark::kMillisecond);

void BM_FilterPaintRow(benchmark::State& state)
{
    const Flags f(true);
    const std::vector<uint8_t> source = RandomCells(kCells, 1);
    std::vector<uint8_t> level = RandomCells(kCells, 2);
    for (auto _ : state) {
        for (int32_t y = 0; y < kH; ++y)
            FilterPaintRow(f.T, f.P, std::span(source.data() + size_t{kW} * y, kW),
                           std::span(level.data() + size_t{kW} * y, kW));
        benchmark::ClobberMemory();
    }
    SetCells(state);
}
BENCHMARK(BM_FilterPaintRow)->Unit(benchmark::kMillisecond);

void BM_Fill(benchmark::State& state)
{
    std::vector<uint8_t> level = RandomCells(kCells, 2);
    for (auto _ : state) {
        for (int32_t y = 0; y < kH; ++y)
            std::memset(level.data() + size_t{kW} * y, 7, kW);
        benchmark::ClobberMemory();
    }
    SetCells(state);
}
BENCHMARK(BM_Fill)->Unit(benchmark::kMillisecond);

// state.range(0): 1 with three colours protected.
void BM_FilterPaintRun(benchmark::State& state)
{
    const Flags f(state.range(0) != 0);
    std::vector<uint8_t> level = RandomCells(kCells, 2);
    for (auto _ : state) {
        for (int32_t y = 0; y < kH; ++y)
            FilterPaintRun(f.T, f.P, 7, std::span(level.data() + size_t{kW} * y, kW));
        benchmark::ClobberMemory();
    }
    SetCells(state);
}
BENCHMARK(BM_FilterPaintRun)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

// --- a filled rectangle over the whole level, through the tool machine

void BM_LevelCopyAndFill(benchmark::State& state)
{
    std::vector<uint8_t> level = RandomCells(kCells, 2);
    std::vector<uint8_t> saved(kCells);
    for (auto _ : state) {
        std::memcpy(saved.data(), level.data(), kCells);
        std::memset(level.data(), 7, kCells);
        benchmark::ClobberMemory();
    }
    SetCells(state);
}
BENCHMARK(BM_LevelCopyAndFill)->Unit(benchmark::kMillisecond);

void BM_FilledRectangleTool(benchmark::State& state)
{
    QuietGrid grid(1);
    NullView view;
    PaintHooks hooks;
    PaintCore core(grid, view, hooks);
    core.SetPictureSize(kW, kH);
    core.SetLevelStates({3});
    core.P_SetzeFarbenInFarbauswahl(MouseButton::Left, 8);
    for (auto _ : state) {
        // Choosing the tool again starts a fresh history each round.
        core.SpeedButtonMouseUp("RechteckVoll_SpeedButton", MouseButton::Right);
        core.CellEvent({1, 1, 0, false});
        core.CellEvent({1, 1, 1, false});
        core.CellEvent({kW, kH, 1, false});
        core.CellEvent({kW, kH, 0, false});
        benchmark::ClobberMemory();
    }
    SetCells(state);
}
BENCHMARK(BM_FilledRectangleTool)->Unit(benchmark::kMillisecond);

// --- undo: a snapshot of three levels and its undo

void BM_MemcpyOut(benchmark::State& state)
{
    std::vector<uint8_t> levels = RandomCells(3 * kCells, 3);
    std::vector<uint8_t> saved(3 * kCells);
    for (auto _ : state) {
        std::memcpy(saved.data(), levels.data(), levels.size());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * levels.size()));
}
BENCHMARK(BM_MemcpyOut)->Unit(benchmark::kMillisecond);

struct SnapshotCore {
    QuietGrid grid{3};
    NullView view;
    PaintHooks hooks;
    PaintCore core{grid, view, hooks};
    SnapshotCore()
    {
        core.SetPictureSize(kW, kH);
        core.SetLevelStates({3, 2, 2});
        // A first run gives the pool its capacity.
        Save();
    }
    void Save()
    {
        core.UndoZuruecksetzen();
        core.UndoPosInc();
        core.EbenenInUndoSchreiben(1, 1, kH, kW);
    }
};

void BM_EbenenInUndoSchreiben(benchmark::State& state)
{
    SnapshotCore s;
    for (auto _ : state) {
        s.Save();
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * 3 * kCells));
}
BENCHMARK(BM_EbenenInUndoSchreiben)->Unit(benchmark::kMillisecond);

void BM_UndoZurueckLesen(benchmark::State& state)
{
    SnapshotCore s;
    for (auto _ : state) {
        state.PauseTiming();
        s.Save();
        state.ResumeTiming();
        s.core.UndoZurueckLesen(false);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * 3 * kCells));
}
BENCHMARK(BM_UndoZurueckLesen)->Unit(benchmark::kMillisecond);

// --- single records: one byte each, at scattered cells

constexpr int kRecords = 1000000;

std::vector<std::pair<int32_t, int32_t>> ScatteredCells()
{
    std::mt19937 random(5);
    std::vector<std::pair<int32_t, int32_t>> cells(kRecords);
    for (auto& c : cells)
        c = {static_cast<int32_t>(random() % kW), static_cast<int32_t>(random() % kH) + 1};
    return cells;
}

void BM_PushBackRecords(benchmark::State& state)
{
    const auto cells = ScatteredCells();
    QuietGrid grid(1);
    std::vector<UndoRecord> records;
    std::vector<uint8_t> pool;
    records.reserve(kRecords);
    pool.reserve(kRecords);
    for (auto _ : state) {
        records.clear();
        pool.clear();
        for (const auto& [x0, y] : cells) {
            records.push_back({static_cast<uint16_t>(x0), static_cast<uint16_t>(y), 1, UndoKind::RowRun, 1,
                               static_cast<uint32_t>(pool.size())});
            // The byte read as the painter hands it over.
            pool.push_back(grid.Row(1, y)[static_cast<size_t>(x0)]);
        }
        benchmark::DoNotOptimize(records.data());
        benchmark::DoNotOptimize(pool.data());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kRecords);
}
BENCHMARK(BM_PushBackRecords)->Unit(benchmark::kMillisecond);

void BM_InUndoSchreiben(benchmark::State& state)
{
    const auto cells = ScatteredCells();
    QuietGrid grid(1);
    NullView view;
    PaintHooks hooks;
    PaintCore core(grid, view, hooks);
    core.SetPictureSize(kW, kH);
    core.SetLevelStates({3});
    core.Undo().Reserve(kRecords, kRecords);
    for (auto _ : state) {
        core.UndoZuruecksetzen();
        core.UndoPosInc();
        for (const auto& [x0, y] : cells)
            core.InUndoSchreiben(1, y, x0, grid.Row(1, y).subspan(static_cast<size_t>(x0), 1));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kRecords);
}
BENCHMARK(BM_InUndoSchreiben)->Unit(benchmark::kMillisecond);

}  // namespace
