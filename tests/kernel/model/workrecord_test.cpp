// The work record's defaults, the model lookup and the family data behind
// them.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "kernel/model/family_data.h"
#include "kernel/model/workrecord.h"

namespace {
FunctionSet Members(std::initializer_list<int> members)
{
    FunctionSet s;
    for (int m : members)
        s.set(static_cast<size_t>(m));
    return s;
}
}  // namespace

TEST(WorkRecord, Defaults)
{
    const t_K8_heap_var& z = ZrVar;
    EXPECT_EQ(z.Symbols, "VO*()+/^<>=#IX.-%&$ABCDEFGHJKLMN");
    EXPECT_EQ(z.ListNames[2], "F-liste");
    EXPECT_EQ(z.ListNames[9], "S-Liste");
    EXPECT_EQ(z.ListNames[8], "");
    EXPECT_EQ(z.ListNames[11], "");
    EXPECT_EQ(z.GaugeLetters, "a c d e f g h j  l  n  b ");
    EXPECT_EQ(z.GaugeText, "2 3 4 5 6 7 8 10 12 14 25");
    EXPECT_EQ(z.GaugeSet, Members({2, 3, 4, 5, 6, 7, 8, 10, 12, 14, 25}));

    EXPECT_EQ(z.ReInitSet, Members({1, 2, 3, 4, 5, 6, 7, 9, 10, 12, 151, 152, 153, 154, 155, 156, 157, 159, 160}));
    EXPECT_EQ(z.CommentSet, Members({151, 152, 153, 154, 155, 156, 157, 159, 160}));
    EXPECT_EQ(z.LevelSet, Members({12}));
    EXPECT_EQ(z.SystemSelectorSet, Members({71, 72, 73, 74, 75, 76, 77, 78, 79}));
    EXPECT_EQ(z.SystemCounts, Members({1, 2, 3, 4, 6}));
    EXPECT_EQ(z.ExpandModesAll, Members({4, 5, 9, 10}));

    EXPECT_EQ(z.SheetKeys[0], "->");
    EXPECT_EQ(z.SheetKeys[9], "TZ -=");
    EXPECT_EQ(z.SheetKeys[12], "<>  =");
    EXPECT_EQ(z.SheetKeys[16], "ZR ");
    EXPECT_EQ(z.FfMinText, " FF MIN = ");
    EXPECT_EQ(z.SectionCapacity[7], 20000);
    EXPECT_EQ(z.SectionCapacity[8], 0);
    EXPECT_EQ(z.SectionCapacity[11], 0);
    EXPECT_EQ(z.SectionCapacity[12], 1);
    EXPECT_EQ(z.TargetFolder, "C:\\");
    EXPECT_EQ(z.DefaultModel, kDefaultModel);
}

TEST(WorkRecord, SetDefaultsRestoresButKeepsTheBridgeState)
{
    ZrVar.Symbols = "x";
    ZrVar.ModelTable.clear();
    ZrVar.KwBlow = "x";
    ZrVar.TargetFolder = "/data/";
    ZrVar.Status = 0;
    ZrVar.ErrorCode = 1234;
    ZrVar.ReInitSet.set(8);
    ZrVar.RunFlag = 1;
    ZrVar.ClearFlag = 1;
    ZrVar.Systems = 6;
    SetDefaults();
    EXPECT_EQ(ZrVar.Symbols.size(), 32u);
    EXPECT_EQ(ZrVar.ModelTable.size(), 88u);
    EXPECT_EQ(ZrVar.KwBlow, "BLOW");
    EXPECT_EQ(ZrVar.TargetFolder, "C:\\");
    EXPECT_EQ(ZrVar.Status, 255);
    EXPECT_EQ(ZrVar.ErrorCode, 0);
    EXPECT_FALSE(ZrVar.ReInitSet.test(8));
    EXPECT_EQ(ZrVar.RunFlag, 1);
    EXPECT_EQ(ZrVar.ClearFlag, 1);
    EXPECT_EQ(ZrVar.Systems, 6);
}

TEST(WorkRecord, ModelTableLayout)
{
    EXPECT_EQ(ZrVar.ModelTable.substr(0, 12), "311 312 322 ");
    EXPECT_EQ(ZrVar.ModelColumn1.substr(0, 16), "1   2   2   3   ");
    EXPECT_EQ(ZrVar.ModelColumn3.substr(12, 4), "1   ");
    EXPECT_EQ(ZrVar.ModelCodes.substr(0, 8), "3A  3B  ");
    for (const std::string* column : {&ZrVar.ModelColumn1, &ZrVar.ModelColumn2, &ZrVar.ModelColumn3, &ZrVar.ModelCodes})
        EXPECT_EQ(column->size(), 88u);
}

TEST(WorkRecord, FindModel)
{
    for (size_t i = 0; i < kFamilyModels.size(); ++i) {
        const FamilyModel& m = kFamilyModels[i];
        int pos = FindModel(m.number);
        ASSERT_EQ(pos, static_cast<int>(4 * i + 1)) << m.number;
        EXPECT_EQ(ModelColumnChar(1, pos), '0' + m.camSystems) << m.number;
        EXPECT_EQ(ModelColumnText(1, pos), std::string(1, char('0' + m.camSystems)) + "  ");
        EXPECT_EQ(ModelColumnChar(2, pos), '0' + m.machineValue) << m.number;
        EXPECT_EQ(ModelColumnChar(3, pos) == '1', m.comb) << m.number;
        EXPECT_EQ(ZrVar.ModelCodes.substr(size_t(pos) - 1, 2), m.code);
    }
    // Parts of entries, texts across entries, and texts of the wrong length.
    for (const char* text : {"12", "3 5", "", "11 ", "1 3", "4 8", " 81", "312 ", "3121", "31"})
        EXPECT_EQ(FindModel(text), 0) << '"' << text << '"';
    EXPECT_EQ(ModelColumnChar(4, 1), ' ');
    EXPECT_EQ(ModelColumnText(1, 0), "");
    EXPECT_EQ(ModelColumnText(1, 89), "");
}

TEST(FamilyData, TablesAgree)
{
    std::set<std::string> numbers, codes, tandem, comb;
    std::set<int> systems;
    for (const FamilyModel& m : kFamilyModels) {
        std::string n = m.number;
        ASSERT_EQ(n.size(), 3u);
        EXPECT_TRUE(n[0] == '3' || n[0] == '8') << n;
        EXPECT_NE(n[1], '0') << n;
        EXPECT_EQ(std::string(m.code).size(), 2u);
        EXPECT_EQ(m.code[0], n[0]) << n;
        EXPECT_TRUE(m.code[1] >= 'A' && m.code[1] <= 'Z') << n;
        numbers.insert(n);
        codes.insert(m.code);
        systems.insert(m.camSystems);
        if (m.machineValue == 2)
            tandem.insert(n);
        else
            EXPECT_EQ(m.machineValue, 1);
        if (m.comb)
            comb.insert(n);
    }
    EXPECT_EQ(numbers.size(), 22u);
    EXPECT_EQ(codes.size(), 22u);
    EXPECT_EQ(systems, (std::set<int>{1, 2, 3, 4, 6}));
    EXPECT_TRUE(numbers.count(kDefaultModel));
    EXPECT_TRUE(tandem.count(kDefaultModel));  // a new program sets the tandem option

    EXPECT_EQ(std::set<std::string>(kTandemModels.begin(), kTandemModels.end()), tandem);
    EXPECT_EQ(tandem.size(), 9u);

    // Every tandem model sits in exactly one coupling group; nothing else does.
    std::multiset<std::string> grouped;
    for (const CouplingGroup& g : kCouplingGroups)
        for (const char* n : g.models)
            if (n)
                grouped.insert(n);
    EXPECT_EQ(grouped, std::multiset<std::string>(tandem.begin(), tandem.end()));

    std::set<std::string> combTable;
    for (const CombModel& c : kCombModels)
        combTable.insert(c.number);
    EXPECT_EQ(combTable, comb);
    EXPECT_EQ(comb.size(), 6u);

    for (const WideDistance& w : kWideDistanceModels) {
        ASSERT_TRUE(numbers.count(w.number)) << w.number;
        EXPECT_TRUE(ZrVar.SystemCounts.test(static_cast<size_t>(w.systems)));
    }
}
