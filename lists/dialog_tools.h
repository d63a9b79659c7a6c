#pragma once
// What the list windows' dialogs share: moving off the screen when closed,
// placing at a point within bounds, and drawing symbol rows.
#include <QPoint>
#include <QRect>
#include <QSize>
#include <string>
#include <vector>

class QTableWidget;
class QWidget;

void MoveOffScreen(QWidget& dialog);
// Places the dialog's frame (title bar and border included) at the point,
// kept within the area: within bounds measured from the screen's origin,
// and within the screen the point lies on.
void PlaceWithin(QWidget& dialog, QPoint at, QSize bounds);
void PlaceFrameWithin(QWidget& dialog, QPoint at, QRect area);
// Fills a grid column with the rows' texts; "FARBE" rows take the colours
// of the symbol each shows.
void FillChoiceColumn(QTableWidget& grid, int column, const std::vector<std::string>& texts,
                      bool symbolRows);
// The width a window's title bar needs to show the title whole beside the
// window manager's icon and buttons (the title in the bold font title bars
// use, and five squares of the bar's height for the icon, the buttons and
// the gaps between them).
int TitleBarWidth(const QWidget& window);
// Sizes the grid to its rows and the window to the grid; a grid narrower
// than the window's title bar needs widens its last column.
void FitGrid(QTableWidget& grid, int extraWidth);
