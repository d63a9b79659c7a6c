#include "kernel/listaccess/listaccess.h"

uint16_t accessSetupList(ProgramCommandBlock&, uint8_t, uint8_t)
{
    return 0;
}
