#include "shell/edit_separators.h"

#include <QAction>
#include <QMenu>
#include <cstdlib>

namespace {
bool IsSeparator(int tag)
{
    return std::abs(tag) == 4;
}
}  // namespace

void ApplyEditSeparators(std::vector<EditMenuItem>& items)
{
    const int n = static_cast<int>(items.size());
    for (int i = n - 2; i >= 1; --i) {
        if (!IsSeparator(items[static_cast<size_t>(i)].tag))
            continue;
        bool show = false;
        for (int j = i + 1; j < n; ++j) {
            const EditMenuItem& next = items[static_cast<size_t>(j)];
            if (next.visible) {
                show = !IsSeparator(next.tag);
                break;
            }
        }
        items[static_cast<size_t>(i)].visible = show;
    }
}

void ApplyEditSeparators(QMenu* menu)
{
    if (!menu)
        return;
    const QList<QAction*> actions = menu->actions();
    std::vector<EditMenuItem> items;
    for (QAction* a : actions)
        items.push_back({a->property("Tag").toInt(), a->isVisible()});
    ApplyEditSeparators(items);
    for (int i = 0; i < actions.size(); ++i)
        actions[i]->setVisible(items[static_cast<size_t>(i)].visible);
}
