#pragma once
// Window placement strings applied to and taken from Qt windows: Left and
// Top are pos(), width and height size(); the monitors are
// QGuiApplication::screens(), the "screen" the primary one.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "picture/core/window_placement.h"

class QWidget;

std::vector<ScreenRect> ScreenRects();
ScreenRect PrimaryScreenRect();
// The width of all screens together.
int32_t DesktopWidth();
ScreenRect FormBounds(const QWidget* form);
// The screen that holds most of the form (0 when none does).
uint16_t FormMonitor(const QWidget* form);
std::string FormPlacementText(const QWidget* form);
// Reads a placement string and, with applyBounds, moves and sizes the form;
// gives the stored monitor. A malformed string is written to the debug log
// and changes nothing (monitor 0).
uint16_t ApplyFormPlacement(QWidget* form, std::string_view text, bool applyBounds);
