#pragma once
// The fixed staircase of slope x columns by slope y rows: the column and
// row counters of each step, and where a step lands from the start towards
// the target.
#include <cstdint>

class StaircaseSteps {
public:
    // Nothing is walked unless every coordinate is at least 1 (Valid()).
    StaircaseSteps(int64_t x0, int64_t x1, int64_t y0, int64_t y1, int32_t slopeX, int32_t slopeY);

    bool Valid() const { return valid_; }
    bool Done() const { return j_ >= ty_ && i_ >= tx_; }
    void Advance();
    int64_t X() const;
    int64_t Y() const;
    int64_t I() const { return i_; }
    int64_t J() const { return j_; }

private:
    int64_t x0_, y0_, dx_, dy_, tx_ = 0, ty_ = 0;
    int64_t sx_, sy_;
    int64_t i_ = 0;
    int64_t j_ = 0;
    bool carry_ = false;
    bool valid_;
};
