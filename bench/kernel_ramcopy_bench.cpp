// Writing and reading the program snapshot of a large program.
// Program: 20,000 knitting scheme lines, 2,000 lines in every other list,
// three planes of 2000 x 1000 cells (about 20 MB).
// Goals: the write within 2x a plain write of as many bytes put on disk as
// the write does (write, fsync); the read, with the program emptied and
// taken over, within 2x a plain read of the file into a buffer. The plain
// ones use the same folder in the same run.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include <fcntl.h>
#include <unistd.h>

#include "kernel/model/globals.h"
#include "kernel/model/listmodel.h"
#include "kernel/model/programmodel.h"
#include "kernel/model/ramcopy.h"
#include "kernel/model/workrecord.h"

namespace fs = std::filesystem;

namespace {

constexpr uint16_t kWidth = 2000;
constexpr uint16_t kHeight = 1000;

struct Snapshot {
    std::string folder;
    std::string file;
    size_t bytes = 0;

    Snapshot()
    {
        char templ[] = "/tmp/zorit-bench-XXXXXX";
        folder = std::string(mkdtemp(templ)) + "/";
        ProgrammPfad = folder;
        TempPfad = folder;
        file = folder + "Saveram.Tmp";
        CreateProgramModel();
        SetDefaults();
        Fill();
        WriteRamCopy(file);
        bytes = fs::file_size(file);
    }
    ~Snapshot()
    {
        FreeProgramModel();
        std::error_code ec;
        fs::remove_all(folder, ec);
    }

    static void Fill()
    {
        ProgrammKopf.SetModel("843");
        ProgrammKopf.SetWidth(kWidth);
        ProgrammKopf.SetHeight(kHeight);
        ZListe->SetCount(20000);
        for (int number : {2, 3, 4, 5, 6, 7, 9})
            ListByNumber(number)->SetCount(2000);
        for (int number : {1, 2, 3, 4, 5, 6, 7, 9}) {
            T_ListenVar* list = ListByNumber(number);
            for (uint16_t i = 1; i <= list->Count(); ++i)
                list->GetLine(i)[CommentOffset(number)] = static_cast<uint8_t>(i % 80);
        }
        for (int p = 0; p <= 2; ++p) {
            T_Patrone* plane = PatternPlane(p);
            plane->allocate(kHeight);
            for (size_t i = 0; i < plane->rows.size(); ++i)
                plane->rows[i] = static_cast<uint8_t>(i * 7 + p);
            plane->present = true;
        }
    }
};

Snapshot& TheSnapshot()
{
    static Snapshot snapshot;
    return snapshot;
}

// Runs one of the snapshot's operations on the file.
template <typename Operation>
void Measure(benchmark::State& state, Operation operation)
{
    Snapshot& s = TheSnapshot();
    for (auto _ : state) {
        if (!operation(s.file))
            state.SkipWithError("the snapshot failed");
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(s.bytes));
}

void BM_WriteRamCopy(benchmark::State& state)
{
    Measure(state, [](const std::string& file) { return WriteRamCopy(file); });
}
BENCHMARK(BM_WriteRamCopy)->Unit(benchmark::kMillisecond);

void BM_PlainWrite(benchmark::State& state)
{
    Snapshot& s = TheSnapshot();
    const std::string data(s.bytes, 'x');
    const std::string out = s.folder + "plain.bin";
    for (auto _ : state) {
        const int fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (fd < 0 || ::write(fd, data.data(), data.size()) != ssize_t(data.size()) || ::fsync(fd) != 0)
            state.SkipWithError("plain write failed");
        ::close(fd);
    }
    fs::remove(out);
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(s.bytes));
}
BENCHMARK(BM_PlainWrite)->Unit(benchmark::kMillisecond);

void BM_ReadRamCopy(benchmark::State& state)
{
    Measure(state, [](const std::string& file) { return ReadRamCopy(file); });
}
BENCHMARK(BM_ReadRamCopy)->Unit(benchmark::kMillisecond);

void BM_PlainRead(benchmark::State& state)
{
    Snapshot& s = TheSnapshot();
    for (auto _ : state) {
        std::unique_ptr<char[]> buffer(new char[s.bytes]);
        const int fd = ::open(s.file.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0 || ::read(fd, buffer.get(), s.bytes) != ssize_t(s.bytes))
            state.SkipWithError("plain read failed");
        ::close(fd);
        benchmark::DoNotOptimize(buffer.get());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(s.bytes));
}
BENCHMARK(BM_PlainRead)->Unit(benchmark::kMillisecond);

}  // namespace
