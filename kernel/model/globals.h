#pragma once
// Folders and modes shared across the program.
#include <string>

// The program folder (the executable's, by default) and the temporary folder:
// native paths with a trailing "/".
extern std::string ProgrammPfad;
extern std::string TempPfad;

// Working level 1 or 2.
extern int Arbeitsebene;
// Checker mode: 0 program test, 1 simulation, 2 export.
extern int TestModus;
// Set while the design program drives the program remotely.
extern bool Fernsteuerung;

// Sets the program folder to the executable's folder and the temporary folder
// below it.
void InitDefaultFolders();
