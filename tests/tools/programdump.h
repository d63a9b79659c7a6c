#pragma once
// The program dump of the probes: one line per record, in a fixed order, so
// that two programs compare as text. "K" the program header, "R" the set-up
// record, then the lines of the lists Z N W S V F P A ("<letter> <line>
// <hex>"), then the rows of every present pattern plane ("B<p> <row> <hex of
// the row's width bytes>"). Hex is lower-case, two digits a byte.
#include <ostream>
#include <string>

void WriteProgramDump(std::ostream& out);
std::string ProgramDumpText();
