// The simulation library, loaded the way the program loads it (a copy lies
// beside this program). Goals: fetching one fabric row of W_m 4,000 (handles
// included) at most 10x a memcpy of the same bytes, with no allocation per
// call; feeding one 6-line stroke at W_m 2,000 against a memcpy of its
// blocks and arrays. Also reports the resident memory after 20,000 lines at
// W_m 4,000, and the peak memory of an export of 30,000 strokes of 6 lines
// at W_m 2,000 (goal: under 100 MB).
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <new>
#include <string>
#include <vector>

#include <unistd.h>

#include "check/simdll.h"
#include "kernel/model/globals.h"
#include "kernel/model/programmodel.h"

// Every allocation of the process (the library's too) is counted. GCC takes
// the replaced operators for a mismatch with free().
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
namespace {
std::atomic<long> allocations{0};
}
void* operator new(std::size_t n)
{
    ++allocations;
    if (void* p = std::malloc(n ? n : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}

namespace {

// A field of /proc/self/status in KiB: VmRSS (now) or VmHWM (the peak).
long StatusKiB(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == field) {
            long kib = 0;
            status >> kib;
            return kib;
        }
        status.ignore(1 << 20, '\n');
    }
    return 0;
}

long ResidentKiB()
{
    return StatusKiB("VmRSS:");
}

// The peak so far becomes the resident memory of now (Linux 4.0 on).
void ResetPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

bool Start(uint16_t width, uint8_t mode = 1)
{
    TestModus = mode;
    ProgrammKopf.SetModel("843");
    ProgrammKopf.SetGauge(8);
    ProgrammKopf.data()[26] = 6;
    RuestSchema.data()[0] = 1;
    return StartSimDll("", width);
}

// A jacquard-like stroke line: the front knits two colours, the back every
// other needle, one carrier over the whole width.
struct StrokeData {
    std::vector<uint8_t> front;
    std::vector<uint8_t> back;
    T_DllNeueZeile line;
    T_DllFfMove move;
    explicit StrokeData(uint16_t width) : front(width), back(width)
    {
        for (uint16_t i = 0; i < width; ++i) {
            front[i] = ((i / 7) % 3) ? 'M' : 'F';
            back[i] = (i % 2) ? 'M' : 0;
        }
        line.direction = '>';
        line.strokeStart = true;
        line.speed = 100;
        line.takeDown = "WA: 010; ";
        line.density = {1250, 1300, 1250, 1300};
        line.label = "S0001 Z0001 System1 YV0001 YH0001";
        move.rail = 1;
        move.carrier = 1;
        move.start = 1;
        move.end = static_cast<int16_t>(width);
    }
    void feed(uint8_t system)
    {
        line.system = system;
        line.strokeStart = system == 1;
        SimDllAddNeueZeile(line);
        SimDllAddSelektion(front, back);
        SimDllAddFf(move);
        SimDllZeileFertig();
    }
};

constexpr uint16_t kRowWidth = 4000;
constexpr uint16_t kFeedWidth = 2000;

void BM_MemcpyRow(benchmark::State& state)
{
    std::vector<uint8_t> src(3 * kRowWidth, 7), dst(3 * kRowWidth);
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), src.size());
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(src.size()));
}
BENCHMARK(BM_MemcpyRow);

void BM_GetSimInfoRow(benchmark::State& state)
{
    if (!Start(kRowWidth)) {
        state.SkipWithError("libVpSimMod.so not started");
        return;
    }
    StrokeData stroke(kRowWidth);
    for (int k = 0; k < 50; ++k)
        stroke.feed(1);
    SimDllRow row;
    SimDllGetSimInfo(0, 8, 1, 1, 1, row);
    uint16_t r = 0;
    const long before = allocations.load();
    for (auto _ : state) {
        r = static_cast<uint16_t>(r % 100 + 1);
        SimDllGetSimInfo(0, 8, r, 1, 1, row);
        benchmark::DoNotOptimize(row.shape.data());
        benchmark::ClobberMemory();
    }
    state.counters["allocs_per_call"] =
        double(allocations.load() - before) / double(std::max<int64_t>(1, int64_t(state.iterations())));
    state.SetBytesProcessed(int64_t(state.iterations()) * 3 * kRowWidth);
    SimDllSpeicherFrei();
    FreeSimDll();
}
BENCHMARK(BM_GetSimInfoRow);

void BM_MemcpyStroke(benchmark::State& state)
{
    const size_t bytes = 6 * (58 + 12 + 2 * size_t(kFeedWidth) + 16);
    std::vector<uint8_t> src(bytes, 7), dst(bytes);
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), bytes);
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes));
}
BENCHMARK(BM_MemcpyStroke);

void BM_FeedStroke6Lines(benchmark::State& state)
{
    if (!Start(kFeedWidth)) {
        state.SkipWithError("libVpSimMod.so not started");
        return;
    }
    StrokeData stroke(kFeedWidth);
    int64_t n = 0;
    for (auto _ : state) {
        for (uint8_t s = 1; s <= 6; ++s)
            stroke.feed(s);
        // Keep the fabric from growing without bound over millions of runs.
        if (++n % 2000 == 0) {
            state.PauseTiming();
            Start(kFeedWidth);
            state.ResumeTiming();
        }
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * 6 * (58 + 12 + 2 * kFeedWidth + 16));
    SimDllSpeicherFrei();
    FreeSimDll();
}
BENCHMARK(BM_FeedStroke6Lines);

void BM_Resident20000Lines(benchmark::State& state)
{
    for (auto _ : state) {
        const long before = ResidentKiB();
        if (!Start(kRowWidth)) {
            state.SkipWithError("libVpSimMod.so not started");
            return;
        }
        StrokeData stroke(kRowWidth);
        for (int k = 0; k < 20000; ++k)
            stroke.feed(1);
        const long after = ResidentKiB();
        state.counters["rss_MiB"] = double(after) / 1024.0;
        state.counters["fabric_MiB"] = double(after - before) / 1024.0;
        SimDllSpeicherFrei();
        FreeSimDll();
    }
}
BENCHMARK(BM_Resident20000Lines)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

namespace {

void BM_ExportPeak30000Strokes(benchmark::State& state)
{
    const std::string saved = TempPfad;
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("simlib_bench_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    TempPfad = folder.string() + "/";
    for (auto _ : state) {
        if (!Start(kFeedWidth, 2)) {
            state.SkipWithError("libVpSimMod.so not started");
            break;
        }
        StrokeData stroke(kFeedWidth);
        ResetPeak();
        const long before = ResidentKiB();
        for (int k = 0; k < 30000; ++k) {
            stroke.line.direction = k % 2 ? '<' : '>';
            for (uint8_t s = 1; s <= 6; ++s)
                stroke.feed(s);
        }
        const SimInfoEnde end = SimDllInfoEnde(0);
        const long peak = StatusKiB("VmHWM:");
        state.counters["peak_MiB"] = double(peak) / 1024.0;
        state.counters["growth_MiB"] = double(peak - before) / 1024.0;
        state.counters["file_MiB"] = double(std::filesystem::file_size(TempPfad + "Wandel.Sma")) / 1048576.0;
        state.counters["strokes"] = end.strokes;
        if (!end.usable)
            state.SkipWithError("the export was not usable");
        SimDllSpeicherFrei();
        FreeSimDll();
    }
    std::filesystem::remove_all(folder);
    TempPfad = saved;
}
BENCHMARK(BM_ExportPeak30000Strokes)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
