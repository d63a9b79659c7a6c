#include "pattern/bind_edit_action.h"

#include <QAction>
#include <algorithm>
#include <QMenu>

#include "kernel/ui/edit_bindings.h"

namespace {

// A submenu is shown and enabled while one of its items is bound.
void FollowParentMenu(QAction* item)
{
    if (!item)
        return;
    for (QObject* o : item->associatedObjects()) {
        auto* menu = qobject_cast<QMenu*>(o);
        if (!menu || menu == BildEditBindung.MnuBearbeiten)
            continue;
        const QList<QAction*> items = menu->actions();
        const bool any = std::any_of(items.begin(), items.end(), [](QAction* a) { return a->isEnabled(); });
        if (any)
            menu->menuAction()->setVisible(true);
        menu->menuAction()->setEnabled(any);
    }
}

}  // namespace

void BindEditAction(int entry, bool clear, std::function<void()> handler)
{
    std::vector<T_EditPair*> pairs = BildEditBindung.pairs();
    if (entry < 1 || static_cast<size_t>(entry) > pairs.size())
        return;
    T_EditPair& pair = *pairs[static_cast<size_t>(entry - 1)];
    if (!handler || clear) {
        pair.Unbind();
        FollowParentMenu(pair.item());
        return;
    }
    pair.Bind(std::move(handler));
    pair.SetVisible(true);
    FollowParentMenu(pair.item());
}

void UnbindAllEditActions()
{
    for (T_EditPair* pair : BildEditBindung.pairs()) {
        pair->Unbind();
        FollowParentMenu(pair->item());
    }
}
