// The stitch density editor on a 20,000-line list with two carriages, in a
// window 1080 px high. Page Down against the core's own page mapping without
// a window, with a synchronous repaint against drawing the same texts into
// an image with one painter; opening on 20,000 lines against 1 line.
#include "kernel/model/workrecord.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <filesystem>
#include <fstream>

#include "kernel/model/bytes.h"
#include "kernel/model/listmodel.h"
#include "kernel/model/programmodel.h"
#include "kernel/ui/shell_values.h"
#include "lists/core/symbol_farben.h"
#include "lists/form_fliste.h"

namespace {
constexpr int kHeight = 1080;
constexpr int kPageDown = 34, kHome = 36;

// A window without a display: a fixed-width measure and no dialogs.
class NoWindow : public ListWindowHost {
public:
    int TextWidth(const std::string& text, int) const override { return 7 * static_cast<int>(text.size()); }
    bool IsVisible() const override { return true; }
    bool CellHasFocus(int, int) const override { return false; }
    void FocusCell(int, int) override {}
    void HideWindow() override {}
    void CloseWindow() override {}
    void CloseMainWindow() override {}
    void SetBlinking(bool) override {}
    void ShowStatusHint(const std::string&) override {}
    void ShowFatalMessage(const std::string&) override {}
    void ShowProgress(const std::string&, int) override {}
    void HideProgress() override {}
    std::optional<int> SelectEntry(const ChoiceRequest&) override { return {}; }
    std::optional<uint32_t> SelectEntries(const ChoiceRequest&) override { return {}; }
    std::optional<std::string> EditText(const std::string&, int, int) override { return {}; }
    int ClientHeight() const override { return kHeight; }
    int FrameHeight() const override { return 0; }
    WindowPlace Place() const override { return {0, 0, kHeight}; }
    void MoveWindow(const WindowPlace&) override {}
    std::vector<ScreenArea> Screens() const override { return {{0, 0, 1920, 1200}}; }
    int ScreenOfWindow() const override { return 0; }
    std::string ReadPlacement(const std::string&) const override { return {}; }
    void WritePlacement(const std::string&, const std::string&) override {}
};

// Sub-lists of five lines: an opening line and four lines with colour sets
// and comments.
void FillF(int lines)
{
    CreateProgramModel();
    SetDefaults();
    ProgrammKopf.b[10] = 1;
    put_u16(ProgrammKopf.data(), 6, 250);
    FListe->SetCount(static_cast<uint16_t>(lines));
    for (int i = 1; i <= lines; ++i) {
        uint8_t* p = FListe->GetLine(static_cast<uint16_t>(i));
        put_u16(p, 0, static_cast<uint16_t>(i % 5 == 1 ? i / 5 + 1 : 0));
        put_u16(p, 4, static_cast<uint16_t>(i % 250));
        p[6] = 2;
        put_u16(p, 8, static_cast<uint16_t>(i % 7 + 1));
        put_u32(p, 12, static_cast<uint32_t>(i * 2654435761u));
        WriteShortString(p, 16, 80, "Zeile " + std::to_string(i));
    }
}

QApplication& App()
{
    static int argc = 1;
    static char name[] = "lists_bench";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        auto* a = new QApplication(argc, argv);
        SetPatternSymbolColours();
        return a;
    }();
    return *app;
}

struct Window {
    TFormFListe form;
    Window()
    {
        form.show();
        form.resize(form.width(), kHeight);
        QApplication::processEvents();
    }
};

void PageDown(ListWindowCore& core, benchmark::State& state, const std::function<void()>& step)
{
    if (core.ZeileOffset() + core.VisibleRows() > core.ZeilenAnzahl()) {
        state.PauseTiming();
        core.HandleKey(kHome);
        state.ResumeTiming();
    }
    step();
}

void BM_PageDownWindow(benchmark::State& state)
{
    App();
    FillF(20000);
    Window w;
    for (auto _ : state)
        PageDown(w.form.Core(), state, [&] { w.form.HandleKey(kPageDown); });
    state.counters["rows"] = w.form.Core().VisibleRows();
}
BENCHMARK(BM_PageDownWindow)->Unit(benchmark::kMicrosecond);

// Baseline: the same page steps of the core into its cell grid, no window.
void BM_PageDownMapping(benchmark::State& state)
{
    App();
    FillF(20000);
    NoWindow host;
    FListeCore core(host);
    core.FormResize();
    for (auto _ : state)
        PageDown(core, state, [&] { core.HandleKey(kPageDown); });
    state.counters["rows"] = core.VisibleRows();
}
BENCHMARK(BM_PageDownMapping)->Unit(benchmark::kMicrosecond);

void BM_PageDownRepaint(benchmark::State& state)
{
    App();
    FillF(20000);
    Window w;
    for (auto _ : state)
        PageDown(w.form.Core(), state, [&] {
            w.form.HandleKey(kPageDown);
            w.form.repaint();
        });
}
BENCHMARK(BM_PageDownRepaint)->Unit(benchmark::kMicrosecond);

// Baseline: the page's texts drawn into the same rectangles of an image
// with one painter.
void BM_PageTextsIntoImage(benchmark::State& state)
{
    App();
    FillF(20000);
    Window w;
    QImage image(w.form.size(), QImage::Format_RGB32);
    const CellGrid& grid = w.form.Core().Grid();
    for (auto _ : state) {
        PageDown(w.form.Core(), state, [&] { w.form.Core().HandleKey(kPageDown); });
        QPainter p(&image);
        p.setFont(w.form.font());
        for (int r = 1; r <= w.form.Core().VisibleRows(); ++r)
            for (int c = 1; c <= grid.Columns(); ++c) {
                const Cell& cell = grid.At(r, c);
                const QRect rect(cell.x, cell.y, cell.width, cell.height);
                p.fillRect(rect, QColor::fromRgb(cell.background));
                p.drawText(rect, Qt::AlignCenter, QString::fromStdString(cell.text));
            }
    }
}
BENCHMARK(BM_PageTextsIntoImage)->Unit(benchmark::kMicrosecond);

// The window opens 1080 px high from its stored placement.
void StorePlacement()
{
    static const std::string path = (std::filesystem::temp_directory_path() / "lists_bench.ini").string();
    std::ofstream(path, std::ios::binary) << "[Windows]\r\nF_Liste=00001 00001 01080 00011 00\r\n";
    SettingsPath = path;
}

void BM_Open(benchmark::State& state)
{
    App();
    FillF(static_cast<int>(state.range(0)));
    StorePlacement();
    for (auto _ : state) {
        P_ShowFListe(0);
        FormFListe->repaint();
        state.PauseTiming();
        delete FormFListe;
        FormFListe = nullptr;
        state.ResumeTiming();
    }
    P_ShowFListe(0);
    state.counters["rows"] = FormFListe->Core().VisibleRows();
    delete FormFListe;
    FormFListe = nullptr;
    SettingsPath.clear();
}
// 42 lines fill the same rows as 20,000: the two differ by the list alone.
BENCHMARK(BM_Open)->Arg(1)->Arg(42)->Arg(20000)->Unit(benchmark::kMillisecond);

// The first page's mapping alone: the core built and laid out, no window.
void BM_OpenMapping(benchmark::State& state)
{
    App();
    FillF(static_cast<int>(state.range(0)));
    NoWindow host;
    for (auto _ : state) {
        FListeCore core(host);
        core.FormResize();
        benchmark::DoNotOptimize(core.Grid().Rows());
    }
}
BENCHMARK(BM_OpenMapping)->Arg(1)->Arg(42)->Arg(20000)->Unit(benchmark::kMicrosecond);
}  // namespace
