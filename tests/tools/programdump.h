#pragma once
// The program dump of the probes: one line per record, as PROBE.md gives it.
#include <string>

// "K <header>", "R <set-up record>", then "<letter> <line> <bytes>" for the
// lists Z N W S V F P A, then "B<plane> <row> <cells>" for the present
// pattern planes. Each line ends in "\n".
std::string ProgramDump();
