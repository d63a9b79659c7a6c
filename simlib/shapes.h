#pragma once
// The cell-shape tables handed out by P_DllGetSimSym (layout: vpsimmod.h).
#include <array>
#include <cstdint>
#include <vector>

namespace vpsim {

// Shape numbers of the fabric cells.
enum Shape : uint8_t {
    kShapeNone = 0,
    kShapeKnit = 1,         // 'M'
    kShapeKnit2 = 2,        // 'm'
    kShapeTuck = 3,         // 'F'
    kShapeTuck2 = 4,        // 'f'
    kShapeG = 5,            // 'G'
    kShapeG2 = 6,           // 'g'
    kShapeS = 7,            // 'S'
    kShapeTransfer = 8,     // action 24
    kShapeReceive = 9,      // action 25
    kShapeOther = 10,       // any other action
    kShapeBlock = 11,       // a full cell
};
inline constexpr int kDrawnShapes = 12;
inline constexpr int kGridShape = 128;

constexpr std::array<uint8_t, 256> MakeActionShapes()
{
    std::array<uint8_t, 256> t{};
    for (int a = 1; a < 256; ++a)
        t[a] = kShapeOther;
    t['M'] = kShapeKnit;
    t['m'] = kShapeKnit2;
    t['F'] = kShapeTuck;
    t['f'] = kShapeTuck2;
    t['G'] = kShapeG;
    t['g'] = kShapeG2;
    t['S'] = kShapeS;
    t[24] = kShapeTransfer;
    t[25] = kShapeReceive;
    return t;
}
inline constexpr std::array<uint8_t, 256> kActionShapes = MakeActionShapes();

// The shape of a needle action byte.
inline uint8_t ShapeOfAction(uint8_t action)
{
    return kActionShapes[action];
}

// All tables, vpsim::kShapeBytes bytes.
std::vector<uint8_t> BuildShapeTables();

}  // namespace vpsim
