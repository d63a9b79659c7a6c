#include "kernel/listaccess/listaccess.h"

uint16_t accessPList(ProgramCommandBlock&, uint8_t)
{
    return 0;
}
