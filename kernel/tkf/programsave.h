#pragma once
// The whole save of a program: the machine program file and, beside it, the
// pattern files of the present planes. Every file goes to a temporary file
// beside its destination first; only when all of them are whole on disk are
// the pattern files put in place, and the program file last. A failure
// anywhere leaves the files that stood there before as they were, and the
// temporary files of a save that was killed are removed by the next save of
// the same names.
#include <cstdint>
#include <string>

#include "kernel/tkf/enginebridge.h"

// The pattern file names that the program file programFile gives the
// present planes, in tag order (planes 0, 2, 1): the first six characters of
// its name followed by "_p.TIF", "_q" (the bridge adds ".TIF") and
// "_y.TIF"; an absent plane gets an empty name.
PatternNames ProgramPatternNames(const std::string& programFile);

// Saves the program as programFile with its pattern files (the save's
// working files go to tempFolder). 0; or the code of the step that failed
// (301 for a file that could not be written), its message shown.
uint16_t SaveWholeProgram(const std::string& programFile, const std::string& tempFolder);
