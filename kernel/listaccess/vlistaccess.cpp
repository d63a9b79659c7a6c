#include "kernel/listaccess/listaccess.h"

uint16_t accessVList(ProgramCommandBlock&, uint8_t)
{
    return 0;
}
