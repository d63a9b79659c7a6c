#include "kernel/ui/on_top_windows.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <algorithm>

#include "kernel/ui/application_filter.h"
#include "kernel/ui/x11_stacking.h"

namespace {

// A window stays on top with the window it belongs to: the script editor's
// "Suchen" stays above the editor.
bool StaysOnTop(const QWindow* window)
{
    for (const QWindow* w = window; w; w = w->transientParent())
        if (w->flags().testFlag(Qt::WindowStaysOnTopHint))
            return true;
    return false;
}

// Rank of each window in the order, bottom first; the end for one not listed.
long Rank(const std::vector<WId>& order, const QWindow* window)
{
    return std::find(order.begin(), order.end(), window->winId()) - order.begin();
}

class Keeper : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if ((type == QEvent::ZOrderChange || type == QEvent::Show) && watched->isWidgetType()) {
            const auto* w = static_cast<const QWidget*>(watched);
            if (w->isWindow() && !OnTopWindows::IsPopup(w) && w->windowHandle() &&
                !StaysOnTop(w->windowHandle()) && !pending_) {
                // Once the raise or the mapping has reached the server.
                pending_ = true;
                QTimer::singleShot(0, this, [this] {
                    pending_ = false;
                    OnTopWindows::KeepAboveOthers();
                });
            }
        }
        return false;
    }

private:
    bool pending_ = false;
};

}  // namespace

namespace OnTopWindows {

bool IsPopup(const QWidget* w)
{
    const Qt::WindowType type = w->windowType();
    return type == Qt::Popup || type == Qt::ToolTip || type == Qt::SplashScreen;
}

void SortByStacking(std::vector<QWindow*>& windows)
{
    const std::vector<WId> order = WindowStacking::Current().Order();
    std::stable_sort(windows.begin(), windows.end(),
                     [&order](QWindow* a, QWindow* b) { return Rank(order, a) < Rank(order, b); });
}

void RestackInOrder(const std::vector<QWindow*>& bottomFirst)
{
    // Left alone when they stand so already: a window manager may give the
    // keys to each window it restacks (xfwm4 does).
    const std::vector<WId> order = WindowStacking::Current().Order();
    const auto standsBelow = [&order](QWindow* a, QWindow* b) { return Rank(order, a) < Rank(order, b); };
    if (std::is_sorted(bottomFirst.begin(), bottomFirst.end(), standsBelow))
        return;
    for (std::size_t i = 1; i < bottomFirst.size(); ++i)
        WindowStacking::Current().PlaceAbove(bottomFirst[i]->winId(), bottomFirst[i - 1]->winId());
}

void KeepAboveOthers()
{
    WindowStacking& stacking = WindowStacking::Current();
    if (stacking.ManagerRuns())
        return;
    const std::vector<WId> order = stacking.Order();
    std::vector<QWindow*> onTop;
    long topOther = -1;
    WId topOtherId = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        QWindow* window = w->windowHandle();
        if (!window || !w->isVisible() || IsPopup(w))
            continue;
        const long rank = Rank(order, window);
        if (rank == static_cast<long>(order.size()))
            continue;
        if (StaysOnTop(window)) {
            onTop.push_back(window);
        } else if (rank > topOther) {
            topOther = rank;
            topOtherId = window->winId();
        }
    }
    const bool buried = std::any_of(onTop.begin(), onTop.end(),
                                    [&](const QWindow* window) { return Rank(order, window) < topOther; });
    if (!buried)
        return;
    SortByStacking(onTop);
    stacking.PlaceAbove(onTop.front()->winId(), topOtherId);
    RestackInOrder(onTop);
}

void Install()
{
    InstallApplicationFilter<Keeper>();
}

}  // namespace OnTopWindows
