// Needle selection of one system: cam codes, fixed and net patterns,
// jacquard, the racking shift, the net back, the plain-knit pass, the
// automatic receive, the intarsia tie-in and their messages.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "check/rules/needleselection.h"
#include "check/rules/selectionkinds.h"
#include "kernel/listaccess/listaccess.h"
#include "kernel/model/listmodel.h"
#include "kernel/model/programcommandblock.h"
#include "kernel/model/workrecord.h"
#include "tests/check_rules/check_rules_testing.h"

namespace {

using checktest::IdentityMap;
using checktest::Needles;
using checktest::NeedlesWith;
using checktest::SystemBlock;
using Actions = std::vector<T_NadelAktion>;
using NeedleList = std::vector<int>;

constexpr uint32_t Bit(int i)
{
    return 1u << i;
}

class checkSelection : public checktest::CheckRulesTest {
protected:
    SystemBlock block;
    SystemSelectionInput in;
    std::vector<uint16_t> map;
    Actions front, back;

    void SetUp() override
    {
        CheckRulesTest::SetUp();
        setWidth(8);
        in.place = {1, 1, 1};
    }
    void setWidth(int w)
    {
        in.width = w;
        map = IdentityMap(w);
    }
    SystemSelectionResult select()
    {
        in.block = block.b;
        in.needleMap = map;
        // Exactly W + 1 entries, so that a write past the room trips ASan.
        front.assign(size_t(in.width) + 1, 0);
        back.assign(size_t(in.width) + 1, 0);
        return SelectSystemNeedles(in, front, back);
    }
    // The row of the jacquard cases: W = 20, colour 19 ("A") on columns
    // 5..10 of row 1, colour 0 elsewhere.
    void jacquardRow()
    {
        setWidth(20);
        checktest::MakePattern(20, 4);
        for (uint16_t x = 5; x <= 10; ++x)
            checktest::SetCell(x, 1, 19);
        in.frontRow = 1;
        in.backRow = 1;
    }
};

}  // namespace

TEST(checkSelectionKinds, PatternsOfFixedAndNetKinds)
{
    const std::map<int, std::string> expected = {
        {1, "1"},           {3, "01"},          {4, "101"},
        {5, "10"},          {6, "010"},         {11, "1"},
        {12, "10"},         {13, "01"},         {14, "10"},
        {15, "1000"},       {16, "0010"},       {17, "100"},
        {18, "100000"},     {19, "000100"},     {20, "1000"},
        {21, "10000000"},   {22, "00001000"},   {23, "10000"},
        {24, "1000000000"}, {25, "0000010000"}, {26, "100000"},
        {27, "100000000000"}, {28, "000000100000"},
    };
    for (int kind = 0; kind <= 255; ++kind) {
        const auto it = expected.find(kind);
        EXPECT_EQ(std::string(SelectionKindPattern(uint8_t(kind))), it == expected.end() ? "" : it->second)
            << kind;
        EXPECT_EQ(IsFixedSelectionKind(uint8_t(kind)), kind == 1 || (kind >= 3 && kind <= 6)) << kind;
        EXPECT_EQ(IsNetKind(uint8_t(kind)), kind >= 11 && kind <= 28) << kind;
    }
}

TEST_F(checkSelection, EveryKindTargetsItsPatternRepeated)
{
    // A fixed kind selects in the first pass, a net kind on the net back;
    // with the back bed empty both reach every "1" of the pattern.
    setWidth(24);
    const std::map<int, std::string> patterns = {
        {1, "1"},         {3, "01"},        {4, "101"},       {5, "10"},         {6, "010"},
        {11, "1"},        {12, "10"},       {13, "01"},       {14, "10"},        {15, "1000"},
        {16, "0010"},     {17, "100"},      {18, "100000"},   {19, "000100"},    {20, "1000"},
        {21, "10000000"}, {22, "00001000"}, {23, "10000"},    {24, "1000000000"}, {25, "0000010000"},
        {26, "100000"},   {27, "100000000000"}, {28, "000000100000"},
    };
    for (const auto& [kind, pattern] : patterns) {
        block = SystemBlock().cam(0, 2).entry(0, 0, 0, uint8_t(kind));
        select();
        NeedleList want;
        for (int i = 1; i <= 24; ++i)
            if (pattern[size_t(i - 1) % pattern.size()] == '1')
                want.push_back(i);
        EXPECT_EQ(NeedlesWith(front, 'M'), want) << kind;
        EXPECT_EQ(NeedlesWith(back, 'M'), NeedleList{}) << kind;
    }
    block = SystemBlock().cam(0, 2).entry(0, 0, 0, 4);
    select();
    EXPECT_EQ(NeedlesWith(front, 'M'), (NeedleList{1, 3, 4, 6, 7, 9, 10, 12, 13, 15, 16, 18, 19, 21, 22, 24}));
    block = SystemBlock().cam(0, 2).entry(0, 0, 0, 16);
    select();
    EXPECT_EQ(NeedlesWith(front, 'M'), (NeedleList{3, 7, 11, 15, 19, 23}));
    block = SystemBlock().cam(0, 2).entry(0, 0, 0, 25);
    select();
    EXPECT_EQ(NeedlesWith(front, 'M'), (NeedleList{6, 16}));
    EXPECT_TRUE(Lines().empty());
}

TEST_F(checkSelection, CamCodes)
{
    const NeedleList odd = {1, 3, 5, 7}, even = {2, 4, 6, 8};
    auto run = [&](uint8_t setting) {
        block.cam(0, setting).entry(0, 0, 0, 5).entry(0, 1, 0, 3);
        select();
    };
    block = SystemBlock();
    run(2);
    EXPECT_EQ(NeedlesWith(front, 'M'), odd);
    EXPECT_EQ(NeedlesWith(front, 'F'), even);

    block = SystemBlock();
    run(3);
    EXPECT_EQ(NeedlesWith(front, 24), odd);
    EXPECT_EQ(NeedlesWith(front, 25), even);

    // With yarn carriers, setting 3 is code 5. The back's "S" everywhere
    // keeps the plain-knit pass off the "G"s.
    for (bool positionList : {true, false}) {
        block = SystemBlock().cam(1, 4).entry(1, 1, 0, 1);
        if (positionList)
            block.positionList(12);
        else
            block.carriers(0x80);
        run(3);
        EXPECT_EQ(NeedlesWith(front, 'G'), odd) << positionList;
        EXPECT_EQ(NeedlesWith(front, 'F'), even) << positionList;
    }

    block = SystemBlock().cam(1, 4).entry(1, 1, 0, 1);
    run(4);
    EXPECT_EQ(NeedlesWith(front, 'G'), odd);
    EXPECT_EQ(NeedlesWith(front, 'S'), even);
    EXPECT_EQ(NeedlesWith(back, 'S'), Needles({{1, 8}}));

    for (uint8_t setting : {0, 1, 5, 200}) {
        block = SystemBlock();
        run(setting);
        EXPECT_EQ(NeedlesWith(front, 0), Needles({{1, 8}})) << int(setting);
    }
    EXPECT_TRUE(Lines().empty());
}

TEST_F(checkSelection, OverlapAndSecondDensity)
{
    block = SystemBlock().cam(0, 2).entry(0, 0, 0, 1).entry(0, 1, 0, 1);
    select();
    EXPECT_EQ(NeedlesWith(front, 'M'), Needles({{1, 8}}));
    EXPECT_EQ(Lines(), (std::vector<std::string>{"S0001 Z0001 Sys1 vorne: Lang- und Kurzauswahl überschneidet sich!"}));

    sink.clear();
    block = SystemBlock().cam(0, 2).entry(0, 0, 0, 5).entry(0, 2, 0, 1);
    select();
    EXPECT_EQ(NeedlesWith(front, 'm'), (NeedleList{1, 3, 5, 7}));
    EXPECT_EQ(NeedlesWith(front, 0), (NeedleList{2, 4, 6, 8}));
    EXPECT_EQ(Lines(),
              (std::vector<std::string>{
                  "S0001 Z0001 Sys1 vorne: Es können nur selektierte Nadeln mit 2. Festigkeit arbeiten!"}));

    // The second form of each action; 24, 25 and "S" stay.
    sink.clear();
    block = SystemBlock().cam(0, 2).entry(0, 0, 0, 5).entry(0, 1, 0, 3).entry(0, 2, 0, 1);
    select();
    EXPECT_EQ(NeedlesWith(front, 'm'), (NeedleList{1, 3, 5, 7}));
    EXPECT_EQ(NeedlesWith(front, 'f'), (NeedleList{2, 4, 6, 8}));
    block = SystemBlock().cam(0, 3).entry(0, 0, 0, 5).entry(0, 1, 0, 3).entry(0, 2, 0, 1);
    select();
    EXPECT_EQ(NeedlesWith(front, 24), (NeedleList{1, 3, 5, 7}));
    EXPECT_EQ(NeedlesWith(front, 25), (NeedleList{2, 4, 6, 8}));
    EXPECT_TRUE(Lines().empty());
}

TEST_F(checkSelection, StaleActionsOfTheLastStrokeAreCleared)
{
    block = SystemBlock().cam(0, 2).cam(1, 2).entry(0, 0, 0, 5).entry(1, 0, 0, 3);
    in.block = block.b;
    in.needleMap = map;
    front.assign(9, 'F');
    back.assign(9, 'M');
    SelectSystemNeedles(in, front, back);
    EXPECT_EQ(front, (Actions{0, 'M', 0, 'M', 0, 'M', 0, 'M', 0}));
    EXPECT_EQ(back, (Actions{0, 0, 'M', 0, 'M', 0, 'M', 0, 'M'}));
    EXPECT_TRUE(Lines().empty());
}

TEST_F(checkSelection, Jacquard)
{
    jacquardRow();
    block = SystemBlock().cam(0, 2).entry(0, 0, Bit(19), 0);
    SystemSelectionResult r = select();
    EXPECT_EQ(NeedlesWith(front, 'M'), Needles({{5, 10}}));
    EXPECT_TRUE(r.selected[0]);
    EXPECT_FALSE(r.selected[1]);

    // Colours beyond 31 are in no set; bits 30 and 31 count like the rest.
    checktest::SetCell(3, 1, 40);
    checktest::SetCell(12, 1, 31);
    checktest::SetCell(13, 1, 30);
    checktest::SetCell(14, 1, 255);
    block = SystemBlock().cam(0, 2).entry(0, 0, 0xFFFFFFFFu, 0);
    select();
    EXPECT_EQ(front[3], 0);
    EXPECT_EQ(front[14], 0);  // 255 reads as no colour
    EXPECT_EQ(NeedlesWith(front, 'M').size(), 18u);
    block = SystemBlock().cam(0, 2).entry(0, 0, Bit(31), 0);
    select();
    EXPECT_EQ(NeedlesWith(front, 'M'), (NeedleList{12}));

    // Needles without a column, columns and rows outside the pattern.
    map[6] = 0;
    map[7] = 21;
    block = SystemBlock().cam(0, 2).entry(0, 0, Bit(19), 0);
    select();
    EXPECT_EQ(NeedlesWith(front, 'M'), (NeedleList{5, 8, 9, 10}));
    in.frontRow = 5;
    select();
    EXPECT_EQ(NeedlesWith(front, 'M'), NeedleList{});
    in.frontRow = -1;
    select();
    EXPECT_EQ(NeedlesWith(front, 'M'), NeedleList{});
    // A needle map shorter than the room reads as unused needles.
    in.frontRow = 1;
    map = {0, 5, 6};
    select();
    EXPECT_EQ(NeedlesWith(front, 'M'), (NeedleList{1, 2}));
    EXPECT_TRUE(Lines().empty());
}

TEST_F(checkSelection, JacquardReadsCellsAsPatternCellDoes)
{
    // Random cells of every value, columns beyond the pattern, rows the
    // plane does not hold.
    checktest::MakePattern(30, 3);
    ProgrammKopf.SetHeight(5);
    std::mt19937 rng(11);
    for (uint16_t y = 1; y <= 3; ++y)
        for (uint16_t x = 1; x <= 30; ++x)
            checktest::SetCell(x, y, uint8_t(rng()));
    setWidth(40);
    for (int i = 1; i <= 40; ++i)
        map[size_t(i)] = uint16_t(rng() % 36);
    for (int round = 0; round < 50; ++round) {
        const uint32_t colours = (uint32_t(rng()) | 1u) & ~Bit(30);  // no tie-in
        const int32_t row = int32_t(round % 7) - 1;
        in.frontRow = row;
        block = SystemBlock().cam(0, 2).entry(0, 0, colours, 0);
        if (row == 0)
            continue;
        select();
        NeedleList want;
        for (int i = 1; i <= 40; ++i) {
            const uint8_t v = row < 0 ? 99 : PatternCell(map[size_t(i)], uint16_t(row));
            if (v >= 1 && v <= 32 && (colours >> (v - 1)) & 1u)
                want.push_back(i);
        }
        EXPECT_EQ(NeedlesWith(front, 'M'), want) << round;
    }
    EXPECT_TRUE(Lines().empty());
}

TEST_F(checkSelection, JacquardNeedsADivisionAndARow)
{
    jacquardRow();
    map.clear();
    block = SystemBlock().cam(0, 2).entry(0, 0, Bit(19), 0);
    EXPECT_THROW(select(), ECheckAbort);
    EXPECT_EQ(Lines(), (std::vector<std::string>{"S0001 Z0001 Sys1 vorne: Jacquardauswahl ohne Nadeleinteilung!"}));
    EXPECT_EQ(CheckState.errorCount, 1);

    ResetCheckMessages();
    sink.clear();
    map = IdentityMap(20);
    in.backRow = 0;
    in.place = {12, 345, 2};
    block = SystemBlock().cam(1, 2).entry(1, 2, Bit(3), 0);
    EXPECT_THROW(select(), ECheckAbort);
    EXPECT_EQ(Lines(),
              (std::vector<std::string>{
                  "S0012 Z0345 Sys2 hinten: Zur Jacquardauswahl wird eine Patronenzeile erwartet!"}));

    // The tie-in bit alone is a colour set too.
    ResetCheckMessages();
    sink.clear();
    block = SystemBlock().cam(1, 2).entry(1, 0, Bit(30), 0);
    EXPECT_THROW(select(), ECheckAbort);
    EXPECT_EQ(Lines().size(), 1u);
    EXPECT_NE(Lines()[0].find("Patronenzeile"), std::string::npos);
    ResetCheckMessages();
    in.backRow = 1;
    map.clear();
    EXPECT_THROW(select(), ECheckAbort);
    EXPECT_NE(Lines().back().find("Jacquardauswahl ohne Nadeleinteilung"), std::string::npos);
}

TEST_F(checkSelection, BackBedShiftWhileTheRackingFlagIsSet)
{
    block = SystemBlock().cam(1, 2).entry(1, 0, 0, 1);
    in.rackingAmount = 3;
    in.rackingFlag = true;
    select();
    EXPECT_EQ(NeedlesWith(back, 'M'), Needles({{4, 8}}));
    EXPECT_EQ(NeedlesWith(front, 'M'), NeedleList{});
    in.rackingFlag = false;
    select();
    EXPECT_EQ(NeedlesWith(back, 'M'), Needles({{1, 8}}));
    in.rackingAmount = -3;
    in.rackingFlag = true;
    select();
    EXPECT_EQ(NeedlesWith(back, 'M'), Needles({{1, 5}}));

    // The front never shifts; jacquard shifts on the back as well; a shift
    // wider than the room leaves nothing.
    block = SystemBlock().cam(0, 2).cam(1, 2).entry(0, 0, 0, 1);
    select();
    EXPECT_EQ(NeedlesWith(front, 'M'), Needles({{1, 8}}));
    jacquardRow();
    block = SystemBlock().cam(1, 2).entry(1, 0, Bit(19), 0);
    in.rackingAmount = 2;
    select();
    EXPECT_EQ(NeedlesWith(back, 'M'), Needles({{7, 12}}));
    setWidth(4);
    for (int amount : {28, -28}) {
        in.rackingAmount = amount;
        block = SystemBlock().cam(1, 2).entry(1, 0, 0, 1).entry(1, 2, 0, 1).entry(1, 1, Bit(30), 0);
        in.backRow = 1;
        select();
        EXPECT_EQ(NeedlesWith(back, 0), Needles({{1, 4}}));
    }
}

TEST_F(checkSelection, NetBack)
{
    block = SystemBlock().cam(0, 2).cam(1, 2).entry(0, 0, 0, 5).entry(1, 0, 0, 11);
    select();
    EXPECT_EQ(NeedlesWith(front, 'M'), (NeedleList{1, 3, 5, 7}));
    EXPECT_EQ(NeedlesWith(back, 'M'), (NeedleList{2, 4, 6, 8}));
    EXPECT_TRUE(Lines().empty());

    // A net target already working is an overlap.
    block = SystemBlock().cam(1, 2).entry(1, 0, 0, 5).entry(1, 1, 0, 11);
    select();
    EXPECT_EQ(NeedlesWith(back, 'M'), (NeedleList{1, 3, 5, 7}));
    EXPECT_EQ(NeedlesWith(back, 'F'), (NeedleList{2, 4, 6, 8}));
    EXPECT_EQ(Lines(), (std::vector<std::string>{"S0001 Z0001 Sys1 hinten: Lang- und Kurzauswahl überschneidet sich!"}));
}

TEST_F(checkSelection, VariableNetBack)
{
    block = SystemBlock().cam(0, 2).cam(1, 2).entry(1, 0, 0, 1).entry(0, 0, 0, 3).variableNetBack(1);
    select();
    EXPECT_EQ(NeedlesWith(front, 'M'), (NeedleList{2, 4, 6, 8}));
    EXPECT_EQ(NeedlesWith(back, 'M'), (NeedleList{1, 3, 5, 7}));
    EXPECT_TRUE(Lines().empty());

    // Needles come back with the action of selection 1 ("M", 24, "G") or of
    // selection 2 (all others).
    block = SystemBlock()
                .cam(0, 2)
                .cam(1, 2)
                .entry(1, 0, 0, 5)
                .entry(1, 1, 0, 3)
                .entry(1, 2, 0, 4)
                .entry(0, 0, 0, 6)
                .variableNetBack(1);
    select();
    // Front "M" on 2, 5, 8; the back before its net pass: m F m f M f m F.
    EXPECT_EQ(NeedlesWith(front, 'M'), (NeedleList{2, 5, 8}));
    EXPECT_EQ(back, (Actions{0, 'F', 0, 'F', 'F', 0, 'F', 'F', 0}));

    // The needles come back where they stood: the shift is not applied twice.
    block = SystemBlock().cam(0, 2).cam(1, 2).entry(1, 0, 0, 1).entry(0, 0, 0, 3).variableNetBack(1);
    in.rackingAmount = 2;
    in.rackingFlag = true;
    select();
    EXPECT_EQ(NeedlesWith(back, 'M'), (NeedleList{3, 5, 7}));
}

TEST_F(checkSelection, NetBackMessages)
{
    block = SystemBlock().cam(1, 2).entry(1, 1, 0, 14).variableNetBack(1);
    select();
    EXPECT_EQ(Lines(),
              (std::vector<std::string>{"S0001 Z0001 Sys1 hinten: Variable Netzrückseite und Netzrückseite kann "
                                        "nicht kombiniert werden!"}));
    sink.clear();
    block = SystemBlock().variableNetBack(0).variableNetBack(1);
    select();
    EXPECT_EQ(Lines(), (std::vector<std::string>{
                           "S0001 Z0001 Sys1: Variable Netzrückseite kann nur auf eine Seite verwendet werden!"}));
    sink.clear();
    // The second density's kind counts for message 18, not for message 16.
    block = SystemBlock().entry(0, 2, 0, 28).entry(1, 0, 0, 11);
    select();
    EXPECT_EQ(Lines(), (std::vector<std::string>{
                           "S0001 Z0001 Sys1: Netzrückseite kann nur auf eine Seite verwendet werden!"}));
    sink.clear();
    block = SystemBlock().entry(0, 2, 0, 28).variableNetBack(0);
    select();
    EXPECT_TRUE(Lines().empty());
    // Message order: 17 and 18 before the sides' 16.
    sink.clear();
    block = SystemBlock().entry(0, 0, 0, 12).entry(1, 1, 0, 13).variableNetBack(0).variableNetBack(1);
    select();
    const std::vector<std::string> lines = Lines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_NE(lines[0].find("Variable Netzrückseite kann nur"), std::string::npos);
    EXPECT_NE(lines[1].find("Sys1: Netzrückseite kann nur"), std::string::npos);
    EXPECT_NE(lines[2].find("vorne: Variable"), std::string::npos);
    EXPECT_NE(lines[3].find("hinten: Variable"), std::string::npos);
}

TEST_F(checkSelection, PlainKnitPassTurnsGIntoMUnlessOppositeS)
{
    block = SystemBlock().cam(0, 4).cam(1, 4).entry(0, 0, 0, 1).entry(1, 1, 0, 5);
    select();
    EXPECT_EQ(NeedlesWith(front, 'G'), (NeedleList{1, 3, 5, 7}));
    EXPECT_EQ(NeedlesWith(front, 'M'), (NeedleList{2, 4, 6, 8}));
    EXPECT_EQ(NeedlesWith(back, 'S'), (NeedleList{1, 3, 5, 7}));

    // "g" likewise; code 5 too; code 2 keeps its "G"-free actions alone.
    block = SystemBlock().cam(0, 4).cam(1, 4).entry(0, 0, 0, 1).entry(0, 2, 0, 1).entry(1, 1, 0, 5);
    select();
    EXPECT_EQ(NeedlesWith(front, 'g'), (NeedleList{1, 3, 5, 7}));
    EXPECT_EQ(NeedlesWith(front, 'm'), (NeedleList{2, 4, 6, 8}));
    block = SystemBlock().carriers(1).cam(0, 3).entry(0, 0, 0, 1);
    select();
    EXPECT_EQ(NeedlesWith(front, 'M'), Needles({{1, 8}}));
}

TEST_F(checkSelection, AutomaticReceive)
{
    block = SystemBlock().cam(0, 3).cam(1, 3).entry(1, 0, 0, 1).entry(0, 1, 0, 2);
    in.rackingAmount = 2;
    SystemSelectionResult r = select();
    EXPECT_EQ(NeedlesWith(back, 24), Needles({{1, 8}}));
    EXPECT_EQ(NeedlesWith(front, 25), Needles({{1, 6}}));
    EXPECT_EQ(front[7], 0);
    EXPECT_EQ(front[8], 0);
    EXPECT_FALSE(r.selected[0]);  // kind 2 alone selects nothing
    EXPECT_TRUE(r.selected[1]);

    // Back side, the other way round.
    block = SystemBlock().cam(0, 3).cam(1, 3).entry(0, 0, 0, 1).entry(1, 1, 0, 2);
    select();
    EXPECT_EQ(NeedlesWith(back, 25), Needles({{3, 8}}));
    in.rackingAmount = -30;
    select();
    EXPECT_EQ(NeedlesWith(back, 25), NeedleList{});

    // Not on a racking row, not unless both settings are 3. With carriers
    // the settings still are 3, but nothing transfers then.
    in.rackingAmount = 0;
    in.rowRacks = true;
    select();
    EXPECT_EQ(NeedlesWith(back, 25), NeedleList{});
    in.rowRacks = false;
    block = SystemBlock().cam(0, 3).cam(1, 2).entry(0, 0, 0, 1).entry(1, 1, 0, 2);
    select();
    EXPECT_EQ(NeedlesWith(back, 25), NeedleList{});
    block = SystemBlock().positionList(3).cam(0, 3).cam(1, 3).entry(0, 0, 0, 1).entry(1, 1, 0, 2);
    select();
    EXPECT_EQ(NeedlesWith(front, 'M'), Needles({{1, 8}}));  // code 5: "G", then plain knit
    EXPECT_EQ(NeedlesWith(back, 25), NeedleList{});
    EXPECT_TRUE(Lines().empty());
}

TEST_F(checkSelection, IntarsiaTieIn)
{
    jacquardRow();
    block = SystemBlock().cam(0, 2).entry(0, 0, Bit(19) | Bit(30), 0);
    in.toRight = true;
    SystemSelectionResult r = select();
    EXPECT_EQ(NeedlesWith(front, 'M'), Needles({{4, 10}}));
    EXPECT_TRUE(r.carrierWanted);
    in.toRight = false;
    select();
    EXPECT_EQ(NeedlesWith(front, 'M'), Needles({{5, 11}}));

    block.entry(0, 2, Bit(30), 0);
    in.toRight = true;
    select();
    EXPECT_EQ(NeedlesWith(front, 'M'), Needles({{5, 10}}));
    EXPECT_EQ(NeedlesWith(front, 'm'), (NeedleList{4}));
    in.toRight = false;
    select();
    EXPECT_EQ(NeedlesWith(front, 'm'), (NeedleList{11}));

    // Selection 2's action wins over selection 1's; the density alone asks
    // for "M".
    block = SystemBlock().cam(0, 2).entry(0, 0, Bit(19) | Bit(30), 0).entry(0, 1, Bit(30), 0);
    in.toRight = true;
    select();
    EXPECT_EQ(front[4], 'F');
    block = SystemBlock().cam(0, 2).entry(0, 0, Bit(19), 0).entry(0, 2, Bit(30), 0);
    select();
    EXPECT_EQ(front[4], 'M');
    EXPECT_TRUE(Lines().empty());
}

TEST_F(checkSelection, TieInStaysInsideTheRoom)
{
    // Working needles up to either end leave no room for the tie-in.
    block = SystemBlock().cam(0, 2).entry(0, 0, 0, 1).entry(0, 2, Bit(30), 0);
    in.frontRow = 1;
    checktest::MakePattern(8, 2);
    in.toRight = true;
    select();
    EXPECT_EQ(NeedlesWith(front, 'M'), Needles({{1, 8}}));
    in.toRight = false;
    select();
    EXPECT_EQ(NeedlesWith(front, 'M'), Needles({{1, 8}}));

    // Shifted actions: the neighbour of the first one as it stands.
    block = SystemBlock().cam(1, 2).entry(1, 0, 0, 5).entry(1, 2, Bit(30), 0);
    in.backRow = 1;
    in.rackingAmount = 2;
    in.rackingFlag = true;
    in.toRight = true;
    select();
    EXPECT_EQ(NeedlesWith(back, 'M'), (NeedleList{2, 3, 5, 7}));
    in.toRight = false;
    select();
    EXPECT_EQ(NeedlesWith(back, 'M'), (NeedleList{3, 5, 7, 8}));
    // Nothing working: no tie-in.
    block = SystemBlock().cam(0, 2).entry(0, 2, Bit(30), 0);
    EXPECT_TRUE(select().carrierWanted);
    EXPECT_EQ(NeedlesWith(front, 0), Needles({{1, 8}}));
    EXPECT_TRUE(Lines().empty());
}

TEST_F(checkSelection, ResultFlags)
{
    SystemSelectionResult r = select();
    EXPECT_FALSE(r.selected[0] || r.selected[1] || r.carrierWanted || r.fixedProgram);
    block = SystemBlock().entry(1, 2, 0, 6);
    r = select();
    EXPECT_TRUE(r.fixedProgram);
    EXPECT_FALSE(r.selected[1]);
    block = SystemBlock().entry(0, 1, 0, 3);
    r = select();
    EXPECT_TRUE(r.fixedProgram);
    EXPECT_TRUE(r.selected[0]);
    block = SystemBlock().entry(0, 0, 0, 11).entry(1, 1, 0, 2);
    r = select();
    EXPECT_FALSE(r.fixedProgram);
    EXPECT_FALSE(r.selected[0]);
}

TEST_F(checkSelection, ShortArraysAreRefused)
{
    in.block = block.b;
    Actions small(8), ok(9);
    EXPECT_THROW(SelectSystemNeedles(in, small, ok), std::invalid_argument);
    EXPECT_THROW(SelectSystemNeedles(in, ok, small), std::invalid_argument);
    in.block = std::span<const uint8_t>(block.b.data(), 87);
    EXPECT_THROW(SelectSystemNeedles(in, ok, ok), std::invalid_argument);
}

TEST_F(checkSelection, BlockWrittenThroughTheListHandler)
{
    // System 2, back side, as the knitting scheme handler stores it.
    ZrVar.Systems = 2;
    auto write = [](uint8_t selector, uint8_t systemByte, auto fill) {
        ProgramCommandBlock b;
        b.SetCode(1);
        b.SetLine(1);
        b.SetSelector(selector);
        b.SetSystemByte(systemByte);
        fill(b);
        ASSERT_EQ(accessZList(b, 1), 0);
    };
    write('I', 0x82, [](ProgramCommandBlock& b) { b.SetU8(9, 2); });
    write('N', 0x82, [](ProgramCommandBlock& b) {
        b.SetU8(9, 0);
        b.SetText(std::string("!\x04", 2), 10, 32);  // kind 5, "10"
    });
    write('N', 0x82, [](ProgramCommandBlock& b) {
        b.SetU8(9, 2);
        b.SetText("A", 10, 32);
    });
    write('L', 0x02, [](ProgramCommandBlock&) {});
    jacquardRow();
    setWidth(8);
    in.block = std::span<const uint8_t>(ZListe->GetLine(1) + 28 + 88, 88);
    in.needleMap = map;
    front.assign(9, 0);
    back.assign(9, 0);
    SelectSystemNeedles(in, front, back);
    EXPECT_EQ(back, (Actions{0, 'M', 0, 'M', 0, 'm', 0, 'm', 0}));
    // The variable net back of the front side says nothing on its own.
    EXPECT_EQ(Lines(),
              (std::vector<std::string>{
                  "S0001 Z0001 Sys1 hinten: Es können nur selektierte Nadeln mit 2. Festigkeit arbeiten!"}));
}
