#include "check/simdll_blocks.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "check/dll_handles.h"
#include "kernel/model/bytes.h"
#include "simlib/vpsimmod_abi.h"

namespace {

uint16_t machineWidth = 0;

template <size_t N>
DllBlock<N> NewBlock()
{
    DllBlock<N> b{};
    put_u16(b.data(), 0, static_cast<uint16_t>(N));
    return b;
}

}  // namespace

uint16_t SimDllMachineWidth()
{
    return machineWidth;
}

void SetSimDllMachineWidth(uint16_t width)
{
    machineWidth = width;
}

// ---------------------------------------------------------------------------
// Call scope

SimDllCallScope::SimDllCallScope(uint16_t machineWidth) : width_(machineWidth) {}

SimDllCallScope::~SimDllCallScope()
{
    for (uint32_t h : handles_)
        SimDllHandles().withdraw(h);
}

uint32_t SimDllCallScope::address(const void* p)
{
    uint32_t h = SimDllHandles().publish(p);
    if (h)
        handles_.push_back(h);
    return h;
}

uint32_t SimDllCallScope::text(std::string_view bytes)
{
    size_t zero = bytes.find('\0');
    texts_.emplace_back(bytes.substr(0, zero));
    return address(texts_.back().c_str());
}

uint32_t SimDllCallScope::needles(const uint8_t* actions, size_t count)
{
    auto& a = arrays_.emplace_back(width_, 0);
    if (actions && count && width_)
        std::memcpy(a.data(), actions, std::min<size_t>(count, width_));
    // An empty array still gets an address: the library reads W_m bytes.
    return address(a.empty() ? static_cast<const void*>(&width_) : a.data());
}

uint32_t SimDllCallScope::densities(const uint16_t* values, size_t count)
{
    auto& a = arrays_.emplace_back(2 * size_t(width_), 0);
    const size_t n = values ? std::min<size_t>(count, width_) : 0;
    for (size_t i = 0; i < n; ++i)
        put_u16(a.data(), 2 * i, values[i]);
    return address(a.empty() ? static_cast<const void*>(&width_) : a.data());
}

// ---------------------------------------------------------------------------
// Init block

std::string NeedleMarkerText(int gauge)
{
    const long length = std::lrint(gauge * 6.37);
    if (length <= 0)
        return {};
    std::string text(static_cast<size_t>(length), '0');
    auto set = [&](double factor, char c) {
        long pos = std::lrint(gauge * factor);
        if (pos >= 1 && pos <= length)
            text[static_cast<size_t>(pos - 1)] = c;
    };
    set(5.11, '1');
    set(6.37, '2');
    set(5.74, '3');
    return text;
}

std::string SimMachineText(const T_ProgrammKopf& kopf)
{
    std::string text = "KELTARIS ZR" + kopf.Model();
    if (text.size() > kMachineTextLength)
        text.resize(kMachineTextLength);
    return text;
}

DllBlock<81> BuildDllInitBlock(const T_ProgrammKopf& kopf, const T_RuestSchema& ruest,
                               const SimInitSettings& s, SimDllCallScope& scope)
{
    auto b = NewBlock<81>();
    uint8_t* p = b.data();
    const uint8_t* r = ruest.data();
    const uint8_t gauge = kopf.Gauge();
    put_u16(p, 2, s.needleStart);
    put_u16(p, 4, kopf.ModelOption() ? get_u16(r, T_RuestSchema::kCoupling) : 0);
    put_u16(p, 6, s.sideMargin);
    put_u32(p, 8, scope.text("01"));
    put_u32(p, 12, scope.text(NeedleMarkerText(gauge)));
    p[16] = 1;
    put_u32(p, 17, scope.text(" MmFfUuNnGgSS"));
    p[21] = s.testModus == 1 ? 1 : 0;
    p[22] = s.testModus == 2 ? 1 : 0;
    p[23] = kopf.MachineKind();
    p[24] = s.ffTypTrans ? 1 : 0;
    p[25] = s.gaugeChange ? gauge : 0;
    put_u16(p, 26, s.sideMargin);
    put_u32(p, 28, scope.text(s.wandelPath));
    put_u32(p, 32, scope.text(s.targetFile));
    put_u32(p, 36, scope.text(SimMachineText(kopf)));
    put_u16(p, 40, 8);
    put_u16(p, 42, 30);
    put_u16(p, 44, 50);
    // The gauge in needles per 25.4 mm converted to needles per 32 mm.
    put_u16(p, 46, static_cast<uint16_t>(std::lrint(gauge * 1.2598425196850394)));
    p[48] = 0;
    put_u16(p, 49, r[1]);
    put_u16(p, 51, r[2]);
    put_u16(p, 53, r[3]);
    const uint8_t level = r[T_RuestSchema::kLevel];
    put_u16(p, 55, (level >= 1 && level <= 8) ? r[T_RuestSchema::TakeDown(level)] : 0);
    put_u32(p, 57, scope.text(ReadShortString(r, T_RuestSchema::kComment, 80)));
    put_u32(p, 61, s.callbacks.translate);
    put_u32(p, 65, s.callbacks.progress);
    put_u32(p, 69, s.callbacks.message);
    put_u32(p, 73, s.callbacks.object);
    put_u16(p, 77, s.markStart);
    put_u16(p, 79, s.markEnd);
    return b;
}

// ---------------------------------------------------------------------------
// Packers

DllBlock<6> PackDllVersNummer()
{
    return NewBlock<6>();
}

DllBlock<12> PackDllAddNZeile(uint16_t needles, uint16_t wLine, uint16_t value, std::string_view comment,
                              SimDllCallScope& scope)
{
    auto b = NewBlock<12>();
    put_u16(b.data(), 2, needles);
    put_u16(b.data(), 4, wLine);
    put_u16(b.data(), 6, value);
    put_u32(b.data(), 8, scope.text(comment));
    return b;
}

DllBlock<11> PackDllBeginnWs(bool notNested, uint16_t wLine, uint16_t value, std::string_view comment,
                             SimDllCallScope& scope)
{
    auto b = NewBlock<11>();
    b[2] = notNested ? 1 : 0;
    put_u16(b.data(), 3, wLine);
    put_u16(b.data(), 5, value);
    put_u32(b.data(), 7, scope.text(comment));
    return b;
}

DllBlock<3> PackDllEndeWs(bool notNested)
{
    auto b = NewBlock<3>();
    b[2] = notNested ? 1 : 0;
    return b;
}

DllBlock<58> PackDllNeueZeile(const T_DllNeueZeile& l, SimDllCallScope& scope)
{
    auto b = NewBlock<58>();
    uint8_t* p = b.data();
    p[2] = static_cast<uint8_t>(l.direction);
    p[3] = l.system;
    p[4] = static_cast<uint8_t>(l.racking);
    p[5] = l.strokeStart ? 1 : 0;
    p[6] = l.round;
    p[7] = 0;
    p[8] = static_cast<uint8_t>(l.newRacking);
    p[9] = l.rackingCodeZero ? 1 : 0;
    put_u16(p, 10, l.speed);
    put_u32(p, 12, scope.text(l.takeDown));
    p[16] = l.rowMarker;
    for (int k = 0; k < 4; ++k) {
        put_u16(p, 17 + 6 * k, l.density[k]);
        put_u32(p, 19 + 6 * k, scope.text(l.densityText[k]));
    }
    for (int k = 0; k < 4; ++k)
        p[41 + k] = static_cast<uint8_t>(l.comb[k]);
    put_u16(p, 45, l.combValue2);
    put_u32(p, 47, l.combBits);
    p[51] = l.message ? 1 : 0;
    put_u32(p, 52, scope.text(l.label));
    p[56] = l.repeat;
    p[57] = l.mainPass;
    return b;
}

DllBlock<12> PackDllAddSelektion(const uint8_t* front, size_t frontCount, const uint8_t* back, size_t backCount,
                                 uint16_t centre, SimDllCallScope& scope)
{
    auto b = NewBlock<12>();
    put_u32(b.data(), 2, scope.needles(front, frontCount));
    put_u32(b.data(), 6, scope.needles(back, backCount));
    put_u16(b.data(), 10, centre);
    return b;
}

DllBlock<8> PackDllAddFsDynamisch(uint8_t side, const uint16_t* densities, size_t count, SimDllCallScope& scope)
{
    auto b = NewBlock<8>();
    b[2] = side;
    put_u32(b.data(), 4, scope.densities(densities, count));
    return b;
}

DllBlock<16> PackDllAddFf(const T_DllFfMove& m)
{
    auto b = NewBlock<16>();
    b[2] = m.rail;
    b[3] = m.carrier;
    b[4] = m.id;
    put_i16(b.data(), 5, m.start);
    put_i16(b.data(), 7, m.end);
    b[10] = m.mode1;
    b[11] = m.mode2;
    b[13] = std::min<uint8_t>(m.type, 2);
    put_u16(b.data(), 14, 65535);
    return b;
}

DllBlock<7> PackDllFfEndPosChg(uint16_t id, uint16_t end, uint8_t side)
{
    auto b = NewBlock<7>();
    put_u16(b.data(), 2, id);
    put_u16(b.data(), 4, end);
    b[6] = side;
    return b;
}

DllBlock<3> PackDllFfEinAus(uint8_t on)
{
    auto b = NewBlock<3>();
    b[2] = on;
    return b;
}

DllBlock<4> PackDllShowJacquard(uint8_t view, uint8_t side)
{
    auto b = NewBlock<4>();
    b[2] = view;
    b[3] = side;
    return b;
}

DllBlock<9> PackDllInfoEnde(uint16_t leftmost, bool cutShort)
{
    auto b = NewBlock<9>();
    put_u16(b.data(), 2, leftmost);
    b[vpsim::kInfoEndeCutShort] = cutShort ? 1 : 0;
    return b;
}

DllBlock<8> PackDllGetSimHoehe()
{
    return NewBlock<8>();
}

DllBlock<32> PackDllGetSimInfo(uint16_t rowFromTop, uint16_t cellWidth, uint16_t row, uint8_t oldYarnHidden,
                               uint8_t densityHidden)
{
    auto b = NewBlock<32>();
    put_u16(b.data(), 22, rowFromTop);
    put_u16(b.data(), 24, cellWidth);
    put_u16(b.data(), 26, row);
    b[28] = oldYarnHidden;
    b[29] = densityHidden;
    return b;
}

DllBlock<8> PackDllGetKommentar(uint16_t row)
{
    auto b = NewBlock<8>();
    put_u16(b.data(), 2, row);
    return b;
}

DllBlock<5> PackDllGetSimFfInfo(uint8_t cell)
{
    auto b = NewBlock<5>();
    b[2] = cell;
    return b;
}

DllBlock<14> PackDllGetSimExtras(bool withinRows, uint8_t cell, uint16_t column, uint16_t row)
{
    auto b = NewBlock<14>();
    b[8] = withinRows ? 1 : 0;
    b[9] = cell;
    put_u16(b.data(), 10, column);
    put_u16(b.data(), 12, row);
    return b;
}

DllBlock<4> PackDllSetFfBar(uint16_t position)
{
    auto b = NewBlock<4>();
    put_u16(b.data(), 2, position);
    return b;
}

DllBlock<6> PackDllGetSimSym()
{
    return NewBlock<6>();
}

// ---------------------------------------------------------------------------
// Readers

SimInfoEnde ReadDllInfoEnde(const uint8_t* block)
{
    return SimInfoEnde{block[4] != 0, get_u16(block, 5)};
}

uint16_t ReadDllSimHoehe(const uint8_t* block)
{
    return get_u16(block, 6);
}

void ReadDllSimInfo(const uint8_t* block, SimDllRow& row, uint16_t width)
{
    auto copy = [&](auto& out, int offset) {
        const auto* p = static_cast<const uint8_t*>(SimDllHandles().resolve(get_u32(block, offset)));
        if (!p) {
            out.clear();
            return;
        }
        out.resize(width);
        if (width)
            std::memcpy(out.data(), p, width);
    };
    copy(row.shape, 4);
    copy(row.colour, 8);
    copy(row.third, 12);
    row.background = block[16];
    row.xOffset = block[17];
    std::copy(block + 12, block + 22, row.values.begin());
}

std::string ReadDllKommentar(const uint8_t* block)
{
    const char* p = static_cast<const char*>(SimDllHandles().resolve(get_u32(block, 4)));
    if (!p)
        return {};
    return std::string(p, ::strnlen(p, kDllTextCap));
}

uint8_t ReadDllSimFfInfo(const uint8_t* block)
{
    return block[3];
}

SimExtras ReadDllSimExtras(const uint8_t* block)
{
    return SimExtras{block[2], block[3], block[4], get_u16(block, 5)};
}

void ReadDllSimSym(const uint8_t* block, std::vector<uint8_t>& shapes)
{
    const auto* p = static_cast<const uint8_t*>(SimDllHandles().resolve(get_u32(block, 2)));
    if (!p) {
        shapes.clear();
        return;
    }
    shapes.assign(p, p + vpsim::kShapeBytes);
}
