#include <gtest/gtest.h>

#include "platform/ini_profile.h"
#include "tests/support/test_env.h"

namespace {

// picture_probe on the offscreen platform with side-by-side 1024 x 768 screens.
std::vector<std::string> Probe(const std::string& args, int screens = 1, int* rc = nullptr)
{
    std::string config = "{\"screens\": [";
    for (int i = 0; i < screens; ++i)
        config += std::string(i ? "," : "") + "{\"name\": \"s" + std::to_string(i) + "\", \"x\": " +
                  std::to_string(1024 * i) + ", \"y\": 0, \"width\": 1024, \"height\": 768}";
    WriteTestFile(TestHome() + "screens.json", config + "]}");
    std::string out;
    const int status = RunCommand("QT_QPA_PLATFORM=offscreen:configfile=" + TestHome() + "screens.json " +
                                      ToolsFolder() + "picture_probe --home " + TestHome() + " " + args + " 2>/dev/null",
                                  &out);
    if (rc)
        *rc = status;
    return SplitLines(out);
}

TEST(PictureProbe, PaletteFiles)
{
    std::string bytes(1024, '\0');
    bytes[0] = bytes[4] = 1;
    bytes[20] = 9;
    bytes[4 * 204] = 0x11, bytes[4 * 204 + 1] = 0x22, bytes[4 * 204 + 2] = 0x33;
    WriteTestFile(TestHome() + "Kelt.Pal", bytes);
    const auto lines = Probe("palette kelt.pal");
    ASSERT_EQ(lines.size(), 259u);
    EXPECT_EQ(lines[0], "OK");
    EXPECT_EQ(lines[1], "USED 1");
    EXPECT_EQ(lines[2], "RGB204 00332211");
    EXPECT_EQ(lines[3 + 5], "5 090000 202");
    int rc = 0;
    WriteTestFile(TestHome() + "Short.Pal", std::string(1000, 'x'));
    const auto shortLines = Probe("palette Short.Pal", 1, &rc);
    EXPECT_EQ(rc, 1);
    ASSERT_EQ(shortLines.size(), 1u);
    EXPECT_EQ(shortLines[0].rfind("ERROR ", 0), 0u);
    EXPECT_EQ(Probe("palette None.Pal")[0], "MISSING");

    const auto glyph = Probe("glyph I");
    ASSERT_EQ(glyph.size(), 10u);
    EXPECT_EQ(glyph[0], "..........");
    EXPECT_EQ(glyph[2], "..###.....");
}

TEST(PictureProbe, PlacementRoundTripOnTwoScreens)
{
    EXPECT_EQ(Probe("window --ini-key ProbeWin --geometry 40,30,300,200 --quit-after 200")[0], "GEOMETRY 40 30 300 200");
    IniProfile ini(TestHome() + "Zorit.INI");
    EXPECT_EQ(ini.ReadString("Windows", "ProbeWin", ""), "X     40    30   300   200  0");
    EXPECT_EQ(Probe("window --ini-key ProbeWin --quit-after 100")[0], "GEOMETRY 40 30 300 200");

    Probe("window --ini-key ProbeWin --geometry 1100,100,300,200 --quit-after 200", 2);
    EXPECT_EQ(ini.ReadString("Windows", "ProbeWin", ""), "X     76   100   300   200  1");
    EXPECT_EQ(Probe("window --ini-key ProbeWin --quit-after 100", 2)[0], "GEOMETRY 1100 100 300 200");
    // A monitor past the list is not applied.
    ini.WriteString("Windows", "ProbeWin", "X     76   100   300   200  2");
    EXPECT_EQ(Probe("window --ini-key ProbeWin --quit-after 100", 2)[0], "GEOMETRY 76 100 300 200");
    ini.WriteString("Windows", "ProbeWin", "X     76  5000   300   200  0");
    EXPECT_EQ(Probe("window --ini-key ProbeWin --quit-after 100")[0], "GEOMETRY 76 718 300 200");
}

TEST(PictureProbe, WindowEvents)
{
    EXPECT_EQ(Probe("window --pane-size 600x400 --split 200 --join 0 --quit-after 100"),
              (std::vector<std::string>{"GEOMETRY 0 0 640 480", "PANES 623", "LEVELS 3 CURRENT 1 REFERENCE 255",
                                        "PANES 600", "PANES 195 405", "PANES 600", "CLOSED"}));
    EXPECT_EQ(Probe("window --no-close --try-close --quit-after 100"),
              (std::vector<std::string>{"GEOMETRY 0 0 640 480", "PANES 623", "LEVELS 3 CURRENT 1 REFERENCE 255",
                                        "CLOSE REFUSED", "CLOSED"}));
    const auto tabs = Probe("window --tabs A,B,C --states 0,1,1 --try-close");
    EXPECT_EQ(tabs.front(), "LEVELS 0 1 1 CURRENT 0 REFERENCE 255");
    EXPECT_EQ(tabs.back(), "CLOSED");
}

}  // namespace
