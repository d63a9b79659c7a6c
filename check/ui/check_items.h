#pragma once
// The main window's program test, simulation and export items and their
// tool buttons, which the checker windows hold off while one of them runs.

// Off: all six. On: test and simulation, and export when the export item's
// Tag is 1; the tool buttons are released.
void SetCheckItemsEnabled(bool enabled);
// The export item's Tag is 1 (the export is offered).
bool ExportOffered();
