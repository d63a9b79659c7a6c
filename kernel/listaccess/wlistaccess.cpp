#include "kernel/listaccess/listaccess.h"

uint16_t accessWList(ProgramCommandBlock&, uint8_t)
{
    return 0;
}
