#pragma once
// The parameter blocks of the simulation library, byte for byte: typed
// packers for what the program hands over and readers for what it gets
// back. Texts and arrays a block names are published as handles in a
// SimDllCallScope, which withdraws them when the call is over. Bytes a block
// does not name are 0. Texts are zero-terminated Windows-1252 bytes.
#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "kernel/model/programmodel.h"
#include "simlib/vpsimmod_abi.h"

template <size_t N>
using DllBlock = std::array<uint8_t, N>;

// The machine width W_m of the running library (the needle start it was
// started with): every needle array handed over has exactly W_m entries.
uint16_t SimDllMachineWidth();
void SetSimDllMachineWidth(uint16_t width);

class SimDllCallScope {
public:
    explicit SimDllCallScope(uint16_t machineWidth = SimDllMachineWidth());
    ~SimDllCallScope();
    SimDllCallScope(const SimDllCallScope&) = delete;
    SimDllCallScope& operator=(const SimDllCallScope&) = delete;

    uint16_t machineWidth() const { return width_; }
    // A copy of the text (cut at a zero byte) with its terminating zero.
    uint32_t text(std::string_view bytes);
    // A copy of a needle-action array: W_m bytes, cut or padded with 0.
    uint32_t needles(const uint8_t* actions, size_t count);
    // A copy of a density array: W_m u16 (little-endian), cut or padded with 0.
    uint32_t densities(const uint16_t* values, size_t count);
    // Publishes an address owned by the caller for the scope's lifetime.
    uint32_t address(const void* p);

private:
    uint16_t width_;
    std::deque<std::string> texts_;
    std::deque<std::vector<uint8_t>> arrays_;
    std::vector<uint32_t> handles_;
};

// Handles of the callbacks and the message object of the init block.
using SimCallbackHandles = vpsim::CallbackHandles;

struct SimInitSettings {
    uint8_t testModus = 1;
    uint16_t needleStart = 0;
    uint16_t sideMargin = 0;
    uint8_t ffTypTrans = 0;
    uint8_t gaugeChange = 0;
    std::string wandelPath;  // file-system bytes
    std::string targetFile;  // file-system bytes; empty in simulation
    uint16_t markStart = 0;
    uint16_t markEnd = 0;
    SimCallbackHandles callbacks;
};

inline constexpr size_t kMachineTextLength = 15;

// round(g x 6.37) characters "0" with "1" at round(g x 5.11), "2" at
// round(g x 6.37) and "3" at round(g x 5.74) (from 1, in this order), halves
// to even. Positions outside the text are left out (gauge 0 gives "").
std::string NeedleMarkerText(int gauge);
// "KELTARIS ZR" and the model, at most 15 characters.
std::string SimMachineText(const T_ProgrammKopf& kopf);
DllBlock<81> BuildDllInitBlock(const T_ProgrammKopf& kopf, const T_RuestSchema& ruest,
                               const SimInitSettings& settings, SimDllCallScope& scope);

DllBlock<6> PackDllVersNummer();
DllBlock<12> PackDllAddNZeile(uint16_t needles, uint16_t wLine, uint16_t value, std::string_view comment,
                              SimDllCallScope& scope);
DllBlock<11> PackDllBeginnWs(bool notNested, uint16_t wLine, uint16_t value, std::string_view comment,
                             SimDllCallScope& scope);
DllBlock<3> PackDllEndeWs(bool notNested);

// One system and round of a stroke (P_DllAddNeueZeile).
struct T_DllNeueZeile {
    char direction = '>';
    uint8_t system = 1;
    bool strokeStart = false;  // the first handed-over line of a stroke
    uint8_t round = 0;
    int8_t racking = 0;        // negated racking of the round
    int8_t newRacking = 0;     // negated new racking
    bool rackingCodeZero = false;
    uint16_t speed = 0;
    std::string takeDown;
    uint8_t rowMarker = 255;
    std::array<uint16_t, 4> density{};  // x 100: front 1, front 2, back 1, back 2
    std::array<std::string, 4> densityText;
    std::array<char, 4> comb{' ', ' ', ' ', ' '};
    uint16_t combValue2 = 0;   // +45
    uint32_t combBits = 0;     // +47
    bool message = false;
    std::string label;
    uint8_t repeat = 0;
    uint8_t mainPass = 0;
};
DllBlock<58> PackDllNeueZeile(const T_DllNeueZeile& line, SimDllCallScope& scope);

inline constexpr uint16_t kNoCentreRacking = 65535;
DllBlock<12> PackDllAddSelektion(const uint8_t* front, size_t frontCount, const uint8_t* back, size_t backCount,
                                 uint16_t centre, SimDllCallScope& scope);
DllBlock<8> PackDllAddFsDynamisch(uint8_t side, const uint16_t* densities, size_t count, SimDllCallScope& scope);

using T_DllFfMove = vpsim::CarrierMove;
DllBlock<16> PackDllAddFf(const T_DllFfMove& move);
DllBlock<7> PackDllFfEndPosChg(uint16_t id, uint16_t end, uint8_t side);
DllBlock<3> PackDllFfEinAus(uint8_t on);
DllBlock<4> PackDllShowJacquard(uint8_t view, uint8_t side);
// cutShort: the checker stopped at a fatal message (+7, our library's own
// field: it then writes no file).
DllBlock<9> PackDllInfoEnde(uint16_t leftmost, bool cutShort = false);
DllBlock<8> PackDllGetSimHoehe();
DllBlock<32> PackDllGetSimInfo(uint16_t rowFromTop, uint16_t cellWidth, uint16_t row, uint8_t oldYarnHidden,
                               uint8_t densityHidden);
DllBlock<8> PackDllGetKommentar(uint16_t row);
DllBlock<5> PackDllGetSimFfInfo(uint8_t cell);
DllBlock<14> PackDllGetSimExtras(bool withinRows, uint8_t cell, uint16_t column, uint16_t row);
DllBlock<4> PackDllSetFfBar(uint16_t position);
DllBlock<6> PackDllGetSimSym();

// What comes back. Addresses are read only with known lengths (W_m entries,
// kShapeBytes, texts up to kDllTextCap bytes); a handle that resolves to
// nothing reads as empty.
inline constexpr size_t kDllTextCap = 4096;

struct SimInfoEnde {
    bool usable = false;
    uint16_t strokes = 0;
};
SimInfoEnde ReadDllInfoEnde(const uint8_t* block);
uint16_t ReadDllSimHoehe(const uint8_t* block);

struct SimDllRow {
    std::vector<uint8_t> shape;
    std::vector<uint8_t> colour;
    std::vector<int8_t> third;
    uint8_t background = 0;
    uint8_t xOffset = 0;
    std::array<uint8_t, 10> values{};  // +12 .. +21 as returned
};
// Fills row (keeping its storage: no allocation once it has the size).
void ReadDllSimInfo(const uint8_t* block, SimDllRow& row, uint16_t machineWidth = SimDllMachineWidth());
std::string ReadDllKommentar(const uint8_t* block);
uint8_t ReadDllSimFfInfo(const uint8_t* block);

using SimExtras = vpsim::ExtrasResult;
SimExtras ReadDllSimExtras(const uint8_t* block);
// The shape tables (kShapeBytes bytes), or empty.
void ReadDllSimSym(const uint8_t* block, std::vector<uint8_t>& shapes);
