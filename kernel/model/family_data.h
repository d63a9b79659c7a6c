#pragma once
// The machine family's data: the model table and the tables other parts of
// the program keep about particular models. They live together here so that
// they agree with each other; the work record copies the model table from
// here, and nothing else invents model numbers.
//
// Every model number has three digits. The hundreds digit is 3 or 8 (file
// names "*.3*"/"*.8*" and the machine program file's header rely on it), and
// no tens digit is 0 (the file header stores the last two digits as a
// right-aligned number, so a 0 there would read back as a blank).
#include <array>

struct FamilyModel {
    const char* number;  // three digits
    int camSystems;      // column 1 (also the machine kind)
    int machineValue;    // column 2: 2 for tandem models, else 1
    bool comb;           // column 3: optional take-down columns (clamp, scissors, comb)
    const char* code;    // hundreds digit and a letter
};

inline constexpr int kFamilyModelCount = 22;
extern const std::array<FamilyModel, kFamilyModelCount> kFamilyModels;
// The model of a new program; a tandem model, since a new program starts
// with the tandem option set.
extern const char* const kDefaultModel;

// The two hundreds digits the model numbers begin with.
inline constexpr std::array<char, 2> kFamilyHundredsDigits = {'3', '8'};

// The tandem models (machine value 2), in table order: the machine menu
// hints them.
inline constexpr int kTandemModelCount = 9;
extern const std::array<const char*, kTandemModelCount> kTandemModels;

// Coupling groups of the tandem models (set-up sheet and machine data). The
// coupling distances offered are firstInch .. firstInch + 4 inches; the
// machine data take the smallest.
inline constexpr int kCouplingGroupCount = 5;
inline constexpr int kCouplingChoiceCount = 5;
struct CouplingGroup {
    std::array<const char*, 4> models;  // nullptr after the last
    int firstInch;
};
extern const std::array<CouplingGroup, kCouplingGroupCount> kCouplingGroups;

// Comb models with their needle-start factor (checker). A model not listed
// uses kDefaultNeedleStartFactor.
struct CombModel {
    const char* number;
    int needleStartFactor;
};
inline constexpr int kCombModelCount = 6;
inline constexpr int kDefaultNeedleStartFactor = 45;
extern const std::array<CombModel, kCombModelCount> kCombModels;

// Model / system-count pairs whose systems sit the wider distance apart
// (checker).
struct WideDistance {
    const char* number;
    int systems;
};
inline constexpr int kWideDistanceCount = 4;
extern const std::array<WideDistance, kWideDistanceCount> kWideDistanceModels;
