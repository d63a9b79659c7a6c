// Whole programs through the machine program file and back.
#include <gtest/gtest.h>

#include "kernel/model/globals.h"
#include "kernel/model/workrecord.h"
#include "tests/kernel/tkf/tkf_testing.h"
#include "tests/support/test_env.h"
#include "tests/tools/programdump.h"

using namespace tkftest;

namespace {

// The offsets where two files differ.
std::vector<size_t> Differences(const std::string& a, const std::string& b)
{
    std::vector<size_t> out;
    for (size_t i = 0; i < std::max(a.size(), b.size()); ++i)
        if (i >= a.size() || i >= b.size() || a[i] != b[i])
            out.push_back(i);
    return out;
}

void RoundTrip(const std::string& model)
{
    SCOPED_TRACE(model);
    SetMachine(model, 8);
    FillProgram();
    const std::string lists = DumpLines("ZNWSVFPA");
    const std::string a = TempPfad + "A.8ah";
    const std::string b = TempPfad + "B.8ah";
    ASSERT_EQ(SaveTo(a), 0);
    // Another program in between: the load has to bring everything back.
    ASSERT_EQ(Put(206, 0, 0, 0), 0);
    ASSERT_EQ(Put(1, 1, 7, 63), 0);
    ASSERT_NE(DumpLines("ZNWSVFPA"), lists);
    ASSERT_EQ(LoadFrom(a), 0);
    EXPECT_EQ(DumpLines("ZNWSVFPA"), lists);
    ASSERT_EQ(SaveTo(b), 0);
    RunCommand("cp '" + a + "' /tmp/scratch/" + model + ".8ah");
    const TkfFile fa(a);
    const TkfFile fb(b);
    const TkfFile::Entry* date = fa.Find(306);
    ASSERT_NE(date, nullptr);
    for (size_t at : Differences(fa.bytes, fb.bytes)) {
        EXPECT_GE(at, date->value);
        EXPECT_LT(at, date->value + 19);
    }
}

}  // namespace

TEST(TkfRoundTrip, TwoSystemsTandem)
{
    RoundTrip("832");
}

TEST(TkfRoundTrip, FourSystemsWithTakeDownColumns)
{
    RoundTrip("844");
}
