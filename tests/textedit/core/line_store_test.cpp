#include <gtest/gtest.h>

#include "platform/safe_file.h"
#include "tests/support/test_env.h"
#include "textedit/core/my_string_list.h"

namespace {

using Lines = std::vector<std::string>;

struct Recorder {
    int textChanges = 0;
    std::vector<bool> modified;
    void Attach(T_MyStringList& list)
    {
        list.OnTextChange = [this] { ++textChanges; };
        list.OnModifiedChange = [this](bool m) { modified.push_back(m); };
    }
};

TEST(LineStore, EventsOfClearDeleteAndLoad)
{
    T_MyStringList list;
    EXPECT_TRUE(list.Modified());
    EXPECT_EQ(list.Lines(), Lines{" "});
    EXPECT_EQ(T_MyStringList::ModifiedText(), "Geändert");

    Recorder r;
    r.Attach(list);
    list.Add("a");
    list.Add("b");
    EXPECT_EQ(list.Lines(), (Lines{"a", "b"}));
    r.textChanges = 0;
    list.Clear();
    EXPECT_EQ(r.textChanges, 2);
    EXPECT_EQ(list.Lines(), Lines{" "});

    list.Delete(0);
    EXPECT_EQ(list.Lines(), Lines{" "});
    EXPECT_THROW(list.Delete(1), std::out_of_range);

    WriteTestFile(TestHome() + "t.txt", "x\r\ny\r\n");
    list.SetModified(false);
    r = Recorder{};
    r.Attach(list);
    EXPECT_EQ(list.LoadFromFile(TestHome() + "t.txt"), 0);
    EXPECT_EQ(r.modified, (std::vector<bool>{true, false}));
    EXPECT_EQ(r.textChanges, 1);
    EXPECT_EQ(list.Lines(), (Lines{"x", "y"}));
}

TEST(LineStore, PutComparesWithTheTrimmedLine)
{
    T_MyStringList list;
    list.Add("abc  ");
    list.Add("second");
    list.SetModified(false);
    ASSERT_EQ(list.Get(0), "abc  ");

    list.Put(0, "abc");
    EXPECT_EQ(list.Get(0), "abc  ");
    EXPECT_FALSE(list.Modified());

    list.Put(1, "second ");
    EXPECT_EQ(list.Get(1), "second");
    EXPECT_TRUE(list.Modified());

    list.SetModified(false);
    list.Put(list.Count(), "x");
    list.Put(-1, "x");
    EXPECT_EQ(list.Count(), 2);
    EXPECT_FALSE(list.Modified());

    // Bytes above 127 are text, not control characters.
    list.Put(1, "\xe4\xfc");
    EXPECT_EQ(list.Get(1), "\xe4\xfc");
}

TEST(LineStore, FailedLoadAndSaveKeepWhatWasThere)
{
    T_MyStringList list;
    list.Add("keep");
    EXPECT_EQ(list.LoadFromFile(TestHome() + "missing.txt"), 2);
    EXPECT_EQ(list.Lines(), (Lines{" ", "keep"}));

    const std::string path = WriteTestFile(TestHome() + "old.txt", "old\r\n");
    SetSafeFileFaultForTesting(SafeFileFault{3, false, -1});
    EXPECT_EQ(list.SaveToFile(path), 13);
    SetSafeFileFaultForTesting(SafeFileFault{});
    EXPECT_EQ(ReadTestFile(path), "old\r\n");
    EXPECT_EQ(list.SaveToFile(path), 0);
    EXPECT_EQ(ReadTestFile(path), " \r\nkeep\r\n");
}

} // namespace

// A pipe, a device or a folder named as a text file leaves the list as it was.
TEST(LineStore, LoadRefusesWhatIsNoFile)
{
    for (const std::string& name : NoFilePaths("pipe.txt")) {
        T_MyStringList list;
        list.Add("kept");
        const Lines before = list.Lines();
        EXPECT_NE(list.LoadFromFile(name), 0) << name;
        EXPECT_EQ(list.Lines(), before) << name;
    }
}
