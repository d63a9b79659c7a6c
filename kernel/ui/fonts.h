#pragma once
// The fonts the windows name, mapped to the fonts we ship with, and the
// table of six fonts the list windows and their dialogs share.
#include <QColor>
#include <QFont>
#include <QPalette>
#include <QString>

class QWidget;

// "MS Sans Serif" and "System" -> DejaVu Sans, "Courier" -> DejaVu Sans Mono,
// "Times New Roman" -> DejaVu Serif (names compared without case); any other
// name is kept.
QString MappedFontFamily(const QString& name);
// A font of the mapped family in the given point size.
QFont MapFont(const QString& name, int pointSize, bool bold = false, bool italic = false);

inline constexpr int FontTableSize = 6;

// Applies family, size, style and pitch of font table entry 0..5 to the font;
// other indices leave it unchanged.
void SetFont(int index, QFont& font);
// The entry's text colour; "window text" entries take it from the palette.
QColor FontColour(int index, const QPalette& palette = QPalette());
// SetFont on the widget's font, and the entry's colour for its text.
void SetFont(int index, QWidget& widget);
