// The program header, the set-up record and the pattern planes.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "kernel/model/bytes.h"
#include "kernel/model/programmodel.h"

namespace {
uint16_t HeaderU16(size_t off)
{
    return get_u16(ProgrammKopf.data(), off);
}

// A pattern of width x height with plane 0's rows allocated.
void MakePattern(uint16_t width, uint16_t height)
{
    ProgrammKopf.SetWidth(width);
    ProgrammKopf.SetHeight(height);
    BildEbene0.allocate(height);
}

uint8_t& Cell(T_Patrone& plane, size_t x, size_t y)
{
    return plane.rows[y * kPatternStride + x - 1];
}
}  // namespace

TEST(ProgramHeader, GaugeFields)
{
    EXPECT_EQ(sizeof(ProgrammKopf.b), 28u);
    EXPECT_EQ(sizeof(RuestSchema.b), 2580u);

    SetGaugeFields(ProgrammKopf, 5);
    EXPECT_EQ(HeaderU16(6), 140);
    EXPECT_EQ(HeaderU16(8), 12);
    SetGaugeFields(ProgrammKopf, 8);
    EXPECT_EQ(HeaderU16(6), 130);
    EXPECT_EQ(HeaderU16(8), 20);
    SetGaugeFields(ProgrammKopf, 4);
    EXPECT_EQ(HeaderU16(6), 250);
    SetGaugeFields(ProgrammKopf, 14);
    EXPECT_EQ(HeaderU16(6), 80);
    EXPECT_EQ(HeaderU16(8), 35);
    SetGaugeFields(ProgrammKopf, 25);  // outside every band: the limit stays
    EXPECT_EQ(HeaderU16(6), 80);
    EXPECT_EQ(HeaderU16(8), 62);
}

TEST(ProgramHeader, ModelFieldsFromTheModelTable)
{
    uint8_t* b = ProgrammKopf.data();
    SetModelFields(ProgrammKopf, "844");  // tandem with comb, four systems
    EXPECT_EQ(b[26], 4);
    EXPECT_EQ(b[10], 1);
    EXPECT_EQ(b[11], 1);
    SetModelFields(ProgrammKopf, "856");  // tandem, six systems, no comb
    EXPECT_EQ(b[26], 6);
    EXPECT_EQ(b[10], 1);
    EXPECT_EQ(b[11], 0);
    SetModelFields(ProgrammKopf, "311");
    EXPECT_EQ(b[26], 1);
    EXPECT_EQ(b[10], 0);
    for (const char* unknown : {"999", "11", ""}) {
        b[10] = b[11] = 1;
        SetModelFields(ProgrammKopf, unknown);
        EXPECT_EQ(b[26], 2) << unknown;
        EXPECT_EQ(b[10], 0) << unknown;
        EXPECT_EQ(b[11], 0) << unknown;
    }
}

TEST(SetUpRecord, FieldOffsets)
{
    uint8_t* r = RuestSchema.data();
    put_u16(r, T_RuestSchema::RoomStart(2, 3), 1234);
    put_u16(r, T_RuestSchema::RoomEnd(2, 3), 1300);
    put_i16(r, T_RuestSchema::CarrierSet1(1, 2, 2), -5);
    put_u16(r, T_RuestSchema::kFfMin, 4);
    EXPECT_EQ(r[64], 0xd2);
    EXPECT_EQ(r[65], 0x04);
    EXPECT_EQ(r[192], 0x14);
    EXPECT_EQ(r[193], 0x05);
    EXPECT_EQ(r[1600], 0xfb);
    EXPECT_EQ(r[1601], 0xff);
    EXPECT_EQ(r[2493], 0x04);
    EXPECT_EQ(r[2494], 0x00);

    // The ends of the repeated fields meet without gaps or overlaps.
    EXPECT_EQ(T_RuestSchema::RoomStart(1, 1), 44u);
    EXPECT_EQ(T_RuestSchema::RoomStart(8, 8) + 2, T_RuestSchema::RoomEnd(1, 1));
    EXPECT_EQ(T_RuestSchema::RoomEnd(8, 8) + 2, T_RuestSchema::CarrierType(1, 0));
    EXPECT_EQ(T_RuestSchema::CarrierAttr(8, 7) + 1, T_RuestSchema::CarrierSet2(0, 1, 0));
    EXPECT_EQ(T_RuestSchema::CarrierSet2(7, 8, 7) + 2, T_RuestSchema::CarrierSet1(0, 1, 0));
    EXPECT_EQ(T_RuestSchema::CarrierSet1(7, 8, 7) + 2, T_RuestSchema::Exchange(1));
    EXPECT_EQ(T_RuestSchema::Exchange(8) + 1, T_RuestSchema::kBackground);
}

TEST(PatternPlanes, PatternCell)
{
    MakePattern(10, 5);
    Cell(BildEbene0, 1, 1) = 0;
    Cell(BildEbene0, 3, 2) = 7;
    Cell(BildEbene0, 10, 5) = 98;
    Cell(BildEbene0, 9, 5) = 255;
    EXPECT_EQ(PatternCell(1, 1), 1);
    EXPECT_EQ(PatternCell(3, 2), 8);
    EXPECT_EQ(PatternCell(10, 5), 99);  // colour 98 looks like "outside"
    EXPECT_EQ(PatternCell(9, 5), 0);    // colour 255 wraps
    EXPECT_EQ(PatternCell(0, 1), 99);
    EXPECT_EQ(PatternCell(1, 0), 99);
    EXPECT_EQ(PatternCell(11, 1), 99);
    EXPECT_EQ(PatternCell(1, 6), 99);

    // A header wider than a row or taller than the rows held.
    MakePattern(3000, 2);
    ProgrammKopf.SetHeight(50);
    BildEbene0.rows[2 * kPatternStride + 1999] = 4;
    EXPECT_EQ(PatternCell(2000, 2), 5);
    EXPECT_EQ(PatternCell(2001, 2), 99);
    EXPECT_EQ(PatternCell(1, 3), 99);
}

TEST(PatternPlanes, RowAddresses)
{
    MakePattern(10, 5);
    BildEbene1.allocate(5);
    uint8_t* p = nullptr;
    EXPECT_EQ(F_PatroneRow(3, p, 1), BildEbene1.rows.data() + 3 * kPatternStride);
    EXPECT_EQ(p, BildEbene1.rows.data() + 3 * kPatternStride);
    // Above the height: row 0 of plane 0, whatever plane was asked for.
    EXPECT_EQ(F_PatroneRow(6, p, 2), BildEbene0.rows.data());
    EXPECT_EQ(p, BildEbene0.rows.data());

    // Plane 2 has no rows; an unknown plane leaves p alone. Both give a
    // writable row of no plane.
    uint8_t* q = F_PatroneRow(3, p, 2);
    EXPECT_EQ(p, q);
    std::memset(q, 0x77, kPatternStride);
    uint8_t* before = p;
    uint8_t* r = F_PatroneRow(3, p, 3);
    EXPECT_EQ(p, before);
    EXPECT_EQ(r[0], 0);  // handed out clean
    std::memset(r, 0x77, kPatternStride);
    for (T_Patrone* plane : {&BildEbene0, &BildEbene1})
        for (uint8_t cell : plane->rows)
            ASSERT_NE(cell, 0x77);
}

TEST(PatternPlanes, ReadAndWriteRows)
{
    MakePattern(10, 5);
    std::vector<uint8_t> in(5000, 0x11), out(5000, 0xaa);
    P_WritePatroneRow(2, in.data(), 5000, 0);  // cut at one row
    EXPECT_EQ(BildEbene0.rows[2 * kPatternStride + 1999], 0x11);
    EXPECT_EQ(BildEbene0.rows[3 * kPatternStride], 0);
    P_ReadPatroneRow(2, out.data(), 5000, 0);
    EXPECT_EQ(out[1999], 0x11);
    EXPECT_EQ(out[2000], 0xaa);

    // Rows the plane does not hold: reads give zeros, writes go nowhere.
    std::fill(out.begin(), out.end(), 0xaa);
    P_ReadPatroneRow(2, out.data(), 100, 1);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[99], 0);
    EXPECT_EQ(out[100], 0xaa);
    P_WritePatroneRow(2, in.data(), 100, 1);
    P_WritePatroneRow(2, in.data(), 100, 7);
    EXPECT_EQ(BildEbene1.rowCount(), 0u);
}

TEST(PatternPlanes, HeaderWithoutRows)
{
    ProgrammKopf.SetWidth(100);
    ProgrammKopf.SetHeight(50);
    EXPECT_EQ(PatternCell(1, 1), 99);
    EXPECT_EQ(PatternCell(100, 50), 99);
    std::vector<uint8_t> buf(2000, 0x22);
    P_WritePatroneRow(1, buf.data(), 2000, 0);
    P_WritePatroneRow(60, buf.data(), 2000, 0);  // row 0 of plane 0, not there either
    EXPECT_EQ(BildEbene0.rowCount(), 0u);
    P_ReadPatroneRow(60, buf.data(), 2000, 0);
    EXPECT_EQ(buf[1999], 0);
    uint8_t* p = nullptr;
    uint8_t* row = F_PatroneRow(60, p, 0);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row, p);
    std::memset(row, 1, kPatternStride);  // ASan: a real 2000-byte row
}
