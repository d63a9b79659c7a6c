#pragma once
// Saving the whole machine program to the open stream and loading it back
// (function code 205 of the dispatcher). Every value travels through
// ProgramDispatch, so the list handlers' checks apply on load.
#include <cstdint>

// Writes the program to the stream created by code 99. 0; 301 when the
// stream or a staging file fails; 2210 for gauge 0; 1504/1505 and 2006 for
// a converted value that does not fit its field; 203 when the special
// records run out of indexes; or the code of a list read that was refused.
// A stopped save marks the stream failed, so that nothing is put in place.
uint16_t TkfSave();

// Checks the file on the stream opened by code 99 without changing
// anything, then clears lists 1..12 and reads the program. 0; 301 when no
// stream is open; 302 when the file is refused (the program as it was) or a
// read fails after all (the program restored to what it was before).
uint16_t TkfLoad();
