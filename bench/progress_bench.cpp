// Big programs through the real windows against the kernel alone on the same
// files: the load of a program with a 2000 x 9999 noise pattern as the
// program runs it (DDE LOADPATTERN: the four-line progress box over the main
// window, the whole load routine) against the pattern reader with no windows;
// the save of a program with three planes of 2000 x 6000 against the writer
// alone for the three planes. Goals: the load at most 1.5 and the save at
// most 1.3 times its baseline, pinned to two cores:
//   taskset -c 2,3 build/bench/progress_bench --benchmark_repetitions=5
// and with the X round trips counted:
//   python3 tests/e2e/x_server.py 1600x1000 taskset -c 2,3 build/bench/progress_bench
// Offscreen unless a display is given.
// Before any Qt header: the work record has a member that Qt's "slots"
// keyword would swallow.
#include "kernel/model/workrecord.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <random>
#include <string>

#include "kernel/dispatch/kernel_host.h"
#include "kernel/model/globals.h"
#include "kernel/model/listmodel.h"
#include "kernel/model/newprogram.h"
#include "kernel/model/programmodel.h"
#include "kernel/pattern/tiffpattern.h"
#include "kernel/ui/form_info4z.h"
#include "kernel/ui/qt_kernel_host.h"
#include "lists/form_fortschritt.h"
#include "shell/form_main.h"
#include "shell/program_files.h"

namespace fs = std::filesystem;

namespace {

std::string home;
QtKernelHost* windowsHost = nullptr;

void FillPlane(int plane, uint16_t height, unsigned seed)
{
    T_Patrone* p = PatternPlane(plane);
    p->allocate(height);
    p->present = true;
    std::mt19937 rng(seed);
    for (size_t row = 1; row <= height; ++row) {
        uint8_t* cells = p->rows.data() + row * kPatternStride;
        for (size_t x = 0; x < kPatternStride; x += 4) {
            const uint32_t r = rng();
            std::memcpy(cells + x, &r, 4);
        }
    }
}

// A program with the given planes, saved through the program's save.
std::string SaveProgram(const std::string& name, uint16_t height, std::initializer_list<int> planes)
{
    NewProgramModel();
    for (int p = 0; p <= 2; ++p)
        PatternPlane(p)->present = false;
    ProgrammKopf.SetWidth(2000);
    ProgrammKopf.SetHeight(height);
    for (int p : planes)
        FillPlane(p, height, 7 + unsigned(p));
    const std::string path = home + name + "/" + name + ".8DH";
    if (!P_MusterSichern(path))
        return std::string();
    return path;
}

const std::string& LoadProgramPath()
{
    static const std::string path = SaveProgram("BIGLOAD", 9999, {0});
    return path;
}

const std::string& SaveProgramPath()
{
    static const std::string path = SaveProgram("BIGSAVE", 6000, {0, 1, 2});
    return path;
}

// The pattern decode alone, as `kernel_probe tiff-read` runs it.
void BM_LoadKernelAlone(benchmark::State& state)
{
    const std::string program = LoadProgramPath();
    const std::string tif = home + "BIGLOAD/BIGLOA_p.TIF";
    setKernelHost(nullptr);
    for (auto _ : state) {
        ProgrammKopf.SetWidth(0);
        ProgrammKopf.SetHeight(0);
        if (!ReadTiffPattern(tif, true, 0))
            state.SkipWithError("the pattern does not read");
    }
    setKernelHost(windowsHost);
}
BENCHMARK(BM_LoadKernelAlone)->Unit(benchmark::kMillisecond)->UseRealTime();

// The program's load of the same pattern with its program file, as a DDE
// LOADPATTERN runs it.
void BM_LoadWindows(benchmark::State& state)
{
    const std::string program = LoadProgramPath();
    if (program.empty()) {
        state.SkipWithError("the program was not saved");
        return;
    }
    for (auto _ : state) {
        if (!P_MusterLaden(program) || ProgrammKopf.Height() != 9999)
            state.SkipWithError("the program does not load");
    }
}
BENCHMARK(BM_LoadWindows)->Unit(benchmark::kMillisecond)->UseRealTime();

// The three planes through the writer alone, into the folder of the save.
void BM_SaveKernelAlone(benchmark::State& state)
{
    const std::string program = SaveProgramPath();
    const std::string folder = home + "BIGSAVE/";
    setKernelHost(nullptr);
    for (auto _ : state) {
        for (int p : {0, 2, 1})
            if (!WriteTiffPattern(true, folder + "ALONE" + std::to_string(p) + ".TIF", p, true, false))
                state.SkipWithError("the writer failed");
    }
    setKernelHost(windowsHost);
}
BENCHMARK(BM_SaveKernelAlone)->Unit(benchmark::kMillisecond)->UseRealTime();

// Ctrl+S of the same program: program file, three pattern files, in place.
void BM_SaveWindows(benchmark::State& state)
{
    const std::string program = SaveProgramPath();
    if (program.empty()) {
        state.SkipWithError("the program was not saved");
        return;
    }
    for (auto _ : state) {
        if (!P_MusterSichern(program))
            state.SkipWithError("the save failed");
    }
}
BENCHMARK(BM_SaveWindows)->Unit(benchmark::kMillisecond)->UseRealTime();

// The offscreen platform says for every shown box that it cannot raise it.
void QuietRaise(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (text.contains(QLatin1String("does not support raise")))
        return;
    qt_message_output(type, context, text);
}

}  // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    qInstallMessageHandler(QuietRaise);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);

    char templ[] = "/tmp/zorit-progress-bench-XXXXXX";
    if (!mkdtemp(templ))
        return 1;
    home = std::string(templ) + "/";
    fs::create_directories(home + "Temp");
    setenv("XDG_CONFIG_HOME", (home + "config").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (home + "runtime").c_str(), 1);
    fs::create_directories(home + "runtime");
    ProgrammPfad = home;
    TempPfad = home + "Temp/";
    Fernsteuerung = true;
    CreateProgramModel();
    SetDefaults();

    QtKernelHost host;
    windowsHost = &host;
    setKernelHost(&host);
    {
        auto main = std::make_unique<TFormMain>();
        FormFortschritt = new TFormFortschritt(main.get());
        FormInfo4Z = new TFormInfo4Z(main.get());
        main->show();
        QApplication::processEvents();

        benchmark::RunSpecifiedBenchmarks();

        FormFortschritt = nullptr;
        FormInfo4Z = nullptr;
    }
    setKernelHost(nullptr);
    FreeProgramModel();
    benchmark::Shutdown();
    std::error_code ec;
    fs::remove_all(home, ec);
    return 0;
}
