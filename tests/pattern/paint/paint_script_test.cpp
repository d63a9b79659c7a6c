// Scripts of the painting rules, each run in-process and through
// paint_probe: the write rule, the flags, lines, strokes and undo, the undo
// limit, rectangles and the colour swap, the pipette, keys and panels,
// phases, marking and measuring.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "tests/support/test_env.h"
#include "tests/tools/paint_probe/paint_script.h"

namespace {

struct ScriptCase {
    const char* name;
    std::vector<std::string> options;
    std::string script;
    // In this order, other lines between them.
    std::vector<std::string> expected;
    std::vector<std::string> absent;
};

const std::string kRow5 = "set 1 1 5 5\nset 1 2 5 7\nset 1 3 5 5\nset 1 4 5 7\nset 1 5 5 5\n";
const std::string kRow1 = "set 1 1 1 6\nset 1 2 1 3\nset 1 3 1 9\nset 1 4 1 6\nset 1 5 1 3\n";
const std::string kThreeStrokes =
    "fg 7\nstroke 2 2 6 2\nfg 5\nstroke 2 3 2 8\nfg 9\nstroke 1 5 8 5\n";
// Row r of a 3 x 10 picture holds r; row 1 of a 10 x 1 picture holds 1..10.
std::string Rows3x10()
{
    std::string out = "bg 0\n";
    for (int r = 1; r <= 10; ++r)
        for (int x = 1; x <= 3; ++x)
            out += "set 1 " + std::to_string(x) + ' ' + std::to_string(r) + ' ' + std::to_string(r) + '\n';
    return out;
}
std::string Row10x1()
{
    std::string out = "bg 0\n";
    for (int x = 1; x <= 10; ++x)
        out += "set 1 " + std::to_string(x) + " 1 " + std::to_string(x) + '\n';
    return out;
}
// Column 1 of rows 1..10 as SET lines of the values given (changed rows only).
std::vector<std::string> Column1(const std::vector<int>& values)
{
    std::vector<std::string> out;
    for (size_t r = 0; r < values.size(); ++r)
        if (values[r] != static_cast<int>(r) + 1)
            out.push_back("SET 1 1 " + std::to_string(r + 1) + ' ' + std::to_string(values[r]));
    return out;
}
const std::string kMarkTwo =
    "button BereichMarkieren_SpeedButton left\nev 1 1 1\nev 2 1 1\nev 2 1 0\n"
    "button FarbeTauschen_SpeedButton right\nfg 3\nstroke 1 1 5 1\n";
const std::string kLineHint = "TOOLHINT Linie:\xc2\xbf\"LT\" Vordergrundfarbe\xc2\xbf\"RT\" Hintergrundfarbe";

std::vector<ScriptCase> Cases()
{
    return {
        {"protected cells keep their colour", {}, kRow5 + "protect 5\nfg 3\nstroke 1 5 5 5\n",
         {"SET 1 2 5 3", "SET 1 4 5 3", "STATE tool=1 phase=2 previous=0 steps=1 records=6 motif=0,0,0,0"},
         {"SET 1 1 5 3", "SET 1 3 5 3"}},
        {"a transparent colour writes nothing", {}, kRow5 + "protect 5\ntransparent 3\nfg 3\nstroke 1 5 5 5\n",
         {"STATE tool=1 phase=2 previous=0 steps=1 records=6 motif=0,0,0,0"}, {"SET 1 2 5 3"}},
        {"inverted transparent flags let 255 through",
         {},
         "fg 255\nstroke 1 2 3 2\nprint\npopup transparent Umkehren\nstroke 1 2 3 2\nprint\n"
         "popup transparent Einschalten\nset 1 9 9 0\nstroke 1 2 3 2\n",
         {"STATE tool=1 phase=2 previous=0 steps=1 records=4 motif=0,0,0,0", "SET 1 1 2 255", "SET 1 3 2 255",
          "STATE tool=1 phase=2 previous=0 steps=2 records=8 motif=0,0,0,0",
          "STATE tool=1 phase=2 previous=0 steps=3 records=12 motif=0,0,0,0"},
         {}},
        {"switched off twice, protection comes back",
         {},
         "protect 5 9\npopup protect Ausschalten\npopup protect Ausschalten\npopup protect Einschalten\n"
         "set 1 1 1 5\nset 1 2 1 9\nfg 3\nstroke 1 1 3 1\n",
         {"SET 1 3 1 3"},
         {"SET 1 1 1 3", "SET 1 2 1 3"}},
        {"cleared flags stay clear",
         {},
         "protect 5\npopup protect L\xc3\xb6schen\npopup protect Einschalten\nset 1 1 1 5\nfg 3\nstroke 1 1 1 1\n",
         {"SET 1 1 1 3"},
         {}},
        {"a line on level 2",
         {"--states", "2,3,0"},
         "set 2 2 1 9\nset 2 8 3 9\nprotect 9\nfg 4\nbutton Linie_SpeedButton left\nev 1 1 0\nev 1 1 1\n"
         "ev 10 3 1\nev 10 3 0\n",
         {kLineHint, "HINT 10:3", "REDRAW 1 1 10 3", "SET 2 1 1 4", "SET 2 3 1 4", "SET 2 4 2 4", "SET 2 5 2 4",
          "SET 2 6 2 4", "SET 2 7 3 4", "SET 2 9 3 4", "SET 2 10 3 4",
          "STATE tool=14 phase=2 previous=1 steps=1 records=10 motif=0,0,0,0"},
         {"SET 2 2 1 4", "SET 2 8 3 4", "SET 1 1 1 4"}},
        {"three strokes undone one by one",
         {},
         kThreeStrokes + "undo\nprint\nundo\nprint\nundo\nprint\nundo\n",
         {"SET 1 2 5 5", "STATE tool=1 phase=2 previous=0 steps=2 records=13 motif=0,0,0,0", "SET 1 6 2 7",
          "STATE tool=1 phase=2 previous=0 steps=1 records=6 motif=0,0,0,0", "UNDO 0",
          "STATE tool=1 phase=2 previous=0 steps=0 records=0 motif=0,0,0,0",
          "STATE tool=1 phase=2 previous=0 steps=0 records=0 motif=0,0,0,0"},
         {"SET 1 3 5 9"}},
        {"a new tool starts a new history", {}, "fg 7\nstroke 2 2 6 2\nbutton Linie_SpeedButton left\nev 1 1 0\nundo\n",
         {"UNDO 1", "UNDO 0", "SET 1 6 2 7", "STATE tool=14 phase=2 previous=1 steps=0 records=0"}, {}},
        {"a full buffer warns once a step",
         {"--undo-limit", "130"},
         "fg 7\nstroke 1 1 15 1\nprint\nundo\nprint\nstroke 1 3 15 3\n",
         {"UNDO 1", "MSG UndoPufferGr\xc3\xb6\xc3\x9f" "e: 11", "SET 1 15 1 7", "records=10", "UNDO 0",
          "SET 1 11 1 7", "MSG UndoPufferGr\xc3\xb6\xc3\x9f" "e: 11"},
         {"SET 1 10 1 7\nSTATE tool=1 phase=2 previous=0 steps=0"}},
        {"filled rectangle",
         {},
         "button RechteckVoll_SpeedButton right\nfg 7\nstroke 2 2 5 4\n",
         {"GLYPH RechteckVoll_SpeedButton 5",
          "TOOLHINT Gef\xc3\xbcllt" "es Rechteck:\xc2\xbf\"LT\" Vordergrundfarbe\xc2\xbf\"RT\" Hintergrundfarbe",
          "HINT 4:3", "SET 1 2 2 7", "SET 1 5 4 7", "STATE tool=6 phase=2 previous=1 steps=1 records=3"},
         {}},
        {"rectangle outline",
         {},
         "button RechteckVoll_SpeedButton left\nfg 7\nstroke 2 2 5 4\n",
         {"GLYPH RechteckVoll_SpeedButton 4", "SET 1 2 3 7", "SET 1 5 3 7"},
         {"SET 1 3 3 7", "SET 1 4 3 7"}},
        {"colour swap paints over the background", {}, kRow1 + "button FarbeTauschen_SpeedButton left\nfg 3\nstroke 1 1 5 1\n",
         {"SET 1 1 1 3", "SET 1 4 1 3", "records=1"}, {"SET 1 3 1 3"}},
        {"colour swap exchanges with the right button", {}, kRow1 + "button FarbeTauschen_SpeedButton left\nfg 3\nstroke 1 1 5 1 2\n",
         {"SET 1 1 1 3", "SET 1 2 1 6", "SET 1 4 1 3", "SET 1 5 1 6"}, {}},
        {"temporary pipette",
         {},
         "set 1 3 3 9\nbutton Linie_SpeedButton left\nev 3 3 0\nev 3 3 3\n",
         {"FG 9", "STATE tool=14 phase=2 previous=1"},
         {"SET 1 3 3 9"}},
        {"chosen pipette, right button",
         {},
         "set 1 3 3 9\nbutton Linie_SpeedButton left\nev 3 3 0\nbutton ColPipette_SpeedButton left\nev 3 3 2\n",
         {"BG 9", "BUTTON Linie_SpeedButton 1", "STATE tool=14 phase=0"},
         {}},
        {"chosen pipette, middle button",
         {},
         "set 1 3 3 9\nbutton Linie_SpeedButton left\nev 3 3 0\nbutton ColPipette_SpeedButton left\nev 3 3 3\n",
         {"FG 9", "BUTTON Linie_SpeedButton 1", "STATE tool=14 phase=0"},
         {}},
        {"marking over all levels picks no colour",
         {},
         "set 1 3 3 9\nbutton BereichMarkieren_SpeedButton left\nev 3 3 3\n",
         {"STATE tool=4 phase=1"},
         {"FG 9"}},
        {"keys and panels", {}, "key A\nkey +\npanel 5 left\npanel 5 right\n", {"FG 19", "FG 5", "FG 4", "BG 4"}, {}},
        {"digits are no colour keys", {"--symbols", "ab1c"}, "key 1\nkey c\n", {"FG 3"}, {"FG 2"}},
        {"zoom pick abandons the brush", {}, "ev 3 3 0\nev 3 3 1\nev 3 3 0 zoom\n", {"STATE tool=1 phase=2"}, {}},
        {"zoom pick abandons the polyline",
         {},
         "button LinieEndlos_SpeedButton left\nev 3 3 0\nev 3 3 1\nev 3 3 0 zoom\n",
         {"STATE tool=15 phase=3"},
         {}},
        {"marking",
         {},
         "button BereichMarkieren_SpeedButton left\nev 3 2 1\nev 6 4 1\nev 6 4 0\nprint\n"
         "button BereichMarkieren_SpeedButton right\n",
         {"HINT 4:3", "STATUS 2 4:3", "STATE tool=1 phase=0 previous=1 steps=0 records=0 motif=3,2,6,4",
          "motif=0,0,0,0"},
         {}},
        {"measuring",
         {},
         "stroke 1 1 1 1\nbutton Lineal_SpeedButton left\nev 3 2 1\nev 6 4 1\nev 6 4 0\n",
         {"HINT 4:3", "STATUS 2 4:3", "STATE tool=30 phase=0 previous=1 steps=1"},
         {"SET 1 3 2 0"}},
        {"outline around a protected cell", {}, "bg 0\nset 1 10 10 5\nprotect 5\nfg 3\noption outline 5\nstroke 8 8 12 12\n",
         {"REDRAW 7 7 13 13", "SET 1 10 9 3", "SET 1 9 10 3", "SET 1 11 10 3", "SET 1 10 11 3", "records=4"},
         {}},
        {"outline right of protected cells only", {}, "bg 0\nset 1 10 10 5\nprotect 5\nfg 3\noption outline 3\nstroke 8 8 12 12\n",
         {"SET 1 11 10 3", "records=1"}, {}},
        {"outline at the edge", {}, "bg 0\nset 1 1 1 5\nprotect 5\nfg 3\noption outline 5\nstroke 1 1 3 3\n",
         {"SET 1 2 1 3", "SET 1 1 2 3", "records=2"}, {}},
        {"motif swap", {}, "bg 0\nset 1 1 1 1\nset 1 2 1 2\nset 1 3 1 1\nset 1 4 1 2\n" + kMarkTwo,
         {"TOOLHINT Motiv tauschen:", "SET 1 1 1 3", "SET 1 2 1 3", "SET 1 3 1 3", "SET 1 4 1 3", "motif=1,1,2,1"},
         {"SET 1 5 1 3"}},
        {"motif swap, overlapping occurrences", {}, "bg 0\nset 1 1 1 1\nset 1 2 1 1\nset 1 3 1 1\n" + kMarkTwo,
         {"SET 1 1 1 3", "SET 1 2 1 3"}, {"SET 1 3 1 3"}},
        {"motif swap without a motif", {}, "bg 0\nbutton FarbeTauschen_SpeedButton right\nfg 3\nstroke 1 1 5 1\n",
         {"MSG Kein Motiv im Bild markiert", "records=0"}, {"SET 1 1 1 3"}},
        {"delete rows", {"--size", "3x10"}, Rows3x10() + "option insdel 3\nstroke 1 5 1 6\n",
         Column1({1, 2, 3, 4, 7, 8, 9, 10, 0, 0}), {}},
        {"insert rows keeping them", {"--size", "3x10"}, Rows3x10() + "option insdel 1\nstroke 1 5 1 6\n",
         Column1({1, 2, 3, 4, 5, 6, 5, 6, 7, 8}), {}},
        {"insert rows filled", {"--size", "3x10"}, Rows3x10() + "option insdel 1\nstroke 1 5 1 6 2\n",
         Column1({1, 2, 3, 4, 0, 0, 5, 6, 7, 8}), {}},
        {"insert rows undone", {"--size", "3x10"}, Rows3x10() + "option insdel 1\nstroke 1 5 1 6 2\nundo\n",
         {"STATE tool=24 phase=2 previous=1 steps=0 records=0 motif=0,0,0,0"}, {"SET 1 1 5 0"}},
        {"insert columns filled", {"--size", "10x1"}, Row10x1() + "option insdel 2\nstroke 3 1 4 1 2\n",
         {"SET 1 3 1 0", "SET 1 4 1 0", "SET 1 5 1 3", "SET 1 10 1 8"}, {}},
        {"delete columns", {"--size", "10x1"}, Row10x1() + "option insdel 4\nstroke 3 1 4 1\n",
         {"SET 1 3 1 5", "SET 1 8 1 10", "SET 1 9 1 0", "SET 1 10 1 0"}, {}},
        {"delete rows within a missed motif", {"--size", "3x10"},
         Rows3x10() + "button BereichMarkieren_SpeedButton left\nev 1 1 1\nev 3 2 1\nev 3 2 0\n"
                      "option insdel 11\nstroke 1 5 1 6\n",
         {"TOOLHINT Zeilen l\xc3\xb6schen (innerhalb Motiv)", "records=1"}, {"SET 1 1 5 7"}},
    };
}

// Each expected line in order; a line may be a part of an output line.
void Check(const ScriptCase& c, const std::string& output, const char* how)
{
    const std::vector<std::string> lines = SplitLines(output);
    size_t at = 0;
    for (const std::string& want : c.expected) {
        const auto found = std::find_if(lines.begin() + static_cast<std::ptrdiff_t>(at), lines.end(),
                                        [&](const std::string& l) { return l.find(want) != std::string::npos; });
        ASSERT_NE(found, lines.end()) << c.name << " (" << how << "): no \"" << want << "\" in\n" << output;
        at = static_cast<size_t>(found - lines.begin()) + 1;
    }
    for (const std::string& unwanted : c.absent)
        EXPECT_EQ(output.find(unwanted + "\n"), std::string::npos) << c.name << " (" << how << "): " << unwanted;
}

TEST(PaintScript, InProcessAndThroughTheProbe)
{
    for (const ScriptCase& c : Cases()) {
        std::vector<std::string> args = c.options;
        args.push_back("script");
        std::ostringstream out;
        std::istringstream script(c.script);
        PaintScript(ReadPaintScriptOptions(args), out).RunAll(script);
        Check(c, out.str(), "in-process");

        const std::string path = WriteTestFile(TestHome() + "script.txt", c.script);
        std::string command = ToolsFolder() + "paint_probe";
        for (const std::string& o : c.options)
            command += " '" + o + "'";
        std::string probeOut;
        ASSERT_EQ(RunCommand(command + " " + path, &probeOut), 0) << c.name;
        EXPECT_EQ(probeOut, out.str()) << c.name;
    }
}

// Two strokes in the square of side 8 around the cell, cut to the picture;
// a seed repeats them.
TEST(PaintScript, SprayStaysInItsSquare)
{
    const std::string script = "bg 0\nfg 3\nbutton Spray_SpeedButton left\nev 3 10 0\nev 3 10 1\nev 3 10 0\n";
    auto run = [&] {
        std::ostringstream out;
        std::istringstream in(script);
        PaintScript(ReadPaintScriptOptions({"--seed", "7", "script"}), out).RunAll(in);
        return out.str();
    };
    const std::string first = run();
    EXPECT_EQ(run(), first);
    int sets = 0;
    for (const std::string& line : SplitLines(first)) {
        int l = 0, x = 0, y = 0, v = 0;
        if (std::sscanf(line.c_str(), "SET %d %d %d %d", &l, &x, &y, &v) != 4)
            continue;
        ++sets;
        EXPECT_TRUE(x >= 1 && x <= 6 && y >= 6 && y <= 13) << line;
    }
    EXPECT_GT(sets, 0);
}

TEST(PaintScript, BadUsage)
{
    EXPECT_EQ(RunCommand(ToolsFolder() + "paint_probe --size 3 x 2>/dev/null"), 2);
    const std::string path = WriteTestFile(TestHome() + "bad.txt", "paint 1 2\n");
    EXPECT_EQ(RunCommand(ToolsFolder() + "paint_probe " + path + " 2>/dev/null"), 2);
}

}  // namespace
