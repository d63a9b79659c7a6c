// The text view: repainting a full view and one keystroke against plain
// drawText of the same texts, and pasting against splitting the same bytes.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <malloc.h>

#include <cstdlib>
#include <memory>

#include "picture/frame_bild_kk.h"
#include "text_fakes.h"
#include "textedit/form_text_edit_show.h"

namespace {

constexpr int kColumns = 120;
constexpr int kRows = 60;
constexpr int kTop = 19000;

QApplication& App()
{
    static int argc = 1;
    static char name[] = "textedit_bench";
    static char* argv[] = {name, nullptr};
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static QApplication app(argc, argv);
    return app;
}

// 20,000 lines of 40 to 100 characters, a comment and a section every 50 lines.
std::string Script()
{
    std::string text;
    for (int i = 0; i < 20000; ++i) {
        std::string line;
        if (i % 50 == 0)
            line = "{ comment " + std::to_string(i) + " }";
        else if (i % 50 == 25)
            line = "[ABCDABCD] section " + std::to_string(i);
        const size_t length = 40 + static_cast<size_t>(i * 37 % 61);
        while (line.size() < length)
            line += "MOVE X=" + std::to_string(i % 97) + " ";
        text += line.substr(0, length) + "\r\n";
    }
    return text;
}

struct ScriptView {
    std::unique_ptr<TFormTextEditShow> form;
    ScriptView()
    {
        App();
        form = std::make_unique<TFormTextEditShow>();
        form->resize(kColumns * form->cellWidth + 40, kRows * form->cellHeight + 80);
        form->show();
        form->Lines().Clear();
        form->InsertText(false, Script(), false);
        form->SetSyntaxDisplay(true);
        form->Core().SetTextCursor(1, kTop + kRows / 2);
        form->SetTopLine(kTop);
    }
};

ScriptView& View()
{
    static ScriptView view;
    return view;
}

void BM_FullRedraw(benchmark::State& state)
{
    ScriptView& v = View();
    for (auto _ : state)
        v.form->RedrawTextRows(-1, -1, -1, -1);
}
BENCHMARK(BM_FullRedraw);

void BM_FullRedrawBaseline(benchmark::State& state)
{
    ScriptView& v = View();
    QImage image(v.form->Pane(0)->keptImage.size(), QImage::Format_RGB32);
    const QFont& font = TFormTextEditShow::EditorFont();
    std::vector<QString> texts;
    for (int l = kTop; l < kTop + kRows; ++l)
        texts.push_back(QString::fromLatin1(v.form->Lines().Get(l).substr(0, kColumns)));
    for (auto _ : state) {
        QPainter painter(&image);
        painter.setFont(font);
        for (int r = 0; r < kRows; ++r)
            painter.drawText(0, r * v.form->cellHeight + 12, texts[static_cast<size_t>(r)]);
    }
}
BENCHMARK(BM_FullRedrawBaseline);

void BM_Keystroke(benchmark::State& state)
{
    ScriptView& v = View();
    for (auto _ : state) {
        v.form->SetTextCursor(10, 19030);
        v.form->Core().HandleKey('a');
        v.form->Core().HandleKey(8);
    }
}
BENCHMARK(BM_Keystroke);

void BM_KeystrokeBaseline(benchmark::State& state)
{
    ScriptView& v = View();
    QImage image(v.form->Pane(0)->keptImage.size(), QImage::Format_RGB32);
    const QString text = QString::fromLatin1(v.form->Lines().Get(19030).substr(0, kColumns));
    for (auto _ : state) {
        // Two strokes: the letter and its Backspace.
        QPainter painter(&image);
        painter.setFont(TFormTextEditShow::EditorFont());
        painter.drawText(0, 12, text);
        painter.drawText(0, 12, text);
    }
}
BENCHMARK(BM_KeystrokeBaseline);

// glibc maps big blocks afresh and hands freed heap back to the system by
// thresholds that follow what was freed before, up to 32 MiB. A paste whose
// line table lies above that (3.84 MB of one-letter lines: 41 MB) would be
// page-faulted on every run while a smaller one is reused warm, so the figures
// would follow the run order and the kernel's faults rather than the paste.
// The pastes therefore run on a heap that keeps what it had; with
// GLIBC_TUNABLES set they run on the allocator as it stands (cold memory).
void KeepHeapWarm()
{
    static const bool done = [] {
        if (std::getenv("GLIBC_TUNABLES") == nullptr) {
            mallopt(M_MMAP_MAX, 0);
            mallopt(M_TRIM_THRESHOLD, 1 << 30);
        }
        return true;
    }();
    (void)done;
}

std::string PasteBytes(bool shortLines, size_t total)
{
    const std::string line = shortLines ? std::string("a") : std::string(94, 'x');
    std::string text;
    text.reserve(total);
    while (text.size() + line.size() + 2 <= total)
        text += line + "\r\n";
    return text;
}

void BM_Paste(benchmark::State& state)
{
    KeepHeapWarm();
    const std::string bytes = PasteBytes(state.range(0) != 0, static_cast<size_t>(state.range(1)));
    RecordingTextView view;
    RecordingClipboard clipboard;
    std::unique_ptr<TextEditCore> core;
    for (auto _ : state) {
        state.PauseTiming();
        core.reset();
        core = std::make_unique<TextEditCore>(view, clipboard);
        state.ResumeTiming();
        core->InsertText(false, bytes, false);
        benchmark::DoNotOptimize(core->Lines().Count());
    }
}
BENCHMARK(BM_Paste)->Args({0, 3840000})->Args({1, 3840000})->Args({1, 384000})->Unit(benchmark::kMillisecond);

void BM_PasteBaseline(benchmark::State& state)
{
    KeepHeapWarm();
    const std::string bytes = PasteBytes(state.range(0) != 0, static_cast<size_t>(state.range(1)));
    std::vector<std::string> lines;
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<std::string>().swap(lines);
        state.ResumeTiming();
        size_t start = 0;
        for (size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2)
            lines.emplace_back(bytes, start, end - start);
        benchmark::DoNotOptimize(lines.data());
    }
}
BENCHMARK(BM_PasteBaseline)->Args({0, 3840000})->Args({1, 3840000})->Args({1, 384000})->Unit(benchmark::kMillisecond);

} // namespace
