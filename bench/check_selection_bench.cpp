// Needle selection of one system over a wide room: both sides jacquard on
// needle selection 1 and on the second stitch density, against a random
// row of 8 colours.
// Goal: within 3x of clearing the two beds and testing every needle's cell,
// read through the needle map, against a 32-bit colour set.
#include <benchmark/benchmark.h>

#include <array>
#include <cstring>
#include <random>
#include <vector>

#include "check/rules/checkstate.h"
#include "check/rules/needleselection.h"
#include "kernel/model/bytes.h"
#include "kernel/model/programmodel.h"

namespace {

constexpr int kWidth = 2000;
constexpr uint32_t kSelectionSet = 0x0F;  // colours 0..3
constexpr uint32_t kDensitySet = 0x03;    // colours 0..1: all selected already

struct Fixture {
    std::vector<uint16_t> map;
    std::array<uint8_t, 88> block{};
    std::vector<T_NadelAktion> front, back;

    Fixture() : map(kWidth + 1), front(kWidth + 1), back(kWidth + 1)
    {
        ProgrammKopf.SetWidth(kWidth);
        ProgrammKopf.SetHeight(2);
        BildEbene0.allocate(2);
        std::mt19937 rng(7);
        for (int x = 0; x < kWidth; ++x)
            BildEbene0.rows[kPatternStride + size_t(x)] = uint8_t(rng() % 8);
        for (int i = 1; i <= kWidth; ++i)
            map[size_t(i)] = uint16_t(i);
        for (size_t side : {size_t(8), size_t(48)}) {
            block[side] = 2;
            put_u32(block.data(), side + 16, kSelectionSet);
            put_u32(block.data(), side + 32, kDensitySet);
        }
        CheckState = T_CheckState();
    }
};

void BM_SelectSystemNeedles(benchmark::State& state)
{
    Fixture f;
    SystemSelectionInput in;
    in.block = f.block;
    in.width = kWidth;
    in.needleMap = f.map;
    in.frontRow = 1;
    in.backRow = 1;
    in.place = {1, 1, 1};
    for (auto _ : state) {
        SystemSelectionResult r = SelectSystemNeedles(in, f.front, f.back);
        benchmark::DoNotOptimize(r);
        benchmark::DoNotOptimize(f.front.data());
        benchmark::DoNotOptimize(f.back.data());
    }
    if (CheckState.errorCount != 0)
        state.SkipWithError("unexpected checker message");
}
BENCHMARK(BM_SelectSystemNeedles);

void BM_Baseline_ClearAndTestCells(benchmark::State& state)
{
    Fixture f;
    for (auto _ : state) {
        for (std::vector<T_NadelAktion>* bed : {&f.front, &f.back}) {
            std::memset(bed->data(), 0, kWidth + 1);
            T_NadelAktion* a = bed->data();
            for (int i = 1; i <= kWidth; ++i) {
                const uint8_t v = PatternCell(f.map[size_t(i)], 1);
                if (v >= 1 && v <= 32 && (kSelectionSet >> (v - 1)) & 1u)
                    a[i] = 'M';
            }
        }
        benchmark::DoNotOptimize(f.front.data());
        benchmark::DoNotOptimize(f.back.data());
    }
}
BENCHMARK(BM_Baseline_ClearAndTestCells);

}  // namespace
