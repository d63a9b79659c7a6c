#pragma once
// ProgramDispatch (declared with the block): the single entry through which
// the compiler, the machine program file and the engine bridge read and
// change the program.
#include <cstdint>

#include "kernel/model/programcommandblock.h"

// The line that comments and re-initialisation address for a list code:
// line field 0 becomes 1 (written back); the selector-level list uses the
// current selector level; the yarn-carrier list derives it from the
// selector, 1..200 (selector 24 writes it back into the line field).
uint16_t EffectiveLine(ProgramCommandBlock& block);

// Calls the handler of list 1..7, 9, 10 or 12 with sub; 0 for other lists.
uint16_t CallListHandler(int list, ProgramCommandBlock& block, uint8_t sub);
