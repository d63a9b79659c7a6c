#pragma once
// What the compiler tells the windows while it runs: the progress window's
// status line and the four-line progress box.
#include <cstdint>
#include <string>

// The progress window's status line := text (UTF-8); then the windows get
// one round of their events, so they repaint during a long compile.
void ShowCompilerStatus(const std::string& text);

// Line 3 of the progress box := text (Windows-1252, at most 80 characters
// shown), line 4 := current, right-aligned in 4 places. total is what the
// count runs up to; the box shows no total.
void ShowCompilerProgress(const std::string& text, int32_t total, int32_t current);
