#pragma once
// While a modal dialog or message runs, it stands above every window of the
// program. The list windows, the script editor and the tool windows stay on
// top of the others; a dialog that is not on top itself would open under
// them, out of sight, while it blocks every window: the program would look
// frozen. So, as long as a modal window is up, the windows that stay on top
// step down to the ordinary level (where they are, without being hidden),
// the modal window itself stays on top (a click on another window cannot
// bury it), and once the last modal window has gone they return to the top
// in the order they stood, and the window the person worked in has the keys
// again.

// Once, by the application: watches every window's showing and hiding, and
// keeps the windows that stay on top above the others where no window
// manager does.
void InstallModalStacking();
