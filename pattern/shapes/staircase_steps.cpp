#include "pattern/shapes/staircase_steps.h"

#include <cstdlib>

StaircaseSteps::StaircaseSteps(int64_t x0, int64_t x1, int64_t y0, int64_t y1, int32_t slopeX, int32_t slopeY)
    : x0_(x0), y0_(y0), dx_(x0 - x1), dy_(y1 - y0), sx_(slopeX < 1 ? 1 : slopeX), sy_(slopeY < 1 ? 1 : slopeY),
      valid_(x0 >= 1 && x1 >= 1 && y0 >= 1 && y1 >= 1)
{
    tx_ = (std::llabs(dx_) + sx_ - 1) / sx_ * sx_;
    ty_ = (std::llabs(dy_) + sy_ - 1) / sy_ * sy_;
}

void StaircaseSteps::Advance()
{
    if (sy_ == 1 || sx_ == 1) {
        if ((j_ + 1) % sy_ == 0) {
            ++i_;
            if (i_ % sx_ == 0)
                ++j_;
        } else {
            ++j_;
        }
        return;
    }
    if (j_ % sy_ == 0 && j_ > 0) {
        if ((i_ + 1) % sx_ == 0 && i_ > 0) {
            ++i_;
            carry_ = true;
        } else if (carry_) {
            ++j_;
            carry_ = false;
        } else {
            ++i_;
        }
    } else {
        ++j_;
    }
}

int64_t StaircaseSteps::X() const
{
    return dx_ > 0 ? x0_ - i_ : dx_ < 0 ? x0_ + i_ : x0_;
}

int64_t StaircaseSteps::Y() const
{
    return dy_ > 0 ? y0_ + j_ : dy_ < 0 ? y0_ - j_ : y0_;
}
