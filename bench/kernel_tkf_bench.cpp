// Saving and loading a large machine program through code 205.
// Program: 9999 knitting scheme lines on a 3-system machine, every side with
// a special record of its own (59,994 records); F, P, A, V, N with 1999
// lines, W and S with 9999; every line commented.
// Goals: save and load each within 10x plain stdio writing or reading as
// many bytes as the file and its staging files hold; the save with "$F_OPT"
// 1 within 1.5x the save with 0.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

#include "kernel/model/globals.h"
#include "kernel/model/listmodel.h"
#include "kernel/model/programcommandblock.h"
#include "kernel/model/programmodel.h"
#include "kernel/model/workrecord.h"

namespace fs = std::filesystem;

namespace {

uint16_t Send(uint8_t code, uint8_t sub, uint16_t line, uint8_t selector, uint8_t system = 1)
{
    ProgramCommandBlock b;
    b.SetCode(code);
    b.SetSub(sub);
    b.SetLine(line);
    b.SetSystemByte(system);
    b.SetSelector(selector);
    return ProgramDispatch(b);
}

template <typename Fill>
void Write(uint8_t code, uint8_t sub, uint16_t line, uint8_t selector, Fill fill, uint8_t system = 1)
{
    ProgramCommandBlock b;
    b.SetCode(code);
    b.SetSub(sub);
    b.SetLine(line);
    b.SetSystemByte(system);
    b.SetSelector(selector);
    fill(b);
    ProgramDispatch(b);
}

void Comment(uint8_t list, uint16_t line)
{
    Write(static_cast<uint8_t>(150 + list), 2, line, 101,
          [&](ProgramCommandBlock& b) { b.SetText("Kommentar " + std::to_string(list) + "/" + std::to_string(line)); });
}

struct Program {
    std::string folder;
    std::string file;
    std::vector<std::string> files;  // the file and its staging files

    Program()
    {
        char templ[] = "/tmp/zorit-bench-XXXXXX";
        folder = std::string(mkdtemp(templ)) + "/";
        ProgrammPfad = folder;
        TempPfad = folder;
        file = folder + "Big.8fh";
        CreateProgramModel();
        SetDefaults();
        ProgrammKopf.SetModel("823");  // three systems
        SetModelFields(ProgrammKopf, "823");
        ProgrammKopf.SetGauge(8);
        Send(200, 0, 0, 0);
        ZrVar.Systems = 3;
        ZrVar.TargetFolder = folder;
        Fill();
    }
    ~Program()
    {
        FreeProgramModel();
        std::error_code ec;
        fs::remove_all(folder, ec);
    }

    void Fill()
    {
        uint32_t side = 0;
        for (uint16_t line = 1; line <= 9999; ++line) {
            Write(1, 2, line, '=', [](ProgramCommandBlock& b) {
                b.SetU8(9, 0);
                b.SetU16(10, 5);
            });
            Write(1, 2, line, '>', [](ProgramCommandBlock& b) {
                b.SetU8(9, 1);
                b.SetU16(10, 50);
            });
            for (uint8_t s = 1; s <= 3; ++s) {
                Write(1, 2, line, 'G', [&](ProgramCommandBlock& b) {
                    b.SetU8(9, 1);
                    b.SetU16(10, s);
                }, s);
                for (uint8_t sd = 0; sd < 2; ++sd, ++side) {
                    const auto sys = static_cast<uint8_t>(s | (sd ? 0x80 : 0));
                    Write(1, 2, line, 'K', [&](ProgramCommandBlock& b) {
                        b.SetU8(9, 1);
                        b.SetU8(10, 1);
                        b.SetU16(12, static_cast<uint16_t>(1 + side % 9999));
                    }, sys);
                    Write(1, 2, line, 'K', [&](ProgramCommandBlock& b) {
                        b.SetU8(9, 0);
                        b.SetU8(10, 1);
                        b.SetU16(12, static_cast<uint16_t>(1 + side / 9999));
                    }, sys);
                    Write(1, 2, line, 'I', [](ProgramCommandBlock& b) { b.SetU8(9, 1); }, sys);
                    Write(1, 2, line, 'N', [](ProgramCommandBlock& b) { b.SetText("VO", 10, 32); }, sys);
                }
            }
            Comment(1, line);
        }
        for (uint16_t line = 1; line <= 1999; ++line) {
            Write(2, 1, line, 2, [&](ProgramCommandBlock& b) {
                b.SetU16(10, line);
                b.SetU8(12, 1);
                b.SetU16(14, 10);
            });
            Write(5, 1, line, 5, [&](ProgramCommandBlock& b) {
                b.SetU16(10, line);
                b.SetU8(12, 1);
                b.SetU8(13, 'A');
                b.SetI16(16, 25);
                b.SetI16(18, -25);
            });
            Write(3, 1, line, 3, [&](ProgramCommandBlock& b) {
                b.SetU16(10, line);
                b.SetU8(12, 50);
                b.SetU8(14, 101);
                b.SetU8(15, 101);
                b.SetU8(16, 101);
                b.SetU8(17, 101);
                b.SetU16(18, 10000);
                b.SetU16(20, 10000);
            });
            Write(4, 1, line, 4, [](ProgramCommandBlock& b) {
                b.SetU8(9, 5);
                b.SetU8(16, 100);
            });
            Write(6, 1, line, 6, [](ProgramCommandBlock& b) {
                b.SetU16(10, 10);
                b.SetU8(14, 1);
            });
            for (uint8_t list : {2, 3, 4, 5, 6})
                Comment(list, line);
        }
        for (uint16_t line = 1; line <= 9999; ++line) {
            Write(9, 1, line, 9, [](ProgramCommandBlock& b) { b.SetU16(10, 5); });
            Write(7, 1, line, 57, [&](ProgramCommandBlock& b) { b.SetI16(10, static_cast<int16_t>(line)); });
            Comment(9, line);
            Comment(7, line);
        }
    }

    uint16_t Save()
    {
        ProgramCommandBlock open;
        open.SetCode(99);
        open.SetSub(1);
        open.SetText(file);
        ProgramDispatch(open);
        return Send(205, 1, 0, 0);
    }
    uint16_t Load()
    {
        ProgramCommandBlock open;
        open.SetCode(99);
        open.SetSub(0);
        open.SetText(file);
        ProgramDispatch(open);
        return Send(205, 0, 0, 0);
    }
    // The file and the staging files a save leaves.
    void CollectFiles()
    {
        files.clear();
        for (const auto& e : fs::directory_iterator(folder))
            if (e.is_regular_file())
                files.push_back(e.path().string());
    }
    size_t Bytes() const
    {
        size_t total = 0;
        for (const std::string& f : files)
            total += fs::file_size(f);
        return total;
    }
};

Program& TheProgram()
{
    static Program program;
    return program;
}

void Save(benchmark::State& state, uint8_t fOpt)
{
    Program& p = TheProgram();
    ZrVar.F_Opt = fOpt;
    for (auto _ : state) {
        if (p.Save() != 0)
            state.SkipWithError("save failed");
    }
    ZrVar.F_Opt = 0;
    p.CollectFiles();
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(p.Bytes()));
}

void BM_TkfSaveFOpt0(benchmark::State& state)
{
    Save(state, 0);
}
BENCHMARK(BM_TkfSaveFOpt0)->Unit(benchmark::kMillisecond);

void BM_TkfSaveFOpt1(benchmark::State& state)
{
    Save(state, 1);
}
BENCHMARK(BM_TkfSaveFOpt1)->Unit(benchmark::kMillisecond);

// As many bytes as the file and its staging files hold, written with stdio
// into as many files, the program file put on disk as the save does.
void BM_StdioWriteBaseline(benchmark::State& state)
{
    Program& p = TheProgram();
    p.Save();
    p.CollectFiles();
    std::vector<char> chunk(1 << 16, 'x');
    const std::string out = p.folder + "baseline/";
    fs::create_directories(out);
    for (auto _ : state) {
        for (const std::string& f : p.files) {
            std::FILE* w = std::fopen((out + fs::path(f).filename().string()).c_str(), "wb");
            size_t left = fs::file_size(f);
            while (left > 0) {
                const size_t n = std::min(left, chunk.size());
                std::fwrite(chunk.data(), 1, n, w);
                left -= n;
            }
            std::fflush(w);
            if (f == p.file)
                fsync(fileno(w));
            std::fclose(w);
        }
    }
    fs::remove_all(out);
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(p.Bytes()));
}
BENCHMARK(BM_StdioWriteBaseline)->Unit(benchmark::kMillisecond);

void BM_TkfLoad(benchmark::State& state)
{
    Program& p = TheProgram();
    p.Save();
    p.CollectFiles();
    for (auto _ : state) {
        if (p.Load() != 0)
            state.SkipWithError("load failed");
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(p.Bytes()));
}
BENCHMARK(BM_TkfLoad)->Unit(benchmark::kMillisecond);

void BM_StdioReadBaseline(benchmark::State& state)
{
    Program& p = TheProgram();
    p.Save();
    p.CollectFiles();
    std::vector<char> chunk(1 << 16);
    for (auto _ : state) {
        size_t total = 0;
        for (const std::string& f : p.files) {
            std::FILE* r = std::fopen(f.c_str(), "rb");
            size_t n;
            while ((n = std::fread(chunk.data(), 1, chunk.size(), r)) > 0)
                total += n;
            std::fclose(r);
        }
        benchmark::DoNotOptimize(total);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(p.Bytes()));
}
BENCHMARK(BM_StdioReadBaseline)->Unit(benchmark::kMillisecond);

}  // namespace
