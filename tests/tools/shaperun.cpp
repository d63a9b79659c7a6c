#include "shaperun.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <vector>

#include "kernel/model/globals.h"
#include "pattern/shapes/shapes.h"

const char* const kShapeProbeUsage =
    "usage: shape_probe [--home DIR] [options] OP ARGS\n"
    "options: --size WxH (40x40) --cells F --cells2 F (W x H bytes, row 1 first, levels 1 and 2)\n"
    "         --level N (1) --reference N (255) --slope XY (11) --width N (0) --type free|snap|stair\n"
    "         --colour N (7) --background N (0) --transparent N,.. --protect N,.. --transparent-colour N (255)\n"
    "         --visible X,Y,W,H --tool N (0) --step N (1) --fill-file F (Temp/Fuell.Tmp)\n"
    "         --pattern WxH,X,Y,HEX (top row first; paints with it) --no-pattern --no-undo --no-rule\n"
    "OPs:     brush|span|stepline|prespan X0 Y0 X1 Y1; rows MODE X0 Y0 X1 Y1; snap A B;\n"
    "         ellipse|circle filled|frame|preview X1 Y1 X2 Y2; rhombus|polygon X Y X Y;\n"
    "         arc paint|preview AX AY BX BY CX CY; fill paint|search X Y\n"
    "output:  SET x y v, FRAME x y, END x y, SNAP a b, UNDO n, REDRAW x1 y1 x2 y2, STATUS p text,\n"
    "         FILL 1|0 LOWEST y SPILLED n, MOTIF x1 y1 x2 y2 and its rows in hex, top row first";

namespace {

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end - start));
        if (end == std::string::npos)
            return parts;
        start = end + 1;
    }
}

std::vector<long> Numbers(const std::string& text, char separator, size_t count, long lo, long hi,
                          const std::string& what)
{
    std::vector<long> values;
    for (const std::string& part : Split(text, separator))
        values.push_back(ProbeNumber(part, lo, hi, what));
    if (count != 0 && values.size() != count)
        throw ProbeUsage{"bad " + what + ": " + text};
    return values;
}

void SetFlags(std::array<uint8_t, 256>& flags, const std::string& list, const std::string& what)
{
    if (list.empty())
        return;
    for (long v : Numbers(list, ',', 0, 0, 255, what))
        flags[static_cast<size_t>(v)] = 1;
}

void LoadCells(GridSurface& grid, int level, const std::string& path)
{
    if (path.empty())
        return;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::span<uint8_t> cells = grid.Level(level);
    if (bytes.size() != cells.size())
        throw std::runtime_error(path + " holds " + std::to_string(bytes.size()) + " bytes, not " +
                                 std::to_string(cells.size()));
    std::copy(bytes.begin(), bytes.end(), cells.begin());
}

FillPattern ParsePattern(const std::string& text)
{
    const std::vector<std::string> parts = Split(text, ',');
    if (parts.size() != 4)
        throw ProbeUsage{"bad --pattern: " + text};
    const std::vector<long> size = Numbers(parts[0], 'x', 2, 1, 4096, "--pattern size");
    FillPattern p;
    p.width = static_cast<int32_t>(size[0]);
    p.height = static_cast<int32_t>(size[1]);
    p.originX = static_cast<int32_t>(ProbeNumber(parts[1], -65536, 65536, "--pattern origin"));
    p.originY = static_cast<int32_t>(ProbeNumber(parts[2], -65536, 65536, "--pattern origin"));
    const std::string& hex = parts[3];
    if (hex.size() != static_cast<size_t>(p.width * p.height * 2))
        throw ProbeUsage{"--pattern needs W x H bytes of hex"};
    for (size_t i = 0; i < hex.size(); i += 2)
        p.pixels.push_back(static_cast<uint8_t>(ProbeNumber(hex.substr(i, 2), 0, 255, "hex", 16)));
    return p;
}

struct Setup {
    PaintState state;
    bool undo = true;
    bool rule = true;
    bool noPattern = false;
    std::string cells;
    std::string cells2;
};

Setup TakeOptions(ProbeArgs& args)
{
    Setup s;
    PaintState& st = s.state;
    std::string size = TakeOption(args, "--size");
    const std::vector<long> wh = Numbers(size.empty() ? "40x40" : size, 'x', 2, 1, 65535, "--size");
    st.width = static_cast<int32_t>(wh[0]);
    st.height = static_cast<int32_t>(wh[1]);
    s.cells = TakeOption(args, "--cells");
    s.cells2 = TakeOption(args, "--cells2");
    auto option = [&](const std::string& name, long fallback, long lo, long hi) {
        const std::string v = TakeOption(args, name);
        return v.empty() ? fallback : ProbeNumber(v, lo, hi, name);
    };
    st.currentLevel = static_cast<uint16_t>(option("--level", 1, 0, 2));
    st.referenceLevel = static_cast<uint16_t>(option("--reference", 255, 0, 255));
    const long slope = option("--slope", 11, 11, 44);
    st.settings.slopeX = static_cast<int32_t>(slope / 10);
    st.settings.slopeY = static_cast<int32_t>(slope % 10);
    if (st.settings.slopeY < 1 || st.settings.slopeY > 4)
        throw ProbeUsage{"bad --slope: " + std::to_string(slope)};
    st.settings.lineWidth = static_cast<uint8_t>(option("--width", 0, 0, 3));
    const std::string type = TakeOption(args, "--type");
    if (!type.empty() && type != "free" && type != "snap" && type != "stair")
        throw ProbeUsage{"bad --type: " + type};
    st.settings.free = type.empty() || type == "free";
    st.settings.snap = type == "snap";
    st.settings.staircase = type == "stair";
    st.currentColour = static_cast<uint8_t>(option("--colour", 7, 0, 255));
    st.backgroundColour = static_cast<uint8_t>(option("--background", 0, 0, 255));
    SetFlags(st.T, TakeOption(args, "--transparent"), "--transparent");
    SetFlags(st.P, TakeOption(args, "--protect"), "--protect");
    st.transparentColour = static_cast<uint8_t>(option("--transparent-colour", 255, 0, 255));
    const std::string visible = TakeOption(args, "--visible");
    if (!visible.empty()) {
        const std::vector<long> v = Numbers(visible, ',', 4, -65536, 131072, "--visible");
        st.visible = {static_cast<int32_t>(v[0]), static_cast<int32_t>(v[2]), static_cast<int32_t>(v[1]),
                      static_cast<int32_t>(v[3])};
    }
    st.tool = static_cast<uint8_t>(option("--tool", 0, 0, 255));
    st.stepByte = static_cast<uint8_t>(option("--step", 1, 0, 1));
    st.fillFile = TakeOption(args, "--fill-file");
    if (st.fillFile.empty())
        st.fillFile = TempPfad + "Fuell.Tmp";
    const std::string pattern = TakeOption(args, "--pattern");
    if (!pattern.empty()) {
        st.pattern = ParsePattern(pattern);
        st.motifIsForeground = 1;
    }
    s.noPattern = TakeSwitch(args, "--no-pattern");
    s.undo = !TakeSwitch(args, "--no-undo");
    s.rule = !TakeSwitch(args, "--no-rule");
    return s;
}

// The OP's numbers.
std::vector<int32_t> Points(const ProbeArgs& args, size_t first, size_t count)
{
    if (args.size() != first + count)
        throw ProbeUsage{args[0] + " takes " + std::to_string(count) + " numbers"};
    std::vector<int32_t> values;
    for (size_t i = first; i < args.size(); ++i)
        values.push_back(static_cast<int32_t>(ProbeNumber(args[i], -1000000, 1000000, "number")));
    return values;
}

// An OP's variant: one of the given words.
const std::string& Variant(const ProbeArgs& args, std::initializer_list<const char*> words)
{
    if (args.size() < 2 || std::none_of(words.begin(), words.end(), [&](const char* w) { return args[1] == w; }))
        throw ProbeUsage{"bad variant of " + args[0]};
    return args[1];
}

std::string Line(const char* format, long a, long b, long c = 0, long d = 0)
{
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, format, a, b, c, d);
    return buffer;
}

void PrintChanges(const std::vector<uint8_t>& before, GridSurface& grid, int level, std::string& out)
{
    std::span<uint8_t> after = grid.Level(level);
    for (size_t i = 0; i < after.size(); ++i) {
        if (after[i] == before[i])
            continue;
        const auto w = static_cast<size_t>(grid.Width());
        out += Line("SET %ld %ld %ld\n", static_cast<long>(i % w + 1), static_cast<long>(i / w + 1), after[i]);
    }
}

void PrintRecords(const GridSurface& grid, std::string& out)
{
    for (const GridSurface::Point& p : grid.previews)
        out += Line("FRAME %ld %ld\n", p.x, p.y);
}

void PrintAfter(const GridSurface& grid, bool painted, std::string& out)
{
    if (painted)
        out += Line("UNDO %ld\n", static_cast<long>(grid.undoCount), 0);
    for (const GridSurface::Redraw& r : grid.redraws)
        out += Line("REDRAW %ld %ld %ld %ld\n", r.x1, r.y1, r.x2, r.y2);
    for (const GridSurface::Status& s : grid.status)
        out += "STATUS " + std::to_string(s.panel) + " " + s.text + "\n";
}

void PrintMotif(const FillMotif& m, std::string& out)
{
    if (m.Empty())
        return;
    out += Line("MOTIF %ld %ld %ld %ld\n", m.x1, m.y1, m.x2, m.y2);
    const auto w = static_cast<size_t>(m.Width());
    for (size_t row = 0; row < static_cast<size_t>(m.Height()); ++row)
        out += HexBytes(m.cells.data() + row * w, w) + "\n";
}

}  // namespace

int RunShapes(ProbeArgs args, std::string& out)
{
    Setup setup = TakeOptions(args);
    PaintState& state = setup.state;
    if (args.empty())
        throw ProbeUsage{"no OP"};
    for (const std::string& a : args)
        if (a.rfind("--", 0) == 0)
            throw ProbeUsage{"unknown option " + a};
    GridSurface grid(2, state.width, state.height);
    LoadCells(grid, 1, setup.cells);
    LoadCells(grid, 2, setup.cells2);
    const int level = state.currentLevel == 0 ? 1 : state.currentLevel;
    const std::vector<uint8_t> before(grid.Level(level).begin(), grid.Level(level).end());

    const std::string& op = args[0];
    bool painted = true;
    int status = 0;
    std::string tail;
    if (op == "brush" || op == "span" || op == "stepline" || op == "prespan") {
        const std::vector<int32_t> p = Points(args, 1, 4);
        int32_t x1 = p[2];
        int32_t y1 = p[3];
        painted = op == "brush" || op == "span";
        if (op == "brush")
            PaintBrush(grid, state, setup.undo, setup.rule, p[0], x1, p[1], y1);
        else if (op == "span")
            PaintSpan(grid, state, setup.rule, p[0], x1, p[1], y1);
        else if (op == "stepline")
            StepLine(grid, state, 1, p[0], p[2], p[1], p[3]);
        else
            PreviewSpan(grid, state, p[0], p[2], p[1], p[3]);
        if (painted)
            tail = Line("END %ld %ld\n", x1, y1);
        else if (op == "prespan")
            tail = Line("END %ld %ld\n", state.staircaseEndX, state.staircaseEndY);
    } else if (op == "rows") {
        if (args.size() < 2)
            throw ProbeUsage{"rows needs a MODE"};
        const auto mode = static_cast<uint8_t>(ProbeNumber(args[1], 1, 4, "mode"));
        const std::vector<int32_t> p = Points(args, 2, 4);
        PaintMotifRows(grid, state, setup.undo, mode, p[0], p[2], p[1], p[3]);
    } else if (op == "snap") {
        std::vector<int32_t> p = Points(args, 1, 2);
        state.settings.free = 0;
        state.settings.staircase = 0;
        state.settings.snap = 1;
        SnapSlope(state, p[0], p[1]);
        tail = Line("SNAP %ld %ld\n", p[0], p[1]);
        painted = false;
    } else if (op == "ellipse" || op == "circle") {
        const std::string& kind = Variant(args, {"filled", "frame", "preview"});
        const std::vector<int32_t> p = Points(args, 2, 4);
        painted = kind != "preview";
        if (op == "ellipse")
            DrawEllipse(grid, state, kind == "filled", !painted, p[0], p[1], p[2], p[3]);
        else if (kind == "filled")
            DrawCircleFilled(grid, state, p[0], p[1], p[2], p[3]);
        else if (kind == "frame")
            DrawCircleFrame(grid, state, p[0], p[1], p[2], p[3]);
        else
            DrawCirclePreview(grid, state, p[0], p[1], p[2], p[3]);
    } else if (op == "rhombus" || op == "polygon") {
        const std::vector<int32_t> p = Points(args, 1, 4);
        painted = op == "rhombus";
        if (painted)
            DrawRhombus(grid, state, setup.rule, p[0], p[2], p[1], p[3]);
        else
            DrawPolygon(grid, state, 1, p[0], p[2], p[1], p[3]);
    } else if (op == "arc") {
        const std::string& kind = Variant(args, {"paint", "preview"});
        const std::vector<int32_t> p = Points(args, 2, 6);
        painted = kind == "paint";
        DrawArc(grid, state, !painted, p[0], p[1], p[2], p[3], p[4], p[5]);
    } else if (op == "fill") {
        const std::string& kind = Variant(args, {"paint", "search"});
        const std::vector<int32_t> p = Points(args, 2, 2);
        state.anchorX = p[0];
        state.anchorY = p[1];
        int32_t lowest = 0;
        const bool ok = FloodFill(grid, state, kind == "search", setup.noPattern, lowest);
        tail = Line("FILL %ld LOWEST %ld SPILLED %ld\n", ok ? 1 : 0, lowest, state.spilledSeeds);
        status = ok ? 0 : 1;
    } else {
        throw ProbeUsage{"unknown OP " + op};
    }
    PrintChanges(before, grid, level, out);
    PrintRecords(grid, out);
    out += tail;
    PrintAfter(grid, painted, out);
    PrintMotif(state.fillMotif, out);
    return status;
}
