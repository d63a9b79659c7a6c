#include "pattern/shapes/paint_state.h"

PaintState::PaintState()
{
    T[255] = 1;
}
