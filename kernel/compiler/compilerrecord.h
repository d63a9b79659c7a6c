#pragma once
// The script compiler's own records: the counters and values the header
// collects for the later passes, and the module-set definitions.
#include <array>
#include <cstdint>
#include <string>

// Highest line number the F-line-used flags cover.
inline constexpr uint16_t kUsedFlagLines = 200;
// Symbols whose colour-specific densities a $FD[ directive may define.
inline constexpr int kDensitySymbols = 32;

// One slot of a colour-specific stitch density ($FD[c]): side 1 or 2, slot
// 1 or 2 of symbol c.
struct ColourDensitySlot {
    bool filled = false;  // a directive gave this slot
    uint8_t leftFlag = 0;  // 1: "W", 0: "D"
    uint16_t leftValue = 0;
    std::string comment;  // Windows-1252, at most 80
    uint8_t rightFlag = 0;
    uint16_t rightValue = 0;
};

// The compiler record: allocated for one compile, given its initial values
// by the header pass.
struct t_modulset_info {
    uint16_t X = 0;
    uint16_t Y = 0;  // the directive's value - 1
    uint16_t MaxX = 0;
    uint16_t MaxY = 0;
    uint16_t NextNLine = 0;
    uint16_t NextVLine = 0;
    uint16_t NextPLine = 0;
    uint16_t NextFLine = 0;
    uint16_t NextSLine = 0;
    // Numbers of the next sub-list opened in the index lists F and P.
    uint16_t NextFSubList = 0;
    uint16_t NextPSubList = 0;
    int16_t WN = 0;
    uint16_t Z = 0;
    std::array<uint16_t, 3> SCounters{};  // follow NextSLine
    int16_t WS = 0;
    int16_t WSCopy = 0;
    uint8_t FsUStep = 0;  // 0..99; 255 when not given
    // Lines 0..200 of the F list the fix-up may re-initialise.
    std::array<uint8_t, kUsedFlagLines + 1> FLineUsed{};
    // Highest F line in use, found by the statement pass. Wider than a byte:
    // stitch-density numbers of the modules reach far beyond 255.
    uint16_t HighestFLine = 0;
    // Largest stitch-density number the module statements name.
    uint16_t HighestDensityNumber = 0;
    // Where the colour-specific density lines begin.
    uint16_t FirstColourDensityLine = 0;
    uint8_t RegularModule = 0;  // a module other than DIREKT was seen
    std::string ColourString;  // $FD_COLOR, Windows-1252
    // [symbol index - 1][side - 1][slot - 1]
    std::array<std::array<std::array<ColourDensitySlot, 2>, 2>, kDensitySymbols> ColourDensity{};

    // The values a compile starts its header with.
    void Init();
};

// The compile's record in the work record, made (with zeros) when the
// compile has none yet.
t_modulset_info& CompilerRecord();

// One module-set definition ("[AB]=NAME(...)").
struct ModuleSetRecord {
    static constexpr int kSlots = 30;
    static constexpr size_t kSlotLength = 8;
    static constexpr size_t kNameLength = 25;
    static constexpr size_t kColourTableLength = 10;

    std::array<uint8_t, 2> code{};  // 255, 255: the unnamed set "[]"
    std::string colourTable;        // at most 10
    std::array<std::string, kSlots> slots;  // each at most 8, "-32000" when unset
    int32_t filePosition = 0;  // block * 10000 + offset of the MODUL entry
    uint16_t startLine = 0;    // line where the MODUL statement began
    std::string name;          // at most 25
    bool found = false;        // the statement pass met the module

    bool Unnamed() const { return code[0] == 255; }
};
