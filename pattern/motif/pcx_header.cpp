#include "pattern/motif/pcx_header.h"

#include "kernel/model/bytes.h"

int32_t PcxHeader::Width() const
{
    return int32_t{get_u16(bytes.data(), kXMax)} - int32_t{get_u16(bytes.data(), kXMin)} + 1;
}

int32_t PcxHeader::Height() const
{
    return int32_t{get_u16(bytes.data(), kYMax)} - int32_t{get_u16(bytes.data(), kYMin)} + 1;
}

PcxHeader PcxHeader::ForEightBits(int32_t width, int32_t height)
{
    PcxHeader h;
    uint8_t* b = h.bytes.data();
    b[0] = 10;
    b[1] = 5;
    b[2] = 1;
    b[kBitsPerPixel] = 8;
    put_u16(b, kXMax, static_cast<uint16_t>(width - 1));
    put_u16(b, kYMax, static_cast<uint16_t>(height - 1));
    put_u16(b, kXResolution, static_cast<uint16_t>(width));
    put_u16(b, kYResolution, static_cast<uint16_t>(height));
    b[kPlanes] = 1;
    put_u16(b, kBytesPerLine, static_cast<uint16_t>(width));
    return h;
}
