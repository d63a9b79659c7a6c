#pragma once
// A painting core over levels in memory, with a view that writes down what
// the window would show, one line each, as the probe prints it.
#include <string>
#include <vector>

#include "pattern/paint/paint_core.h"
#include "pattern/shapes/grid_surface.h"

class RecordingView : public PaintView {
public:
    std::vector<std::string> lines;

    void FeedbackFrame(int32_t, int32_t, int32_t, int32_t) override {}
    void ClearFeedback() override {}
    void SetMarkedRange(int32_t x1, int32_t y1, int32_t x2, int32_t y2) override
    {
        Add("MARK " + std::to_string(x1) + "," + std::to_string(y1) + "," + std::to_string(x2) + "," +
            std::to_string(y2));
    }
    void ShowCellHint(const std::string& text) override { Add("HINT " + text); }
    void HideCellHint() override {}
    void SetBusy(bool) override {}
    void SetToolHint(const std::string& first, const std::string&) override { Add("TOOLHINT " + first); }
    void SetToolButtonDown(const std::string& b, bool down) override { Add("BUTTON " + b + (down ? " 1" : " 0")); }
    void SetButtonGlyph(const std::string& b, int image) override { Add("GLYPH " + b + " " + std::to_string(image)); }
    void BindUndo(bool bound) override { Add(bound ? "UNDO 1" : "UNDO 0"); }
    void Warning(const std::string& text) override { Add("MSG " + text); }
    void TakeFocus() override {}
    void ForegroundChanged(uint8_t c) override { Add("FG " + std::to_string(c)); }
    void BackgroundChanged(uint8_t c) override { Add("BG " + std::to_string(c)); }
    void FlagMarkChanged(ColourFlagKind kind, uint8_t c, bool on) override
    {
        Add(std::string(kind == ColourFlagKind::Protected ? "P " : "T ") + std::to_string(c) + (on ? " 1" : " 0"));
    }
    void P_KopierenButtonEnable(bool on) override { Add(on ? "COPY 1" : "COPY 0"); }

    bool Has(const std::string& line) const
    {
        for (const std::string& l : lines)
            if (l == line)
                return true;
        return false;
    }
    size_t Count(const std::string& line) const
    {
        size_t n = 0;
        for (const std::string& l : lines)
            n += l == line;
        return n;
    }

private:
    void Add(std::string line) { lines.push_back(std::move(line)); }
};

struct PaintFixture {
    explicit PaintFixture(int32_t w = 20, int32_t h = 20, std::vector<uint8_t> states = {3, 0, 0},
                          uint64_t limit = UndoBuffer::kDefaultLimit)
        : grid(static_cast<int>(states.size()), w, h), core(grid, view, hooks, limit)
    {
        core.SetPictureSize(w, h);
        core.SetLevelStates(states);
        core.SetSymbols(U"VO*()+/^<>=#IX.-%&$ABCDEFGHJKLMN");
        core.StartWithTool(1);
        view.lines.clear();
    }
    void Ev(int32_t x, int32_t y, uint8_t b, bool zoom = false) { core.CellEvent({x, y, b, zoom}); }
    void Stroke(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint8_t b = 1)
    {
        Ev(x0, y0, 0);
        Ev(x0, y0, b);
        Ev(x1, y1, b);
        Ev(x1, y1, 0);
    }
    uint8_t At(int32_t x, int32_t y, int level = 1) const { return grid.Cell(level, x, y); }

    GridSurface grid;
    RecordingView view;
    PaintHooks hooks;
    PaintCore core;
};
