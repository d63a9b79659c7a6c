// The simulation view's drawing: a full repaint of a 1600 x 1000 pane by the
// row painter from a scripted library, and the refresh after one stroke,
// against Qt's conversion of an indexed image of that size to RGB32. Then
// the fast run of a 30,000-stroke program in the simulation window against
// the same walk with the library alone.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <array>
#include <cstdlib>
#include <memory>
#include <vector>

#include "bench/long_program.h"
#include "check/programcheck.h"
#include "check/rules/checkstate.h"
#include "check/simdll.h"
#include "check/ui/form_gtest_zorit.h"
#include "check/ui/install_check_windows.h"
#include "kernel/model/globals.h"
#include "tests/check_ui/fake_check_shell.h"

#include "check/ui/core/sim_row_cache.h"
#include "check/ui/core/sim_row_painter.h"
#include "check/ui/core/sim_row_source.h"
#include "check/ui/form_gtest.h"
#include "simlib/vpsimmod_abi.h"

namespace {

constexpr int kPaneWidth = 1600;
constexpr int kPaneHeight = 1000;
constexpr uint16_t kColumns = 2000;
constexpr uint16_t kRows = 10000;

std::array<uint32_t, 256> Colours()
{
    std::array<uint32_t, 256> c{};
    for (uint32_t i = 0; i < 256; ++i)
        c[i] = 0xff000000u | (i << 16) | (((3 * i) % 256) << 8) | (255 - i);
    return c;
}

// Rows of mixed shapes and carrier colours, as a fabric would be.
class BenchRows : public SimRowSource {
public:
    uint16_t rows = kRows;
    uint16_t height() override { return rows; }
    bool row(uint16_t, uint16_t, uint16_t y, bool, bool, SimDllRow& out) override
    {
        out = kinds_[y % kinds_.size()];
        return true;
    }
    BenchRows()
    {
        for (size_t k = 0; k < kinds_.size(); ++k) {
            SimDllRow& r = kinds_[k];
            r.shape.resize(kColumns);
            r.colour.resize(kColumns);
            r.third.resize(kColumns);
            for (size_t i = 0; i < kColumns; ++i) {
                r.shape[i] = static_cast<uint8_t>((i + k) % 11);
                r.colour[i] = static_cast<uint8_t>(32 + (i / 7 + k) % 64);
                r.third[i] = static_cast<int8_t>(i % 5 == 0 ? 40 : -1);
            }
            r.xOffset = static_cast<uint8_t>(k % 2);
        }
    }
    uint8_t carrierOf(uint8_t) override { return 0; }
    SimExtras extras(uint8_t, uint16_t, uint16_t) override { return {}; }
    std::string comment(uint16_t) override { return {}; }

private:
    // A few kinds of row, handed out as the library copies its rows out.
    std::array<SimDllRow, 16> kinds_;
};

std::vector<uint8_t> Shapes()
{
    std::vector<uint8_t> t(vpsim::kShapeBytes);
    for (size_t i = 0; i < t.size(); ++i)
        t[i] = static_cast<uint8_t>((i * 7) % 9);
    return t;
}

void BM_IndexedToRgb32(benchmark::State& state)
{
    QImage indexed(kPaneWidth, kPaneHeight, QImage::Format_Indexed8);
    const auto colours = Colours();
    indexed.setColorTable(QList<QRgb>(colours.begin(), colours.end()));
    for (int y = 0; y < kPaneHeight; ++y)
        for (int x = 0; x < kPaneWidth; ++x)
            indexed.scanLine(y)[x] = static_cast<uint8_t>((x + y) % 256);
    for (auto _ : state) {
        QImage rgb = indexed.convertToFormat(QImage::Format_RGB32);
        benchmark::DoNotOptimize(rgb.constBits());
    }
    state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_IndexedToRgb32)->Unit(benchmark::kMillisecond);

void BM_SimRepaint(benchmark::State& state)
{
    const int step = static_cast<int>(state.range(0));
    const bool grid = state.range(1) != 0;
    BenchRows source;
    SimRowCache cache(source);
    cache.SetSwitches({grid, false, false, false});
    cache.SetFabricRows(kRows);
    SimRowPainter painter(cache);
    const auto colours = Colours();
    const std::vector<uint8_t> shapes = Shapes();
    QImage image(kPaneWidth, kPaneHeight, QImage::Format_RGB32);
    BandRequest band;
    band.cellWidth = static_cast<uint8_t>(step);
    band.cellHeight = static_cast<uint8_t>(vpsim::ShapeHeight(step));
    band.columns = kPaneWidth / step;
    band.rows = kPaneHeight / band.cellHeight;
    band.firstColumn = 1;
    band.firstRow = 1;
    band.accentColour = 214;
    band.target = {reinterpret_cast<uint32_t*>(image.bits()), kPaneWidth, kPaneHeight,
                   static_cast<int32_t>(image.bytesPerLine() / 4)};
    SimPaintSettings s{SimRowPainter::ShapesOfWidth(shapes, step), &colours, 10, {}, {}};
    for (auto _ : state) {
        cache.Drop();
        painter.DrawRowsCustom2(band, s);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SimRepaint)
    ->ArgsProduct({{2, 4, 8, 12}, {0, 1}})
    ->ArgNames({"step", "grid"})
    ->Unit(benchmark::kMillisecond);

// One stroke at step 4: two new rows on top of a view that is full.
void BM_SimStrokeRefresh(benchmark::State& state)
{
    TFormGTest window;
    auto owned = std::make_unique<BenchRows>();
    BenchRows* source = owned.get();
    window.SetRowSource(std::move(owned));
    window.SetShapes(Shapes());
    window.resize(kPaneWidth + 60, kPaneHeight + 90);
    window.show();
    window.SetPictureWidth(kColumns);
    window.SetCellSize(4);
    source->rows = 2000;
    window.RefreshRows(source->rows);
    for (auto _ : state) {
        source->rows = static_cast<uint16_t>(source->rows + 2 > 60000 ? 2000 : source->rows + 2);
        window.RefreshRows(source->rows);
    }
    state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SimStrokeRefresh)->Unit(benchmark::kMillisecond);

// The long program, compiled once.
bool LongProgramReady(benchmark::State& state)
{
    static const std::string error = PrepareLongProgram();
    if (!error.empty())
        state.SkipWithError(error.c_str());
    return error.empty();
}

// The walk with the library alone, as the check command of the probe runs it.
void BM_LongRunWalk(benchmark::State& state)
{
    if (!LongProgramReady(state))
        return;
    for (auto _ : state) {
        TestModus = 1;
        if (!StartSimDll("", F_NadelStart())) {
            state.SkipWithError("the simulation library does not start");
            return;
        }
        RunProgramCheck();
        CheckExportEnd();
        SimDllSpeicherFrei();
        FreeSimDll();
        if (CheckStrokeCount() != 30000)
            state.SkipWithError("not 30,000 strokes");
    }
}
BENCHMARK(BM_LongRunWalk)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same run in the simulation window, from the menu item to the stroke
// count in the message window.
void BM_LongRunWindow(benchmark::State& state)
{
    if (!LongProgramReady(state))
        return;
    auto* shell = new FakeCheckShell;
    InstallCheckWindows(*shell);
    for (auto _ : state) {
        MnuGTestClick();
        if (!G_Test || G_Test->Run().mode() != GTestRunState::Ended || CheckStrokeCount() != 30000) {
            state.SkipWithError("the fast run did not end with 30,000 strokes");
            break;
        }
        G_Test->close();
        FreeSimDll();
    }
    CloseCheckWindows(shell);
}
BENCHMARK(BM_LongRunWindow)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
