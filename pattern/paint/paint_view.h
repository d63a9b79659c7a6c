#pragma once
// What the painting rules ask of the screen beyond the cells: the tool
// feedback, hints, the tool window's buttons, the undo entry of the edit
// menu, colour panels and messages. The window implements it; the probe
// prints it.
#include <array>
#include <cstdint>
#include <string>

struct MotifImage;

enum class ColourFlagKind { Protected, Transparent };

class PaintView {
public:
    virtual ~PaintView() = default;

    // The drag frame from one cell to another, or none.
    virtual void FeedbackFrame(int32_t x1, int32_t y1, int32_t x2, int32_t y2) = 0;
    virtual void ClearFeedback() = 0;
    // A four-sided frame through the cells given corner by corner.
    virtual void FeedbackQuad(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t) {}
    // The marked motif rectangle; an empty rectangle (width or height 0)
    // clears the marking.
    virtual void SetMarkedRange(int32_t x1, int32_t y1, int32_t x2, int32_t y2) = 0;
    virtual void ShowCellHint(const std::string& text) = 0;
    virtual void HideCellHint() = 0;
    // The hourglass while a long operation runs.
    virtual void SetBusy(bool busy) = 0;
    // The hint of the chosen tool as German phrase keys, translated by the
    // window; second may be empty.
    virtual void SetToolHint(const std::string& first, const std::string& second) = 0;
    virtual void SetToolButtonDown(const std::string& button, bool down) = 0;
    virtual void SetButtonGlyph(const std::string& button, int image) = 0;
    // Only called when the state changes.
    virtual void BindUndo(bool bound) = 0;
    virtual void Warning(const std::string& text) = 0;
    virtual void TakeFocus() = 0;
    virtual void ForegroundChanged(uint8_t colour) = 0;
    virtual void BackgroundChanged(uint8_t colour) = 0;
    // A colour's protect or transparent mark; only colours with a panel.
    virtual void FlagMarkChanged(ColourFlagKind kind, uint8_t colour, bool on) = 0;
    virtual void P_KopierenButtonEnable(bool on) = 0;
    // The motif commands of the Edit menu (paste, the file commands and
    // the transformations) bound or unbound.
    virtual void BindMotifCommands(bool) {}
    // The work bitmap was written: the motif's width and rows.
    virtual void MotifChanged(int32_t, int32_t) {}
    // How often tool 28 places the motif; 1 without asking, 0 when the
    // answer was asked for a program that has gone meanwhile.
    virtual int MultiCopyCount(uint8_t) { return 1; }
    virtual void SetCaption(const std::string&) {}
    // The text in the chosen font as a motif of one level: the foreground
    // colour's index where the text is drawn, the transparent index around
    // it. False when there is nothing to draw with.
    virtual bool RenderText(const std::u32string&, MotifImage&) { return false; }
    // The font dialog for the text tool; false when cancelled.
    virtual bool ChooseFont() { return false; }
    // The colour table after a motif's colours were taken over (0xffRRGGBB).
    virtual void PaletteChanged(const std::array<uint32_t, 256>&) {}
};
