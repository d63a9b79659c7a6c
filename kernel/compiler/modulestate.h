#pragma once
// The state of one module compile: the Z line being written, its system and
// side, and what the statements so far have left for the next ones.
#include <cstdint>
#include <string>

#include "kernel/compiler/carrierlist.h"
#include "kernel/compiler/zlinewriter.h"

struct ModuleSetRecord;
struct t_modulset_info;

enum class ModuleMode : uint8_t { Expansion = 0, SingleModule = 1 };

struct ModuleState {
    ModuleMode mode = ModuleMode::SingleModule;
    const ModuleSetRecord* set = nullptr;  // the set whose module is compiled
    t_modulset_info* info = nullptr;

    ZLineWriter z;
    bool zOpen = false;        // a carriage pass has started a line
    bool patternDue = false;   // the next item writes the pattern lines first
    char selection = ' ';      // cam letter last set on this side, or blank
    CarrierList carriers;
    int32_t lineOffset = 0;    // "YL"
    int32_t frontOffset = 0;   // "$YV_OFF"
    int32_t backOffset = 0;    // "$YH_OFF"
    bool sensor = false;       // "SENSOR" until "WA"
    uint16_t rowAtBegin = 0;

    // Closes the pending carrier sub-list of the current line.
    int32_t CloseCarrierList();
    // Completes the selections of the current line, when one is open.
    int32_t CompleteSelections();
    // What the progress box shows while this module runs.
    std::string ProgressText() const;
};
