#include "tests/check_walk/walk_program.h"

#include <random>

#include "kernel/listaccess/nlistaccess.h"
#include "kernel/listaccess/plistaccess.h"
#include "kernel/listaccess/slistaccess.h"
#include "kernel/listaccess/zlistaccess.h"
#include "kernel/model/bytes.h"
#include "kernel/model/listmodel.h"
#include "kernel/model/programmodel.h"

void BuildWideProgram(uint16_t repeats)
{
    CreateProgramModel();
    ProgrammKopf.SetModel("856");
    SetModelFields(ProgrammKopf, "856");
    ProgrammKopf.SetGauge(7);
    SetGaugeFields(ProgrammKopf, 7);
    ProgrammKopf.SetWidth(2000);
    ProgrammKopf.SetHeight(16);
    BildEbene0.allocate(16);
    BildEbene0.present = true;
    std::mt19937 rng(11);
    for (size_t y = 1; y <= 16; ++y)
        for (size_t x = 0; x < 2000; ++x)
            BildEbene0.rows[y * kPatternStride + x] = uint8_t(rng() % 8);
    uint8_t* r = RuestSchema.data();
    r[T_RuestSchema::kLevel] = 1;
    put_u16(r, T_RuestSchema::RoomStart(1, 1), 1);
    put_u16(r, T_RuestSchema::RoomEnd(1, 1), 2001);
    put_u16(r, T_RuestSchema::kFfMin, 5);

    uint8_t* n = NListe->GetLine(1);
    put_u16(n, nline::kStart, 1);
    put_i16(n, nline::kOffset, 1999);
    put_u16(n, nline::kRepetitionCount, 1);

    uint8_t* s = SListe->GetLine(1);
    put_u16(s, sline::kStart, 1);
    put_i16(s, sline::kOffset, 1);
    put_u16(s, sline::kRepetitions, repeats);
    put_u16(s, sline::kNeedleStart, 1);

    for (uint16_t sys = 1; sys <= 6; ++sys) {
        uint8_t* p = PListe->GetLine(sys);
        put_u16(p, pline::kListNumber, sys);
        p[pline::kRail] = uint8_t(sys);
        p[pline::kBox] = 1;
        put_u32(p, pline::kColours, 1u << (sys % 8));
        put_i16(p, pline::kOffsetLeft, -32768);
        put_i16(p, pline::kOffsetRight, -32768);
    }
    for (uint16_t z = 1; z <= 2; ++z) {
        uint8_t* line = ZListe->GetLine(z);
        if (z == 1) {
            line[zline::kSpeedMode] = 1;
            put_u16(line, zline::kSpeedValue, 80);
            line[zline::kTakeDownMode] = 2;
            put_u16(line, zline::kTakeDownValue, 10);
        }
        for (int sys = 1; sys <= 6; ++sys) {
            put_u16(line + zline::System(sys), zline::kPListRef, uint16_t(sys));
            for (int side = 0; side < 2; ++side) {
                uint8_t* b = line + zline::Side(sys, side);
                b[zline::kCam] = 2;
                b[zline::kPatternMode] = 2;
                put_i16(b, zline::kPatternValue, int16_t(1 + sys));
                b[zline::kDensity1Mode] = 3;
                put_u16(b, zline::kDensity1Value, 12);
                b[zline::kDensity2Mode] = 3;
                put_u16(b, zline::kDensity2Value, 8);
                // Front: selection 1 on colours 0..3; back: selection 2 on 4..7.
                const size_t entry = side == 0 ? 0 : 1;
                put_u32(b, zline::kSelection + zline::kSelectionStep * entry, side == 0 ? 0x0Fu : 0xF0u);
            }
        }
    }
}
