#include "simlib/row_kernels.h"

#include "simlib/vpsimmod_abi.h"

namespace vpsim {

void MarkEarlierLines(int8_t* __restrict third, const uint32_t* __restrict first, size_t n, uint32_t line)
{
    for (size_t i = 0; i < n; ++i)
        third[i] = first[i] < line ? kThirdOldYarn : kThirdNone;
}

void ClearActing(int8_t* __restrict third, const uint8_t* __restrict shapes, size_t n)
{
    for (size_t i = 0; i < n; ++i)
        third[i] = shapes[i] ? kThirdNone : third[i];
}

}  // namespace vpsim
