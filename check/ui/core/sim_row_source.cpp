#include "check/ui/core/sim_row_source.h"

#include "check/simdll.h"

uint16_t DllSimRowSource::height()
{
    return SimDllGetSimHoehe();
}

bool DllSimRowSource::row(uint16_t rowFromTop, uint16_t cellWidth, uint16_t row, bool oldYarnHidden,
                          bool densityHidden, SimDllRow& out)
{
    return SimDllGetSimInfo(rowFromTop, cellWidth, row, oldYarnHidden ? 1 : 0, densityHidden ? 1 : 0, out);
}

uint8_t DllSimRowSource::carrierOf(uint8_t colour)
{
    return SimDllGetSimFfInfo(colour);
}

SimExtras DllSimRowSource::extras(uint8_t colour, uint16_t column, uint16_t row)
{
    return SimDllGetSimExtras(true, colour, column, row);
}

std::string DllSimRowSource::comment(uint16_t row)
{
    return SimDllGetKommentar(row);
}
