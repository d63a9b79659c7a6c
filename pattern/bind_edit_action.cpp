#include "pattern/bind_edit_action.h"

#include <QAction>
#include <QMenu>

#include "kernel/ui/edit_bindings.h"

namespace {

// A menu that holds nothing but the item and one other is enabled with it.
void EnableParentMenu(QAction* item)
{
    if (!item)
        return;
    for (QObject* o : item->associatedObjects())
        if (auto* menu = qobject_cast<QMenu*>(o); menu && menu->actions().size() == 2)
            menu->menuAction()->setEnabled(true);
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
        return;
    }
    pair.Bind(std::move(handler));
    pair.SetVisible(true);
    EnableParentMenu(pair.item());
}

void UnbindAllEditActions()
{
    for (T_EditPair* pair : BildEditBindung.pairs())
        pair->Unbind();
}
