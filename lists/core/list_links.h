#pragma once
// How one list editor moves another: by the other's form name ("W_Liste"),
// the way the windows are found. The windows install the walk over the
// open forms; core tests fill it with their own cores.
#include <functional>
#include <string>

// Brings the line into view in the list window of that name and marks the
// field (65535: none); false when no such window exists.
extern std::function<bool(const std::string& form, int line, int field)> GotoListWindow;
