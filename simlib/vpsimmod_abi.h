#pragma once
// What the program and libVpSimMod.so share: the entry points in the order
// the program resolves them, the slot each takes in the program's record,
// the parameter block sizes, the handle table and the callback types.
//
// Every entry point is `extern "C" void P_DllX(uint8_t* block)`, except
// P_DllNListeEnde, P_DllZeileFertig and P_DllSpeicherFrei, which take no
// argument. A block starts with its own size as u16; all fields are
// little-endian. An address field is 32 bits wide and carries a handle into
// the host's handle table (0 = null).
#include <cstddef>
#include <cstdint>

namespace vpsim {

inline constexpr uint16_t kVersion = 36;
inline constexpr int kEntryCount = 25;
inline constexpr const char* kSoName = "libVpSimMod.so";
// The export we add to the family's 25: hands the host's handle table over.
// A library without it is not loaded.
inline constexpr const char* kSetHandleTableName = "P_DllSetHandleTable";
// Environment variable naming the call log file.
inline constexpr const char* kLogVariable = "VPSIMMOD_LOG";

// Entries in resolve order (the order the program asks for them).
enum Entry : int {
    kVersNummer,
    kInit,
    kAddNZeile,
    kNListeEnde,
    kAddNeueZeile,
    kBeginnWs,
    kEndeWs,
    kAddSelektion,
    kAddFsDynamisch,
    kAddFf,
    kFfEndPosChg,
    kFfEinAus,
    kZeileFertig,
    kInfoEnde,
    kGetSimHoehe,
    kGetSimInfo,
    kMschnBild,
    kShowJacquard,
    kCrashTesten,
    kGetSimFfInfo,
    kGetSimExtras,
    kSetFfBar,
    kGetSimSym,
    kGetKommentar,
    kSpeicherFrei,
};

struct EntryInfo {
    const char* name;
    int slot;        // position in the program's record after the module handle
    uint16_t block;  // block size; 0 for the entries without argument
    bool required;
};

inline constexpr EntryInfo kEntries[kEntryCount] = {
    {"P_DllVersNummer", 1, 6, true},
    {"P_DllInit", 2, 81, true},
    {"P_DllAddNZeile", 3, 12, true},
    {"P_DllNListeEnde", 4, 0, true},
    {"P_DllAddNeueZeile", 5, 58, true},
    {"P_DllBeginnWs", 6, 11, true},
    {"P_DllEndeWs", 7, 3, true},
    {"P_DllAddSelektion", 8, 12, true},
    {"P_DllAddFsDynamisch", 9, 8, true},
    {"P_DllAddFf", 10, 16, true},
    {"P_DllFfEndPosChg", 11, 7, true},
    {"P_DllFfEinAus", 12, 3, true},
    {"P_DllZeileFertig", 13, 0, true},
    {"P_DllInfoEnde", 14, 9, true},
    {"P_DllGetSimHoehe", 18, 8, true},
    {"P_DllGetSimInfo", 19, 32, true},
    // Required, but the program never calls it (block size unknown).
    {"P_DllMschnBild", 16, 2, true},
    {"P_DllShowJacquard", 15, 4, false},
    {"P_DllCrashTesten", 17, 2, true},
    {"P_DllGetSimFfInfo", 20, 5, true},
    {"P_DllGetSimExtras", 21, 14, true},
    {"P_DllSetFfBar", 22, 4, true},
    {"P_DllGetSimSym", 23, 6, true},
    {"P_DllGetKommentar", 24, 8, true},
    {"P_DllSpeicherFrei", 25, 0, true},
};

// P_DllInfoEnde +7 (u8), set by the host: the checker stopped the run at a
// fatal message, so the strokes fed are not the whole program.
inline constexpr size_t kInfoEndeCutShort = 7;

// Slots of the program's record that callers test by name.
inline constexpr int kSlotShowJacquard = 15;
inline constexpr int kSlotSpeicherFrei = 25;

// The host's pointer table. Handle 0 is null; a handle is never reused in a
// process. resolve gives nullptr for a handle that is not (or no longer)
// published.
struct T_DllHandleTable {
    uint32_t size;  // sizeof(T_DllHandleTable)
    void* (*resolve)(uint32_t handle);
    uint32_t (*publish)(const void* address);
    void (*withdraw)(uint32_t handle);
};
using SetHandleTableProc = void (*)(const T_DllHandleTable*);

using BlockProc = void (*)(uint8_t* block);
using PlainProc = void (*)();

// Callbacks of the init block (+61, +65, +69 with the object at +73).
// The host replaces *text by its translation, valid until the next call.
using TranslateProc = void (*)(const char** text);
using ProgressProc = void (*)(uint8_t subBar, uint16_t maximum, uint16_t position);
using MessageProc = void (*)(void* object, const char* text);

// Fields of the blocks that both sides read or write, defined once.

// The init block's callback handles: +61 translate, +65 progress, +69
// message, and at +73 the object the message callback is handed.
struct CallbackHandles {
    uint32_t translate = 0;
    uint32_t progress = 0;
    uint32_t message = 0;
    uint32_t object = 0;
};

// The carrier move of P_DllAddFf: +2 rail, +3 carrier, +4 id, +5 start and
// +7 end (i16 needles), +10 and +11 the two modes, +13 the type.
struct CarrierMove {
    uint8_t rail = 0;
    uint8_t carrier = 0;
    uint8_t id = 0;
    int16_t start = 0;
    int16_t end = 0;
    uint8_t mode1 = 0;
    uint8_t mode2 = 0;
    uint8_t type = 0;
};

// What P_DllGetSimExtras hands back: +2 system, +3 carrier, +4 racking,
// +5 density (u16, x 100).
struct ExtrasResult {
    uint8_t system = 0;
    uint8_t carrier = 0;
    uint8_t racking = 0;
    uint16_t density = 0;
};

// Size of the cell-shape tables of P_DllGetSimSym: for the cell widths
// w = 2..16 one table of 256 * w * h(w) bytes after the other.
inline constexpr int ShapeHeight(int w)
{
    constexpr int heights[] = {1, 2, 3, 4, 5, 6, 7, 9, 10, 12, 13, 14};
    return (w >= 1 && w <= 12) ? heights[w - 1] : 1;
}
inline constexpr size_t ShapeTableOffset(int w)
{
    size_t off = 0;
    for (int k = 2; k < w; ++k)
        off += 256u * static_cast<size_t>(k * ShapeHeight(k));
    return off;
}
inline constexpr size_t kShapeBytes = ShapeTableOffset(17);
static_assert(kShapeBytes == 202240);

// Cell values of the fabric rows (P_DllGetSimInfo).
inline constexpr uint8_t CarrierColour(int rail, int carrier)
{
    return static_cast<uint8_t>(32 + 8 * (rail - 1) + (carrier - 1));
}
inline constexpr int8_t kThirdNone = -1;
inline constexpr int8_t kThirdOldYarn = -2;

}  // namespace vpsim
