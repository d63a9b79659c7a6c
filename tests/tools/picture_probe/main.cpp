// picture_probe: the picture window's palette, glyphs and window on the
// command line. Exit 0 on success, 1 when the operation reported an error,
// 2 on bad usage.
//
//   picture_probe [--home DIR] palette FILE
//   picture_probe glyph C
//   picture_probe [--home DIR] window [options]   (see kUsage)
#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QKeySequence>
#include <QLabel>
#include <QPointer>
#include <QTimer>
#include <QtTest/QTest>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>

#include "picture/core/cell_size.h"
#include "picture/core/palette_file.h"
#include "picture/core/symbol_glyphs.h"
#include "picture/frame_bild_kk.h"
#include "picture/my_scroll_bar.h"
#include "picture/pane_paint_box.h"
#include "picture/pane_splitter.h"
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
    "                     [--palette FILE] [--cells FILE] [--symbols TEXT] [--zoom-factor F]\n"
    "                     [--zoom-steps N] [--temp-zoom N] [--mode M] [--cell-size N] [--hscroll P]\n"
    "                     [--vscroll min|max|P] [--mark X1,Y1,X2,Y2] [--zoom-step N] [--click X,Y]\n"
    "                     [--keys \"K K ...\"] [--copy LEVELS] [--work-bitmap FILE] [--paste-image FILE]\n"
    "                     [--dump OUT] [--grab-pane OUT.png] [--grab OUT.png] [--quit-after MS]\n";

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
    // The picture's options, run in this order.
    std::string palette, cells, symbols, zoomFactor, zoomSteps, tempZoom, mode, cellSize, hscroll, vscroll, mark,
        zoomStep, click, keys, copy, workBitmap, pasteImage, dump, grabPane;
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
    for (auto [field, name] : std::initializer_list<std::pair<std::string*, const char*>>{
             {&o.palette, "--palette"},       {&o.cells, "--cells"},         {&o.symbols, "--symbols"},
             {&o.zoomFactor, "--zoom-factor"}, {&o.zoomSteps, "--zoom-steps"}, {&o.tempZoom, "--temp-zoom"},
             {&o.mode, "--mode"},             {&o.cellSize, "--cell-size"},  {&o.hscroll, "--hscroll"},
             {&o.vscroll, "--vscroll"},       {&o.mark, "--mark"},           {&o.zoomStep, "--zoom-step"},
             {&o.click, "--click"},           {&o.keys, "--keys"},           {&o.copy, "--copy"},
             {&o.workBitmap, "--work-bitmap"}, {&o.pasteImage, "--paste-image"}, {&o.dump, "--dump"},
             {&o.grabPane, "--grab-pane"}})
        *field = TakeOption(args, name);
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

std::string BandLine(TestPictureWindow& w, int pane, int mode, int columns, int rows)
{
    std::string line = "BAND " + std::to_string(pane) + " " + std::to_string(mode) + " " + std::to_string(columns) +
                       " " + std::to_string(rows) + " display=" + std::to_string(w.displayCalls) +
                       " pointer=" + std::to_string(w.pointerCalls);
    w.displayCalls = w.pointerCalls = 0;
    return line;
}

void WatchPicture(TestPictureWindow& w)
{
    w.onCell = [&w] {
        Line("CELL " + std::to_string(w.currentCellX) + " " + std::to_string(w.currentCellY) + " " +
             std::to_string(w.buttonState));
    };
    QObject::connect(&w, &TFormBildKK::bandRendered,
                     [&w](int pane, int mode, int columns, int rows) { Line(BandLine(w, pane, mode, columns, rows)); });
    QObject::connect(&w, &TFormBildKK::statusChanged, [](int panel, const QString& text) {
        Line("STATUS " + std::to_string(panel) + " " + text.toStdString());
    });
    QObject::connect(&w, &TFormBildKK::cellSizeChanged,
                     [](int cw, int ch) { Line("CELLSIZE " + std::to_string(cw) + " " + std::to_string(ch)); });
}

void LoadCells(TestPictureWindow& w, const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + file);
    for (int y = 1; y <= w.PictureHeight(); ++y)
        for (int x = 1; x <= w.PictureWidth(); ++x) {
            char c = 0;
            if (!in.get(c))
                throw std::runtime_error(file + " is shorter than the picture");
            w.SetCell(1, x, y, static_cast<uint8_t>(c));
        }
    w.RedrawCells();
}

// One character is typed; anything else is a key name.
void PressKeys(TestPictureWindow& w, const std::string& keys)
{
    for (const std::string& key : Split(keys, ' ')) {
        if (key.empty())
            continue;
        if (key.size() == 1) {
            QTest::keyClicks(&w, QString::fromStdString(key));
        } else {
            const QKeySequence sequence = QKeySequence::fromString(QString::fromStdString(key));
            if (sequence.isEmpty())
                throw ProbeUsage{"unknown key " + key};
            QTest::keyClick(&w, sequence[0].key(), sequence[0].keyboardModifiers());
        }
        QCoreApplication::processEvents();
    }
}

void ZoomStep(TestPictureWindow& w, int step)
{
    QLabel* panel = w.ZoomPanel(step - 1);
    if (!panel)
        throw ProbeUsage{"no zoom panel " + std::to_string(step)};
    QTest::mouseRelease(panel, Qt::LeftButton, {}, panel->rect().center());
    // The pointer then rests on the lower-left cell.
    PanePaintBox* box = w.Pane(0)->ShowBild;
    QTest::mouseMove(box, QPoint(0, box->height() - 1));
    QCoreApplication::processEvents();
}

void CopyRange(TestPictureWindow& w, const WindowOptions& o)
{
    w.workBitmapFile = o.workBitmap;
    const std::string error =
        w.CopyPictureToClipboard(w.markX2 - w.markX1 + 1, w.markY2 - w.markY1 + 1, ToInt(o.copy));
    if (!error.empty())
        Line("ERROR " + error);
}

void PasteImage(TestPictureWindow& w, const std::string& file)
{
    QImage image(QString::fromStdString(file));
    if (image.isNull())
        throw std::runtime_error("cannot read " + file);
    QApplication::clipboard()->setImage(image);
    if (w.rememberedLevels == 0)
        w.rememberedLevels = 1;
    const int32_t x1 = std::max(1, w.markX1);
    if (!w.PastePictureFromClipboard(w.PictureWidth() - x1 + 1))
        Line("ERROR nothing to paste");
    w.RedrawCells();
}

void Dump(TestPictureWindow& w, const std::string& file)
{
    std::ofstream out(file, std::ios::binary);
    const int levels = std::max<int>(1, static_cast<int>(w.Levels().States().size()));
    for (int k = 1; k <= levels; ++k) {
        const std::vector<uint8_t>& plane = w.PlaneBytes(k);
        out.write(reinterpret_cast<const char*>(plane.data()), static_cast<std::streamsize>(plane.size()));
    }
    if (!out)
        throw std::runtime_error("cannot write " + file);
}

void SetBar(QScrollBar* bar, const std::string& value)
{
    const int v = value == "min" ? bar->minimum() : value == "max" ? bar->maximum() : ToInt(value);
    bar->setValue(v);
    QCoreApplication::processEvents();
}

void SizePane(TestPictureWindow& w, const std::string& size)
{
    const std::vector<int> wh = Numbers(size, 'x', 2);
    // Panes smaller than the smallest window a user can make.
    w.setMinimumSize(1, 1);
    const QSize box = w.Pane(0)->ShowBild->size();
    w.resize(w.width() + wh[0] - box.width(), w.height() + wh[1] - box.height());
    QCoreApplication::processEvents();
}

// The picture options, in the order the usage lists them.
void RunPictureOptions(TestPictureWindow& w, const WindowOptions& o)
{
    if (!o.palette.empty() && w.LoadPaletteFile(o.palette) != PaletteLoad::Loaded)
        throw std::runtime_error("cannot load the palette " + o.palette);
    if (!o.cells.empty())
        LoadCells(w, o.cells);
    if (!o.symbols.empty()) {
        w.BuildSymbolTextMap(o.symbols);
        w.RedrawCells();
    }
    if (!o.zoomFactor.empty())
        w.zoomFactor = std::stod(o.zoomFactor);
    if (!o.zoomSteps.empty()) {
        w.EnableZoomBar(static_cast<uint8_t>(ToInt(o.zoomSteps)));
        // The bar took its width from the pane.
        if (!o.paneSize.empty())
            SizePane(w, o.paneSize);
    }
    if (!o.tempZoom.empty())
        w.temporaryZoomCellSize = static_cast<uint8_t>(ToInt(o.tempZoom));
    if (!o.mode.empty()) {
        w.forcedMode = ToInt(o.mode);
        w.RedrawCells();
    }
    if (!o.cellSize.empty())
        w.SetCellSize(static_cast<uint8_t>(ToInt(o.cellSize)));
    else if (!o.zoomFactor.empty())
        w.SetCellSize(w.cellWidth);
    if (!o.hscroll.empty())
        SetBar(w.Pane(0)->HorScrollBar, o.hscroll);
    if (!o.vscroll.empty())
        SetBar(w.VerScrollBar, o.vscroll);
    if (!o.mark.empty()) {
        const std::vector<int> m = Numbers(o.mark, ',', 4);
        w.SetMarkedRange(m[0], m[1], m[2], m[3]);
    }
    if (!o.zoomStep.empty())
        ZoomStep(w, ToInt(o.zoomStep));
    if (!o.click.empty()) {
        const std::vector<int> at = Numbers(o.click, ',', 2);
        QTest::mouseClick(w.Pane(0)->ShowBild, Qt::LeftButton, {}, QPoint(at[0], at[1]));
    }
    if (!o.keys.empty())
        PressKeys(w, o.keys);
    if (!o.copy.empty())
        CopyRange(w, o);
    if (!o.pasteImage.empty())
        PasteImage(w, o.pasteImage);
    if (!o.dump.empty())
        Dump(w, o.dump);
    QCoreApplication::processEvents();
}

int Window(char* program, Args args)
{
    const WindowOptions o = TakeWindowOptions(args);
    int qtArgc = 1;
    char* qtArgv[] = {program, nullptr};
    QApplication app(qtArgc, qtArgv);

    // The pointer starts away from the window; the options move it.
    QCursor::setPos(QPoint(4000, 4000));
    auto* w = new TestPictureWindow(o.iniKey);
    w->setWindowTitle("picture_probe");
    WatchPicture(*w);
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

    if (!o.paneSize.empty())
        SizePane(*w, o.paneSize);
    if (!o.split.empty())
        QTest::mouseRelease(w->Pane(0)->HorScrollBar, Qt::RightButton, {}, QPoint(ToInt(o.split), 8));
    if (!o.join.empty()) {
        const int p = ToInt(o.join);
        if (p >= 0 && p < w->PaneCount())
            QTest::mouseRelease(w->Pane(p)->SplitterSenk, Qt::RightButton, {}, QPoint(2, 20));
    }
    QCoreApplication::processEvents();
    w->activateWindow();
    w->setFocus();
    RunPictureOptions(*w, o);
    QCoreApplication::processEvents();
    if (!o.grabPane.empty() && !ended) {
        if (!w->Pane(0)->ShowBild->grab().save(QString::fromStdString(o.grabPane)))
            throw std::runtime_error("cannot write " + o.grabPane);
        ended = true;
    }
    if (o.tryClose && !ended)
        w->close();
    if (!o.grab.empty() && !ended) {
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
    // The copy's file is the caller's to look at.
    w->workBitmapFile.clear();
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
