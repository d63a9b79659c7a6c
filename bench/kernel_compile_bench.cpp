// The script compiler over a named module set, and its sharing search of the
// yarn-carrier position sub-lists.
// Goals: a named set over a 2000-row pattern (two modules of 20 statements,
// alternating, in different statement-file blocks) within 3x of sending the
// same Z field writes straight to ProgramDispatch; 999 distinct two-line P
// sub-lists (as many as the P list holds) reported against the same kind of
// baseline.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "kernel/compiler/scriptcompile.h"
#include "kernel/model/family_data.h"
#include "kernel/model/listmodel.h"
#include "kernel/model/programcommandblock.h"
#include "kernel/model/programmodel.h"
#include "kernel/model/workrecord.h"

namespace {

constexpr int kRows = 2000;
constexpr int kZWritesPerModule = 32;  // see ModuleBody
// The P list holds lines 1..1999: 999 two-line sub-lists are as many as fit.
constexpr int kSubLists = 999;

std::string Model2()
{
    for (const FamilyModel& m : kFamilyModels)
        if (m.camSystems == 2)
            return m.number;
    return {};
}

// 20 statements, two Z lines; the Z field writes they make: the first
// system statement 8 (new line, pattern lines twice, cam, two selections),
// the second 6, and one for each of the 18 others.
std::string ModuleBody(const std::string& name, int variant)
{
    const std::string v = std::to_string(variant);
    std::string s = "MODUL " + name + ";\r\nBEGIN\r\n";
    s += "S1=>,Y+1,K[AB];\r\n";
    for (const char* st : {"TZ=W50;", "WA=A20;", "KL=A,5;", "RV=R3;", "MV=L2;", "SZ;", "KA=*;", "TZ=W60;"})
        s += std::string(st) + "\r\n";
    s += "WA=A3" + v + ";\r\n";
    s += "S1=<,K[AB];\r\n";
    for (const char* st : {"TZ=W50;", "WA=A20;", "KL=B,5;", "RV=R4;", "MV=L1;", "SZ;", "KA=*;", "TZ=W70;"})
        s += std::string(st) + "\r\n";
    s += "WA=A4" + v + ";\r\n";
    return s + "END;\r\n";
}

// A module no row names, long enough to push the next into another block.
std::string Filler()
{
    std::string s = "MODUL FILL;\r\nBEGIN\r\n";
    for (int i = 0; i < 60; ++i) {
        std::string st = "S1=>";
        while (st.size() < 190)
            st += ",K[AB],FS12";
        s += st + ";\r\n";
    }
    return s + "END;\r\n";
}

std::string NamedSetScript()
{
    std::string s = "MODULSET BENCH;\r\nBEGIN\r\n$ZR_TYP=" + Model2() + ";\r\n$YMAX=" + std::to_string(kRows + 1) +
                    ";\r\n[AB]=M1;\r\n[CD]=M2;\r\nEND;\r\n";
    return s + ModuleBody("M1", 1) + Filler() + ModuleBody("M2", 2);
}

// 1000 system statements, each with its own two-line carrier sub-list.
std::string CarrierScript()
{
    std::string s = "MODULSET BENCH;\r\nBEGIN\r\n$ZR_TYP=" + Model2() + ";\r\n[]=MAIN;\r\nEND;\r\nMODUL MAIN;\r\nBEGIN\r\n";
    const std::string boxes = "ABCDEFGH";
    for (int i = 0; i < kSubLists; ++i) {
        const int a = i % 64;
        const int b = i / 64;
        s += std::string("S1=") + (i % 2 ? "<" : ">") + ",FF" + std::to_string(a / 8 + 1) + boxes[size_t(a % 8)] +
             "[A],FF" + std::to_string(b % 8 + 1) + boxes[size_t(b / 8)] + "[B],K[AB];\r\n";
    }
    return s + "END;\r\n";
}

struct Fixture {
    std::string folder;
    explicit Fixture(bool pattern)
    {
        char templ[] = "/tmp/zorit-compile-bench-XXXXXX";
        folder = mkdtemp(templ) ? std::string(templ) + "/" : std::string("/tmp/");
        CreateProgramModel();
        SetDefaults();
        if (pattern) {
            ProgrammKopf.SetWidth(3);
            ProgrammKopf.SetHeight(kRows + 1);
            BildEbene0.allocate(kRows + 1);
            BildEbene0.present = true;
            for (int r = 2; r <= kRows + 1; ++r) {
                // AB rows with mode cell 0, CD rows with 1: no repeats, no groups.
                const bool ab = r % 2 == 0;
                const uint8_t cells[3] = {uint8_t(ab ? 19 : 21), uint8_t(ab ? 20 : 22), uint8_t(ab ? 0 : 1)};
                P_WritePatroneRow(static_cast<uint16_t>(r), cells, 3, 0);
            }
        }
    }
    ~Fixture()
    {
        FreeProgramModel();
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }
    int32_t Compile(const std::string& script)
    {
        SetDefaults();
        ProgramCommandBlock clear;
        clear.SetCode(206);
        ProgramDispatch(clear);
        ZrVar.ScriptText = script;
        ZrVar.StatementFile = folder + "STR_PHS6.TMP";
        return ScriptCompile();
    }
};

ProgramCommandBlock Z(uint16_t line, uint8_t sub, uint8_t selector, uint8_t system = 1)
{
    ProgramCommandBlock b;
    b.SetCode(1);
    b.SetSub(sub);
    b.SetLine(line);
    b.SetCountField(1);
    b.SetSystemByte(system);
    b.SetSelector(selector);
    return b;
}

// The Z field writes of one module row, on its two lines.
void ModuleWrites(uint16_t first, std::vector<ProgramCommandBlock>& out)
{
    for (int pass = 0; pass < 2; ++pass) {
        const uint16_t line = static_cast<uint16_t>(first + pass);
        out.push_back(Z(line, 3, 0));
        for (int j = 0; j < (pass == 0 ? 2 : 1); ++j) {
            for (uint8_t side : {uint8_t(1), uint8_t(0x81)}) {
                ProgramCommandBlock b = Z(line, 2, 'J', side);
                b.SetU16(10, 2);
                out.push_back(b);
            }
        }
        ProgramCommandBlock cam = Z(line, 2, 'I');
        cam.SetU8(9, 2);
        out.push_back(cam);
        for (uint8_t e : {uint8_t(0), uint8_t(2)}) {
            ProgramCommandBlock n = Z(line, 2, 'N');
            n.SetU8(9, e);
            n.SetText("AB", 10, 32);
            out.push_back(n);
        }
        for (int k = 0; k < 9; ++k) {
            ProgramCommandBlock b = Z(line, 2, k % 3 == 0 ? '>' : (k % 3 == 1 ? '=' : 'B'));
            b.SetU16(10, 50);
            b.SetU8(9, 1);
            out.push_back(b);
        }
    }
}

void BM_CompileZWritesBaseline(benchmark::State& state)
{
    Fixture f(false);
    ZrVar.Systems = 2;
    std::vector<ProgramCommandBlock> blocks;
    for (int r = 0; r < kRows; ++r)
        ModuleWrites(static_cast<uint16_t>(2 * r + 1), blocks);
    std::vector<ProgramCommandBlock> work;
    for (auto _ : state) {
        state.PauseTiming();
        ZListe->SetCount(0);
        work = blocks;
        state.ResumeTiming();
        for (ProgramCommandBlock& b : work)
            ProgramDispatch(b);
        benchmark::ClobberMemory();
    }
    state.counters["writes"] = double(blocks.size());
}
BENCHMARK(BM_CompileZWritesBaseline)->Unit(benchmark::kMillisecond);

void BM_CompileNamedSetOverPattern(benchmark::State& state)
{
    Fixture f(true);
    const std::string script = NamedSetScript();
    int32_t error = 0;
    for (auto _ : state)
        error |= f.Compile(script);
    state.counters["error"] = error;
    state.counters["zlines"] = ZListe->Count();
    state.counters["writes"] = double(kRows * kZWritesPerModule);
}
BENCHMARK(BM_CompileNamedSetOverPattern)->Unit(benchmark::kMillisecond);

// The writes of the carrier script without the search: per statement two P
// lines, the carrier reference and the needle selection of its Z line.
void BM_CarrierWritesBaseline(benchmark::State& state)
{
    Fixture f(false);
    ZrVar.Systems = 2;
    std::vector<ProgramCommandBlock> blocks;
    for (int i = 0; i < kSubLists; ++i) {
        const uint16_t line = static_cast<uint16_t>(i + 1);
        blocks.push_back(Z(line, 3, 0));
        for (int k = 0; k < 2; ++k) {
            ProgramCommandBlock p;
            p.SetCode(5);
            p.SetSub(1);
            p.SetLine(static_cast<uint16_t>(2 * i + 1 + k));
            p.SetCountField(1);
            p.SetSelector(5);
            p.SetU16(10, k == 0 ? uint16_t(i + 1) : 0);
            p.SetU8(12, uint8_t(1 + (i + k) % 8));
            p.SetU8(13, 'A');
            p.SetU16(16, 0x8000);
            p.SetU16(18, 0x8000);
            p.SetText(k ? "B" : "A", 21, 32);
            blocks.push_back(p);
        }
        ProgramCommandBlock g = Z(line, 2, 'G');
        g.SetU16(10, uint16_t(i + 1));
        blocks.push_back(g);
        for (uint8_t e : {uint8_t(0), uint8_t(2)}) {
            ProgramCommandBlock n = Z(line, 2, 'N');
            n.SetU8(9, e);
            n.SetText("AB", 10, 32);
            blocks.push_back(n);
        }
    }
    std::vector<ProgramCommandBlock> work;
    for (auto _ : state) {
        state.PauseTiming();
        ZListe->SetCount(0);
        PListe->SetCount(0);
        work = blocks;
        state.ResumeTiming();
        for (ProgramCommandBlock& b : work)
            ProgramDispatch(b);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_CarrierWritesBaseline)->Unit(benchmark::kMillisecond);

void BM_CompileDistinctCarrierSubLists(benchmark::State& state)
{
    Fixture f(false);
    const std::string script = CarrierScript();
    int32_t error = 0;
    for (auto _ : state)
        error |= f.Compile(script);
    state.counters["error"] = error;
    state.counters["plines"] = PListe->Count();
}
BENCHMARK(BM_CompileDistinctCarrierSubLists)->Unit(benchmark::kMillisecond);

}  // namespace
