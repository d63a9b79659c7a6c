// The editor window: the auto-save of a large script against one write and
// a rename of the same bytes, and replace all in a shown text against a
// plain find-and-replace loop over a string.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <unistd.h>

#include "textedit/find_replace_dialog.h"
#include "textedit/form_text_edit.h"

namespace {

QApplication& App()
{
    static int argc = 1;
    static char name[] = "texteditor_bench";
    static char* argv[] = {name, nullptr};
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static QApplication app(argc, argv);
    return app;
}

std::string Folder()
{
    static const std::string folder = [] {
        const auto dir = std::filesystem::temp_directory_path() / ("texteditor_bench." + std::to_string(getpid()));
        std::filesystem::create_directories(dir);
        return dir.string() + "/";
    }();
    return folder;
}

// 100,000 lines of 50 characters: 5 MB with the line ends.
std::string BigScript()
{
    std::string text;
    text.reserve(5200000);
    for (int i = 0; i < 100000; ++i) {
        std::string line = "S" + std::to_string(i % 6 + 1) + "=>,POS; TZ=" + std::to_string(i % 97) + "; ";
        while (line.size() < 50)
            line += 'x';
        text += line + "\r\n";
    }
    return text;
}

// 10,000 lines with five hits each.
std::string HitScript()
{
    std::string text;
    for (int i = 0; i < 10000; ++i)
        text += "ab MOVE ab X=" + std::to_string(i) + " ab ab { ab }\r\n";
    return text;
}

std::unique_ptr<TFormTextEdit> Editor(const std::string& file, const std::string& text, bool shown)
{
    App();
    FILE* f = std::fopen(file.c_str(), "wb");
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
    auto form = std::make_unique<TFormTextEdit>();
    form->resize(900, 700);
    form->SetBoundFile(file);
    form->SetFileBound(true);
    if (shown)
        form->show();
    QApplication::processEvents();
    return form;
}

void BM_AutoSave(benchmark::State& state)
{
    auto form = Editor(Folder() + "auto.Skx", BigScript(), false);
    for (auto _ : state)
        form->TimerAutoSaveTimer();
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 5200000);
}
BENCHMARK(BM_AutoSave)->Unit(benchmark::kMillisecond);

void BM_AutoSaveBaseline(benchmark::State& state)
{
    const std::string text = BigScript();
    const std::string file = Folder() + "plain.Skx";
    for (auto _ : state) {
        const std::string temp = file + ".tmp";
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        benchmark::DoNotOptimize(::write(fd, text.data(), text.size()));
        ::close(fd);
        std::rename(temp.c_str(), file.c_str());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 5200000);
}
BENCHMARK(BM_AutoSaveBaseline)->Unit(benchmark::kMillisecond);

void BM_ReplaceAll(benchmark::State& state)
{
    const std::string text = HitScript();
    const std::string file = Folder() + "hits.Skx";
    auto form = Editor(file, text, true);
    form->ShowReplaceDialog();
    form->ReplaceDialog->EditFind->setText("ab");
    form->ReplaceDialog->EditReplace->setText("cd");
    for (auto _ : state) {
        state.PauseTiming();
        form->LoadText(file);
        form->SetTextCursor(1, 0);
        QApplication::processEvents();
        state.ResumeTiming();
        form->ReplaceDialogReplace(true);
        if (state.range(0))
            QApplication::processEvents();
    }
}
BENCHMARK(BM_ReplaceAll)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_ReplaceAllBaseline(benchmark::State& state)
{
    const std::string text = HitScript();
    for (auto _ : state) {
        std::string t = text;
        for (size_t at = t.find("ab"); at != std::string::npos; at = t.find("ab", at + 2))
            t.replace(at, 2, "cd");
        benchmark::DoNotOptimize(t);
    }
}
BENCHMARK(BM_ReplaceAllBaseline)->Unit(benchmark::kMillisecond);

} // namespace
