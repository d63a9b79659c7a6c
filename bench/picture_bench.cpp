// The full-pane render of a picture window against Qt's own conversion of
// an indexed image of the same size (the floor: one palette look-up per
// pixel): 1600 x 1000 pixels over a 2000 x 9999 picture at 1, 4 and 10
// pixels per cell, and the one-column scroll at one pixel per cell.
#include <benchmark/benchmark.h>

#include <QImage>
#include <cstring>
#include <string>
#include <vector>

#include "picture/core/picture_geometry.h"
#include "picture/render/band_renderer.h"

namespace {

constexpr int kWidth = 2000, kHeight = 9999, kPaneWidth = 1600, kPaneHeight = 1000;

// One level in memory, as a pattern plane is kept.
class MemoryClient : public PictureClient {
public:
    MemoryClient() : cells_(static_cast<size_t>(kWidth) * kHeight)
    {
        for (size_t i = 0; i < cells_.size(); ++i)
            cells_[i] = static_cast<uint8_t>((i * 7 + i / kWidth * 13) % 32);
    }
    void ChooseRenderMode(uint8_t& mode, uint8_t&, uint8_t&, uint8_t&, uint8_t cw, uint8_t ch) override
    {
        if (cw == 1 && ch == 1 && mode == 0)
            mode = 6;
    }
    void GetDisplayCell(uint16_t x, uint16_t y, uint32_t& shown, uint8_t& reference, uint8_t& combined) override
    {
        shown = cells_[static_cast<size_t>(y - 1) * kWidth + (x - 1)];
        reference = 255;
        combined = 0;
    }
    std::span<const uint8_t> GetCellPointer(int32_t x, int32_t y) override
    {
        return {cells_.data() + static_cast<size_t>(y - 1) * kWidth + (x - 1), static_cast<size_t>(kWidth - x + 1)};
    }

private:
    std::vector<uint8_t> cells_;
};

struct Setup {
    MemoryClient client;
    PaletteTable palette;
    GlyphTable glyphs = BlankGlyphTable();
    QImage image{kPaneWidth, kPaneHeight, QImage::Format_RGB32};

    Setup() { BuildSymbolTextMap(glyphs, "abcdefghijklmnopqrstuvwxyzABCDEF"); }

    PictureGeometry Geometry(int cell) const
    {
        PictureGeometry g;
        g.pictureWidth = kWidth;
        g.pictureHeight = kHeight;
        g.cellWidth = g.cellHeight = cell;
        g.boxWidth = kPaneWidth;
        g.boxHeight = kPaneHeight;
        g.Update();
        return g;
    }
    RenderSettings Settings(int cell) const
    {
        RenderSettings s;
        s.pictureWidth = kWidth;
        s.pictureHeight = kHeight;
        s.cellWidth = s.cellHeight = static_cast<uint8_t>(cell);
        return s;
    }
};

void BM_FullPane(benchmark::State& state)
{
    static Setup setup;
    const int cell = static_cast<int>(state.range(0));
    const PictureGeometry g = setup.Geometry(cell);
    const CellBand band = g.WholeView(1, 1);
    const RenderSettings s = setup.Settings(cell);
    BandRenderer renderer(setup.client, setup.palette, setup.glyphs);
    for (auto _ : state) {
        benchmark::DoNotOptimize(renderer.Render(band, s, setup.image).mode);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * int64_t{kPaneWidth} * kPaneHeight * 4);
}
BENCHMARK(BM_FullPane)->Arg(1)->Arg(4)->Arg(10)->Unit(benchmark::kMicrosecond);

// What a one-column scroll costs: the kept image moved one pixel and the
// new column drawn.
void BM_ScrollOneColumn(benchmark::State& state)
{
    static Setup setup;
    const PictureGeometry g = setup.Geometry(1);
    const RenderSettings s = setup.Settings(1);
    BandRenderer renderer(setup.client, setup.palette, setup.glyphs);
    int first = 1;
    for (auto _ : state) {
        first = first % 300 + 1;
        for (int y = 0; y < kPaneHeight; ++y) {
            auto* line = reinterpret_cast<uint32_t*>(setup.image.scanLine(y));
            std::memmove(line, line + 1, (kPaneWidth - 1) * sizeof(uint32_t));
        }
        CellBand band = g.Rectangle(first + kPaneWidth - 1, 1, first + kPaneWidth - 1, kPaneHeight, first, 1);
        benchmark::DoNotOptimize(renderer.Render(band, s, setup.image).mode);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ScrollOneColumn)->Unit(benchmark::kMicrosecond);

void BM_BaselineIndexedToRgb32(benchmark::State& state)
{
    const PaletteTable palette;
    QImage indexed(kPaneWidth, kPaneHeight, QImage::Format_Indexed8);
    indexed.setColorTable(QList<QRgb>(palette.Argb().begin(), palette.Argb().end()));
    for (int y = 0; y < kPaneHeight; ++y)
        for (int x = 0; x < kPaneWidth; ++x)
            indexed.scanLine(y)[x] = static_cast<uint8_t>((x * 7 + y * 13) % 32);
    for (auto _ : state) {
        QImage rgb = indexed.convertToFormat(QImage::Format_RGB32);
        benchmark::DoNotOptimize(rgb.constBits());
    }
    state.SetBytesProcessed(state.iterations() * int64_t{kPaneWidth} * kPaneHeight * 4);
}
BENCHMARK(BM_BaselineIndexedToRgb32)->Unit(benchmark::kMicrosecond);

}  // namespace
