#include "kernel/listaccess/listaccess.h"

uint16_t accessNList(ProgramCommandBlock&, uint8_t)
{
    return 0;
}
