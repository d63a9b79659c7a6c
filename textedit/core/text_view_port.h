#pragma once
// What the text editing core asks of the window that shows it: where the
// view stands, moving it, redrawing lines, the caret and the status notices.
#include <cstdint>

// The view's place over the text. Columns count from 1, lines from 0; the
// vertical position is the top visible line.
struct TextViewGeometry {
    int32_t firstColumn = 1;
    int32_t columns = 120;
    int32_t topLine = 0;
    int32_t rows = 40;
    int32_t pageStep = 39;
    int32_t horzMin = 1;
    int32_t horzMax = 256;
    int32_t vertMin = 0;
    int32_t vertMax = 0;
};

class TextViewPort {
public:
    virtual ~TextViewPort() = default;

    virtual TextViewGeometry Geometry() const = 0;
    virtual void SetFirstColumn(int32_t column) = 0;
    virtual void SetTopLine(int32_t line) = 0;
    // Redrawing waits while the window is hidden.
    virtual bool Visible() const = 0;
    // Lines and columns inclusive; -1 for all four: everything.
    virtual void RedrawTextRows(int32_t firstColumn, int32_t firstLine, int32_t lastLine, int32_t lastColumn) = 0;
    virtual void HideCaret() = 0;
    virtual void ShowCaret() = 0;
    // The cursor moved (status panel 0).
    virtual void CursorMoved() = 0;
    // Insert, overwrite or read-only changed (status panel 1).
    virtual void ModeChanged() = 0;
    // The store's Modified flag changed (status panel 2).
    virtual void ModifiedChanged(bool modified) = 0;
    // The number of lines changed: picture height and scroll ranges follow.
    virtual void TextLaidOut() = 0;
    // Esc: the window closes when it is one that closes on Esc.
    virtual void EscapePressed() = 0;
};
