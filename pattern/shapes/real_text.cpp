#include "pattern/shapes/real_text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

void TrimZeros(std::string& digits)
{
    if (digits.find('.') == std::string::npos)
        return;
    while (!digits.empty() && digits.back() == '0')
        digits.pop_back();
    if (!digits.empty() && digits.back() == '.')
        digits.pop_back();
}

}  // namespace

std::string GeneralRealText(double v)
{
    if (v == 0 || !std::isfinite(v))
        return v == 0 ? "0" : (std::isnan(v) ? "NAN" : (v > 0 ? "INF" : "-INF"));
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.14e", v);
    const char* e = std::strchr(buffer, 'e');
    const int exponent = std::atoi(e + 1);
    if (exponent < -5 || exponent >= 15) {
        std::string mantissa(buffer, static_cast<size_t>(e - buffer));
        TrimZeros(mantissa);
        return mantissa + "E" + std::to_string(exponent);
    }
    std::snprintf(buffer, sizeof buffer, "%.*f", 14 - exponent, v);
    std::string text = buffer;
    TrimZeros(text);
    return text;
}
