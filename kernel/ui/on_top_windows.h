#pragma once
// The list windows, the script editor, the pattern window and its tool
// windows stay above the program's other windows. A window manager keeps
// them there by their above state; without one the program has to restack
// them itself, each time another window is raised over them or shown.
#include <vector>

class QWidget;
class QWindow;

namespace OnTopWindows {

// A menu, a tool tip or the splash: none of them takes part in the
// stacking or the keys' return.
bool IsPopup(const QWidget* w);
// The windows in the order they stand, bottom first (windows the server
// does not list keep their places at the end).
void SortByStacking(std::vector<QWindow*>& windows);
// Stacks each window directly above the one before it; the first stays
// where it is.
void RestackInOrder(const std::vector<QWindow*>& bottomFirst);
// Where no window manager runs: the shown windows that stay on top go back
// above the topmost other window, in the order they stand.
void KeepAboveOthers();
// Once, by the application: keeps them above the others whenever another
// window is raised or shown and no window manager runs.
void Install();

}  // namespace OnTopWindows
