#include "tests/tools/paint_probe/paint_script.h"

#include <iostream>
#include <map>
#include <sstream>

#include "kernel/model/workrecord.h"
#include "pattern/paint/area_tools.h"
#include "pattern/paint/motif_edit.h"
#include "pattern/shapes/grid_surface.h"
#include "pattern/shapes/tool_options.h"
#include "platform/codepage.h"
#include "tests/tools/common/probe_common.h"

namespace {

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
}  // namespace

class PaintScript::PrintingSurface : public GridSurface {
public:
    PrintingSurface(std::ostream& out, int levels, int32_t width, int32_t height)
        : GridSurface(levels, width, height), out_(out)
    {
    }
    void RedrawCells(int32_t x1, int32_t y1, int32_t x2, int32_t y2) override
    {
        out_ << "REDRAW " << x1 << ' ' << y1 << ' ' << x2 << ' ' << y2 << '\n';
    }
    void StatusText(int panel, const std::string& text) override
    {
        out_ << "STATUS " << panel << ' ' << text << '\n';
    }

private:
    std::ostream& out_;
};

class PaintScript::PrintingView : public PaintView {
public:
    explicit PrintingView(std::ostream& out) : out_(out) {}
    void FeedbackFrame(int32_t, int32_t, int32_t, int32_t) override {}
    void ClearFeedback() override {}
    void SetMarkedRange(int32_t, int32_t, int32_t, int32_t) override {}
    void ShowCellHint(const std::string& text) override { out_ << "HINT " << text << '\n'; }
    void HideCellHint() override {}
    void SetBusy(bool) override {}
    void SetToolHint(const std::string& first, const std::string& second) override
    {
        out_ << "TOOLHINT " << first << (second.empty() ? "" : "\xc2\xbf") << second << '\n';
    }
    void SetToolButtonDown(const std::string& button, bool down) override
    {
        out_ << "BUTTON " << button << ' ' << (down ? 1 : 0) << '\n';
    }
    void SetButtonGlyph(const std::string& button, int image) override
    {
        out_ << "GLYPH " << button << ' ' << image << '\n';
    }
    void BindUndo(bool bound) override { out_ << "UNDO " << (bound ? 1 : 0) << '\n'; }
    void Warning(const std::string& text) override { out_ << "MSG " << text << '\n'; }
    void TakeFocus() override {}
    void ForegroundChanged(uint8_t colour) override { out_ << "FG " << int{colour} << '\n'; }
    void BackgroundChanged(uint8_t colour) override { out_ << "BG " << int{colour} << '\n'; }
    void FlagMarkChanged(ColourFlagKind, uint8_t, bool) override {}
    void P_KopierenButtonEnable(bool) override {}
    void MotifChanged(int32_t w, int32_t h) override { out_ << "MOTIF " << w << ' ' << h << '\n'; }
    int MultiCopyCount(uint8_t tool) override { return tool == 28 ? multiCopy : 1; }
    void SetCaption(const std::string& text) override { out_ << "CAPTION " << text << '\n'; }

    int multiCopy = 1;

private:
    std::ostream& out_;
};

PaintScriptOptions ReadPaintScriptOptions(std::vector<std::string> args)
{
    PaintScriptOptions o;
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
    const std::string work = TakeOption(args, "--work");
    if (!work.empty())
        o.workBmp = work;
    const std::string seed = TakeOption(args, "--seed");
    if (!seed.empty())
        o.seed = static_cast<uint32_t>(Number(seed));
    if (args.size() != 1 || o.width < 0 || o.height < 0 || o.levels < 1 || o.levels > 255)
        throw ProbeUsage{"one script and sound sizes"};
    o.script = args[0];
    return o;
}

PaintScript::PaintScript(const PaintScriptOptions& o, std::ostream& out)
    : out_(out), grid_(std::make_unique<PrintingSurface>(out, o.levels, o.width, o.height)),
      view_(std::make_unique<PrintingView>(out)),
      core_(std::make_unique<PaintCore>(*grid_, *view_, hooks_, o.undoLimit))
{
    grid_->recordUndo = grid_->recordHooks = grid_->recordPreviews = false;
    core_->SetPictureSize(o.width, o.height);
    core_->SetLevelStates(o.states);
    core_->SetSymbols(o.symbols);
    core_->StartWithTool(1);
    PaintUnitSettings() = ShapeSettings{};
    core_->workBmp = o.workBmp;
    // The test palette: entry i is (i, 3i mod 256, 255 - i).
    for (uint32_t i = 0; i < 256; ++i)
        core_->colours[i] = 0xff000000u | i << 16 | ((3 * i) % 256) << 8 | (255 - i);
    if (o.seed)
        SeedSprayRandom(*o.seed);
    baseline_ = Snapshot();
}

PaintScript::~PaintScript() = default;

std::vector<uint8_t> PaintScript::Snapshot()
{
    std::vector<uint8_t> all;
    for (int l = 1; l <= grid_->Levels(); ++l) {
        const std::span<uint8_t> cells = grid_->Level(l);
        all.insert(all.end(), cells.begin(), cells.end());
    }
    return all;
}

void PaintScript::Event(int32_t x, int32_t y, int b, bool zoom)
{
    core_->CellEvent({x, y, static_cast<uint8_t>(b), zoom});
}

void PaintScript::Flags(ColourFlagKind kind, std::istringstream& in)
{
    for (std::string c; in >> c;)
        core_->SetFlag(kind, static_cast<uint8_t>(Number(c)), true);
}

// As the pop-up's button with that value: the slope by its tag, the line
// type and width by their number, the outline mode and the insert/delete
// code by themselves.
void PaintScript::Option(const std::string& name, int value)
{
    static const std::map<std::string, ToolOption> kOptions{{"slope", ToolOption::Slope},
                                                            {"type", ToolOption::LineType},
                                                            {"width", ToolOption::LineWidth},
                                                            {"outline", ToolOption::Outline},
                                                            {"insdel", ToolOption::InsertDelete}};
    const auto it = kOptions.find(name);
    if (it == kOptions.end())
        throw ProbeUsage{"unknown option: " + name};
    int button = value;
    if (it->second == ToolOption::Outline || it->second == ToolOption::InsertDelete) {
        button = 0;
        for (int b = 1; b <= ToolOptionButtonCount(it->second); ++b) {
            const uint16_t v = it->second == ToolOption::Outline ? kOutlineModes[static_cast<size_t>(b - 1)]
                                                                 : InsertDeleteButtons()[static_cast<size_t>(b - 1)].code;
            if (v == value)
                button = b;
        }
    }
    if (!ApplyToolOption(PaintUnitSettings(), it->second, button))
        throw ProbeUsage{"no such " + name + " button: " + std::to_string(value)};
    // Tools 23 and 24 are chosen by their option's button.
    if (it->second == ToolOption::Outline)
        core_->SpeedButtonMouseUp("Umranden_SpeedButton", MouseButton::Left);
    else if (it->second == ToolOption::InsertDelete)
        core_->SpeedButtonMouseUp("InsDel_SpeedButton", MouseButton::Left);
}

void PaintScript::RunAll(std::istream& script)
{
    for (std::string line; std::getline(script, line);)
        Run(line);
    Print();
}

void PaintScript::Run(const std::string& line)
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
        grid_->SetCell(Number(a[0]), Number(a[1]), Number(a[2]), static_cast<uint8_t>(Number(a[3])));
        baseline_ = Snapshot();
    } else if (op == "button") {
        need(2);
        core_->SpeedButtonMouseUp(a[0], Mouse(a[1]));
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
        core_->HandleKey(Utf32(a[0])[0]);
    } else if (op == "panel") {
        need(2);
        core_->IkonCol_MouseDown(Number(a[0]), Mouse(a[1]));
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
        core_->ColSchutzTranspPopUp_Click(kind, item);
    } else if (op == "fg") {
        need(1);
        core_->P_SetzeFarbenInFarbauswahl(MouseButton::Left, Number(a[0]) + 1);
    } else if (op == "bg") {
        need(1);
        core_->P_SetzeFarbenInFarbauswahl(MouseButton::Right, Number(a[0]) + 1);
    } else if (op == "edit") {
        need(1);
        EditCommand command;
        if (!EditCommandByName(a[0], command))
            throw ProbeUsage{"unknown edit command: " + a[0]};
        RunEditCommand(*core_, command, a.size() > 1 ? a[1] : std::string());
    } else if (op == "insert") {
        need(1);
        RunEditCommand(*core_, EditCommand::InsertFrom, a[0]);
    } else if (op == "copyto") {
        need(1);
        RunEditCommand(*core_, EditCommand::CopyTo, a[0]);
    } else if (op == "multicopy") {
        need(1);
        view_->multiCopy = Number(a[0]);
    } else if (op == "option") {
        need(2);
        Option(a[0], Number(a[1]));
    } else if (op == "protect") {
        Flags(ColourFlagKind::Protected, in);
    } else if (op == "transparent") {
        Flags(ColourFlagKind::Transparent, in);
    } else if (op == "undo") {
        // As the user meets it: the menu item works while it is bound.
        if (core_->UndoBound())
            core_->Rueckgaengig1Click();
    } else if (op == "print") {
        Print();
    } else {
        throw ProbeUsage{"unknown command: " + op};
    }
}

void PaintScript::Print()
{
    const std::vector<uint8_t> now = Snapshot();
    const size_t w = static_cast<size_t>(grid_->Width());
    const size_t plane = w * static_cast<size_t>(grid_->Height());
    for (size_t i = 0; i < now.size(); ++i)
        if (now[i] != baseline_[i])
            out_ << "SET " << i / plane + 1 << ' ' << i % w + 1 << ' ' << (i % plane) / w + 1 << ' '
                      << int{now[i]} << '\n';
    const MotifBlock& m = core_->Motif();
    out_ << "STATE tool=" << int{core_->ToolNow()} << " phase=" << int{core_->Phase()}
              << " previous=" << int{core_->PreviousTool()} << " steps=" << core_->Undo().StepIndex()
              << " records=" << core_->Undo().RecordCount() << " motif=" << m.x1 << ',' << m.y1 << ',' << m.x2
              << ',' << m.y2 << '\n';
}

