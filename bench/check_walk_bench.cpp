// The program check walk over a wide program: six systems, gauge 7, room
// 1..2001 (W = 2000), pattern 2000 x 16 of 8 colours, one division over all
// 2000 columns, 10,000 strokes, each system selecting jacquard on both beds
// with direct densities and a P line with a colour set.
// Goal, strokes per second: within 6x of the baseline in the export (with
// the null library) and within 5x in the program test (with the null host),
// allocating nothing per stroke. Baseline, per stroke: for 6 systems x 2
// sides clear W + 1 bytes, test W cells read through the needle map against
// a 32-bit set and copy the array into a machine-wide one.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "check/checkhost.h"
#include "check/programcheck.h"
#include "check/rules/checkstate.h"
#include "check/simlibrary.h"
#include "kernel/model/globals.h"
#include "kernel/model/programmodel.h"
#include "tests/check_walk/walk_program.h"

namespace {

constexpr int kWidth = 2000;
constexpr uint16_t kRepeats = 5000;
constexpr int64_t kStrokes = 2 * kRepeats;

void Walk(benchmark::State& state, int mode)
{
    BuildWideProgram(kRepeats);
    NullSimLibrary null;
    SetSimLibrary(&null);
    CheckState = T_CheckState();
    TestModus = mode;
    for (auto _ : state) {
        RunProgramCheck();
        if (CheckStrokeCount() != kStrokes || CheckState.errorCount != 0) {
            state.SkipWithError("the walk did not run clean");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * kStrokes);
    SetSimLibrary(nullptr);
    TestModus = 0;
}

void BM_Walk_Export_NullLibrary(benchmark::State& state)
{
    Walk(state, 2);
}
BENCHMARK(BM_Walk_Export_NullLibrary)->Unit(benchmark::kMillisecond);

void BM_Walk_ProgramTest_NullHost(benchmark::State& state)
{
    Walk(state, 0);
}
BENCHMARK(BM_Walk_ProgramTest_NullHost)->Unit(benchmark::kMillisecond);

// One stroke per iteration.
void BM_Baseline_Stroke(benchmark::State& state)
{
    BuildWideProgram(kRepeats);
    std::vector<uint16_t> map(kWidth + 1);
    for (int i = 1; i <= kWidth; ++i)
        map[size_t(i)] = uint16_t(i);
    std::vector<uint8_t> bed(kWidth + 1);
    std::vector<uint8_t> machine(2 * kWidth + 3);
    const uint32_t set = 0x0F;
    for (auto _ : state) {
        for (int sys = 1; sys <= 6; ++sys) {
            for (int side = 0; side < 2; ++side) {
                std::memset(bed.data(), 0, kWidth + 1);
                uint8_t* a = bed.data();
                const uint16_t row = uint16_t(1 + sys);
                for (int i = 1; i <= kWidth; ++i) {
                    const uint8_t v = PatternCell(map[size_t(i)], row);
                    if (v >= 1 && v <= 32 && (set >> (v - 1)) & 1u)
                        a[i] = 'M';
                }
                std::memcpy(machine.data(), a + 1, kWidth);
                benchmark::DoNotOptimize(machine.data());
            }
        }
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Baseline_Stroke);

}  // namespace
