// The motif transformations on a 2000 x 6000 motif against memcpy of its
// 12,000,000 cells (each into a target kept from run to run, as memcpy's), and the PCX converters against a plain read and write
// of the same files (bands of few colours, and random cells).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numbers>
#include <unistd.h>
#include <string>
#include <vector>

#include "pattern/motif/motif_exchange.h"
#include "pattern/motif/motif_transform.h"
#include "platform/safe_file.h"

namespace {

constexpr int32_t kWidth = 2000, kRows = 6000;

MotifImage BenchMotif(bool bands)
{
    MotifImage m = MotifImage::Blank(kWidth, kRows, 1, 0);
    uint32_t seed = 7;
    for (int32_t y = 0; y < kRows; ++y)
        for (int32_t x = 0; x < kWidth; ++x)
            m.Line(y)[x] = bands ? static_cast<uint8_t>((y / 4 + x / 50) % 32)
                                 : static_cast<uint8_t>((seed = seed * 1103515245u + 12345u) >> 24);
    for (uint32_t i = 0; i < 256; ++i)
        m.colours[i] = 0xff000000u | (i << 16) | (i << 8) | (255 - i);
    return m;
}

const MotifImage& Motif()
{
    static const MotifImage m = BenchMotif(false);
    return m;
}

void Cells(benchmark::State& state, const MotifImage& m)
{
    state.SetBytesProcessed(int64_t(state.iterations()) * kWidth * kRows);
    state.counters["cells_out"] = double(m.indices.size());
}

void BM_Memcpy(benchmark::State& state)
{
    std::vector<uint8_t> out(Motif().indices.size());
    for (auto _ : state) {
        std::memcpy(out.data(), Motif().indices.data(), out.size());
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * kWidth * kRows);
}
BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond);

void BM_QuarterTurn(benchmark::State& state)
{
    MotifImage t;
    for (auto _ : state)
        {
        RotateMotif90(Motif(), t);
        benchmark::DoNotOptimize(t.indices.data());
    }
    Cells(state, t);
}
BENCHMARK(BM_QuarterTurn)->Unit(benchmark::kMillisecond);

void BM_TurnByTangent03(benchmark::State& state)
{
    const double degrees = std::atan(0.3) * 180.0 / std::numbers::pi;
    const MotifSize box = RotatedMotifSize(kWidth, kRows, degrees);
    MotifImage t;
    for (auto _ : state)
        {
        RotateMotif90(Motif(), degrees, box.width, box.rows, 255, t);
        benchmark::DoNotOptimize(t.indices.data());
    }
    Cells(state, t);
}
BENCHMARK(BM_TurnByTangent03)->Unit(benchmark::kMillisecond);

void BM_ScaleTo1000x12000(benchmark::State& state)
{
    MotifImage t;
    for (auto _ : state)
        {
        MirrorScaleMotif(Motif(), 1000, 12000, kMirrorNone, t);
        benchmark::DoNotOptimize(t.indices.data());
    }
    Cells(state, t);
}
BENCHMARK(BM_ScaleTo1000x12000)->Unit(benchmark::kMillisecond);

void BM_FlipLeftRight(benchmark::State& state)
{
    MotifImage t;
    for (auto _ : state)
        {
        MirrorScaleMotif(Motif(), 0, 0, kMirrorLeftRight, t);
        benchmark::DoNotOptimize(t.indices.data());
    }
    Cells(state, t);
}
BENCHMARK(BM_FlipLeftRight)->Unit(benchmark::kMillisecond);

// The files in a folder of their own: Clip.bmp and Motiv.pcx of both kinds.
struct Files {
    std::string folder;
    std::string bmp[2];
    std::string pcx[2];

    Files()
    {
        const char* tmp = std::getenv("TMPDIR");
        folder = std::string(tmp && *tmp ? tmp : "/tmp") + "/motif_bench-" + std::to_string(::getpid());
        std::filesystem::create_directories(folder);
        for (int bands = 0; bands < 2; ++bands) {
            bmp[bands] = folder + (bands ? "/bands.bmp" : "/random.bmp");
            pcx[bands] = folder + (bands ? "/bands.pcx" : "/random.pcx");
            if (!WriteBmp8(bmp[bands], BenchMotif(bands).ToBmp()).empty() || !BmpToPcx(bmp[bands], pcx[bands], 0))
                std::abort();
        }
    }
    ~Files() { std::filesystem::remove_all(folder); }
};

Files& TheFiles()
{
    static Files files;
    return files;
}

std::vector<char> ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The floor: the input read whole and the output's bytes written, plainly
// (range 1) or through the same safe write the converters use (range 2).
void CopyPlainly(const std::string& from, const std::string& sameSizeAs, const std::string& to, bool safe)
{
    const std::vector<char> in = ReadAll(from);
    benchmark::DoNotOptimize(in.data());
    const std::vector<char> out(std::filesystem::file_size(sameSizeAs), 1);
    if (safe) {
        SafeFileWriter w;
        if (!w.Create(to) || !w.Write(out.data(), out.size()) || !w.Commit())
            std::abort();
        return;
    }
    std::ofstream f(to, std::ios::binary | std::ios::trunc);
    f.write(out.data(), static_cast<std::streamsize>(out.size()));
}

const char* Kind(int64_t bands)
{
    return bands ? "bands" : "random";
}

// Range 0: bands or random cells.
void BM_Convert(benchmark::State& state, bool fromPcx)
{
    Files& f = TheFiles();
    const int bands = static_cast<int>(state.range(0));
    for (auto _ : state) {
        const ExchangeResult r = fromPcx ? PcxToBmp(f.pcx[bands], f.folder + "/out.bmp", 0)
                                         : BmpToPcx(f.bmp[bands], f.folder + "/out.pcx", 0);
        if (!r)
            state.SkipWithError(r.error.c_str());
    }
    state.SetLabel(Kind(bands));
}
BENCHMARK_CAPTURE(BM_Convert, PcxToBmp, true)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Convert, BmpToPcx, false)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Range 1: 1 a plain write, 2 the safe write.
void BM_CopyPlainly(benchmark::State& state, bool fromPcx)
{
    Files& f = TheFiles();
    const int bands = static_cast<int>(state.range(0));
    const bool safe = state.range(1) == 2;
    for (auto _ : state) {
        if (fromPcx)
            CopyPlainly(f.pcx[bands], f.bmp[bands], f.folder + "/out.bmp", safe);
        else
            CopyPlainly(f.bmp[bands], f.pcx[bands], f.folder + "/out.pcx", safe);
    }
    state.SetLabel(std::string(Kind(bands)) + (safe ? ", safe write" : ", plain write"));
}
BENCHMARK_CAPTURE(BM_CopyPlainly, ReadPcxWriteBmp, true)->ArgsProduct({{0, 1}, {1, 2}})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_CopyPlainly, ReadBmpWritePcx, false)->ArgsProduct({{0, 1}, {1, 2}})->Unit(benchmark::kMillisecond);

}  // namespace
