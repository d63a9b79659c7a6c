#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/ini_profile.h"
#include "tests/support/test_env.h"

namespace fs = std::filesystem;

namespace {

std::string IniPath()
{
    return TestHome() + "Zorit.INI";
}

// Temporary files of the profile's writes that are still in the folder.
int LeftoverTempFiles()
{
    int count = 0;
    for (const auto& entry : fs::directory_iterator(TestHome()))
        if (entry.path().filename().string().find(".tmp") != std::string::npos)
            ++count;
    return count;
}

}  // namespace

TEST(IniProfile, FirstWriteCreatesExactlyOneSectionAndKey)
{
    IniProfile ini(IniPath());
    EXPECT_EQ(ini.ReadString("System", "WorkingLevel", "dflt"), "dflt");
    EXPECT_FALSE(fs::exists(IniPath())) << "reading must not create the file";

    ASSERT_TRUE(ini.WriteString("System", "WorkingLevel", "1"));
    EXPECT_EQ(ReadTestFile(IniPath()), "[System]\r\nWorkingLevel=1\r\n");
    EXPECT_EQ(ini.ReadString("System", "WorkingLevel", "dflt"), "1");

    ASSERT_TRUE(ini.WriteString("System", "WorkingLevel", "1"));
    EXPECT_EQ(ReadTestFile(IniPath()), "[System]\r\nWorkingLevel=1\r\n");
    EXPECT_EQ(LeftoverTempFiles(), 0);
}

TEST(IniProfile, NamesIgnoreCaseAndTheFirstOccurrenceWins)
{
    WriteTestFile(IniPath(),
                  "[SYSTEM]\r\n"
                  "workinglevel=2\r\n"
                  "WorkingLevel=3\r\n"
                  "[system]\r\n"
                  "Other=4\r\n"
                  "WorkingLevel=5\r\n");
    IniProfile ini(IniPath());
    EXPECT_EQ(ini.ReadString("System", "WorkingLevel", "x"), "2");
    // The later section of the same name is never consulted.
    EXPECT_EQ(ini.ReadString("System", "Other", "x"), "x");
    EXPECT_TRUE(ini.SectionExists("sYSTEM"));
    EXPECT_FALSE(ini.SectionExists("Sys"));

    ASSERT_TRUE(ini.WriteString("system", "WORKINGLEVEL", "7"));
    EXPECT_EQ(ReadTestFile(IniPath()),
              "[SYSTEM]\r\n"
              "workinglevel=7\r\n"
              "WorkingLevel=3\r\n"
              "[system]\r\n"
              "Other=4\r\n"
              "WorkingLevel=5\r\n");
}

TEST(IniProfile, ValuesAreTrimmedButOtherwiseLiteral)
{
    WriteTestFile(IniPath(),
                  "[S]\n"
                  "Quoted = \t\"a b\" ; not a comment\t \n"
                  "Eq==x=y\n"
                  "  Indented\t= v\n"
                  "NoSeparator\n"
                  "Empty=\n"
                  ";Comment=1\n"
                  "Path=C:\\dir\\x.8a\n");
    IniProfile ini(IniPath());
    EXPECT_EQ(ini.ReadString("S", "Quoted", "d"), "\"a b\" ; not a comment");
    EXPECT_EQ(ini.ReadString("S", "Eq", "d"), "=x=y");
    EXPECT_EQ(ini.ReadString("S", "Indented", "d"), "v");
    EXPECT_EQ(ini.ReadString("S", "NoSeparator", "d"), "");
    EXPECT_EQ(ini.ReadString("S", "Empty", "d"), "");
    EXPECT_EQ(ini.ReadString("S", ";Comment", "d"), "d");
    EXPECT_EQ(ini.ReadString("S", "Path", "d"), "C:\\dir\\x.8a");
    EXPECT_EQ(ini.ReadSectionKeys("s"),
              (std::vector<std::string>{"Quoted", "Eq", "Indented", "NoSeparator", "Empty", "Path"}));

    ASSERT_TRUE(ini.WriteString("S", "Back", "C:\\dir\\x.8a"));
    EXPECT_EQ(ini.ReadString("S", "Back", "d"), "C:\\dir\\x.8a");
    // A line break in a value would make its tail a line of its own.
    ASSERT_TRUE(ini.WriteString("S", "Broken", "one\r\n[Evil]"));
    EXPECT_EQ(ini.ReadString("S", "Broken", "d"), "one");
    EXPECT_FALSE(ini.SectionExists("Evil"));
}

TEST(IniProfile, WritesKeepTheRestOfTheFile)
{
    // LF-only, keys before the first section, a comment, blank lines and no
    // final line break: all of it survives, only the line ends become CR LF.
    WriteTestFile(IniPath(),
                  "Loose=0\n"
                  "; settings\n"
                  "[A]\n"
                  "x=1\n"
                  "y = 2\n"
                  "\n"
                  "[B]\n"
                  "z=3");
    IniProfile ini(IniPath());
    EXPECT_EQ(ini.ReadString("A", "Loose", "d"), "d");

    ASSERT_TRUE(ini.WriteString("a", "Y", "9"));  // replaced in place, stored name kept
    ASSERT_TRUE(ini.WriteString("A", "New", "5"));  // after the last entry of [A]
    ASSERT_TRUE(ini.WriteString("B", "w", "4"));  // at the end of the last section
    ASSERT_TRUE(ini.WriteString("C", "k", "v"));  // a new section at the end
    EXPECT_EQ(ReadTestFile(IniPath()),
              "Loose=0\r\n"
              "; settings\r\n"
              "[A]\r\n"
              "x=1\r\n"
              "y=9\r\n"
              "New=5\r\n"
              "\r\n"
              "[B]\r\n"
              "z=3\r\n"
              "w=4\r\n"
              "\r\n"
              "[C]\r\n"
              "k=v\r\n");
}

TEST(IniProfile, NewKeyInAnEmptySectionFollowsItsHeader)
{
    WriteTestFile(IniPath(), "[A]\r\n\r\n\r\n[B]\r\nb=1\r\n\r\n");
    IniProfile ini(IniPath());
    ASSERT_TRUE(ini.WriteString("A", "a", "1"));
    ASSERT_TRUE(ini.WriteString("B", "c", "2"));
    EXPECT_EQ(ReadTestFile(IniPath()), "[A]\r\na=1\r\n\r\n\r\n[B]\r\nb=1\r\nc=2\r\n\r\n");
}

TEST(IniProfile, DeletingAndListingKeys)
{
    WriteTestFile(IniPath(), "[Exe]\r\nOne=1\r\nTwo=2\r\none=3\r\n[Next]\r\nThree=3\r\n");
    IniProfile ini(IniPath());
    EXPECT_EQ(ini.ReadSectionKeys("EXE"), (std::vector<std::string>{"One", "Two"}));
    EXPECT_TRUE(ini.ReadSectionKeys("Missing").empty());

    ASSERT_TRUE(ini.DeleteKey("exe", "ONE"));
    EXPECT_EQ(ReadTestFile(IniPath()), "[Exe]\r\nTwo=2\r\none=3\r\n[Next]\r\nThree=3\r\n");
    // The duplicate comes to light once the first is gone.
    EXPECT_EQ(ini.ReadString("Exe", "One", "d"), "3");

    const std::string before = ReadTestFile(IniPath());
    EXPECT_TRUE(ini.DeleteKey("Exe", "Nothing"));
    EXPECT_TRUE(ini.DeleteKey("Nothing", "Two"));
    EXPECT_EQ(ReadTestFile(IniPath()), before);

    IniProfile missing(TestHome() + "none.ini");
    EXPECT_TRUE(missing.DeleteKey("A", "b"));
    EXPECT_FALSE(fs::exists(TestHome() + "none.ini"));
}

TEST(IniProfile, Utf8WrittenAndWindows1252LinesRead)
{
    IniProfile ini(IniPath());
    ASSERT_TRUE(ini.WriteString("S", "K", "Gr\xC3\xB6\xC3\x9F" "e"));
    EXPECT_EQ(ReadTestFile(IniPath()), "[S]\r\nK=\x47\x72\xC3\xB6\xC3\x9F\x65\r\n");

    // A file from Windows, and one edited on both sides.
    WriteTestFile(IniPath(), "[S]\r\nK=Gr\xF6\xDF" "e\r\nU=Gr\xC3\xB6\xC3\x9F" "e\r\n[\xC4nderung]\r\n\xDF=\x80\r\n");
    EXPECT_EQ(ini.ReadString("S", "K", "d"), "Gr\xC3\xB6\xC3\x9F" "e");
    EXPECT_EQ(ini.ReadString("S", "U", "d"), "Gr\xC3\xB6\xC3\x9F" "e");
    EXPECT_EQ(ini.ReadString("\xC3\x84nderung", "\xC3\x9F", "d"), "\xE2\x82\xAC");

    // Rewriting stores every line in UTF-8.
    ASSERT_TRUE(ini.WriteString("S", "New", "1"));
    EXPECT_EQ(ReadTestFile(IniPath()),
              "[S]\r\nK=Gr\xC3\xB6\xC3\x9F" "e\r\nU=Gr\xC3\xB6\xC3\x9F" "e\r\nNew=1\r\n"
              "[\xC3\x84nderung]\r\n\xC3\x9F=\xE2\x82\xAC\r\n");

    // A byte-order mark from an editor is not part of the first section name.
    WriteTestFile(IniPath(), "\xEF\xBB\xBF[S]\r\nK=1\r\n");
    EXPECT_EQ(ini.ReadString("S", "K", "d"), "1");
}

TEST(IniProfile, EveryCallReadsTheFileAgain)
{
    IniProfile first(IniPath());
    IniProfile second(IniPath());
    ASSERT_TRUE(first.WriteString("S", "K", "1"));
    EXPECT_EQ(second.ReadString("S", "K", "d"), "1");
    WriteTestFile(IniPath(), "[S]\r\nK=2\r\n");
    EXPECT_EQ(first.ReadString("S", "K", "d"), "2");
    ASSERT_TRUE(second.WriteString("S", "L", "3"));
    EXPECT_EQ(ReadTestFile(IniPath()), "[S]\r\nK=2\r\nL=3\r\n");
}

TEST(IniProfile, ReplacementKeepsPermissions)
{
    WriteTestFile(IniPath(), "[S]\r\nK=1\r\n");
    ASSERT_EQ(::chmod(IniPath().c_str(), 0640), 0);
    IniProfile ini(IniPath());
    ASSERT_TRUE(ini.WriteString("S", "K", "2"));
    struct stat st;
    ASSERT_EQ(::stat(IniPath().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST(IniProfile, ReadOnlyFileIsNotReplaced)
{
    WriteTestFile(IniPath(), "[S]\r\nK=1\r\n");
    ASSERT_EQ(::chmod(IniPath().c_str(), 0444), 0);
    IniProfile ini(IniPath());
    EXPECT_FALSE(ini.WriteString("S", "K", "2"));
    EXPECT_EQ(ReadTestFile(IniPath()), "[S]\r\nK=1\r\n");
    EXPECT_EQ(ini.ReadString("S", "K", "d"), "1");
    EXPECT_EQ(LeftoverTempFiles(), 0);
}

TEST(IniProfile, UnwritableFileFailsQuietly)
{
    // Tests run as root, so a folder in the file's place is what stops a write.
    fs::create_directories(IniPath());
    WriteTestFile(IniPath() + "/inside", "keep");
    IniProfile ini(IniPath());
    EXPECT_EQ(ini.ReadString("System", "WorkingLevel", "1"), "1");
    EXPECT_FALSE(ini.WriteString("System", "WorkingLevel", "1"));
    EXPECT_FALSE(ini.DeleteKey("System", "WorkingLevel"));
    EXPECT_TRUE(ini.ReadSectionKeys("System").empty());
    EXPECT_FALSE(ini.SectionExists("System"));
    EXPECT_TRUE(fs::is_directory(IniPath()));
    EXPECT_EQ(ReadTestFile(IniPath() + "/inside"), "keep");
    EXPECT_EQ(LeftoverTempFiles(), 0);

    IniProfile noFolder(TestHome() + "missing/Zorit.INI");
    EXPECT_FALSE(noFolder.WriteString("S", "K", "v"));
    EXPECT_FALSE(fs::exists(TestHome() + "missing"));
}

// A settings file that is a pipe or a device reads as empty and is not
// waited on.
TEST(IniProfile, APipeOrDeviceReadsAsNoSettings)
{
    for (const std::string& name : NoFilePaths("pipe.INI")) {
        IniProfile ini(name);
        EXPECT_EQ(ini.ReadString("System", "Key", "def"), "def") << name;
    }
}
