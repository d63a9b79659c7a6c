#pragma once
// The machine-dependent fields of the program header and the set-up record,
// derived from the header's model and gauge.

// Header bytes 6, 8, 10, 11 and 26 from model and gauge; the set-up
// record's coupling distance from the model's coupling group (unchanged for
// a model in none).
void P_SetMaschinenDaten();
