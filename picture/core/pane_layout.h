#pragma once
// The widths of a picture window's side-by-side panes. A pane's width
// includes its splitter at its right edge: 5 pixels on every pane but the
// last, whose splitter is hidden (0) and which fills what the others leave.
#include <cstdint>
#include <vector>

class PaneLayout {
public:
    static constexpr int kSplitterWidth = 5;
    // A splitter's minimum size: no pane is split closer to its edges.
    static constexpr int kMinimumPane = 30;

    explicit PaneLayout(int totalWidth = 0) : widths_{totalWidth} {}

    // Splits pane p at x (pixels from its left edge): p keeps x - 5, a new
    // pane after it gets the rest of the old width, the last pane fills.
    // Refused (false) when x lies within 30 pixels of either edge or when
    // splitting is not allowed.
    bool Split(int p, int x, bool allowed);
    // Frees pane p; its width goes to the next pane, or, for the last pane,
    // the previous pane becomes the last and fills. False with one pane.
    bool Join(int p);
    // The pane whose visible splitter spans x (pixels from the panes' left
    // edge); -1 when none.
    int SplitterAt(int x) const;
    // A splitter dragged to make pane p newWidth wide: the next pane gives or
    // takes the difference; both keep at least the minimum. Gives p's width.
    int MoveSplitter(int p, int newWidth);
    // The window's panes area is now totalWidth wide: the last pane fills.
    void Resize(int totalWidth);

    int Count() const { return static_cast<int>(widths_.size()); }
    int Width(int p) const { return widths_[p]; }
    const std::vector<int>& Widths() const { return widths_; }
    int Left(int p) const;
    int SplitterWidth(int p) const { return p + 1 < Count() ? kSplitterWidth : 0; }
    // The first of the widest panes.
    int Widest() const;
    // The form's minimum width after a join: the last pane keeps 30 pixels
    // beside what stands right of the panes and the frame.
    int MinimumFormWidth(int frameExtra, int rightOfPanes) const;

private:
    int Total() const;

    std::vector<int> widths_;
};
