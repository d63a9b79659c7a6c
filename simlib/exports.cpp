// The entry points: each checks its block, reads the fields (handles through
// the host's table), hands them to the run and logs the call.
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "kernel/model/bytes.h"
#include "simlib/call_log.h"
#include "simlib/host_link.h"
#include "simlib/sim_run.h"
#include "simlib/vpsimmod.h"

#ifndef SIMLIB_VERSION
#define SIMLIB_VERSION 36
#endif

using namespace vpsim;

namespace {

// One entry call: accepts the block when its size word covers the entry's
// fields, and writes the log line when the call is over.
class EntryCall {
public:
    EntryCall(Entry entry, uint8_t* block, bool returnsFields = false) : block_(block), returns_(returnsFields)
    {
        const uint16_t need = kEntries[entry].block;
        if (block) {
            const uint16_t size = get_u16(block, 0);
            accepted_ = size >= need;
            seen_ = accepted_ ? need : std::max<uint16_t>(size, 2);
        }
        if (Log().on()) {
            line_ = kEntries[entry].name;
            line_ += ' ';
            if (block)
                AppendHex(line_, block, seen_);
            else
                line_ += '-';
        }
    }
    ~EntryCall()
    {
        if (!Log().on())
            return;
        if (!accepted_) {
            line_ += " IGNORED";
        } else if (returns_) {
            line_ += " => ";
            AppendHex(line_, block_, seen_);
        }
        Log().writeLine(line_);
    }
    EntryCall(const EntryCall&) = delete;
    EntryCall& operator=(const EntryCall&) = delete;

    bool accepted() const { return accepted_; }

    // A text field: resolved, logged, returned.
    std::string text(int offset)
    {
        std::string t = Host().text(get_u32(block_, offset));
        if (Log().on())
            line_ += " +" + std::to_string(offset) + "=" + QuoteText(t);
        return t;
    }
    // An array field of n bytes: its address (nullptr when the handle names
    // nothing), logged.
    const uint8_t* array(int offset, size_t n)
    {
        const uint8_t* p = Host().bytes(get_u32(block_, offset));
        if (Log().on()) {
            line_ += " +" + std::to_string(offset) + "=";
            if (p)
                AppendHex(line_, p, n);
        }
        return p;
    }

private:
    uint8_t* block_;
    bool returns_;
    bool accepted_ = false;
    uint16_t seen_ = 0;
    std::string line_;
};

void LogPlain(Entry entry)
{
    if (Log().on())
        Log().writeLine(std::string(kEntries[entry].name) + " -");
}

}  // namespace

void P_DllSetHandleTable(const T_DllHandleTable* table)
{
    Host().set(table);
    Log().configure();
}

void P_DllVersNummer(uint8_t* block)
{
    EntryCall call(kVersNummer, block, true);
    if (call.accepted())
        put_u16(block, 0, SIMLIB_VERSION);
}

void P_DllInit(uint8_t* block)
{
    EntryCall call(kInit, block);
    if (!call.accepted())
        return;
    const uint8_t* b = block;
    InitData d;
    d.needleStart = get_u16(b, 2);
    d.takeDown = get_u16(b, 4);
    d.margin = get_u16(b, 6);
    call.text(8);
    call.text(12);
    call.text(17);
    d.simulation = b[21];
    d.exportMode = b[22];
    d.systems = b[23];
    d.ffTypTrans = b[24];
    d.gaugeChange = b[25];
    d.wandelPath = call.text(28);
    d.target = call.text(32);
    d.machine = call.text(36);
    d.mmGauge = get_u16(b, 46);
    d.comment = call.text(57);
    d.callbacks.translate = get_u32(b, 61);
    d.callbacks.progress = get_u32(b, 65);
    d.callbacks.message = get_u32(b, 69);
    d.callbacks.object = get_u32(b, 73);
    Run().init(std::move(d));
}

void P_DllAddNZeile(uint8_t* block)
{
    EntryCall call(kAddNZeile, block);
    if (!call.accepted())
        return;
    std::string comment = call.text(8);
    Run().addNZeile(get_u16(block, 2), get_u16(block, 4), get_u16(block, 6), comment);
}

void P_DllNListeEnde()
{
    LogPlain(kNListeEnde);
    Run().nListeEnde();
}

void P_DllAddNeueZeile(uint8_t* block)
{
    EntryCall call(kAddNeueZeile, block);
    if (!call.accepted())
        return;
    const uint8_t* b = block;
    NewLine l;
    l.direction = static_cast<char>(b[2]);
    l.system = b[3];
    l.racking = static_cast<int8_t>(b[4]);
    l.strokeStart = b[5];
    l.round = b[6];
    l.newRacking = static_cast<int8_t>(b[8]);
    l.codeZero = b[9];
    l.speed = get_u16(b, 10);
    l.takeDown = call.text(12);
    l.marker = b[16];
    for (int k = 0; k < 4; ++k) {
        l.density[k] = get_u16(b, 17 + 6 * k);
        l.densityText[k] = call.text(19 + 6 * k);
    }
    l.comb.assign(reinterpret_cast<const char*>(b + 41), 4);
    l.combValue = get_u16(b, 45);
    l.combBits = get_u32(b, 47);
    l.message = b[51];
    l.label = call.text(52);
    l.repeat = b[56];
    l.mainPass = b[57];
    Run().addNeueZeile(l);
}

void P_DllBeginnWs(uint8_t* block)
{
    EntryCall call(kBeginnWs, block);
    if (!call.accepted())
        return;
    std::string comment = call.text(7);
    Run().beginnWs(block[2], get_u16(block, 3), get_u16(block, 5), comment);
}

void P_DllEndeWs(uint8_t* block)
{
    EntryCall call(kEndeWs, block);
    if (call.accepted())
        Run().endeWs(block[2]);
}

void P_DllAddSelektion(uint8_t* block)
{
    EntryCall call(kAddSelektion, block);
    if (!call.accepted())
        return;
    const size_t w = Run().width();
    const uint8_t* front = call.array(2, w);
    const uint8_t* back = call.array(6, w);
    Run().addSelektion(front, back, get_u16(block, 10));
}

void P_DllAddFsDynamisch(uint8_t* block)
{
    EntryCall call(kAddFsDynamisch, block);
    if (!call.accepted())
        return;
    const uint8_t* densities = call.array(4, 2 * size_t(Run().width()));
    Run().addFsDynamisch(block[2], densities);
}

void P_DllAddFf(uint8_t* block)
{
    EntryCall call(kAddFf, block);
    if (!call.accepted())
        return;
    CarrierMove m;
    m.rail = block[2];
    m.carrier = block[3];
    m.id = block[4];
    m.start = get_i16(block, 5);
    m.end = get_i16(block, 7);
    m.mode1 = block[10];
    m.mode2 = block[11];
    m.type = block[13];
    Run().addFf(m);
}

void P_DllFfEndPosChg(uint8_t* block)
{
    EntryCall call(kFfEndPosChg, block);
    if (call.accepted())
        Run().ffEndPosChg(get_u16(block, 2), get_u16(block, 4), block[6]);
}

void P_DllFfEinAus(uint8_t* block)
{
    EntryCall call(kFfEinAus, block);
    if (call.accepted() && Run().active())
        Run().ffEinAus(block[2]);
}

#ifndef SIMLIB_NO_ZEILEFERTIG
namespace {
// End-to-end runs that look at a simulation while it runs slow it down by
// VPSIMMOD_ROW_DELAY_US microseconds a finished row.
void RowDelay()
{
    static const long delay = [] {
        const char* v = std::getenv("VPSIMMOD_ROW_DELAY_US");
        return v ? std::atol(v) : 0L;
    }();
    if (delay > 0)
        std::this_thread::sleep_for(std::chrono::microseconds(delay));
}
}  // namespace

void P_DllZeileFertig()
{
    LogPlain(kZeileFertig);
    Run().zeileFertig();
    RowDelay();
}
#endif

void P_DllInfoEnde(uint8_t* block)
{
    EntryCall call(kInfoEnde, block, true);
    if (!call.accepted())
        return;
    const bool usable = Run().infoEnde(block[kInfoEndeCutShort] != 0);
    block[4] = usable ? 1 : 0;
    put_u16(block, 5, static_cast<uint16_t>(std::min<uint32_t>(Run().strokes(), 65535)));
}

void P_DllGetSimHoehe(uint8_t* block)
{
    EntryCall call(kGetSimHoehe, block, true);
    if (call.accepted())
        put_u16(block, 6, Run().height());
}

void P_DllGetSimInfo(uint8_t* block)
{
    EntryCall call(kGetSimInfo, block, true);
    if (!call.accepted())
        return;
    RowResult r = Run().simInfo(get_u16(block, 26), get_u16(block, 24), block[29] != 0);
    put_u32(block, 4, r.shape);
    put_u32(block, 8, r.colour);
    put_u32(block, 12, r.third);
    block[16] = r.background;
    block[17] = r.xOffset;
    std::fill(block + 18, block + 22, uint8_t{0});
}

void P_DllMschnBild(uint8_t* block)
{
    EntryCall call(kMschnBild, block);
}

#ifndef SIMLIB_NO_JACQUARD
void P_DllShowJacquard(uint8_t* block)
{
    EntryCall call(kShowJacquard, block);
    if (call.accepted() && Run().active())
        Run().showJacquard(block[2], block[3]);
}
#endif

void P_DllCrashTesten(uint8_t* block)
{
    EntryCall call(kCrashTesten, block);
}

void P_DllGetSimFfInfo(uint8_t* block)
{
    EntryCall call(kGetSimFfInfo, block, true);
    if (call.accepted())
        block[3] = Run().active() ? SimRun::CarrierOfCell(block[2]) : 0;
}

void P_DllGetSimExtras(uint8_t* block)
{
    EntryCall call(kGetSimExtras, block, true);
    if (!call.accepted())
        return;
    ExtrasResult e;
    if (block[8] != 0)
        e = Run().extras(get_u16(block, 12), get_u16(block, 10), block[9]);
    block[2] = e.system;
    block[3] = e.carrier;
    block[4] = e.racking;
    put_u16(block, 5, e.density);
    block[7] = 0;
}

void P_DllSetFfBar(uint8_t* block)
{
    EntryCall call(kSetFfBar, block);
    if (call.accepted() && Run().active())
        Run().setFfBar(get_u16(block, 2));
}

void P_DllGetSimSym(uint8_t* block)
{
    EntryCall call(kGetSimSym, block, true);
    if (call.accepted())
        put_u32(block, 2, Run().shapes());
}

void P_DllGetKommentar(uint8_t* block)
{
    EntryCall call(kGetKommentar, block, true);
    if (call.accepted())
        put_u32(block, 4, Run().comment(get_u16(block, 2)));
}

void P_DllSpeicherFrei()
{
    LogPlain(kSpeicherFrei);
    Run().release();
}
