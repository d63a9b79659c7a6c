#pragma once
// Keeping the open windows consistent with the program: a new program, the
// windows of a program that is gone or of another machine, redisplay after
// the program was replaced.

// Empties the whole program; closes the program windows when the machine
// model changes. With clearScript the script editor's working copy goes too.
void P_NeuesProgramm(bool clearScript);
// Destroys the list windows (not the set-up sheet), hides the picture
// windows, then shows the program header again.
void P_CloseProgrammFenster();
// A visible list window gets the focus (it shows its lines anew); the pattern
// window is freed when the program has no pattern. Then the program header.
void P_UpdateFenster();
