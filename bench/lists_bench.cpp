// The stitch density editor on a 20,000-line list with two carriages, in a
// window 1080 px high. Page Down against the core's own page mapping without
// a window, with a synchronous repaint against drawing the same texts into
// an image with one painter; opening on 20,000 lines against 1 line.
#include "kernel/model/workrecord.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <filesystem>
#include <fstream>

#include "kernel/model/bytes.h"
#include "kernel/model/listmodel.h"
#include "kernel/model/programmodel.h"
#include "kernel/ui/shell_values.h"
#include "lists/core/symbol_farben.h"
#include "lists/form_fliste.h"
#include "lists/form_zliste.h"

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

// ---- the knitting scheme: six systems with the comb rows, 20,000 courses --

void FillZ(int lines)
{
    CreateProgramModel();
    SetDefaults();
    ProgrammKopf.b[11] = 1;
    ProgrammKopf.b[26] = 6;
    put_u16(ProgrammKopf.data(), 6, 250);
    put_u16(ProgrammKopf.data(), 8, 28);
    ZListe->SetCount(static_cast<uint16_t>(lines));
    for (int i = 1; i <= lines; ++i) {
        uint8_t* p = ZListe->GetLine(static_cast<uint16_t>(i));
        p[4] = 2;
        put_u16(p, 6, static_cast<uint16_t>(i % 250));
        p[14] = static_cast<uint8_t>(i % 9);
        for (int slot = 0; slot < 6; ++slot) {
            uint8_t* system = p + 28 + 88 * slot;
            put_u16(system, 0, static_cast<uint16_t>(i % 3 ? 0 : i % 97));
            system[2] = static_cast<uint8_t>(i % 3 ? i : 0);
            put_u32(system, 8 + 16, static_cast<uint32_t>(i * 2654435761u));
            put_u16(system, 8 + 4, 3);
            put_u16(system, 8 + 6, static_cast<uint16_t>(i % 200));
        }
        WriteShortString(p, 556, 80, "Reihe " + std::to_string(i));
    }
    static const std::string path = (std::filesystem::temp_directory_path() / "lists_bench_z.ini").string();
    std::ofstream(path, std::ios::binary) << "[Windows]\r\nZ_Liste=00001 00001 01080 00100 00\r\n";
    SettingsPath = path;
}

// The shown cells of an open scheme window: the labels the baseline makes.
int SchemeCells()
{
    static const int cells = [] {
        FillZ(20000);
        P_ShowZListe(0);
        const int n = FormZListe->Core().VisibleRows() * FormZListe->Core().Grid().Columns();
        delete FormZListe;
        return n;
    }();
    return cells;
}

void BM_SchemeOpen(benchmark::State& state)
{
    App();
    const int cells = SchemeCells();
    FillZ(20000);
    for (auto _ : state) {
        P_ShowZListe(0);
        benchmark::DoNotOptimize(FormZListe->grab());
        state.PauseTiming();
        delete FormZListe;
        state.ResumeTiming();
    }
    state.counters["cells"] = cells;
    SettingsPath.clear();
}
BENCHMARK(BM_SchemeOpen)->Unit(benchmark::kMillisecond);

// Baseline: a plain window with as many labels, created, laid out and grabbed.
struct LabelWindow {
    QWidget window;
    std::vector<QLabel*> labels;
    explicit LabelWindow(int count)
    {
        for (int i = 0; i < count; ++i) {
            auto* label = new QLabel(QString::number(i), &window);
            label->setGeometry(4 + 52 * (i % 36), 4 + 21 * (i / 36), 50, 20);
            label->setAutoFillBackground(true);
            labels.push_back(label);
        }
        window.resize(1900, kHeight);
        window.show();
    }
};

void BM_LabelsOpen(benchmark::State& state)
{
    App();
    const int cells = SchemeCells();
    for (auto _ : state) {
        auto* w = new LabelWindow(cells);
        benchmark::DoNotOptimize(w->window.grab());
        state.PauseTiming();
        delete w;
        state.ResumeTiming();
    }
    state.counters["cells"] = cells;
}
BENCHMARK(BM_LabelsOpen)->Unit(benchmark::kMillisecond);

void BM_SchemePageDown(benchmark::State& state)
{
    App();
    FillZ(20000);
    P_ShowZListe(0);
    QApplication::processEvents();
    for (auto _ : state)
        PageDown(FormZListe->Core(), state, [&] {
            FormZListe->HandleKey(kPageDown);
            benchmark::DoNotOptimize(FormZListe->grab());
        });
    state.counters["rows"] = FormZListe->Core().VisibleRows();
    delete FormZListe;
    SettingsPath.clear();
}
BENCHMARK(BM_SchemePageDown)->Unit(benchmark::kMillisecond);

// Baseline: the labels given new texts and backgrounds, then grabbed.
void BM_LabelsRetext(benchmark::State& state)
{
    App();
    LabelWindow w(SchemeCells());
    int round = 0;
    for (auto _ : state) {
        ++round;
        for (size_t i = 0; i < w.labels.size(); ++i) {
            QLabel* label = w.labels[i];
            label->setText(QString::number(round * 7 + static_cast<int>(i)));
            QPalette palette = label->palette();
            palette.setColor(QPalette::Window, (round + i) % 2 ? Qt::lightGray : Qt::yellow);
            label->setPalette(palette);
        }
        benchmark::DoNotOptimize(w.window.grab());
    }
}
BENCHMARK(BM_LabelsRetext)->Unit(benchmark::kMillisecond);
}  // namespace
