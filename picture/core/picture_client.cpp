#include "picture/core/picture_client.h"

#include "picture/core/cell_size.h"

uint8_t PictureClient::CellSizeFromZoom(uint8_t step)
{
    return ::CellSizeFromZoom(step, zoomFactor);
}
