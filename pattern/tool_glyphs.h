#pragma once
// The pictures on the drawing tool buttons, drawn rather than loaded, so
// they scale with nothing and need no resource files.
#include <QPixmap>
#include <QString>

inline constexpr int kToolGlyphSize = 24;

// The glyph of the button of that component name; a blank glyph for an
// unknown name.
QPixmap ToolGlyph(const QString& buttonName);

// The shape glyphs of the image list, in its order: ellipse outline and
// filled, circle outline and filled, rectangle outline and filled, polygon,
// rhombus.
QPixmap ShapeGlyph(int index);
