#include "picture/core/level_states.h"

#include <algorithm>

bool LevelStates::BuildTabs(size_t names, size_t widths, const std::bitset<256>& exclusive)
{
    const size_t count = std::min<size_t>({names, widths, 255});
    if (tabCount_ != 0 || count == 0)
        return false;
    tabCount_ = static_cast<uint8_t>(count);
    exclusive_ = exclusive;
    states_.assign(count, 1);
    return true;
}

bool LevelStates::Apply(const std::vector<uint8_t>& states)
{
    reference_ = kNoReference;
    referencePresent_ = 0;
    if (tabCount_ < 1 || tabCount_ > states.size())
        return false;
    int included = 0;
    // No current level among the states means none, not the one of before.
    current_ = 0;
    for (size_t i = 0; i < tabCount_; ++i) {
        const uint8_t s = states[i];
        states_[i] = s;
        if (s == 3)
            current_ = static_cast<uint16_t>(i + 1);
        if (s == 2) {
            reference_ = static_cast<uint16_t>(i + 1);
            referencePresent_ = 1;
            ++included;
        }
    }
    if (included != 1)
        reference_ = kNoReference;
    return true;
}

void LevelStates::TabClick(int i, TabButton button)
{
    if (!Exists(i))
        return;
    uint8_t& s = states_[i];
    if (s == 1 && button == TabButton::Left) {
        s = 2;
        MakeLevelCurrent(i);
    } else if ((s == 2 && button == TabButton::Left) || (s == 1 && button == TabButton::Right)) {
        DemoteCurrentLevel();
        states_[i] = 3;
        MakeLevelCurrent(i);
    } else if (s == 2 && button == TabButton::Right) {
        s = 1;
    }
}

void LevelStates::MakeLevelCurrent(int i)
{
    if (!Exists(i) || i > 255 || !exclusive_.test(static_cast<size_t>(i)))
        return;
    for (size_t j = 0; j < states_.size() && j < exclusive_.size(); ++j)
        if (j != static_cast<size_t>(i) && exclusive_.test(j) && states_[j] != 0)
            states_[j] = 1;
    if (std::find(states_.begin(), states_.end(), 3) == states_.end())
        states_[i] = 3;
}

void LevelStates::DemoteCurrentLevel()
{
    std::replace(states_.begin(), states_.end(), uint8_t{3}, uint8_t{2});
}

bool LevelStates::SelectLevel(int i)
{
    if (!Exists(i) || states_[i] == 0)
        return false;
    for (uint8_t& s : states_)
        if (s != 0)
            s = 1;
    states_[i] = 3;
    return true;
}
