#pragma once
// One handler per list the dispatcher serves. Each reads (sub 0), writes
// (sub 1; the stitch density list also takes 2), re-initialises the
// addressed line (sub 5) and returns 0 or an error code (kernel/errorcodes.h).
#include <cstdint>

#include "kernel/model/programcommandblock.h"

uint16_t accessZList(ProgramCommandBlock& block, uint8_t sub);  // list 1, knitting scheme
uint16_t accessFList(ProgramCommandBlock& block, uint8_t sub);  // list 2, stitch density
uint16_t accessAList(ProgramCommandBlock& block, uint8_t sub);  // list 3, take-down
uint16_t accessVList(ProgramCommandBlock& block, uint8_t sub);  // list 4, racking
uint16_t accessPList(ProgramCommandBlock& block, uint8_t sub);  // list 5, yarn-carrier position
uint16_t accessNList(ProgramCommandBlock& block, uint8_t sub);  // list 6, needle division
uint16_t accessWList(ProgramCommandBlock& block, uint8_t sub);  // list 7, selector
uint16_t accessSList(ProgramCommandBlock& block, uint8_t sub);  // list 9, scheme sequence
// Lists 10 (yarn carriers) and 12 (needle room, machine settings): the
// set-up record and the machine fields of the program header.
uint16_t accessSetupList(ProgramCommandBlock& block, uint8_t sub, uint8_t list);
