#pragma once
// The module-set definitions of the header ("[AB]=NAME(items)") and the
// reader's jump to a set's module in the statement file.
#include <array>
#include <cstdint>
#include <string>

#include "kernel/compiler/compilerrecord.h"

// The 2-character code of a module-set token: "[xy]" gives x, y; "[]" (the
// unnamed set) gives 255, 255. False for any other token.
bool ModuleSetCode(const std::string& token, std::array<uint8_t, 2>& code);

// The newest record with that code, or nullptr.
ModuleSetRecord* FindModuleSet(const std::array<uint8_t, 2>& code);

// Defines a module set from the work record's error token and error value;
// sets and returns the error code (997 bad token, 404 bad items, 1127 colour
// table too long).
int32_t DefineModuleSet();

// Puts the statement reader on the record's MODUL entry; 0 or -999 when the
// file holds no such place.
int32_t PositionAtModule(const ModuleSetRecord& record);

// Drops every record.
void FreeModuleSets();
