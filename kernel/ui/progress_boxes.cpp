#include "kernel/ui/progress_boxes.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <vector>

namespace {

std::vector<QPointer<QWidget>>& Boxes()
{
    static std::vector<QPointer<QWidget>> boxes;
    return boxes;
}

std::vector<QPointer<QWidget>>& SetAsideBoxes()
{
    static std::vector<QPointer<QWidget>> boxes;
    return boxes;
}

// The window the person last worked in: a progress box or a message takes
// the focus for a while, but what they report on is the window before.
QPointer<QWindow>& LastWorkWindow()
{
    static QPointer<QWindow> window;
    return window;
}

bool IsBoxWindow(const QWindow* window)
{
    for (const QPointer<QWidget>& box : Boxes())
        if (box && box->windowHandle() == window)
            return true;
    return false;
}

void Remove(std::vector<QPointer<QWidget>>& list, const QWidget* box)
{
    list.erase(std::remove_if(list.begin(), list.end(),
                              [box](const QPointer<QWidget>& p) { return !p || p.data() == box; }),
               list.end());
}

bool IsPassing(const QWindow* window)
{
    return IsBoxWindow(window) || window->modality() != Qt::NonModal || window->type() == Qt::Popup ||
           window->type() == Qt::ToolTip;
}

void NoteFocus(QWindow* window)
{
    if (!window || IsPassing(window))
        return;
    LastWorkWindow() = window;
}

void FollowFocus()
{
    static bool following = false;
    if (following || !qGuiApp)
        return;
    following = true;
    QObject::connect(qGuiApp, &QGuiApplication::focusWindowChanged, qGuiApp, &NoteFocus);
    NoteFocus(QGuiApplication::focusWindow());
}

}  // namespace

namespace ProgressBoxes {

void Register(QWidget* box)
{
    Remove(Boxes(), box);
    Boxes().emplace_back(box);
    FollowFocus();
}

bool IsBox(const QWidget* widget)
{
    return widget && std::any_of(Boxes().begin(), Boxes().end(),
                                 [widget](const QPointer<QWidget>& p) { return p && p.data() == widget; });
}

bool AnyShown()
{
    return std::any_of(Boxes().begin(), Boxes().end(), [](const QPointer<QWidget>& p) { return p && p->isVisible(); });
}

void SetAside()
{
    for (const QPointer<QWidget>& box : Boxes()) {
        if (!box || !box->isVisible())
            continue;
        box->hide();
        SetAsideBoxes().push_back(box);
    }
}

bool IsSetAside(const QWidget* box)
{
    return std::any_of(SetAsideBoxes().begin(), SetAsideBoxes().end(),
                       [box](const QPointer<QWidget>& p) { return p && p.data() == box; });
}

void Forget(const QWidget* box)
{
    Remove(SetAsideBoxes(), box);
}

QWindow* MessageParent()
{
    if (QWindow* last = LastWorkWindow(); last && last->isVisible() && !IsBoxWindow(last))
        return last;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("FormMain") && w->isVisible())
            return w->windowHandle();
    return nullptr;
}

QWidget* WorkWindow()
{
    QWindow* window = LastWorkWindow();
    if (!window || !window->isVisible()) {
        window = QGuiApplication::focusWindow();
        if (!window || IsPassing(window))
            return nullptr;
    }
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->windowHandle() == window)
            return w->isVisible() ? w : nullptr;
    return nullptr;
}

}  // namespace ProgressBoxes
