#pragma once
// Drawing one panel of the main window's status bar.
#include <QRect>
#include <QString>

class QPainter;

// Fills the rectangle with the button face colour and draws the text in
// black bold from 2 px inside its left edge, vertically centred. A mouse
// marker ("LT" or "RT" with their double quotes: the first "LT", then the
// first "RT" after it, then one more "LT") is drawn as its picture. Each
// panel is drawn with its own text.
void P_StatusPanelZeichnen(QPainter& painter, const QString& text, const QRect& rect);
