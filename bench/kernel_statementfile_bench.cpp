// The statement pass over a large module: reading 1 MiB of script text
// statement by statement into the statement file.
// Goal: within 10x of copying the same bytes into a string with ASCII
// upper-casing and writing 1 MiB to a file in the same folder.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "kernel/compiler/compilerrecord.h"
#include "kernel/compiler/headerpass.h"
#include "kernel/compiler/modulesets.h"
#include "kernel/compiler/statementfile.h"
#include "kernel/compiler/statementpass.h"
#include "kernel/model/listmodel.h"
#include "kernel/model/workrecord.h"

namespace {

constexpr int kStatements = 5000;

// A statement of about 200 characters as scripts write them: lower-case
// letters, blanks, brackets.
std::string ModuleStatement(int i)
{
    std::string s = "s1 = >, y+1";
    while (s.size() < 188)
        s += ", k[ab], fs12";
    return s + ", t" + std::to_string(i % 10) + ";\r\n";
}

struct Fixture {
    std::string folder;
    std::string text;
    int32_t position = 0;
    int32_t line = 0;
    int32_t column = 0;

    Fixture()
    {
        char templ[] = "/tmp/zorit-bench-XXXXXX";
        folder = std::string(mkdtemp(templ)) + "/";
        CreateProgramModel();
        SetDefaults();
        text = "MODULSET BENCH;\r\nBEGIN\r\n$ZR_TYP=" + ZrVar.ModelTable.substr(4, 3) +
               ";\r\n[]=MAIN;\r\nEND;\r\nMODUL MAIN;\r\nBEGIN\r\n";
        for (int i = 0; i < kStatements; ++i)
            text += ModuleStatement(i);
        text += "END;\r\n";
        ZrVar.ScriptText = text;
        ZrVar.ModulsetInfo = std::make_shared<t_modulset_info>();
        ParseScriptHeader();
        position = ZrVar.TextPosition;
        line = ZrVar.ErrorLine;
        column = ZrVar.ErrorColumn;
        ZrVar.StatementFile = folder + "STR_PHS6.TMP";
    }
    ~Fixture()
    {
        ZrVar.Statements.reset();
        FreeModuleSets();
        FreeProgramModel();
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }
};

Fixture& Shared()
{
    static Fixture f;
    return f;
}

void BM_BuildStatementFile(benchmark::State& state)
{
    Fixture& f = Shared();
    for (auto _ : state) {
        ZrVar.TextPosition = f.position;
        ZrVar.ErrorLine = f.line;
        ZrVar.ErrorColumn = f.column;
        ZrVar.ScriptLength = 0;
        auto file = std::make_shared<StatementFile>();
        file->Create(ZrVar.StatementFile);
        ZrVar.Statements = file;
        int32_t error = BuildStatementFile();
        if (error != 0)
            state.SkipWithError("statement pass failed");
        benchmark::DoNotOptimize(error);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(f.text.size()));
}
BENCHMARK(BM_BuildStatementFile)->Unit(benchmark::kMillisecond);

void BM_Baseline_UpperCopyAndWrite(benchmark::State& state)
{
    Fixture& f = Shared();
    const std::string path = f.folder + "BASELINE.TMP";
    for (auto _ : state) {
        std::string copy;
        copy.reserve(f.text.size());
        for (char c : f.text)
            copy += (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
        std::FILE* out = std::fopen(path.c_str(), "wb");
        std::fwrite(copy.data(), 1, std::min<size_t>(copy.size(), 1 << 20), out);
        std::fclose(out);
        benchmark::DoNotOptimize(copy.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(f.text.size()));
}
BENCHMARK(BM_Baseline_UpperCopyAndWrite)->Unit(benchmark::kMillisecond);

}  // namespace
