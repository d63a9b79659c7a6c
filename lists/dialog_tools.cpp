#include "lists/dialog_tools.h"

#include <QApplication>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLayout>
#include <QScreen>
#include <QTableWidget>
#include <QWindow>
#include <algorithm>

#include "lists/core/symbol_farben.h"

void MoveOffScreen(QWidget& dialog)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int width = screen ? screen->virtualGeometry().right() + 1 : 1024;
    dialog.move(width + 10, dialog.y());
}

namespace {

// Places the dialog again once the window manager has framed it: before
// that its frame is not known, and the first paint after showing comes
// after the framing.
class FramePlacement : public QObject {
public:
    FramePlacement(QWidget& dialog, QPoint at, QRect area) : QObject(&dialog), at_(at), area_(area)
    {
        setObjectName(Name());
        dialog.installEventFilter(this);
    }
    void Update(QPoint at, QRect area)
    {
        at_ = at;
        area_ = area;
        waiting_ = true;
    }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (waiting_ && (event->type() == QEvent::Paint || event->type() == QEvent::Hide)) {
            waiting_ = false;
            if (event->type() == QEvent::Paint)
                PlaceFrame(*static_cast<QWidget*>(watched), at_, area_);
        }
        return false;
    }
    static QString Name() { return QStringLiteral("FramePlacement"); }
    static void PlaceFrame(QWidget& dialog, QPoint at, QRect area)
    {
        // Asked of the platform window: the widget's own idea of its frame
        // is from before the window manager framed it.
        const QMargins m = dialog.windowHandle() ? dialog.windowHandle()->frameMargins() : QMargins();
        const int frameWidth = dialog.width() + m.left() + m.right();
        const int frameHeight = dialog.height() + m.top() + m.bottom();
        const int x = std::max(area.left(), std::min(at.x(), area.right() + 1 - frameWidth));
        const int y = std::max(area.top(), std::min(at.y(), area.bottom() + 1 - frameHeight));
        const QRect client(x + m.left(), y + m.top(), dialog.width(), dialog.height());
        if (dialog.geometry() != client)
            dialog.setGeometry(client);
    }

private:
    QPoint at_;
    QRect area_;
    bool waiting_ = true;
};

}  // namespace

void PlaceFrameWithin(QWidget& dialog, QPoint at, QRect area)
{
    FramePlacement::PlaceFrame(dialog, at, area);
    // Found by its name: a class without meta object cannot be told from
    // the dialog's other children by a cast.
    if (QObject* placement = dialog.findChild<QObject*>(FramePlacement::Name(), Qt::FindDirectChildrenOnly))
        static_cast<FramePlacement*>(placement)->Update(at, area);
    else
        new FramePlacement(dialog, at, area);
}

void PlaceWithin(QWidget& dialog, QPoint at, QSize bounds)
{
    QRect area(QPoint(0, 0), bounds);
    if (const QScreen* screen = QGuiApplication::screenAt(at))
        area &= screen->geometry();
    PlaceFrameWithin(dialog, at, area);
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
