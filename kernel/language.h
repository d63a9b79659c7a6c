#pragma once
// Run-time translation of the program's German texts.
#include <string>

// The translation of a German text (the text itself while no phrase database
// is loaded).
std::string F_TRANS(const std::string& text);
// The translation of a hint: "short|long".
std::string F_TRANSHINT(const std::string& text);
