#pragma once
// The pattern window's tool windows (the drawing tool palette and the colour
// window) float beside it; windows that cover the pattern, like the
// simulation, put them away with this.
void HidePatternToolWindows();
