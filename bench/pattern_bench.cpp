// Pattern files against libtiff in the same run: the LZW strip codec on one
// 8192-byte strip (memcpy as the floor), every strip of a 2000 x 6000 plane
// decoded, and the whole plane written and read as a TIFF file (a plain
// read of the file as the I/O bound); planes of bands, of 32-colour and of
// 256-colour noise. The goal: decoding at most 0.9 of libtiff's time in
// every row, pinned to one core (taskset -c N), median of 9 in one run
// (--benchmark_repetitions=9 --benchmark_report_aggregates_only=true).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include <fcntl.h>
#include <tiffio.h>
#include <unistd.h>

#include "kernel/model/globals.h"
#include "kernel/model/programmodel.h"
#include "kernel/pattern/lzwcodec.h"
#include "kernel/pattern/tiffpattern.h"

namespace {

using Bytes = std::vector<uint8_t>;
constexpr size_t kStrip = 8192;

enum Kind { Constant, Bands, Noise32, Noise256 };
const char* const kKindNames[] = {"constant", "bands", "noise32", "noise256"};

// Rows of 256 cells: bands change colour every four rows.
Bytes Strip(int kind)
{
    Bytes b(kStrip);
    std::mt19937 rng(11);
    for (size_t i = 0; i < kStrip; ++i) {
        switch (kind) {
        case Constant: b[i] = 7; break;
        case Bands: b[i] = static_cast<uint8_t>((i / 256 / 4) % 32); break;
        case Noise32: b[i] = static_cast<uint8_t>(rng() % 32); break;
        default: b[i] = static_cast<uint8_t>(rng()); break;
        }
    }
    return b;
}

// ---------------------------------------------------------------------------
// libtiff in memory

struct MemFile {
    std::vector<uint8_t> data;
    toff_t pos = 0;
};

tsize_t MemRead(thandle_t h, tdata_t buf, tsize_t size)
{
    auto* f = static_cast<MemFile*>(h);
    const toff_t n = std::min<toff_t>(size, f->pos < f->data.size() ? f->data.size() - f->pos : 0);
    std::memcpy(buf, f->data.data() + f->pos, n);
    f->pos += n;
    return static_cast<tsize_t>(n);
}
tsize_t MemWrite(thandle_t h, tdata_t buf, tsize_t size)
{
    auto* f = static_cast<MemFile*>(h);
    if (f->pos + size > f->data.size())
        f->data.resize(f->pos + size);
    std::memcpy(f->data.data() + f->pos, buf, size);
    f->pos += size;
    return size;
}
toff_t MemSeek(thandle_t h, toff_t off, int whence)
{
    auto* f = static_cast<MemFile*>(h);
    if (whence == SEEK_SET)
        f->pos = off;
    else if (whence == SEEK_CUR)
        f->pos += off;
    else
        f->pos = f->data.size() + off;
    return f->pos;
}
int MemClose(thandle_t) { return 0; }
toff_t MemSize(thandle_t h) { return static_cast<MemFile*>(h)->data.size(); }
int MemMap(thandle_t, tdata_t*, toff_t*) { return 0; }
void MemUnmap(thandle_t, tdata_t, toff_t) {}

TIFF* MemOpen(MemFile& f, const char* mode)
{
    f.pos = 0;
    return TIFFClientOpen("mem", mode, &f, MemRead, MemWrite, MemSeek, MemClose, MemSize, MemMap, MemUnmap);
}

void StripTags(TIFF* tif)
{
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, 256);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, 32);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, 32);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
}

void Silence()
{
    TIFFSetWarningHandler(nullptr);
}

// ---------------------------------------------------------------------------
// One strip

void BM_Memcpy(benchmark::State& state)
{
    const Bytes src = Strip(Noise256);
    Bytes dst(kStrip);
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), kStrip);
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * kStrip);
}
BENCHMARK(BM_Memcpy);

void BM_LzwCompress(benchmark::State& state)
{
    const Bytes src = Strip(static_cast<int>(state.range(0)));
    Bytes b;
    for (auto _ : state) {
        b.assign(src.begin(), src.end());
        LzwCompress(b);
        benchmark::DoNotOptimize(b.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * kStrip);
    state.SetLabel(std::string(kKindNames[state.range(0)]) + ", " + std::to_string(b.size()) + " bytes");
}
BENCHMARK(BM_LzwCompress)->DenseRange(0, 3);

void BM_LibtiffLzwEncode(benchmark::State& state)
{
    Silence();
    Bytes src = Strip(static_cast<int>(state.range(0)));
    MemFile f;
    TIFF* tif = MemOpen(f, "w");
    StripTags(tif);
    for (auto _ : state) {
        const tmsize_t n = TIFFWriteEncodedStrip(tif, 0, src.data(), kStrip);
        benchmark::DoNotOptimize(n);
        // Rewriting strip 0 over and over must not let the file grow.
        if (f.data.size() > (size_t(1) << 22))
            state.SkipWithError("memory file grows");
    }
    TIFFClose(tif);
    state.SetBytesProcessed(int64_t(state.iterations()) * kStrip);
    state.SetLabel(kKindNames[state.range(0)]);
}
BENCHMARK(BM_LibtiffLzwEncode)->DenseRange(0, 3);

void BM_LzwDecompress(benchmark::State& state)
{
    const Bytes src = Strip(static_cast<int>(state.range(0)));
    Bytes packed = src;
    LzwCompress(packed);
    for (auto _ : state) {
        const LzwDecoded d = LzwDecodeStrip(packed.data(), packed.size(), kStrip);
        if (d.status != LzwStatus::Ok || d.size != kStrip)
            state.SkipWithError("decoding failed");
        benchmark::DoNotOptimize(d.data);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * kStrip);
    state.SetLabel(kKindNames[state.range(0)]);
}
BENCHMARK(BM_LzwDecompress)->DenseRange(0, 3);

void BM_LibtiffLzwDecode(benchmark::State& state)
{
    Silence();
    Bytes src = Strip(static_cast<int>(state.range(0)));
    MemFile f;
    TIFF* w = MemOpen(f, "w");
    StripTags(w);
    TIFFWriteEncodedStrip(w, 0, src.data(), kStrip);
    TIFFClose(w);
    TIFF* tif = MemOpen(f, "r");
    Bytes out(kStrip);
    for (auto _ : state) {
        if (TIFFReadEncodedStrip(tif, 0, out.data(), kStrip) != tmsize_t(kStrip))
            state.SkipWithError("libtiff decoding failed");
        benchmark::DoNotOptimize(out.data());
    }
    TIFFClose(tif);
    state.SetBytesProcessed(int64_t(state.iterations()) * kStrip);
    state.SetLabel(kKindNames[state.range(0)]);
}
BENCHMARK(BM_LibtiffLzwDecode)->DenseRange(0, 3);

// ---------------------------------------------------------------------------
// A 2000 x 6000 plane

constexpr uint16_t kWidth = 2000;
constexpr uint16_t kHeight = 6000;
constexpr int64_t kPlaneBytes = int64_t(kWidth) * kHeight;

// The benchmark's own folder, removed at exit.
struct BenchFolder {
    std::string path;
    ~BenchFolder()
    {
        std::error_code ec;
        if (!path.empty())
            std::filesystem::remove_all(path, ec);
    }
};

std::string Folder()
{
    static BenchFolder folder{[] {
        const char* tmp = std::getenv("TMPDIR");
        std::string templ = std::string(tmp && *tmp ? tmp : "/tmp") + "/pattern-bench-XXXXXX";
        const char* dir = mkdtemp(templ.data());
        if (!dir)
            std::abort();
        ProgrammPfad = std::string(dir) + "/";
        TempPfad = ProgrammPfad;
        return ProgrammPfad;
    }()};
    return folder.path;
}

// Plane 0 filled as a pattern: 0 bands (32 colours, four rows each), 1
// 32-colour noise, 2 noise of all 256 colours.
void FillPlane(int kind)
{
    ProgrammKopf.SetWidth(kWidth);
    ProgrammKopf.SetHeight(kHeight);
    BildEbene0.allocate(kHeight);
    std::mt19937 rng(3);
    for (int y = 1; y <= kHeight; ++y) {
        uint8_t* row = BildEbene0.rows.data() + size_t(y) * kPatternStride;
        for (int x = 0; x < kWidth; ++x)
            row[x] = static_cast<uint8_t>(kind == 0 ? (y / 4) % 32 : kind == 1 ? rng() % 32 : rng());
    }
}

const char* PlaneName(int kind)
{
    static const char* const names[] = {"bands", "noise32", "noise256"};
    return names[kind];
}

// Every strip of the plane decoded on its own, four rows a strip as the
// writer plans them: ours from our code streams, libtiff's from its own.
std::vector<Bytes> PlaneStrips()
{
    std::vector<Bytes> strips;
    for (int row = kHeight; row >= 1; row -= 4) {
        Bytes strip;
        for (int r = 0; r < std::min(4, row); ++r) {
            const uint8_t* cells = BildEbene0.rows.data() + size_t(row - r) * kPatternStride;
            strip.insert(strip.end(), cells, cells + kWidth);
        }
        strips.push_back(std::move(strip));
    }
    return strips;
}

void BM_LzwDecodePlaneStrips(benchmark::State& state)
{
    FillPlane(int(state.range(0)));
    std::vector<Bytes> strips = PlaneStrips();
    for (Bytes& s : strips)
        LzwCompress(s);
    for (auto _ : state) {
        for (const Bytes& s : strips) {
            const LzwDecoded d = LzwDecodeStrip(s.data(), s.size(), size_t(4) * kWidth);
            if (d.status != LzwStatus::Ok || d.size != size_t(4) * kWidth)
                state.SkipWithError("decoding failed");
            benchmark::DoNotOptimize(d.data);
        }
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * kPlaneBytes);
    state.SetLabel(PlaneName(int(state.range(0))));
}
BENCHMARK(BM_LzwDecodePlaneStrips)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

void BM_LibtiffDecodePlaneStrips(benchmark::State& state)
{
    Silence();
    FillPlane(int(state.range(0)));
    const std::vector<Bytes> strips = PlaneStrips();
    MemFile f;
    TIFF* w = MemOpen(f, "w");
    TIFFSetField(w, TIFFTAG_IMAGEWIDTH, kWidth);
    TIFFSetField(w, TIFFTAG_IMAGELENGTH, kHeight);
    TIFFSetField(w, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(w, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(w, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
    TIFFSetField(w, TIFFTAG_ROWSPERSTRIP, 4);
    TIFFSetField(w, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
    for (uint32_t s = 0; s < strips.size(); ++s)
        TIFFWriteEncodedStrip(w, s, const_cast<uint8_t*>(strips[s].data()), tmsize_t(strips[s].size()));
    TIFFClose(w);
    TIFF* tif = MemOpen(f, "r");
    Bytes out(size_t(4) * kWidth);
    for (auto _ : state) {
        for (uint32_t s = 0; s < strips.size(); ++s)
            if (TIFFReadEncodedStrip(tif, s, out.data(), tmsize_t(out.size())) != tmsize_t(out.size()))
                state.SkipWithError("libtiff decoding failed");
        benchmark::DoNotOptimize(out.data());
    }
    TIFFClose(tif);
    state.SetBytesProcessed(int64_t(state.iterations()) * kPlaneBytes);
    state.SetLabel(PlaneName(int(state.range(0))));
}
BENCHMARK(BM_LibtiffDecodePlaneStrips)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

void BM_WriteTiffPattern(benchmark::State& state)
{
    const std::string file = Folder() + "ours-" + PlaneName(int(state.range(0))) + ".tif";
    FillPlane(int(state.range(0)));
    for (auto _ : state)
        if (!WriteTiffPattern(true, file, 0, true, true))
            state.SkipWithError("writing failed");
    state.SetBytesProcessed(int64_t(state.iterations()) * kPlaneBytes);
    state.SetLabel(PlaneName(int(state.range(0))));
}
BENCHMARK(BM_WriteTiffPattern)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

void LibtiffWrite(const std::string& file)
{
    TIFF* tif = TIFFOpen(file.c_str(), "w");
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, kWidth);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, kHeight);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_PALETTE);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, 4);
    static std::vector<uint16_t> map(256, 0);
    TIFFSetField(tif, TIFFTAG_COLORMAP, map.data(), map.data(), map.data());
    std::vector<uint8_t> strip(size_t(4) * kWidth);
    uint32_t s = 0;
    for (int row = kHeight; row >= 1; row -= 4, ++s) {
        const int rows = std::min(4, row);
        for (int r = 0; r < rows; ++r)
            std::memcpy(strip.data() + size_t(r) * kWidth, BildEbene0.rows.data() + size_t(row - r) * kPatternStride, kWidth);
        TIFFWriteEncodedStrip(tif, s, strip.data(), tmsize_t(rows) * kWidth);
    }
    TIFFClose(tif);
}

void BM_LibtiffWritePlane(benchmark::State& state)
{
    const std::string file = Folder() + "libtiff-" + PlaneName(int(state.range(0))) + ".tif";
    FillPlane(int(state.range(0)));
    for (auto _ : state)
        LibtiffWrite(file);
    state.SetBytesProcessed(int64_t(state.iterations()) * kPlaneBytes);
    state.SetLabel(PlaneName(int(state.range(0))));
}
BENCHMARK(BM_LibtiffWritePlane)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

void BM_ReadTiffPattern(benchmark::State& state)
{
    const std::string file = Folder() + "read-" + PlaneName(int(state.range(0))) + ".tif";
    FillPlane(int(state.range(0)));
    WriteTiffPattern(true, file, 0, true, true);
    for (auto _ : state)
        if (!ReadTiffPattern(file, true, 0))
            state.SkipWithError("reading failed");
    state.SetBytesProcessed(int64_t(state.iterations()) * kPlaneBytes);
    state.SetLabel(PlaneName(int(state.range(0))));
}
BENCHMARK(BM_ReadTiffPattern)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

void BM_LibtiffReadPlane(benchmark::State& state)
{
    Silence();
    const std::string file = Folder() + "read-" + PlaneName(int(state.range(0))) + ".tif";
    FillPlane(int(state.range(0)));
    LibtiffWrite(file);
    std::vector<uint8_t> plane((size_t(kHeight) + 1) * kPatternStride);
    std::vector<uint8_t> strip(size_t(4) * kWidth);
    for (auto _ : state) {
        TIFF* tif = TIFFOpen(file.c_str(), "r");
        const uint32_t strips = TIFFNumberOfStrips(tif);
        int row = kHeight;
        for (uint32_t s = 0; s < strips; ++s) {
            const tmsize_t n = TIFFReadEncodedStrip(tif, s, strip.data(), tmsize_t(strip.size()));
            for (tmsize_t r = 0; r < n / kWidth; ++r, --row)
                std::memcpy(plane.data() + size_t(row) * kPatternStride, strip.data() + r * kWidth, kWidth);
        }
        TIFFClose(tif);
        benchmark::DoNotOptimize(plane.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * kPlaneBytes);
    state.SetLabel(PlaneName(int(state.range(0))));
}
BENCHMARK(BM_LibtiffReadPlane)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// The I/O bound: the bytes of our file read in one go.
void BM_PlainReadOfFile(benchmark::State& state)
{
    const std::string file = Folder() + "read-" + PlaneName(int(state.range(0))) + ".tif";
    FillPlane(int(state.range(0)));
    WriteTiffPattern(true, file, 0, true, true);
    std::vector<char> buffer(std::filesystem::file_size(file));
    for (auto _ : state) {
        const int fd = ::open(file.c_str(), O_RDONLY);
        size_t done = 0;
        while (done < buffer.size()) {
            const ssize_t n = ::read(fd, buffer.data() + done, buffer.size() - done);
            if (n <= 0)
                break;
            done += size_t(n);
        }
        ::close(fd);
        benchmark::DoNotOptimize(buffer.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * kPlaneBytes);
    state.SetLabel(std::string(PlaneName(int(state.range(0)))) + ", " + std::to_string(buffer.size()) + " file bytes");
}
BENCHMARK(BM_PlainReadOfFile)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

}  // namespace
