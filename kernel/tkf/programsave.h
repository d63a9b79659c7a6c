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

// The message of a save refused because the file's name or path is longer
// than the file system takes, naming the file.
std::string NameTooLongMessage(const std::string& path);

// Saves the program as programFile with its pattern files (the save's
// working files go to tempFolder). 0; or the code of the step that failed
// (301 for a file that could not be written), its message shown. A save
// that could not be opened again (a pattern file name the program file
// cannot store in Windows-1252, a name too long) is refused with 301 and
// its message before anything is written.
uint16_t SaveWholeProgram(const std::string& programFile, const std::string& tempFolder);
