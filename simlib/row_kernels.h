#pragma once
// The inner loops of a row fetch, built for vectorising (row_kernels.cpp
// is compiled with -O3).
#include <cstddef>
#include <cstdint>

namespace vpsim {

// third[i] := -2 where first[i] < line (the bed acted in an earlier line),
// else -1.
void MarkEarlierLines(int8_t* third, const uint32_t* first, size_t n, uint32_t line);
// third[i] := -1 where shapes[i] is not 0 (the needle acts in this line).
void ClearActing(int8_t* third, const uint8_t* shapes, size_t n);

}  // namespace vpsim
