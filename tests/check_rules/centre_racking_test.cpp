// The centre racking check: systems sweeping the room, receive actions
// opposite the transfers, the change of racking after the gap, message 15.
#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "check/rules/centreracking.h"
#include "kernel/model/family_data.h"
#include "tests/check_rules/check_rules_testing.h"

namespace {

using checktest::Needles;
using checktest::NeedlesWith;
using Actions = std::vector<T_NadelAktion>;
using NeedleList = std::vector<int>;
using Positions = std::vector<std::optional<int>>;

class checkCentreRacking : public checktest::CheckRulesTest {
protected:
    std::vector<Actions> fronts, backs;
    std::vector<SystemActions> systems;
    CentreRackingInput in;

    void make(int width, int n)
    {
        fronts.assign(size_t(n), Actions(size_t(width) + 1, 0));
        backs.assign(size_t(n), Actions(size_t(width) + 1, 0));
        in.width = width;
        in.systemCount = n;
        in.model = "999";
        in.sLine = 1;
        in.zRow = 1;
    }
    static void put(Actions& bed, int first, int last, T_NadelAktion a)
    {
        for (int i = first; i <= last; ++i)
            bed[size_t(i)] = a;
    }
    Positions run()
    {
        systems.clear();
        for (size_t i = 0; i < fronts.size(); ++i)
            systems.push_back({fronts[i], backs[i]});
        in.systems = systems;
        return CentreRackingCheck(in);
    }
};

const std::string kMessage15 = "S0001 Z0001: Mittenversatz kann nicht ausgeführt werden!";

}  // namespace

TEST(checkCentreRackingGeometry, RoundingHalvesToEven)
{
    EXPECT_EQ(CentreRackingGap(7), 52);
    EXPECT_EQ(CentreRackingGap(3), 22);
    EXPECT_EQ(CentreRackingGap(5), 38);
    EXPECT_EQ(CentreRackingGap(12), 90);
    EXPECT_EQ(CheckSystemDistance(5, "999", 2), 32);
    EXPECT_EQ(CheckSystemDistance(7, "999", 2), 46);
    EXPECT_EQ(CheckSystemDistance(3, "999", 1), 20);
    // The wide pairs of the family data, and the same models with another
    // system count.
    for (const WideDistance& wide : kWideDistanceModels) {
        EXPECT_EQ(CheckSystemDistance(5, wide.number, wide.systems), 45) << wide.number;
        EXPECT_EQ(CheckSystemDistance(7, wide.number, wide.systems), 63) << wide.number;
        EXPECT_EQ(CheckSystemDistance(5, wide.number, wide.systems + 1), 32) << wide.number;
    }
}

TEST_F(checkCentreRacking, ChangeAfterTheGapAndTransfersBehindIt)
{
    make(200, 1);
    in.gauge = 7;
    in.toRight = true;
    in.currentAmount = 0;
    in.newAmount = 2;
    put(backs[0], 1, 20, 24);
    put(backs[0], 100, 120, 24);
    EXPECT_EQ(run(), (Positions{72}));
    EXPECT_EQ(NeedlesWith(fronts[0], 25), Needles({{1, 20}, {98, 118}}));
    EXPECT_EQ(NeedlesWith(backs[0], 25), NeedleList{});
    EXPECT_TRUE(sink.empty());
}

TEST_F(checkCentreRacking, NoTransferAfterTheChange)
{
    make(200, 1);
    in.gauge = 7;
    in.newAmount = 2;
    put(backs[0], 1, 20, 24);
    EXPECT_EQ(run(), (Positions{72}));
    EXPECT_EQ(NeedlesWith(fronts[0], 25), Needles({{1, 20}}));
    EXPECT_EQ(Lines(), (std::vector<std::string>{kMessage15}));
    EXPECT_EQ(CheckState.errorCount, 1);
}

TEST_F(checkCentreRacking, ChangeThatNeverComes)
{
    // No transfer at all.
    make(200, 1);
    in.gauge = 7;
    in.newAmount = 2;
    EXPECT_EQ(run(), (Positions{std::nullopt}));
    EXPECT_EQ(Lines(), (std::vector<std::string>{kMessage15}));

    // The room ends before the gap is reached.
    sink.clear();
    make(60, 1);
    in.gauge = 7;
    put(backs[0], 1, 20, 24);
    EXPECT_EQ(run(), (Positions{std::nullopt}));
    EXPECT_EQ(NeedlesWith(fronts[0], 25), Needles({{1, 20}}));
    EXPECT_EQ(Lines(), (std::vector<std::string>{kMessage15}));
}

TEST_F(checkCentreRacking, StrokeToTheLeftAndTransfersFromTheFront)
{
    make(200, 1);
    in.gauge = 7;
    in.toRight = false;
    in.currentAmount = 0;
    in.newAmount = -2;
    put(fronts[0], 181, 200, 24);
    put(fronts[0], 60, 80, 24);
    // The system stands at 201 - t: transfers end at 181 (t = 20), the
    // change comes 52 steps later at t = 72.
    EXPECT_EQ(run(), (Positions{129}));
    EXPECT_EQ(NeedlesWith(backs[0], 25), Needles({{58, 78}, {181, 200}}));
    EXPECT_TRUE(sink.empty());
}

TEST_F(checkCentreRacking, SystemsFollowEachOtherOneDistanceApart)
{
    // Gauge 2: distance 13, gap 15. System 1 leads; system 2 follows.
    make(100, 2);
    in.gauge = 2;
    in.newAmount = 1;
    put(backs[0], 1, 5, 24);
    backs[1][30] = 24;
    EXPECT_EQ(run(), (Positions{20, 7}));
    EXPECT_EQ(NeedlesWith(fronts[0], 25), Needles({{1, 5}}));
    EXPECT_EQ(NeedlesWith(fronts[1], 25), (NeedleList{29}));
    EXPECT_TRUE(sink.empty());

    // To the left the followers stand beyond the right end.
    make(100, 2);
    in.gauge = 2;
    in.toRight = false;
    in.newAmount = 1;
    put(backs[0], 96, 100, 24);
    backs[1][50] = 24;
    EXPECT_EQ(run(), (Positions{81, 94}));
    EXPECT_EQ(NeedlesWith(fronts[1], 25), (NeedleList{49}));
    EXPECT_TRUE(sink.empty());

    // The follower's hits count too: a late hit of system 2 delays the change.
    make(100, 2);
    in.gauge = 2;
    in.toRight = true;
    in.newAmount = 1;
    put(backs[0], 1, 5, 24);
    backs[1][3] = 24;  // system 2 stands there at t = 16
    backs[1][60] = 24;
    EXPECT_EQ(run(), (Positions{31, 18}));
    EXPECT_EQ(NeedlesWith(fronts[1], 25), (NeedleList{3, 59}));
}

TEST_F(checkCentreRacking, TargetsOutsideTheRoomAreSkipped)
{
    make(10, 1);
    in.gauge = 1;
    in.currentAmount = 28;
    in.newAmount = -28;
    put(backs[0], 1, 10, 24);
    put(fronts[0], 1, 10, 24);
    run();
    EXPECT_EQ(NeedlesWith(fronts[0], 25), NeedleList{});
    EXPECT_EQ(Lines(), (std::vector<std::string>{kMessage15}));

    Actions small(5);
    std::vector<SystemActions> bad = {{small, small}};
    in.systems = bad;
    EXPECT_THROW(CentreRackingCheck(in), std::invalid_argument);
}
