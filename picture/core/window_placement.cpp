#include "picture/core/window_placement.h"

#include <algorithm>
#include <charconv>

namespace {
constexpr size_t kPlacementLength = 29;

std::string Field(int64_t value, size_t width)
{
    return RightAlign(std::string(12, ' ') + std::to_string(value), width);
}

// Columns first .. first + width - 1 (1-based), as far as the text reaches.
std::string_view Columns(std::string_view text, size_t first, size_t width)
{
    if (first - 1 >= text.size())
        return {};
    return text.substr(first - 1, width);
}

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return s;
}

std::optional<int32_t> ToInt(std::string_view s)
{
    if (!s.empty() && s.front() == '+')
        s.remove_prefix(1);
    int32_t v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (s.empty() || ec != std::errc() || end != s.data() + s.size())
        return std::nullopt;
    return v;
}

int64_t Overlap(const ScreenRect& a, const ScreenRect& b)
{
    const int64_t w = std::min<int64_t>(a.left + a.width, b.left + b.width) - std::max(a.left, b.left);
    const int64_t h = std::min<int64_t>(a.top + a.height, b.top + b.height) - std::max(a.top, b.top);
    return w > 0 && h > 0 ? w * h : 0;
}
}  // namespace

std::string RightAlign(std::string_view text, size_t n)
{
    return std::string(text.size() >= n ? text.substr(text.size() - n) : text);
}

std::string PlacementText(const PlacementInput& form)
{
    int64_t left = form.bounds.left;
    if (form.monitor > 0)
        left = std::max<int64_t>(left, form.monitorLeft);
    if (form.screenWidth > 0)
        left %= form.screenWidth;
    left = std::max<int64_t>(0, left);
    const int64_t top = std::max<int64_t>(0, form.bounds.top);
    return "X " + Field(left, 6) + Field(top, 6) + Field(form.bounds.width, 6) +
           Field(form.bounds.height, 6) + Field(form.monitor, 3);
}

ParsedPlacement ParsePlacement(std::string_view text, int32_t screenWidth, int32_t screenHeight)
{
    ParsedPlacement out;
    if (Trim(text).empty())
        return out;
    const auto left = ToInt(Trim(Columns(text, 3, 6)));
    const auto top = ToInt(Trim(Columns(text, 9, 6)));
    const auto width = ToInt(Trim(Columns(text, 15, 6)));
    const auto height = ToInt(Trim(Columns(text, 21, 6)));
    std::string monitorText = "0";
    for (char c : Columns(text, 28, 2))
        if (c != ' ')
            monitorText += c;
    const auto monitor = ToInt(monitorText);
    if (!left || !top || !width || !height || !monitor || *monitor < 0) {
        out.malformed = true;
        return out;
    }
    out.bounds = ScreenRect{std::min(*left, screenWidth - 50), std::min(*top, screenHeight - 50), *width, *height};
    out.monitor = static_cast<uint16_t>(*monitor);
    return out;
}

uint16_t MonitorOf(const ScreenRect& form, const std::vector<ScreenRect>& screens)
{
    uint16_t best = 0;
    int64_t bestArea = 0;
    for (size_t i = 0; i < screens.size(); ++i) {
        const int64_t area = Overlap(form, screens[i]);
        if (area > bestArea) {
            bestArea = area;
            best = static_cast<uint16_t>(i);
        }
    }
    return best;
}

int32_t ShownLeft(int32_t left, uint16_t savedMonitor, const std::vector<ScreenRect>& screens,
                  int32_t desktopWidth)
{
    if (screens.empty() || desktopWidth <= screens[0].width)
        return left;
    // The saved monitor must be one of the list, not one past it.
    if (savedMonitor >= screens.size())
        return left;
    if (left < screens[0].left || left >= screens[0].left + screens[0].width)
        return left;
    return left + screens[savedMonitor].left;
}

ScreenRect KeepOffMargins(ScreenRect form, uint16_t monitor, int32_t widthMargin, int32_t heightMargin)
{
    if (monitor == 0) {
        form.left = std::max(form.left, widthMargin);
        form.top = std::max(form.top, heightMargin);
    }
    return form;
}

namespace {

bool Inside(const ScreenRect& r, const ScreenRect& screen)
{
    return r.left >= screen.left && r.top >= screen.top && r.left + r.width <= screen.left + screen.width &&
           r.top + r.height <= screen.top + screen.height;
}

}  // namespace

ScreenRect PlaceBesidePalette(const ScreenRect& palette, const ScreenRect& picture, int32_t width, int32_t height,
                              const ScreenRect& screen)
{
    const int32_t paletteBottom = palette.top + palette.height;
    const ScreenRect places[] = {
        {palette.left, paletteBottom, width, height},
        {palette.left + palette.width, palette.top, width, height},
        {palette.left, std::max(paletteBottom, picture.top + picture.height), width, height},
        {picture.left + picture.width, palette.top, width, height},
    };
    for (const ScreenRect& place : places)
        if (Inside(place, screen) && Overlap(place, picture) == 0)
            return place;
    ScreenRect kept = places[0];
    kept.left = std::clamp(kept.left, screen.left, std::max(screen.left, screen.left + screen.width - width));
    kept.top = std::clamp(kept.top, screen.top, std::max(screen.top, screen.top + screen.height - height));
    return kept;
}
