#include "kernel/model/programmodel.h"

#include <algorithm>
#include <cstring>

#include "kernel/model/workrecord.h"

static_assert(T_ProgrammKopf::kSize == 28);
static_assert(T_RuestSchema::kSize == 2580);
static_assert(T_RuestSchema::kComment + 81 <= T_RuestSchema::kSize);

T_ProgrammKopf ProgrammKopf;
T_RuestSchema RuestSchema;
T_Patrone BildEbene0;
T_Patrone BildEbene1;
T_Patrone BildEbene2;

// ---------------------------------------------------------------------------
// Header rules

void SetGaugeFields(T_ProgrammKopf& kopf, uint8_t gauge)
{
    uint8_t* b = kopf.data();
    // Gauges outside these bands keep whatever limit was there.
    if (gauge >= 1 && gauge <= 4)
        put_u16(b, 6, 250);
    else if (gauge == 5)
        put_u16(b, 6, 140);
    else if (gauge >= 6 && gauge <= 8)
        put_u16(b, 6, 130);
    else if (gauge >= 9 && gauge <= 14)
        put_u16(b, 6, 80);
    put_u16(b, 8, static_cast<uint16_t>(gauge * 2 + gauge / 2));
}

void SetModelFields(T_ProgrammKopf& kopf, const std::string& model)
{
    uint8_t* b = kopf.data();
    int pos = FindModel(model);
    if (pos == 0) {
        // An unknown model counts as a plain two-system machine.
        b[26] = 2;
        b[10] = 0;
        b[11] = 0;
        return;
    }
    b[26] = static_cast<uint8_t>(ModelColumnNumber(1, pos));
    b[10] = ModelColumnNumber(2, pos) > 1 ? 1 : 0;
    b[11] = ModelColumnNumber(3, pos) == 1 ? 1 : 0;
}

// ---------------------------------------------------------------------------
// Pattern planes

void T_Patrone::allocate(uint16_t height)
{
    rows.assign((size_t(height) + 1) * kPatternStride, 0);
}

void T_Patrone::release()
{
    rows.clear();
    rows.shrink_to_fit();
}

T_Patrone* PatternPlane(int plane)
{
    switch (plane) {
    case 0: return &BildEbene0;
    case 1: return &BildEbene1;
    case 2: return &BildEbene2;
    default: return nullptr;
    }
}

namespace {
// What callers get for a row no plane holds: it may be written (the bytes go
// nowhere) and reads as zeros when handed out.
uint8_t scratchRow[kPatternStride];

// The row the header and the plane number point at, or nullptr when the
// plane does not hold it. The header's height may claim more rows than were
// allocated (a new program keeps the size but drops the rows).
uint8_t* ResolveRow(uint16_t row, uint8_t plane)
{
    T_Patrone* p = nullptr;
    if (row > ProgrammKopf.Height()) {
        row = 0;
        p = &BildEbene0;
    } else {
        p = PatternPlane(plane);
    }
    if (!p || row >= p->rowCount())
        return nullptr;
    return p->rows.data() + size_t(row) * kPatternStride;
}

uint8_t* Scratch()
{
    std::memset(scratchRow, 0, sizeof scratchRow);
    return scratchRow;
}
}  // namespace

uint8_t* F_PatroneRow(uint16_t row, uint8_t*& p, uint8_t plane)
{
    uint8_t* address = ResolveRow(row, plane);
    bool unknownPlane = plane > 2 && row <= ProgrammKopf.Height();
    if (!address)
        address = Scratch();
    if (!unknownPlane)
        p = address;
    return address;
}

void P_ReadPatroneRow(uint16_t row, uint8_t* buffer, uint16_t count, uint8_t plane)
{
    size_t n = std::min<size_t>(count, kPatternStride);
    if (const uint8_t* address = ResolveRow(row, plane))
        std::memcpy(buffer, address, n);
    else
        std::memset(buffer, 0, n);
}

void P_WritePatroneRow(uint16_t row, const uint8_t* buffer, uint16_t count, uint8_t plane)
{
    size_t n = std::min<size_t>(count, kPatternStride);
    if (uint8_t* address = ResolveRow(row, plane))
        std::memcpy(address, buffer, n);
}

uint8_t PatternCell(uint16_t x, uint16_t y)
{
    if (x == 0 || y == 0 || x > ProgrammKopf.Width() || y > ProgrammKopf.Height())
        return 99;
    if (x > kPatternStride || y >= BildEbene0.rowCount())
        return 99;
    // Colour 98 thus reads like "outside", and colour 255 wraps to 0: callers
    // have always seen it so.
    return static_cast<uint8_t>(BildEbene0.rows[size_t(y) * kPatternStride + (x - 1)] + 1);
}
