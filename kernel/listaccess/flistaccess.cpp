#include "kernel/listaccess/listaccess.h"

uint16_t accessFList(ProgramCommandBlock&, uint8_t)
{
    return 0;
}
