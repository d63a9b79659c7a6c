#pragma once
// The stitch-density lines that hang on colours: the $FD[ slots written at
// the end of the statement pass, the colour groups of $FD_COLOR written after
// the modules, and the fix-up of the lines marked as used.
#include <cstdint>

// One F line per $FD[ slot of symbols 1..19, at the line the work record's
// table gives, with its comment. Sets and returns the error code.
int32_t WriteColourSlotLines();

// For each side and slot, one F sub-list over the $FD_COLOR colours. An
// empty colour text empties pattern plane 2 instead. The first dispatcher
// error stops it; an error already set is kept.
int32_t BuildColourDensities();

// When the work record's fix-up switch is on: re-initialises every used F
// line up to the highest in use. The error code is kept.
void FixUsedDensityLines();
