#pragma once
// What the list windows' dialogs share: moving off the screen when closed,
// placing at a point within bounds, and drawing symbol rows.
#include <QPoint>
#include <QSize>
#include <string>
#include <vector>

class QTableWidget;
class QWidget;

void MoveOffScreen(QWidget& dialog);
void PlaceWithin(QWidget& dialog, QPoint at, QSize bounds);
// Fills a grid column with the rows' texts; "FARBE" rows take the colours
// of the symbol each shows.
void FillChoiceColumn(QTableWidget& grid, int column, const std::vector<std::string>& texts,
                      bool symbolRows);
// Sizes the grid to its rows and the window to the grid.
void FitGrid(QTableWidget& grid, int extraWidth);
