#pragma once
// The state of each level of a picture window and the rules of its level
// tabs. States: 0 off, 1 shown, 2 included (edits go to it and it takes part
// in the combined view), 3 current (at most one level). Tab indices are
// 0-based; level numbers 1-based, 0 meaning none.
#include <bitset>
#include <cstdint>
#include <vector>

enum class TabButton { Left, Right };

class LevelStates {
public:
    static constexpr uint16_t kNoReference = 255;

    // The tabs' count is the smaller of names and widths, at most 255; only
    // once, and only with at least one tab. False when nothing was built.
    // Every level starts shown; Apply with the given states follows.
    bool BuildTabs(size_t names, size_t widths, const std::bitset<256>& exclusive);
    // Takes the states when there are tabs and enough states for them (true);
    // sets current and reference level from them. The reference is the one
    // included level, when exactly one is.
    bool Apply(const std::vector<uint8_t>& states);
    // A press on a tab: left raises shown to included and included to
    // current; right makes shown current and included shown. Off and
    // current stay. The caller applies the result.
    void TabClick(int i, TabButton button);
    // For a member of the exclusive set: the other members that are not off
    // drop to shown, and it becomes current when no level is.
    void MakeLevelCurrent(int i);
    // Every current level becomes included.
    void DemoteCurrentLevel();
    // An existing level that is not off becomes current, every other level
    // that is not off shown. False when nothing changed.
    bool SelectLevel(int i);

    const std::vector<uint8_t>& States() const { return states_; }
    uint16_t CurrentLevel() const { return current_; }
    uint16_t ReferenceLevel() const { return reference_; }
    // Set by any included level, even when there are two (the reference is
    // then none).
    uint8_t ReferencePresent() const { return referencePresent_; }
    uint8_t TabCount() const { return tabCount_; }
    const std::bitset<256>& Exclusive() const { return exclusive_; }

private:
    bool Exists(int i) const { return i >= 0 && static_cast<size_t>(i) < states_.size(); }

    std::vector<uint8_t> states_{3};
    uint16_t current_ = 1;
    uint16_t reference_ = kNoReference;
    uint8_t referencePresent_ = 0;
    uint8_t tabCount_ = 0;
    std::bitset<256> exclusive_;
};
