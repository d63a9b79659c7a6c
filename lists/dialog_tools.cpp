#include "lists/dialog_tools.h"

#include <QApplication>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLayout>
#include <QScreen>
#include <QTableWidget>
#include <algorithm>

#include "lists/core/symbol_farben.h"

void MoveOffScreen(QWidget& dialog)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int width = screen ? screen->virtualGeometry().right() + 1 : 1024;
    dialog.move(width + 10, dialog.y());
}

void PlaceWithin(QWidget& dialog, QPoint at, QSize bounds)
{
    const int x = std::max(0, std::min(at.x(), bounds.width() - dialog.width()));
    const int y = std::max(0, std::min(at.y(), bounds.height() - dialog.height()));
    dialog.move(x, y);
}

void FillChoiceColumn(QTableWidget& grid, int column, const std::vector<std::string>& texts,
                      bool symbolRows)
{
    for (size_t r = 0; r < texts.size(); ++r) {
        auto* item = new QTableWidgetItem(QString::fromStdString(texts[r]));
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        const std::string& t = texts[r];
        if (symbolRows && t.size() >= 2) {
            if (auto colours = FindSymbolColours(SymbolFarben, static_cast<unsigned char>(t[1]))) {
                item->setBackground(QColor::fromRgb(colours->background));
                item->setForeground(QColor::fromRgb(colours->text));
            }
        }
        grid.setItem(static_cast<int>(r), column, item);
    }
}

void FitGrid(QTableWidget& grid, int extraWidth)
{
    int width = 0;
    for (int c = 0; c < grid.columnCount(); ++c) {
        int widest = 0;
        for (int r = 0; r < grid.rowCount(); ++r)
            if (const QTableWidgetItem* item = grid.item(r, c))
                widest = std::max(widest, grid.fontMetrics().horizontalAdvance(item->text()));
        grid.setColumnWidth(c, widest + 15);
        width += widest + 15;
    }
    // A window narrower than its title bar shows a cut title, or none.
    const int title = TitleBarWidth(*grid.window()) - 2 * grid.frameWidth() - extraWidth;
    if (width < title && grid.columnCount() > 0) {
        const int last = grid.columnCount() - 1;
        grid.setColumnWidth(last, grid.columnWidth(last) + title - width);
        width = title;
    }
    const int rowHeight = grid.fontMetrics().height() + 4;
    for (int r = 0; r < grid.rowCount(); ++r)
        grid.setRowHeight(r, rowHeight);
    const int lineWidth = grid.showGrid() ? 1 : 0;
    grid.setFixedSize(width + 2 * grid.frameWidth() + extraWidth,
                      (rowHeight + lineWidth) * std::max(1, grid.rowCount()) + 3);
    if (QWidget* window = grid.window()) {
        // The window is exactly its contents: a plain adjustSize widens a
        // window of expanding contents to 200 px, over the cells beside the
        // edited one.
        if (QLayout* layout = window->layout())
            layout->setSizeConstraint(QLayout::SetFixedSize);
        window->adjustSize();
    }
}

int TitleBarWidth(const QWidget& window)
{
    QFont font = QApplication::font();
    font.setBold(true);
    const QFontMetrics metrics(font);
    const int square = metrics.height() + 6;
    return metrics.horizontalAdvance(window.windowTitle()) + 5 * square + 24;
}
