// The dispatcher as the compiler drives it, and the paged record store as
// the machine program file writer fills it.
// Goals: 10^6 ProgramDispatch calls within 20x a memcpy of the same blocks
// into the same lines; 120,000 StorePut calls and one StoreDump within 3x
// appending the records to a vector and writing it with one fwrite.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "kernel/dispatch/recordstore.h"
#include "kernel/model/listmodel.h"
#include "kernel/model/programcommandblock.h"
#include "kernel/model/programmodel.h"
#include "kernel/model/workrecord.h"

namespace {

constexpr size_t kCalls = 1000000;
constexpr uint16_t kFGroupLines = 1996;  // the F list holds lines 1..1999

// The blocks of the compiler's writes: a Z "K" and "N" write per line and
// system side over lines 1..9999 and systems 1..6, and every tenth block an
// F line that appends to the sub-lists (the list is cleared every 1996 lines).
std::vector<ProgramCommandBlock> CompilerBlocks()
{
    std::vector<ProgramCommandBlock> blocks;
    blocks.reserve(kCalls);
    uint16_t zLine = 1;
    int system = 1;
    uint16_t fLine = 1;
    uint16_t fList = 1;
    for (size_t i = 0; blocks.size() < kCalls; ++i) {
        ProgramCommandBlock b;
        b.SetCountField(1);
        if (i % 10 == 9) {
            b.SetCode(2);
            if (fLine > kFGroupLines) {
                // A new compile: the lists are cleared first.
                b.SetSub(4);
                fLine = 1;
                fList = 1;
            } else {
                // Groups of four lines: a sub-list head, then continuation
                // lines, each at the compiler's next F line.
                b.SetSub(1);
                b.SetLine(fLine);
                b.SetU16(10, (fLine % 4 == 1) ? fList++ : 0);
                b.SetU8(12, 1);
                b.SetU16(14, 250);
                b.SetU8(16, 1);
                b.SetU16(18, 300);
                b.SetText("VO", 21, 32);
                ++fLine;
            }
        } else {
            b.SetCode(1);
            b.SetSub(2);
            b.SetLine(zLine);
            b.SetSystemByte(static_cast<uint8_t>(system | ((i & 1) ? 0x80 : 0)));
            if (i % 2 == 0) {
                b.SetSelector('K');
                b.SetU8(9, 1);
                b.SetU8(10, 1);
                b.SetU16(12, static_cast<uint16_t>(100 + i % 900));
            } else {
                b.SetSelector('N');
                b.SetU8(9, static_cast<uint8_t>(i % 3));
                b.SetText(i % 4 == 1 ? "VO*" : "!\x02", 10, 32);
                if (++system > 6) {
                    system = 1;
                    zLine = static_cast<uint16_t>(zLine % 9999 + 1);
                }
            }
        }
        blocks.push_back(b);
    }
    return blocks;
}

void Prepare()
{
    CreateProgramModel();
    SetDefaults();
    ZrVar.Systems = 6;
    ZListe->GetLine(9999);
    FListe->GetLine(2000);
}

void BM_DispatchMemcpyBaseline(benchmark::State& state)
{
    Prepare();
    const std::vector<ProgramCommandBlock> blocks = CompilerBlocks();
    for (auto _ : state) {
        for (const ProgramCommandBlock& b : blocks) {
            T_ListenVar* list = b.Code() == 1 ? static_cast<T_ListenVar*>(ZListe) : FListe;
            uint8_t* line = list->GetLine(b.Line());
            std::memcpy(line, b.data(), std::min<size_t>(ProgramCommandBlock::kSize, list->LineSize()));
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(kCalls));
    FreeProgramModel();
}
BENCHMARK(BM_DispatchMemcpyBaseline)->Unit(benchmark::kMillisecond);

void BM_DispatchCompilerWrites(benchmark::State& state)
{
    Prepare();
    const std::vector<ProgramCommandBlock> blocks = CompilerBlocks();
    std::vector<ProgramCommandBlock> work = blocks;
    uint32_t failures = 0;
    for (auto _ : state) {
        state.PauseTiming();
        work = blocks;  // the dispatcher may change a block
        state.ResumeTiming();
        for (ProgramCommandBlock& b : work)
            failures += ProgramDispatch(b) != 0;
        benchmark::ClobberMemory();
    }
    state.counters["failures"] = failures;
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(kCalls));
    FreeProgramModel();
}
BENCHMARK(BM_DispatchCompilerWrites)->Unit(benchmark::kMillisecond);

constexpr size_t kRecords = 120000;

std::vector<uint8_t> Records()
{
    std::vector<uint8_t> bytes(kRecords * kStoreRecordSize);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<uint8_t>(i * 7 + i / 24);
    return bytes;
}

void BM_StoreVectorBaseline(benchmark::State& state)
{
    const std::vector<uint8_t> records = Records();
    std::FILE* f = std::tmpfile();
    for (auto _ : state) {
        std::vector<uint8_t> kept;
        for (size_t i = 0; i < kRecords; ++i) {
            const uint8_t* r = records.data() + i * kStoreRecordSize;
            kept.insert(kept.end(), r, r + kStoreRecordSize);
        }
        std::fseek(f, 0, SEEK_SET);
        benchmark::DoNotOptimize(std::fwrite(kept.data(), 1, kept.size(), f));
        std::fflush(f);
    }
    std::fclose(f);
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(kRecords));
}
BENCHMARK(BM_StoreVectorBaseline)->Unit(benchmark::kMillisecond);

void BM_StorePutDump(benchmark::State& state)
{
    const std::vector<uint8_t> records = Records();
    std::FILE* f = std::tmpfile();
    for (auto _ : state) {
        StoreReset(true);
        for (size_t i = 0; i < kRecords; ++i)
            StorePut(records.data() + i * kStoreRecordSize);
        benchmark::DoNotOptimize(StoreDump(f, static_cast<int32_t>(kRecords) - 1));
        std::fflush(f);
    }
    std::fclose(f);
    StoreReset(false);
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(kRecords));
}
BENCHMARK(BM_StorePutDump)->Unit(benchmark::kMillisecond);

}  // namespace
