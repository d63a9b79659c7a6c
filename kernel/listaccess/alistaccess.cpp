#include "kernel/listaccess/listaccess.h"

uint16_t accessAList(ProgramCommandBlock&, uint8_t)
{
    return 0;
}
