#include "kernel/ui/modal_stacking.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <optional>
#include <vector>

#include "kernel/ui/application_filter.h"
#include "kernel/ui/key_return.h"
#include "kernel/ui/on_top_windows.h"
#include "kernel/ui/progress_boxes.h"
#include "kernel/ui/x11_stacking.h"

namespace {

// A window's on-top level is changed on its platform window only: changing
// the widget's flags would hide the window and show it anew.
void SetOnTop(QWindow* window, bool onTop)
{
    if (window && window->flags().testFlag(Qt::WindowStaysOnTopHint) != onTop)
        window->setFlags(window->flags().setFlag(Qt::WindowStaysOnTopHint, onTop));
}

using OnTopWindows::IsPopup;

class ModalStacking : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if ((type == QEvent::Show || type == QEvent::Hide) && watched->isWidgetType() && !event->spontaneous()) {
            auto* w = static_cast<QWidget*>(watched);
            if (w->isWindow() && !IsPopup(w)) {
                if (type == QEvent::Show)
                    Shown(w);
                else
                    Hidden(w);
            }
        }
        return false;
    }

private:
    struct Modal {
        QPointer<QWidget> widget;
        bool wasOnTop;
    };
    std::vector<Modal> modals_;
    // The windows stepped down, bottom first.
    std::vector<QPointer<QWindow>> lowered_;
    QPointer<QWidget> opener_;
    QPointer<QWidget> openerFocus_;

    static bool IsModalWindow(const QWidget* w)
    {
        // A progress box blocks input while its job runs but is no dialog:
        // it stays on top anyway and comes and goes with every job.
        return w->isModal() && !ProgressBoxes::IsBox(w);
    }

    void Shown(QWidget* w)
    {
        QWindow* window = w->windowHandle();
        if (!window)
            return;
        if (IsModalWindow(w) || IsDialogOfAWindow(w) || ProgressBoxes::IsBox(w))
            connect(window, &QWindow::visibleChanged, this, &ModalStacking::Going, Qt::UniqueConnection);
        if (IsModalWindow(w)) {
            const bool known = std::any_of(modals_.begin(), modals_.end(),
                                           [w](const Modal& m) { return m.widget == w; });
            if (!known) {
                if (modals_.empty()) {
                    NoteOpener();
                    // Once the dialog is on its way: changing another
                    // window's level while the dialog's show event runs
                    // upsets the widgets' focus bookkeeping.
                    QTimer::singleShot(0, this, [this, modal = QPointer<QWidget>(w)] {
                        if (modal && !modals_.empty())
                            LowerOnTopWindows(modal);
                    });
                }
                modals_.push_back({w, window->flags().testFlag(Qt::WindowStaysOnTopHint)});
                connect(w, &QObject::destroyed, this, &ModalStacking::Forget, Qt::UniqueConnection);
            }
            SetOnTop(window, true);
        } else if (!modals_.empty() && window->flags().testFlag(Qt::WindowStaysOnTopHint)) {
            // Shown while a dialog runs (a progress box of its job): below it.
            SetOnTop(window, false);
            lowered_.emplace_back(window);
        }
    }

    void Hidden(QWidget* w)
    {
        const auto it = std::find_if(modals_.begin(), modals_.end(), [w](const Modal& m) { return m.widget == w; });
        if (it == modals_.end())
            return;
        SetOnTop(w->windowHandle(), it->wasOnTop);
        modals_.erase(it);
        if (modals_.empty())
            RestoreOnTopWindows();
    }

    static bool IsDialogOfAWindow(const QWidget* w)
    {
        return qobject_cast<const QDialog*>(w) && w->parentWidget() && !ProgressBoxes::IsBox(w);
    }

    // Told while a dialog's or a progress box's window goes, before it
    // leaves the screen: while it still has the keys, they move to the
    // window that comes next. The window manager then has no choice to
    // make, and none hands them to another window of the program first
    // (xfwm4 gives them to the topmost ordinary window, never to a tool
    // window such as the script editor or a list window).
    void Going(bool visible)
    {
        auto* window = qobject_cast<QWindow*>(sender());
        if (visible || !window)
            return;
        QWidget* next = NextForKeys(window);
        QWindow* nextWindow = next && next->isVisible() ? next->windowHandle() : nullptr;
        if (nextWindow && nextWindow != window && HasTheKeys(window))
            WindowStacking::Current().GiveFocus(nextWindow->winId());
    }

    // As the server has it: the program's own view follows the focus
    // events, and the manager may have given the window the keys a moment
    // ago (a progress box it has only just shown) or taken them away.
    static bool HasTheKeys(const QWindow* window)
    {
        if (const std::optional<WId> focus = WindowStacking::Current().Focus())
            return *focus == window->winId();
        return QGuiApplication::focusWindow() == window;
    }

    // The window that gets the keys when the window goes: while another
    // dialog runs, the newest of those (a message that came while a job's
    // box was up, the dialog a message belongs to); else the one the person
    // worked in once the last modal dialog or a job's progress box goes,
    // the window a modeless dialog belongs to.
    QWidget* NextForKeys(const QWindow* window) const
    {
        bool going = false;
        QWidget* newest = nullptr;
        for (const Modal& m : modals_) {
            if (m.widget && m.widget->windowHandle() == window)
                going = true;
            else if (m.widget && m.widget->isVisible())
                newest = m.widget;
        }
        if (newest)
            return newest;
        if (going)
            return opener_;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->windowHandle() != window)
                continue;
            if (ProgressBoxes::IsBox(w))
                return ProgressBoxes::WorkWindow();
            if (IsDialogOfAWindow(w))
                return w->parentWidget()->window();
        }
        return nullptr;
    }

    void Forget()
    {
        modals_.erase(std::remove_if(modals_.begin(), modals_.end(), [](const Modal& m) { return !m.widget; }),
                      modals_.end());
        if (modals_.empty())
            RestoreOnTopWindows();
    }

    void LowerOnTopWindows(const QWidget* modal)
    {
        std::vector<QWindow*> onTop;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            QWindow* window = w->windowHandle();
            if (w == modal || !window || !w->isVisible() || IsPopup(w) || IsModalWindow(w) ||
                !window->flags().testFlag(Qt::WindowStaysOnTopHint))
                continue;
            onTop.push_back(window);
        }
        // In the order they stand, so that they come back in it.
        OnTopWindows::SortByStacking(onTop);
        for (QWindow* window : onTop) {
            SetOnTop(window, false);
            lowered_.emplace_back(window);
        }
    }

    // The window the person worked in when the first dialog came: the
    // window manager hands the activation to a dialog's parent when it
    // goes, which is the main window for the shared dialogs.
    void NoteOpener()
    {
        opener_ = QApplication::activeWindow();
        if (opener_ && ProgressBoxes::IsBox(opener_)) {
            opener_ = nullptr;
            if (QWindow* parent = ProgressBoxes::MessageParent())
                for (QWidget* w : QApplication::topLevelWidgets())
                    if (w->windowHandle() == parent)
                        opener_ = w;
        }
        openerFocus_ = QApplication::focusWidget();
    }

    void ReturnToOpener()
    {
        // After the dialog's own caller has had its say: a window it brings
        // up keeps the keys, the window manager's choice gives way.
        if (opener_) {
            KeyReturn::Await(opener_, openerFocus_);
            QTimer::singleShot(0, this, [] { KeyReturn::Give(); });
        }
        opener_ = nullptr;
        openerFocus_ = nullptr;
    }

    void RestoreOnTopWindows()
    {
        ReturnToOpener();
        std::vector<QWindow*> lowered;
        for (const QPointer<QWindow>& window : lowered_)
            if (window) {
                SetOnTop(window, true);
                lowered.push_back(window);
            }
        lowered_.clear();
        // Window managers differ in where a window that regains the above
        // state goes (openbox brings it to the front, xfwm4 not always):
        // they are put back in the order they stood explicitly.
        OnTopWindows::RestackInOrder(lowered);
        OnTopWindows::KeepAboveOthers();
    }
};

}  // namespace

void InstallModalStacking()
{
    InstallApplicationFilter<ModalStacking>();
    OnTopWindows::Install();
}
