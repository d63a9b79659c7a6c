#pragma once
// The wide program of the benchmark and the allocation test: six systems,
// gauge 7, room 1..2001, pattern 2000 x 16 of 8 colours, N line 1 = columns
// 1..2000, S line 1 = rows 1..2 repeated; each system selects jacquard on
// the front (selection 1) and back (selection 2), has direct densities and
// one P line with a colour set.
#include <cstdint>

void BuildWideProgram(uint16_t repeats);
