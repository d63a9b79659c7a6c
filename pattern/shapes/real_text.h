#pragma once
// A real number as the painting status bar shows it: the general format
// with 15 significant digits and '.' as the decimal point ("0.5", "1E-6").
#include <string>

std::string GeneralRealText(double v);
