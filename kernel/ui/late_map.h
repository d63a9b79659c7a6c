#pragma once
// A window shown and hidden again at once (the progress box of a short job)
// may be withdrawn before the window manager has put it on the screen. Some
// managers (metacity on a loaded machine) map it all the same: it then
// stands on the screen, empty, while the program has it hidden, until the
// program ends. The program sees that map (a hidden window of its own is
// exposed) and withdraws the window once more.
void InstallLateMapWithdrawal();
