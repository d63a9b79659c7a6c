// Inserting and deleting at the top of a full knitting scheme list shifts
// 20000 lines of 640 bytes twice. Goal: at most twice the time of two plain
// memmoves of the same 12.8 MB.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "kernel/model/listmodel.h"

namespace {
constexpr size_t kLines = 20000;
constexpr size_t kBytes = kLines * kZLineSize;

void BM_MemmoveBaseline(benchmark::State& state)
{
    std::vector<uint8_t> block(kBytes + kZLineSize, 1);
    for (auto _ : state) {
        std::memmove(block.data() + kZLineSize, block.data(), kBytes - kZLineSize);
        std::memmove(block.data(), block.data() + kZLineSize, kBytes - kZLineSize);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * 2 * int64_t(kBytes - kZLineSize));
}
BENCHMARK(BM_MemmoveBaseline)->Unit(benchmark::kMillisecond);

void BM_ZListeInsertDeleteFirst(benchmark::State& state)
{
    T_ZListe list;
    list.GetLine(kLines);
    for (auto _ : state) {
        list.InsertLine(1);
        list.DeleteLine(1);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * 2 * int64_t(kBytes - kZLineSize));
}
BENCHMARK(BM_ZListeInsertDeleteFirst)->Unit(benchmark::kMillisecond);
}  // namespace
