// paint_probe: the painting rules from outside, on levels in memory. A
// script of commands drives the tool machine as the window would; what the
// window would show is printed as it happens.
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/tools/common/probe_common.h"
#include "kernel/model/workrecord.h"
#include "pattern/paint/paint_core.h"
#include "pattern/shapes/grid_surface.h"
#include "platform/codepage.h"

namespace {

const char* const kUsage =
    "usage: paint_probe [--size WxH] [--levels N] [--states S,...] [--symbols TEXT] [--undo-limit BYTES] SCRIPT\n"
    "commands, one a line: set L X Y V | button NAME left|right | ev X Y B [zoom] | stroke X0 Y0 X1 Y1 [B]\n"
    "  | key C | panel I left|right | popup protect|transparent ITEM | fg C | protect C... | transparent C...\n"
    "  | undo | print";

std::u32string Utf32(const std::string& text)
{
    std::u32string out;
    for (size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        const int more = c < 0x80 ? 0 : c < 0xe0 ? 1 : c < 0xf0 ? 2 : 3;
        char32_t v = more == 0 ? c : c & (0x3f >> more);
        for (int k = 1; k <= more && i + static_cast<size_t>(k) < text.size(); ++k)
            v = (v << 6) | (static_cast<unsigned char>(text[i + static_cast<size_t>(k)]) & 0x3f);
        out += v;
        i += static_cast<size_t>(more) + 1;
    }
    return out;
}

int Number(const std::string& text)
{
    try {
        size_t used = 0;
        const int v = std::stoi(text, &used);
        if (used == text.size())
            return v;
    } catch (const std::exception&) {
    }
    throw ProbeUsage{"not a number: " + text};
}

MouseButton Mouse(const std::string& text)
{
    if (text == "left")
        return MouseButton::Left;
    if (text == "right")
        return MouseButton::Right;
    throw ProbeUsage{"left or right, not " + text};
}

// The grid, printing the redraws and status texts the routines ask for.
class PrintingSurface : public GridSurface {
public:
    using GridSurface::GridSurface;
    void RedrawCells(int32_t x1, int32_t y1, int32_t x2, int32_t y2) override
    {
        std::cout << "REDRAW " << x1 << ' ' << y1 << ' ' << x2 << ' ' << y2 << '\n';
    }
    void StatusText(int panel, const std::string& text) override
    {
        std::cout << "STATUS " << panel << ' ' << text << '\n';
    }
};

class PrintingView : public PaintView {
public:
    void FeedbackFrame(int32_t, int32_t, int32_t, int32_t) override {}
    void ClearFeedback() override {}
    void SetMarkedRange(int32_t, int32_t, int32_t, int32_t) override {}
    void ShowCellHint(const std::string& text) override { std::cout << "HINT " << text << '\n'; }
    void HideCellHint() override {}
    void SetBusy(bool) override {}
    void SetToolHint(const std::string& first, const std::string& second) override
    {
        std::cout << "TOOLHINT " << first << (second.empty() ? "" : "\xc2\xbf") << second << '\n';
    }
    void SetToolButtonDown(const std::string& button, bool down) override
    {
        std::cout << "BUTTON " << button << ' ' << (down ? 1 : 0) << '\n';
    }
    void SetButtonGlyph(const std::string& button, int image) override
    {
        std::cout << "GLYPH " << button << ' ' << image << '\n';
    }
    void BindUndo(bool bound) override { std::cout << "UNDO " << (bound ? 1 : 0) << '\n'; }
    void Warning(const std::string& text) override { std::cout << "MSG " << text << '\n'; }
    void TakeFocus() override {}
    void ForegroundChanged(uint8_t colour) override { std::cout << "FG " << int{colour} << '\n'; }
    void BackgroundChanged(uint8_t colour) override { std::cout << "BG " << int{colour} << '\n'; }
    void FlagMarkChanged(ColourFlagKind, uint8_t, bool) override {}
    void P_KopierenButtonEnable(bool) override {}
};

struct Options {
    int32_t width = 20;
    int32_t height = 20;
    int levels = 3;
    std::vector<uint8_t> states{3, 0, 0};
    std::u32string symbols;
    uint64_t undoLimit = UndoBuffer::kDefaultLimit;
    std::string script;
};

Options ReadOptions(ProbeArgs args)
{
    Options o;
    const std::string size = TakeOption(args, "--size");
    if (!size.empty()) {
        const size_t x = size.find('x');
        if (x == std::string::npos)
            throw ProbeUsage{"--size WxH"};
        o.width = Number(size.substr(0, x));
        o.height = Number(size.substr(x + 1));
    }
    const std::string levels = TakeOption(args, "--levels");
    if (!levels.empty())
        o.levels = Number(levels);
    const std::string states = TakeOption(args, "--states");
    if (!states.empty()) {
        o.states.clear();
        std::stringstream in(states);
        for (std::string s; std::getline(in, s, ',');)
            o.states.push_back(static_cast<uint8_t>(Number(s)));
    }
    SetDefaults();
    o.symbols = Utf32(Cp1252ToUtf8(ZrVar.Symbols));
    const std::string symbols = TakeOption(args, "--symbols");
    if (!symbols.empty())
        o.symbols = Utf32(symbols);
    const std::string limit = TakeOption(args, "--undo-limit");
    if (!limit.empty())
        o.undoLimit = std::stoull(limit);
    if (args.size() != 1 || o.width < 0 || o.height < 0 || o.levels < 1 || o.levels > 255)
        throw ProbeUsage{"one script and sound sizes"};
    o.script = args[0];
    return o;
}

class Session {
public:
    explicit Session(const Options& o)
        : grid_(o.levels, o.width, o.height), core_(grid_, view_, hooks_, o.undoLimit), baseline_(Snapshot())
    {
        grid_.recordUndo = grid_.recordHooks = grid_.recordPreviews = false;
        core_.SetPictureSize(o.width, o.height);
        core_.SetLevelStates(o.states);
        core_.SetSymbols(o.symbols);
        core_.StartWithTool(1);
    }

    void Run(const std::string& line);
    void Print();

private:
    std::vector<uint8_t> Snapshot()
    {
        std::vector<uint8_t> all;
        for (int l = 1; l <= grid_.Levels(); ++l) {
            const std::span<uint8_t> cells = grid_.Level(l);
            all.insert(all.end(), cells.begin(), cells.end());
        }
        return all;
    }
    void Event(int32_t x, int32_t y, int b, bool zoom)
    {
        core_.CellEvent({x, y, static_cast<uint8_t>(b), zoom});
    }
    void Flags(ColourFlagKind kind, std::istringstream& in)
    {
        for (std::string c; in >> c;)
            core_.SetFlag(kind, static_cast<uint8_t>(Number(c)), true);
    }

    PrintingSurface grid_;
    PrintingView view_;
    PaintHooks hooks_;
    PaintCore core_;
    std::vector<uint8_t> baseline_;
};

void Session::Run(const std::string& line)
{
    std::istringstream in(line);
    std::string op;
    if (!(in >> op) || op[0] == '#')
        return;
    std::vector<std::string> a;
    if (op != "protect" && op != "transparent")
        for (std::string w; in >> w;)
            a.push_back(w);
    auto need = [&](size_t n) {
        if (a.size() < n)
            throw ProbeUsage{"too few arguments: " + line};
    };
    if (op == "set") {
        need(4);
        grid_.SetCell(Number(a[0]), Number(a[1]), Number(a[2]), static_cast<uint8_t>(Number(a[3])));
        baseline_ = Snapshot();
    } else if (op == "button") {
        need(2);
        core_.SpeedButtonMouseUp(a[0], Mouse(a[1]));
    } else if (op == "ev") {
        need(3);
        Event(Number(a[0]), Number(a[1]), Number(a[2]), a.size() > 3 && a[3] == "zoom");
    } else if (op == "stroke") {
        need(4);
        const int b = a.size() > 4 ? Number(a[4]) : 1;
        const int x0 = Number(a[0]), y0 = Number(a[1]), x1 = Number(a[2]), y1 = Number(a[3]);
        Event(x0, y0, 0, false);
        Event(x0, y0, b, false);
        Event(x1, y1, b, false);
        Event(x1, y1, 0, false);
    } else if (op == "key") {
        need(1);
        core_.HandleKey(Utf32(a[0])[0]);
    } else if (op == "panel") {
        need(2);
        core_.IkonCol_MouseDown(Number(a[0]), Mouse(a[1]));
    } else if (op == "popup") {
        need(2);
        const ColourFlagKind kind = a[0] == "protect" ? ColourFlagKind::Protected : ColourFlagKind::Transparent;
        FlagPopupItem item;
        if (a[1] == "Ausschalten")
            item = FlagPopupItem::Ausschalten;
        else if (a[1] == "Einschalten")
            item = FlagPopupItem::Einschalten;
        else if (a[1] == "Löschen")
            item = FlagPopupItem::Loeschen;
        else if (a[1] == "Umkehren")
            item = FlagPopupItem::Umkehren;
        else
            throw ProbeUsage{"unknown pop-up item: " + a[1]};
        core_.ColSchutzTranspPopUp_Click(kind, item);
    } else if (op == "fg") {
        need(1);
        core_.P_SetzeFarbenInFarbauswahl(MouseButton::Left, Number(a[0]) + 1);
    } else if (op == "protect") {
        Flags(ColourFlagKind::Protected, in);
    } else if (op == "transparent") {
        Flags(ColourFlagKind::Transparent, in);
    } else if (op == "undo") {
        // As the user meets it: the menu item works while it is bound.
        if (core_.UndoBound())
            core_.Rueckgaengig1Click();
    } else if (op == "print") {
        Print();
    } else {
        throw ProbeUsage{"unknown command: " + op};
    }
}

void Session::Print()
{
    const std::vector<uint8_t> now = Snapshot();
    const size_t w = static_cast<size_t>(grid_.Width());
    const size_t plane = w * static_cast<size_t>(grid_.Height());
    for (size_t i = 0; i < now.size(); ++i)
        if (now[i] != baseline_[i])
            std::cout << "SET " << i / plane + 1 << ' ' << i % w + 1 << ' ' << (i % plane) / w + 1 << ' '
                      << int{now[i]} << '\n';
    const MotifBlock& m = core_.Motif();
    std::cout << "STATE tool=" << int{core_.ToolNow()} << " phase=" << int{core_.Phase()}
              << " previous=" << int{core_.PreviousTool()} << " steps=" << core_.Undo().StepIndex()
              << " records=" << core_.Undo().RecordCount() << " motif=" << m.x1 << ',' << m.y1 << ',' << m.x2
              << ',' << m.y2 << '\n';
}

}  // namespace

int main(int argc, char** argv)
{
    return RunProbe("paint_probe", kUsage, [&] {
        const Options o = ReadOptions(ProbeArgs(argv + 1, argv + argc));
        std::ifstream script(o.script);
        if (!script)
            throw std::runtime_error("cannot read " + o.script);
        Session session(o);
        for (std::string line; std::getline(script, line);)
            session.Run(line);
        session.Print();
        return 0;
    });
}
