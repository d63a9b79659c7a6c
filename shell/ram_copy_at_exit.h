#pragma once
// The RAM copy when the program ends without its main window closing: the
// display's connection broke and the platform layer ended the process from
// inside the event loop. Closing the window writes the copy as always; this
// is what is left when nobody gets to close it.

// From now on an end of the process writes the RAM copy of the working level.
void ArmRamCopyAtExit();
// The program has closed its own way (the copy is written): nothing more to
// do at the end of the process.
void DisarmRamCopyAtExit();
// What the end of the process does when armed: the RAM copy written without
// any window (a failure goes to the debug log only); nothing while a job
// changes the program, as half a program would replace the last whole copy.
// True when it wrote the copy.
bool WriteRamCopyAtExit();
