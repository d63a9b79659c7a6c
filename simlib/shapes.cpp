#include "simlib/shapes.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "simlib/vpsimmod_abi.h"

namespace vpsim {

namespace {

// Pixel codes: 1 the stitch colour, 2 the passing yarn, 3 and 4 the marks,
// 8 the yarn of a second-density stitch.
uint8_t BasePixel(int shape, int i, int j, int w, int h)
{
    const double u = (i + 0.5) / w - 0.5;  // -0.5 .. 0.5, left to right
    const double v = (j + 0.5) / h;        // 0 .. 1, top to bottom
    const double t = std::max({0.5 / w, 0.5 / h, 0.08});
    auto vee = [&] { return std::fabs(std::fabs(u) - 0.4 * (1.0 - v)) < t; };
    auto arch = [&] { return std::fabs(std::fabs(u) - 0.4 * v) < t; };
    auto dot = [&] { return std::fabs(u) < 0.15 && std::fabs(v - 0.5) < 0.15; };
    switch (shape) {
    case kShapeNone:
        return j == h / 2 ? 2 : 0;
    case kShapeKnit:
        return vee() ? 1 : 0;
    case kShapeKnit2:
        return vee() ? 8 : 0;
    case kShapeTuck:
        return arch() ? 1 : (j == h / 2 ? 2 : 0);
    case kShapeTuck2:
        return arch() ? 8 : (j == h / 2 ? 2 : 0);
    case kShapeG:
        return dot() ? 3 : (vee() ? 1 : 0);
    case kShapeG2:
        return dot() ? 3 : (vee() ? 8 : 0);
    case kShapeS:
        return (std::fabs(u) > 0.3 || v < 0.2 || v > 0.8) ? 4 : 0;
    case kShapeTransfer:
        return (std::fabs(u) < t || (v < 0.45 && std::fabs(u) < 0.45 - v)) ? 1 : 0;
    case kShapeReceive:
        return (std::fabs(u) < t || (v > 0.55 && std::fabs(u) < v - 0.55)) ? 1 : 0;
    case kShapeOther:
        return (std::fabs(u - (v - 0.5)) < t || std::fabs(u + (v - 0.5)) < t) ? 3 : 0;
    case kShapeBlock:
        return 1;
    default:
        return 0;
    }
}

// The main code of a drawn shape, used when the cell is too small for it.
uint8_t MainCode(int shape)
{
    switch (shape) {
    case kShapeNone:
    case kShapeTuck:
    case kShapeTuck2:
        return 2;
    case kShapeKnit2:
    case kShapeG2:
        return 8;
    case kShapeS:
        return 4;
    case kShapeOther:
        return 3;
    default:
        return 1;
    }
}

}  // namespace

std::vector<uint8_t> BuildShapeTables()
{
    std::vector<uint8_t> out(kShapeBytes, 0);
    for (int w = 2; w <= 16; ++w) {
        const int h = ShapeHeight(w);
        uint8_t* table = out.data() + ShapeTableOffset(w);
        const size_t size = static_cast<size_t>(w) * h;
        for (int k = 0; k < kDrawnShapes; ++k) {
            uint8_t* s = table + k * size;
            bool any = false;
            for (int j = 0; j < h; ++j)
                for (int i = 0; i < w; ++i) {
                    s[j * w + i] = BasePixel(k, i, j, w, h);
                    any = any || s[j * w + i] != 0;
                }
            if (!any)
                s[(h / 2) * w + w / 2] = MainCode(k);
        }
        // The grid forms: the shape with the row line at the bottom and the
        // column line at the right.
        for (int k = 0; k < kGridShape; ++k) {
            const uint8_t* s = table + k * size;
            uint8_t* g = table + (kGridShape + k) * size;
            std::copy(s, s + size, g);
            for (int i = 0; i < w; ++i)
                g[(h - 1) * w + i] = 5;
            for (int j = 0; j < h; ++j)
                g[j * w + w - 1] = 6;
            g[(h - 1) * w + w - 1] = 7;
        }
    }
    return out;
}

}  // namespace vpsim
