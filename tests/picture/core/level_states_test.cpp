#include <gtest/gtest.h>

#include "picture/core/level_states.h"

namespace {

struct Seen {
    std::vector<uint8_t> states;
    uint16_t current;
    uint16_t reference;
};

Seen Look(const LevelStates& l)
{
    return {l.States(), l.CurrentLevel(), l.ReferenceLevel()};
}

void ExpectSeen(const LevelStates& l, std::vector<uint8_t> states, uint16_t current, uint16_t reference)
{
    const Seen s = Look(l);
    EXPECT_EQ(s.states, states);
    EXPECT_EQ(s.current, current);
    EXPECT_EQ(s.reference, reference);
}

LevelStates Tabs(std::vector<uint8_t> states, std::bitset<256> exclusive = {})
{
    LevelStates l;
    EXPECT_TRUE(l.BuildTabs(states.size(), states.size(), exclusive));
    EXPECT_TRUE(l.Apply(states));
    return l;
}

TEST(LevelStates, NewWindowHasOneCurrentLevel)
{
    LevelStates l;
    ExpectSeen(l, {3}, 1, 255);
    EXPECT_EQ(l.ReferencePresent(), 0);
    EXPECT_EQ(l.TabCount(), 0);
    // Without tabs the states do not fit and stay.
    EXPECT_FALSE(l.Apply({2, 2}));
    ExpectSeen(l, {3}, 1, 255);
}

TEST(LevelStates, BuildOnceAndOnlyWithNames)
{
    LevelStates l;
    EXPECT_FALSE(l.BuildTabs(0, 3, {}));
    ExpectSeen(l, {3}, 1, 255);
    EXPECT_TRUE(l.BuildTabs(3, 2, {}));
    EXPECT_EQ(l.TabCount(), 2);
    ExpectSeen(l, {1, 1}, 1, 255);
    EXPECT_FALSE(l.BuildTabs(4, 4, {}));
    EXPECT_EQ(l.TabCount(), 2);
    LevelStates many;
    EXPECT_TRUE(many.BuildTabs(300, 300, {}));
    EXPECT_EQ(many.TabCount(), 255);
}

TEST(LevelStates, ApplySetsCurrentAndReference)
{
    LevelStates l = Tabs({3, 1, 1});
    ExpectSeen(l, {3, 1, 1}, 1, 255);
    // Too few states: nothing taken, no reference.
    EXPECT_FALSE(l.Apply({2, 3}));
    ExpectSeen(l, {3, 1, 1}, 1, 255);
    // No current level among the states: none, not the previous one.
    EXPECT_TRUE(l.Apply({0, 1, 1}));
    ExpectSeen(l, {0, 1, 1}, 0, 255);
    // Two included levels: no reference, though one is present.
    EXPECT_TRUE(l.Apply({2, 3, 2}));
    ExpectSeen(l, {2, 3, 2}, 2, 255);
    EXPECT_EQ(l.ReferencePresent(), 1);
    EXPECT_TRUE(l.Apply({1, 3, 2}));
    ExpectSeen(l, {1, 3, 2}, 2, 3);
}

TEST(LevelStates, TabClicks)
{
    LevelStates l = Tabs({3, 1, 1});
    const struct {
        int tab;
        TabButton button;
        std::vector<uint8_t> states;
        uint16_t current;
        uint16_t reference;
    } steps[] = {
        {1, TabButton::Left, {3, 2, 1}, 1, 2},  {1, TabButton::Left, {2, 3, 1}, 2, 1},
        {0, TabButton::Right, {1, 3, 1}, 2, 255}, {2, TabButton::Right, {1, 2, 3}, 3, 2},
        // Current stays current; off is set only by the window.
        {2, TabButton::Left, {1, 2, 3}, 3, 2},  {2, TabButton::Right, {1, 2, 3}, 3, 2},
    };
    for (const auto& s : steps) {
        l.TabClick(s.tab, s.button);
        l.Apply(l.States());
        ExpectSeen(l, s.states, s.current, s.reference);
    }
    LevelStates off = Tabs({0, 3, 1});
    off.TabClick(0, TabButton::Left);
    off.TabClick(0, TabButton::Right);
    off.TabClick(7, TabButton::Left);
    EXPECT_EQ(off.States(), (std::vector<uint8_t>{0, 3, 1}));
}

TEST(LevelStates, ExclusiveSetAndSelect)
{
    LevelStates l = Tabs({3, 1, 1}, std::bitset<256>("11"));
    l.TabClick(1, TabButton::Left);
    l.Apply(l.States());
    ExpectSeen(l, {1, 3, 1}, 2, 255);
    // Outside the set nothing happens.
    l.MakeLevelCurrent(2);
    EXPECT_EQ(l.States(), (std::vector<uint8_t>{1, 3, 1}));

    LevelStates s = Tabs({3, 1, 2});
    EXPECT_TRUE(s.SelectLevel(2));
    EXPECT_EQ(s.States(), (std::vector<uint8_t>{1, 1, 3}));
    LevelStates o = Tabs({3, 1, 0});
    EXPECT_FALSE(o.SelectLevel(2));
    EXPECT_FALSE(o.SelectLevel(3));
    EXPECT_EQ(o.States(), (std::vector<uint8_t>{3, 1, 0}));
    o.DemoteCurrentLevel();
    EXPECT_EQ(o.States(), (std::vector<uint8_t>{2, 1, 0}));
}

}  // namespace
