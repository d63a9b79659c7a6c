#include <gtest/gtest.h>

#include "picture/core/bmp8_file.h"
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

// The lines of the window's own events, without the picture's.
std::vector<std::string> WindowLines(const std::vector<std::string>& lines)
{
    std::vector<std::string> out;
    for (const std::string& l : lines)
        if (l.rfind("BAND ", 0) && l.rfind("STATUS ", 0) && l.rfind("CELL", 0))
            out.push_back(l);
    return out;
}

std::vector<std::string> Starting(const std::vector<std::string>& lines, const std::string& prefix)
{
    std::vector<std::string> out;
    for (const std::string& l : lines)
        if (l.rfind(prefix, 0) == 0)
            out.push_back(l);
    return out;
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
    EXPECT_EQ(WindowLines(Probe("window --ini-key ProbeWin --geometry 40,30,300,200 --quit-after 200"))[0], "GEOMETRY 40 30 300 200");
    IniProfile ini(TestHome() + "Zorit.INI");
    EXPECT_EQ(ini.ReadString("Windows", "ProbeWin", ""), "X     40    30   300   200  0");
    EXPECT_EQ(WindowLines(Probe("window --ini-key ProbeWin --quit-after 100"))[0], "GEOMETRY 40 30 300 200");

    Probe("window --ini-key ProbeWin --geometry 1100,100,300,200 --quit-after 200", 2);
    EXPECT_EQ(ini.ReadString("Windows", "ProbeWin", ""), "X     76   100   300   200  1");
    EXPECT_EQ(WindowLines(Probe("window --ini-key ProbeWin --quit-after 100", 2))[0], "GEOMETRY 1100 100 300 200");
    // A monitor past the list is not applied.
    ini.WriteString("Windows", "ProbeWin", "X     76   100   300   200  2");
    EXPECT_EQ(WindowLines(Probe("window --ini-key ProbeWin --quit-after 100", 2))[0], "GEOMETRY 76 100 300 200");
    ini.WriteString("Windows", "ProbeWin", "X     76  5000   300   200  0");
    EXPECT_EQ(WindowLines(Probe("window --ini-key ProbeWin --quit-after 100"))[0], "GEOMETRY 76 718 300 200");
}

TEST(PictureProbe, WindowEvents)
{
    EXPECT_EQ(WindowLines(Probe("window --pane-size 600x400 --split 200 --join 0 --quit-after 100")),
              (std::vector<std::string>{"GEOMETRY 0 0 640 480", "PANES 623", "LEVELS 3 CURRENT 1 REFERENCE 255",
                                        "PANES 600", "PANES 195 405", "PANES 600", "CLOSED"}));
    EXPECT_EQ(WindowLines(Probe("window --no-close --try-close --quit-after 100")),
              (std::vector<std::string>{"GEOMETRY 0 0 640 480", "PANES 623", "LEVELS 3 CURRENT 1 REFERENCE 255",
                                        "CLOSE REFUSED", "CLOSED"}));
    const auto tabs = WindowLines(Probe("window --tabs A,B,C --states 0,1,1 --try-close"));
    EXPECT_EQ(tabs.front(), "LEVELS 0 1 1 CURRENT 0 REFERENCE 255");
    EXPECT_EQ(tabs.back(), "CLOSED");
}

TEST(PictureProbe, BandsAndViews)
{
    struct Case {
        const char* options;
        const char* prefix;
        const char* last;
    } cases[] = {
        {"--size 50x40 --pane-size 60x50", "BAND", "BAND 0 6 50 40 display=1 pointer=40"},
        {"--size 50x40 --cell-size 4 --pane-size 200x160", "BAND", "BAND 0 0 50 40 display=2001 pointer=0"},
        {"--size 30x100 --pane-size 30x20 --vscroll min", "STATUS 0", "STATUS 0 1:81"},
        {"--size 30x100 --pane-size 30x20 --vscroll max", "STATUS 0", "STATUS 0 1:1"},
        {"--size 200x50 --cell-size 4 --pane-size 400x200 --keys Right", "", "BAND 0 0 1 50 display=51 pointer=0"},
        {"--size 200x50 --cell-size 4 --pane-size 400x200 --keys End", "BAND", "BAND 0 0 100 50 display=5001 pointer=0"},
        {"--size 10x10 --cell-size 10 --pane-size 100x100 --mark 3,2,6,4", "STATUS 2", "STATUS 2 4:3"},
        {"--tabs A,B --states 3,2 --size 10x10 --cell-size 4 --pane-size 40x40", "BAND", "BAND 0 5 10 10 display=101 pointer=0"},
        {"--zoom-steps 16 --size 50x40 --pane-size 200x160 --keys \"+ + + + + + + + + + + + + + + + + + + +\"",
         "CELLSIZE", "CELLSIZE 16 16"},
        {"--zoom-steps 16 --size 50x40 --pane-size 200x160 --keys \"9 5\"", "CELLSIZE", "CELLSIZE 5 5"},
        {"--zoom-steps 16 --size 50x40 --pane-size 200x160 --keys \"3 - - - - -\"", "CELLSIZE", "CELLSIZE 1 1"},
        {"--temp-zoom 7 --keys Space", "CELLSIZE", "CELLSIZE 7 7"},
        {"--tabs A,B,C --states 3,1,0 --keys \"F2 F3\"", "LEVELS", "LEVELS 1 3 0 CURRENT 2 REFERENCE 255"},
        {"--zoom-steps 16 --size 2000x1000 --pane-size 800x600 --zoom-step 4 --click 700,100", "STATUS 0",
         "STATUS 0 601:425"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> lines = Probe(std::string("window ") + c.options + " --quit-after 50");
        ASSERT_EQ(lines.back(), "CLOSED") << c.options;
        lines.pop_back();
        lines = Starting(lines, c.prefix);
        ASSERT_FALSE(lines.empty()) << c.options;
        EXPECT_EQ(lines.back(), c.last) << c.options;
    }
    EXPECT_TRUE(Starting(Probe("window --keys + --quit-after 50"), "CELLSIZE").empty());
    EXPECT_EQ(Starting(Probe("window --tabs A,B,C --states 3,1,0 --keys \"F2 F3\" --quit-after 50"), "LEVELS").size(), 2u);
}

TEST(PictureProbe, KeyboardCursor)
{
    const auto lines = Probe("window --size 50x40 --cell-size 4 --pane-size 200x160 --keys "
                             "\"Tab Right Right Right Up Up Home Return Return Escape Escape\"");
    EXPECT_EQ(Starting(lines, "CELL "), (std::vector<std::string>{"CELL 1 1 0", "CELL 2 1 0", "CELL 3 1 0",
                                                                 "CELL 4 1 0", "CELL 4 2 0", "CELL 4 3 0",
                                                                 "CELL 1 3 0", "CELL 1 3 1", "CELL 1 3 0"}));
    EXPECT_EQ(lines.back(), "CLOSED");
    const auto kept = Probe("window --no-close --keys \"Escape\" --quit-after 100");
    EXPECT_TRUE(Starting(kept, "CLOSE").empty() || kept.back() == "CLOSED");
}

TEST(PictureProbe, ClipboardCopyAndPaste)
{
    const std::string bmp = TestHome() + "W.bmp";
    Probe("window --size 10x10 --tabs A,B --states 3,2 --mark 1,2,4,4 --copy 2 --work-bitmap " + bmp + " --quit-after 50");
    Bmp8 copy;
    std::string error;
    ASSERT_TRUE(ReadBmp8(bmp, copy, error)) << error;
    ASSERT_EQ(copy.width, 4);
    ASSERT_EQ(copy.height, 6);
    for (int k = 0; k < 2; ++k)
        for (int line = 0; line < 3; ++line)
            for (int x = 1; x <= 4; ++x)
                EXPECT_EQ(copy.Line(k * 3 + line)[x - 1], (7 * x + 13 * (4 - line) + 5 * k) % 42) << k << line << x;

    Bmp8 paste;
    paste.width = 3;
    paste.height = 1;
    paste.colours = copy.colours;
    paste.pixels = {5, 0, 7};
    paste.colours[0] = 0xff010203u;  // a colour of no palette entry
    paste.pixels[1] = 0;
    ASSERT_EQ(WriteBmp8(TestHome() + "P.bmp", paste), "");
    const std::string dump = TestHome() + "D.bin";
    Probe("window --size 10x10 --mark 2,2,2,2 --paste-image " + TestHome() + "P.bmp --dump " + dump + " --quit-after 50");
    const std::string bytes = ReadTestFile(dump);
    ASSERT_EQ(bytes.size(), 100u);
    EXPECT_EQ(bytes.substr(11, 3), std::string("\x05\x00\x07", 3));
}

}  // namespace
