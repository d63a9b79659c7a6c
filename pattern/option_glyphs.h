#pragma once
// The pictures on the option pop-ups' buttons, drawn like the tool glyphs.
// The chosen one moves onto the palette button that opened the pop-up, so
// the palette shows the current option.
#include <QPixmap>

#include "pattern/shapes/tool_options.h"

// The glyph of the option's button (from 1); blank for the slope window,
// whose buttons show their caption.
QPixmap OptionGlyph(ToolOption option, int button);
