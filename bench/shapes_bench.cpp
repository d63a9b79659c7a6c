// The shape routines on a GridSurface with its recording off, each against
// std::memset of the same cells row by row.
#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <vector>

#include "pattern/shapes/shapes.h"

namespace {

constexpr int32_t kWidth = 2000;
constexpr int32_t kHeight = 6000;

struct Run {
    int32_t y, x1, x2;
};

struct Bench {
    Bench(int32_t w, int32_t h) : grid(1, w, h)
    {
        grid.recordUndo = grid.recordHooks = grid.recordRedraws = grid.recordPreviews = grid.recordStatus = false;
        state.width = w;
        state.height = h;
        state.currentLevel = 1;
        state.currentColour = 1;
        state.fillFile = (std::filesystem::temp_directory_path() / "shapes_bench_Fuell.Tmp").string();
    }
    // The painted runs of each row (the shapes here paint one run a row).
    std::vector<Run> PaintedRuns()
    {
        std::vector<Run> runs;
        for (int32_t y = 1; y <= grid.Height(); ++y) {
            std::span<uint8_t> row = grid.Row(1, y);
            int32_t x1 = 0, x2 = 0;
            for (int32_t x = 1; x <= grid.Width(); ++x)
                if (row[static_cast<size_t>(x - 1)] != 0) {
                    x1 = x1 == 0 ? x : x1;
                    x2 = x;
                }
            if (x1 != 0)
                runs.push_back({y, x1, x2});
        }
        return runs;
    }
    GridSurface grid;
    PaintState state;
};

void MemsetRuns(benchmark::State& st, Bench& b, const std::vector<Run>& runs)
{
    uint8_t value = 0;
    size_t cells = 0;
    for (const Run& r : runs)
        cells += static_cast<size_t>(r.x2 - r.x1 + 1);
    for (auto _ : st) {
        ++value;
        for (const Run& r : runs)
            std::memset(b.grid.Row(1, r.y).data() + r.x1 - 1, value, static_cast<size_t>(r.x2 - r.x1 + 1));
        benchmark::ClobberMemory();
    }
    st.SetItemsProcessed(static_cast<int64_t>(st.iterations()) * static_cast<int64_t>(cells));
}

std::vector<Run> WholeLevel(int32_t w, int32_t h)
{
    std::vector<Run> runs;
    for (int32_t y = 1; y <= h; ++y)
        runs.push_back({y, 1, w});
    return runs;
}

// Fills alternate two colours, so each fill meets a uniform region again.
void Fill(benchmark::State& st, Bench& b, int32_t x, int32_t y, size_t cells)
{
    b.state.anchorX = x;
    b.state.anchorY = y;
    int32_t lowest = 0;
    for (auto _ : st) {
        b.state.currentColour = b.state.currentColour == 5 ? 6 : 5;
        if (!FloodFill(b.grid, b.state, false, false, lowest))
            st.SkipWithError("fill failed");
        if (b.grid.recordUndo) {
            st.PauseTiming();
            b.grid.ClearRecords();
            st.ResumeTiming();
        }
    }
    st.SetItemsProcessed(static_cast<int64_t>(st.iterations()) * static_cast<int64_t>(cells));
}

void BM_MemsetUniformLevel(benchmark::State& st)
{
    Bench b(kWidth, kHeight);
    MemsetRuns(st, b, WholeLevel(kWidth, kHeight));
}
BENCHMARK(BM_MemsetUniformLevel)->Unit(benchmark::kMillisecond);

void BM_FloodFillUniformLevel(benchmark::State& st)
{
    Bench b(kWidth, kHeight);
    Fill(st, b, 1000, 3000, static_cast<size_t>(kWidth) * kHeight);
}
BENCHMARK(BM_FloodFillUniformLevel)->Unit(benchmark::kMillisecond);

void BM_FloodFillUniformLevelKeepingUndo(benchmark::State& st)
{
    Bench b(kWidth, kHeight);
    b.grid.recordUndo = true;
    Fill(st, b, 1000, 3000, static_cast<size_t>(kWidth) * kHeight);
}
BENCHMARK(BM_FloodFillUniformLevelKeepingUndo)->Unit(benchmark::kMillisecond);

// 2000 x 3, row 2 open, rows 1 and 3 one-cell teeth: 1000 seeds spill.
Bench Comb()
{
    Bench b(2000, 3);
    for (int32_t x = 2; x <= 2000; x += 2) {
        b.grid.SetCell(1, x, 1, 1);
        b.grid.SetCell(1, x, 3, 1);
    }
    return b;
}

void BM_MemsetComb(benchmark::State& st)
{
    Bench b(2000, 3);
    std::vector<Run> runs = {{2, 1, 2000}};
    for (int32_t x = 1; x <= 2000; x += 2) {
        runs.push_back({1, x, x});
        runs.push_back({3, x, x});
    }
    MemsetRuns(st, b, runs);
}
BENCHMARK(BM_MemsetComb)->Unit(benchmark::kMicrosecond);

void BM_FloodFillComb(benchmark::State& st)
{
    Bench b = Comb();
    Fill(st, b, 1, 2, 4000);
}
BENCHMARK(BM_FloodFillComb)->Unit(benchmark::kMicrosecond);

void BM_DrawCircleFilledR900(benchmark::State& st)
{
    Bench b(kWidth, kHeight);
    for (auto _ : st)
        DrawCircleFilled(b.grid, b.state, 1000, 3000, 1900, 3000);
    st.SetItemsProcessed(static_cast<int64_t>(st.iterations()) * 2544690);
}
BENCHMARK(BM_DrawCircleFilledR900)->Unit(benchmark::kMillisecond);

void BM_MemsetCircleR900(benchmark::State& st)
{
    Bench b(kWidth, kHeight);
    DrawCircleFilled(b.grid, b.state, 1000, 3000, 1900, 3000);
    const std::vector<Run> runs = b.PaintedRuns();
    MemsetRuns(st, b, runs);
}
BENCHMARK(BM_MemsetCircleR900)->Unit(benchmark::kMillisecond);

void BM_DrawEllipseFilledWholeLevel(benchmark::State& st)
{
    Bench b(kWidth, kHeight);
    for (auto _ : st)
        DrawEllipse(b.grid, b.state, true, false, 1, 1, kWidth, kHeight);
}
BENCHMARK(BM_DrawEllipseFilledWholeLevel)->Unit(benchmark::kMillisecond);

void BM_MemsetEllipseWholeLevel(benchmark::State& st)
{
    Bench b(kWidth, kHeight);
    DrawEllipse(b.grid, b.state, true, false, 1, 1, kWidth, kHeight);
    const std::vector<Run> runs = b.PaintedRuns();
    MemsetRuns(st, b, runs);
}
BENCHMARK(BM_MemsetEllipseWholeLevel)->Unit(benchmark::kMillisecond);

// One stamp a row: the steep line from (1,1) to (2000,6000).
void Line(benchmark::State& st, bool preview)
{
    Bench b(kWidth, kHeight);
    b.state.settings.lineWidth = static_cast<uint8_t>(st.range(0));
    for (auto _ : st) {
        int32_t x1 = kWidth;
        int32_t y1 = kHeight;
        if (preview)
            StepLine(b.grid, b.state, 1, 1, x1, 1, y1);
        else
            PaintBrush(b.grid, b.state, true, true, 1, x1, 1, y1);
    }
    st.counters["per_stamp"] =
        benchmark::Counter(kHeight, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_PaintBrushDiagonal(benchmark::State& st)
{
    Line(st, false);
}
BENCHMARK(BM_PaintBrushDiagonal)->Arg(0)->Arg(3)->Unit(benchmark::kMicrosecond);

void BM_StepLineDiagonal(benchmark::State& st)
{
    Line(st, true);
}
BENCHMARK(BM_StepLineDiagonal)->Arg(0)->Arg(3)->Unit(benchmark::kMicrosecond);

}  // namespace
