#include "kernel/listaccess/listaccess.h"

uint16_t accessSList(ProgramCommandBlock&, uint8_t)
{
    return 0;
}
