#pragma once
// The pattern window's tool windows (the drawing tool palette and the colour
// window) float beside it; windows that cover the pattern, like the
// simulation, put them away with this.
class QWidget;

void HidePatternToolWindows();

// A tool window belongs to the window it serves, whatever its Qt parent (the
// tool windows outlive one pattern window): transient for it, so that every
// window manager shows it with that window and keeps it above it.
void KeepToolWindowWith(QWidget* tool, QWidget* owner);

// Puts the shown tool windows above every other window again. Without a
// window manager nothing keeps them above the window they serve once the
// program has raised that.
void RaisePatternToolWindows();
