#pragma once
// The program check: walks the machine program as the machine would knit
// it, one carriage stroke per knitting scheme row, checks each stroke and,
// in simulation and export mode, hands it to the simulation library.
// TestModus (kernel/globals.h) says the mode: 0 program test, 1 simulation,
// 2 export. The windows set the sinks (CheckState), the host (checkhost.h)
// and, in modes 1 and 2, start the library first.
#include <cstdint>

#include "check/simdll_blocks.h"

// Where the walk stands, read by the windows.
struct T_CheckPosition {
    uint16_t zRow = 0;
    uint16_t sLine = 0;
    uint16_t system = 0;
    uint16_t rowRepeat = 0;
    uint16_t parentSLine = 0;
    uint16_t seqRepeat = 0;
};
extern T_CheckPosition CheckPosition;

// Runs the whole check. A fatal message or the user's stop ends it quietly;
// the check-finished flag is set however it ends, and any other exception
// passes on afterwards.
void RunProgramCheck();

// The machine width handed to the library's start: the needle room (doubled
// in export mode) behind the needle-room start and both side margins, or on
// a machine with the comb take-down the comb's width. Kept for the walk.
uint16_t F_NadelStart();
// The side margin F_NadelStart used last.
uint16_t CheckSideMargin();
// The needle start F_NadelStart gave last.
uint16_t CheckNeedleStart();
// The set-up record's margin word: the record has no such field yet, so 0.
uint16_t SetupMarginWord();

// A value or a selector value: flag 0 gives number itself, any other flag the
// value of W line number at the current selector level. For a needle
// division that value becomes min(1, value), or with "N-Liste Wahlschalter 2
// Durchläufe" 2 for a non-zero value and 0 otherwise.
int32_t F_WsWert(uint8_t flag, uint16_t number, bool forNeedleDivision = false);

// Carriage strokes walked to their end in the last run.
uint32_t CheckStrokeCount();
// The first machine needle with an action, for the export's end: 0 when no
// needle acted (and before the walk, the width of step 4).
uint16_t CheckFirstActionNeedle();
// The value P_DllInfoEnde +2 gets at the end of an export.
uint16_t CheckExportEndNeedle();
// The last run stopped before the end of the program (a fatal message, the
// user's stop or a failure): what it fed the library is not the program.
bool CheckRunCutShort();
// The end of an export after the run: P_DllInfoEnde with the leftmost
// needle; a run cut short is reported not usable, and our library then
// leaves no conversion file.
SimInfoEnde CheckExportEnd();
