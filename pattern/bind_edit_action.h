#pragma once
// The painting windows' share of the main window's Edit menu: entry 1 is
// undo, 2 cut, 3 copy, 4 paste, 5 and 6 the motif file commands, 7 to 22
// the motif transformations, in the order of the picture binding record.
#include <functional>

// With a handler (and clear false) the entry's item and tool button run it
// and are shown and enabled; otherwise both are unbound and disabled.
void BindEditAction(int entry, bool clear, std::function<void()> handler);
// Every entry unbound, as when a painting window is hidden.
void UnbindAllEditActions();
