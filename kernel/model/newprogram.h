#pragma once
// The program model of a new program: default machine, empty pattern planes,
// empty lists and set-up record, machine data derived again. The shell adds
// the windows' part (closing windows of another machine, the script editor).
//
// Returns true when the machine model differs from the one before, so the
// caller knows to close the windows that show the old machine.
bool NewProgramModel();
