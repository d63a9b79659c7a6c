#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/paths.h"
#include "tests/support/scoped_env.h"
#include "tests/support/test_env.h"

namespace {

// The drive root the test main sets up for this case, with a trailing "/".
std::string Root()
{
    return DriveRoot();
}

void Touch(const std::string& path)
{
    WriteTestFile(path, "x");
}

}  // namespace

TEST(Paths, DriveRootComesFromTheEnvironment)
{
    EXPECT_EQ(Root(), TestHome() + "drive/");
    {
        ScopedEnv env("ZORIT_DRIVE_ROOT", nullptr);
        EXPECT_EQ(DriveRoot(), "/");
        EXPECT_EQ(NormalizePath("C:\\Dir\\A.TIF"), "/Dir/A.TIF");
    }
    {
        ScopedEnv env("ZORIT_DRIVE_ROOT", "");
        EXPECT_EQ(DriveRoot(), "/");
    }
    {
        ScopedEnv env("ZORIT_DRIVE_ROOT", "/srv/c/");
        EXPECT_EQ(NormalizePath("c:\\x"), "/srv/c/x");
    }
}

TEST(Paths, NormalizeMapsDrivesAndBackslashes)
{
    const std::string r = Root();
    EXPECT_EQ(NormalizePath("C:\\Dir\\A.TIF"), r + "Dir/A.TIF");
    EXPECT_EQ(NormalizePath("d:/x\\y"), r + "x/y");
    EXPECT_EQ(NormalizePath("C:"), r);
    EXPECT_EQ(NormalizePath("C:\\"), r);
    EXPECT_EQ(NormalizePath("C:name"), r + "name");
    EXPECT_EQ(NormalizePath("sub\\file.8a"), "sub/file.8a");
    EXPECT_EQ(NormalizePath("/usr/bin"), "/usr/bin");
    EXPECT_EQ(NormalizePath(""), "");
    // Only a letter before the colon is a drive.
    EXPECT_EQ(NormalizePath("1:\\x"), "1:/x");
    EXPECT_EQ(NormalizePath("ab:c"), "ab:c");
}

TEST(Paths, SplittingNames)
{
    EXPECT_EQ(FileNamePart("C:\\Dir\\A.TIF"), "A.TIF");
    EXPECT_EQ(FolderPart("C:\\Dir\\A.TIF"), "C:\\Dir\\");
    EXPECT_EQ(FileNamePart("/a/b/c.8a"), "c.8a");
    EXPECT_EQ(FolderPart("/a/b/c.8a"), "/a/b/");
    EXPECT_EQ(FileNamePart("C:x.8a"), "x.8a");
    EXPECT_EQ(FolderPart("C:x.8a"), "C:");
    EXPECT_EQ(FileNamePart("plain"), "plain");
    EXPECT_EQ(FolderPart("plain"), "");
    EXPECT_EQ(FileNamePart("dir/"), "");

    EXPECT_EQ(AppendSeparator("C:\\Dir"), "C:\\Dir\\");
    EXPECT_EQ(AppendSeparator("C:"), "C:\\");
    EXPECT_EQ(AppendSeparator("C:/Dir"), "C:/Dir\\");
    EXPECT_EQ(AppendSeparator("a\\b"), "a\\b\\");
    EXPECT_EQ(AppendSeparator("/home/z"), "/home/z/");
    EXPECT_EQ(AppendSeparator("/home/z/"), "/home/z/");
    EXPECT_EQ(AppendSeparator("C:\\Dir\\"), "C:\\Dir\\");
    EXPECT_EQ(AppendSeparator("rel"), "rel/");

    EXPECT_EQ(ReplaceExtension("C:\\Dir\\A.TIF", "bmp"), "C:\\Dir\\A.bmp");
    EXPECT_EQ(ReplaceExtension("C:\\Dir\\A.TIF", ".bmp"), "C:\\Dir\\A.bmp");
    EXPECT_EQ(ReplaceExtension("/x/a.b.c", "8a"), "/x/a.b.8a");
    EXPECT_EQ(ReplaceExtension("/x.d/name", "8a"), "/x.d/name.8a");
    EXPECT_EQ(ReplaceExtension("C:name", "txt"), "C:name.txt");
}

TEST(Paths, ExecutableFolderHoldsThisProgram)
{
    const std::string folder = ExecutableFolder();
    const std::string exe = ExecutablePath();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '/');
    EXPECT_EQ(folder.front(), '/');
    EXPECT_EQ(exe.substr(0, folder.size()), folder);
    EXPECT_EQ(exe.find('/', folder.size()), std::string::npos);
    EXPECT_EQ(::access(exe.c_str(), X_OK), 0);
}

TEST(Paths, FindExistingIgnoresAsciiCase)
{
    const std::string r = Root();
    Touch(r + "dir/a.tif");
    EXPECT_EQ(FindExisting("C:\\Dir\\A.TIF"), r + "dir/a.tif");
    EXPECT_EQ(FindExisting("c:/DIR/a.Tif"), r + "dir/a.tif");
    EXPECT_EQ(FindExisting("C:\\DIR\\"), r + "dir/");
    EXPECT_EQ(FindExisting(r + "DIR/A.TIF"), r + "dir/a.tif");
    EXPECT_EQ(FindExisting("C:\\Dir\\B.TIF"), "");
    EXPECT_EQ(FindExisting("C:\\Nope\\A.TIF"), "");
    EXPECT_EQ(FindExisting(""), "");
    // A file is no folder.
    EXPECT_EQ(FindExisting("C:\\Dir\\A.TIF\\x"), "");
    // Only ASCII letters fold.
    Touch(r + "\xC3\xA4.txt");
    EXPECT_EQ(FindExisting("C:\\\xC3\x84.TXT"), "");
    EXPECT_EQ(FindExisting("C:\\\xC3\xA4.TXT"), r + "\xC3\xA4.txt");
}

TEST(Paths, FindExistingPrefersExactThenByteOrder)
{
    const std::string r = Root();
    Touch(r + "zorit.ini");
    Touch(r + "Zorit.INI");
    Touch(r + "ZORIT.Ini");
    EXPECT_EQ(FindExisting("C:\\Zorit.INI"), r + "Zorit.INI");
    EXPECT_EQ(FindExisting("C:\\zorit.ini"), r + "zorit.ini");
    // No exact match: "ZORIT.Ini" sorts first ("O" < "o").
    EXPECT_EQ(FindExisting("C:\\ZORIT.INI"), r + "ZORIT.Ini");
    EXPECT_EQ(ResolveForWrite("C:\\zORIT.ini"), r + "ZORIT.Ini");
}

TEST(Paths, FindExistingFollowsRelativeAndDottedPaths)
{
    const std::string r = Root();
    Touch(r + "Sub/One/f.8a");
    EXPECT_EQ(FindExisting("C:\\SUB\\.\\one\\..\\One\\F.8A"), r + "Sub/./One/../One/f.8a");

    const std::string old = std::filesystem::current_path();
    ASSERT_EQ(::chdir(r.c_str()), 0);
    EXPECT_EQ(FindExisting("sub\\ONE\\F.8a"), "Sub/One/f.8a");
    EXPECT_EQ(FindExisting("./SUB"), "./Sub");
    ASSERT_EQ(::chdir(old.c_str()), 0);
}

TEST(Paths, ResolveForWriteKeepsTheGivenNameOfWhatIsMissing)
{
    const std::string r = Root();
    Touch(r + "dir/a.tif");
    EXPECT_EQ(ResolveForWrite("C:\\DIR\\A.TIF"), r + "dir/a.tif");
    EXPECT_EQ(ResolveForWrite("C:\\DIR\\New.Tif"), r + "dir/New.Tif");
    EXPECT_EQ(ResolveForWrite("C:\\DIR\\Neu\\Dir\\X.Tif"), r + "dir/Neu/Dir/X.Tif");
    EXPECT_EQ(ResolveForWrite("C:\\Other\\"), r + "Other/");
}

TEST(Paths, AsciiCaseOnly)
{
    EXPECT_EQ(AsciiUpper("Gr\xC3\xB6\xC3\x9F" "e.tif"), "GR\xC3\xB6\xC3\x9F" "E.TIF");
    EXPECT_EQ(AsciiLower("ZORIT.INI @[`{"), "zorit.ini @[`{");
    EXPECT_TRUE(AsciiEqualNoCase("Zorit.INI", "zORIT.ini"));
    EXPECT_FALSE(AsciiEqualNoCase("Zorit.INI", "Zorit.IN"));
    EXPECT_FALSE(AsciiEqualNoCase("\xC3\x84", "\xC3\xA4"));
    EXPECT_FALSE(AsciiEqualNoCase("@", "`"));  // 0x40 and 0x60 differ by the case bit
    EXPECT_TRUE(AsciiEqualNoCase("", ""));
}
