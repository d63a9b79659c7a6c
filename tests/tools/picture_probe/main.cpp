// picture_probe: the picture window's palette, glyphs and window on the
// command line. Exit 0 on success, 1 when the operation reported an error,
// 2 on bad usage.
//
//   picture_probe [--home DIR] palette FILE
//   picture_probe glyph C
//   picture_probe [--home DIR] window [options]   (see kUsage)
#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QtTest/QTest>
#include <cstdio>
#include <iostream>
#include <optional>
#include <sstream>

#include "pattern/core/palette_file.h"
#include "pattern/core/symbol_glyphs.h"
#include "pattern/pane_paint_box.h"
#include "pattern/pane_splitter.h"
#include "pattern/t_frame_bild_kk.h"
#include "pattern/t_my_scroll_bar.h"
#include "tests/support/qt/test_picture_window.h"
#include "tests/tools/common/probe_common.h"

namespace {

using Args = ProbeArgs;

const char* const kUsage =
    "usage: picture_probe [--home DIR] palette FILE\n"
    "       picture_probe glyph C\n"
    "       picture_probe [--home DIR] window [--size WxH] [--ini-key KEY] [--tabs A,B,C [--widths W,..]\n"
    "                     [--states S,..] [--exclusive I,..]] [--no-close] [--no-split]\n"
    "                     [--geometry L,T,W,H] [--pane-size WxH] [--split X] [--join P] [--try-close]\n"
    "                     [--grab OUT.png] [--quit-after MS]\n";

int ToInt(const std::string& s)
{
    size_t used = 0;
    int v = 0;
    try {
        v = std::stoi(s, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used == 0 || used != s.size())
        throw ProbeUsage{"not a number: " + s};
    return v;
}

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, separator))
        parts.push_back(part);
    return parts;
}

std::vector<int> Numbers(const std::string& text, char separator, size_t count = 0)
{
    std::vector<int> out;
    for (const std::string& s : Split(text, separator))
        out.push_back(ToInt(s));
    if (count && out.size() != count)
        throw ProbeUsage{"expected " + std::to_string(count) + " numbers: " + text};
    return out;
}

void Line(const std::string& text)
{
    std::cout << text << "\n";
    std::cout.flush();
}

int Palette(const Args& args)
{
    if (args.size() != 1)
        throw ProbeUsage{"palette needs FILE"};
    PaletteTable table;
    switch (LoadPaletteFile(table, args[0])) {
    case PaletteLoad::TooShort:
        Line("ERROR palette file shorter than 1024 bytes");
        return 1;
    case PaletteLoad::Missing:
        Line("MISSING");
        break;
    case PaletteLoad::Loaded:
        Line("OK");
        break;
    }
    char buf[32];
    std::cout << "USED " << int(table.UsedColours()) << "\n";
    std::snprintf(buf, sizeof buf, "%08x", table.Rgb204());
    std::cout << "RGB204 " << buf << "\n";
    for (int i = 0; i < 256; ++i) {
        const uint8_t rgb[3] = {table.Red(i), table.Green(i), table.Blue(i)};
        std::cout << i << " " << HexBytes(rgb, 3) << " " << int(table.Contrast(i)) << "\n";
    }
    return 0;
}

int GlyphCommand(const Args& args)
{
    if (args.size() != 1 || args[0].size() != 1 || kGlyphAlphabet.find(args[0][0]) == std::string_view::npos)
        throw ProbeUsage{"glyph needs one character of the glyph alphabet"};
    const Glyph& g = SymbolGlyphs()[kGlyphAlphabet.find(args[0][0])];
    for (int r = 9; r >= 0; --r) {
        std::string line;
        for (int c = 0; c < 10; ++c)
            line += g[c * 10 + r] == 0 ? '#' : '.';
        std::cout << line << "\n";
    }
    return 0;
}

struct WindowOptions {
    std::string size, iniKey, tabs, widths, states, exclusive, geometry, paneSize, split, join, grab, quitAfter;
    bool noClose = false, noSplit = false, tryClose = false;
};

WindowOptions TakeWindowOptions(Args& args)
{
    WindowOptions o;
    o.size = TakeOption(args, "--size");
    o.iniKey = TakeOption(args, "--ini-key");
    o.tabs = TakeOption(args, "--tabs");
    o.widths = TakeOption(args, "--widths");
    o.states = TakeOption(args, "--states");
    o.exclusive = TakeOption(args, "--exclusive");
    o.noClose = TakeSwitch(args, "--no-close");
    o.noSplit = TakeSwitch(args, "--no-split");
    o.geometry = TakeOption(args, "--geometry");
    o.paneSize = TakeOption(args, "--pane-size");
    o.split = TakeOption(args, "--split");
    o.join = TakeOption(args, "--join");
    o.tryClose = TakeSwitch(args, "--try-close");
    o.grab = TakeOption(args, "--grab");
    o.quitAfter = TakeOption(args, "--quit-after");
    if (!args.empty())
        throw ProbeUsage{"unknown option " + args[0]};
    return o;
}

void BuildTabs(TestPictureWindow& w, const WindowOptions& o)
{
    std::vector<QString> names;
    for (const std::string& n : Split(o.tabs, ','))
        names.push_back(QString::fromStdString(n));
    std::vector<int16_t> widths(names.size(), -25);
    if (!o.widths.empty()) {
        widths.clear();
        for (int v : Numbers(o.widths, ','))
            widths.push_back(static_cast<int16_t>(v));
    }
    std::vector<uint8_t> states(names.size(), 1);
    if (!states.empty())
        states[0] = 3;
    if (!o.states.empty()) {
        states.clear();
        for (int v : Numbers(o.states, ','))
            states.push_back(static_cast<uint8_t>(v));
    }
    std::bitset<256> exclusive;
    if (!o.exclusive.empty())
        for (int v : Numbers(o.exclusive, ','))
            if (v >= 0 && v < 256)
                exclusive.set(static_cast<size_t>(v));
    w.BuildLevelTabs(names, widths, states, exclusive);
}

std::string LevelsLine(const TFormBildKK& w)
{
    std::string line = "LEVELS";
    for (uint8_t s : w.Levels().States())
        line += " " + std::to_string(s);
    return line + " CURRENT " + std::to_string(w.Levels().CurrentLevel()) + " REFERENCE " +
           std::to_string(w.Levels().ReferenceLevel());
}

std::string PanesLine(const TFormBildKK& w)
{
    std::string line = "PANES";
    for (int width : w.Panes().Widths())
        line += " " + std::to_string(width);
    return line;
}

int Window(char* program, Args args)
{
    const WindowOptions o = TakeWindowOptions(args);
    int qtArgc = 1;
    char* qtArgv[] = {program, nullptr};
    QApplication app(qtArgc, qtArgv);

    auto* w = new TestPictureWindow(o.iniKey);
    w->setWindowTitle("picture_probe");
    bool levelsShown = false;
    w->onLevels = [&] {
        Line(LevelsLine(*w));
        levelsShown = true;
    };
    bool ended = false;
    w->onClose = [&](bool allowed) {
        if (!allowed) {
            Line("CLOSE REFUSED");
            return;
        }
        ended = true;
        // exit, not quit: quit would ask every window to close first.
        QTimer::singleShot(0, &app, [] { QCoreApplication::exit(0); });
    };
    if (!o.size.empty()) {
        const std::vector<int> wh = Numbers(o.size, 'x', 2);
        w->SetPictureWidth(static_cast<uint16_t>(wh[0]));
        w->SetPictureHeight(static_cast<uint16_t>(wh[1]));
    }
    if (!o.tabs.empty())
        BuildTabs(*w, o);
    if (o.noClose)
        w->closeAllowed = 0;
    if (o.noSplit)
        w->splittingAllowed = 0;
    if (!o.geometry.empty()) {
        const std::vector<int> g = Numbers(o.geometry, ',', 4);
        w->move(g[0], g[1]);
        w->resize(g[2], g[3]);
    }
    w->show();
    if (!QTest::qWaitForWindowExposed(w))
        throw std::runtime_error("the window was not shown");
    QCoreApplication::processEvents();
    Line("GEOMETRY " + std::to_string(w->pos().x()) + " " + std::to_string(w->pos().y()) + " " +
         std::to_string(w->width()) + " " + std::to_string(w->height()));
    std::string lastPanes = PanesLine(*w);
    Line(lastPanes);
    if (!levelsShown)
        Line(LevelsLine(*w));
    QObject::connect(w, &TFormBildKK::panesChanged, [&] {
        const std::string panes = PanesLine(*w);
        if (panes != lastPanes)
            Line(lastPanes = panes);
    });

    if (!o.paneSize.empty()) {
        const std::vector<int> wh = Numbers(o.paneSize, 'x', 2);
        const QSize box = w->Pane(0)->ShowBild->size();
        w->resize(w->width() + wh[0] - box.width(), w->height() + wh[1] - box.height());
        QCoreApplication::processEvents();
    }
    if (!o.split.empty())
        QTest::mouseRelease(w->Pane(0)->HorScrollBar, Qt::RightButton, {}, QPoint(ToInt(o.split), 8));
    if (!o.join.empty()) {
        const int p = ToInt(o.join);
        if (p >= 0 && p < w->PaneCount())
            QTest::mouseRelease(w->Pane(p)->SplitterSenk, Qt::RightButton, {}, QPoint(2, 20));
    }
    QCoreApplication::processEvents();
    if (o.tryClose)
        w->close();
    if (!o.grab.empty()) {
        QCoreApplication::processEvents();
        if (!w->grab().save(QString::fromStdString(o.grab)))
            throw std::runtime_error("cannot write " + o.grab);
        ended = true;
    }
    if (!ended) {
        if (!o.quitAfter.empty())
            QTimer::singleShot(ToInt(o.quitAfter), &app, [] { QCoreApplication::exit(0); });
        app.exec();
    }
    delete w;
    Line("CLOSED");
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    Args args(argv + 1, argv + argc);
    ProbeHome home;
    PrintingHost host;
    const int rc = RunProbe("picture_probe", kUsage, [&] {
        const std::string dir = TakeOption(args, "--home");
        if (args.empty())
            return PrintProbeUsage("picture_probe", "", kUsage);
        const std::string command = args[0];
        if (command != "palette" && command != "glyph" && command != "window")
            return PrintProbeUsage("picture_probe", "unknown command " + command, kUsage);
        home.Enter(dir, "picture-probe");
        setKernelHost(&host);
        const Args rest(args.begin() + 1, args.end());
        if (command == "palette")
            return Palette(rest);
        if (command == "glyph")
            return GlyphCommand(rest);
        return Window(argv[0], rest);
    });
    std::cout.flush();
    setKernelHost(nullptr);
    return rc;
}
