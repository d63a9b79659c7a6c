#include "picture/core/pane_layout.h"

#include <algorithm>
#include <numeric>

int PaneLayout::Total() const
{
    return std::accumulate(widths_.begin(), widths_.end(), 0);
}

int PaneLayout::Left(int p) const
{
    return std::accumulate(widths_.begin(), widths_.begin() + p, 0);
}

bool PaneLayout::Split(int p, int x, bool allowed)
{
    if (!allowed || p < 0 || p >= Count())
        return false;
    const int old = widths_[p];
    if (x < kMinimumPane || x + kMinimumPane > old)
        return false;
    const int total = Total();
    widths_[p] = x - kSplitterWidth;
    widths_.insert(widths_.begin() + p + 1, old - x);
    Resize(total);
    return true;
}

bool PaneLayout::Join(int p)
{
    if (Count() < 2 || p < 0 || p >= Count())
        return false;
    const int total = Total();
    const int freed = widths_[p];
    widths_.erase(widths_.begin() + p);
    if (p < Count())
        widths_[p] += freed;
    Resize(total);
    return true;
}

int PaneLayout::SplitterAt(int x) const
{
    int right = 0;
    for (int p = 0; p + 1 < Count(); ++p) {
        right += widths_[p];
        if (x >= right - kSplitterWidth && x < right)
            return p;
    }
    return -1;
}

int PaneLayout::MoveSplitter(int p, int newWidth)
{
    if (p < 0 || p + 1 >= Count())
        return p >= 0 && p < Count() ? widths_[p] : 0;
    const int pair = widths_[p] + widths_[p + 1];
    const int lowest = kMinimumPane + kSplitterWidth;
    const int highest = pair - (SplitterWidth(p + 1) + kMinimumPane);
    newWidth = std::clamp(newWidth, lowest, std::max(lowest, highest));
    widths_[p + 1] = pair - newWidth;
    widths_[p] = newWidth;
    return newWidth;
}

void PaneLayout::Resize(int totalWidth)
{
    const int others = Total() - widths_.back();
    widths_.back() = std::max(0, totalWidth - others);
}

int PaneLayout::Widest() const
{
    return static_cast<int>(std::max_element(widths_.begin(), widths_.end()) - widths_.begin());
}

int PaneLayout::MinimumFormWidth(int frameExtra, int rightOfPanes) const
{
    return Left(Count() - 1) + kMinimumPane + frameExtra + rightOfPanes;
}
