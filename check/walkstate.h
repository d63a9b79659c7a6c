#pragma once
// The program check's module state between its parts (the sequence walk,
// the needle division and the stroke). One check runs at a time.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "check/carrierrails.h"
#include "check/rules/needleaction.h"
#include "check/rules/needleselection.h"
#include "check/takedown.h"
#include "kernel/model/listmodel.h"

inline constexpr int kWalkSystems = 6;

struct T_Versatz {
    int8_t amount = 0;  // needle pitches
    uint8_t code = 0;   // transfer racking code
    uint8_t flag = 0;
};

// A stitch density reference of one side, resolved for the stroke.
struct DensityRef {
    uint16_t value = 0;   // x 100 for the library
    std::string text;     // Windows-1252
    // A dynamic stitch density: the F list line of its sub-list (0: none).
    uint16_t dynamicLine = 0;
};

struct SystemStroke {
    // The system's block in the knitting scheme line, in the order the
    // carriage meets them (block 1 leads either way); the library knows the
    // system by it.
    uint8_t number = 0;
    // The number messages and the windows give it: the same machine system
    // keeps its number in both directions, so it counts from the other end
    // on a stroke to the left.
    uint8_t published = 0;
    std::array<int32_t, 2> rows{};  // resolved pattern rows, front and back
    SystemSelectionResult selection;
    std::vector<T_ZFfMove> moves;
    std::array<std::array<DensityRef, 2>, 2> density;  // [side][first, second]
    std::optional<int> change;                         // centre racking change position
};

struct WalkState {
    // Needle room of needle-room line 1 at the current selector level.
    int roomStart = 0;
    int roomEnd = 0;
    int roomWidth = 0;
    // The width the walk uses (W), and the map's room.
    int width = 0;
    std::vector<uint16_t> needleMap;
    bool divisionActive = false;
    int needleCounter = 1;
    int mapLimit = 0;  // the counter stops past this
    uint16_t nLine = 0;
    bool feedDivision = false;

    std::array<std::vector<T_NadelAktion>, 2 * kWalkSystems> actions;
    std::array<uint8_t, kWalkSystems> systemActive{};
    int systems = 1;

    char lastDirection = '<';
    T_Versatz current;
    T_Versatz next;
    bool rowRacks = false;

    T_TakeDownState takeDown;
    uint8_t speed = 100;
    CarrierRails rails;
    std::array<uint8_t, kRails + 1> railMap{};

    uint16_t needleStart = 0;
    uint16_t margin = 0;
    uint32_t strokes = 0;
    uint16_t firstActionNeedle = 0;
    bool markerPending = false;

    // Library feed, kept between strokes so that a stroke allocates nothing.
    std::array<uint8_t, kZLineSize> zLine{};
    std::vector<uint8_t> machineFront;
    std::vector<uint8_t> machineBack;
    std::array<std::vector<uint8_t>, 2> machineDensity;  // u16 little-endian per needle
    std::array<SystemStroke, kWalkSystems> stroke;
    std::string takeDownText;
    std::string label;
    std::string systemWord;  // translated "System", Windows-1252
    std::string empty;
};

extern WalkState Walk;

// The current selector level, 1..8.
int CurrentSelectorLevel();
// The value of W line n at the current selector level.
int32_t SelectorValue(uint16_t n);

// The parts of the walk.
void P_SchemaAblauf(int depth, int first, int last, bool mainPass, bool repeatFlag, int parent, int backStep,
                    int backStart, int frontStep, int frontStart, bool selectorInherited, int32_t repeatCount);
void P_NadelEinteilungStart(uint16_t firstN, int32_t extent, bool feed);
void P_NadelEinteilung(int first, int last, int32_t repeat, int depth);
bool F_ExportNadelEinteilung(int first, int last, int depth);
void P_SchlittenHub(int sLine, int zRow, bool mainPass, bool repeatFlag, int backRow, int frontRow);
// Resolves a racking entry of a knitting scheme line (4 bytes) into r.
void P_VersatzVerweis(const uint8_t* entry, T_Versatz& r);

// The needle map as the selection reads it: W + 1 entries, or empty while
// no needle division is active.
std::span<const uint16_t> ActiveNeedleMap();
