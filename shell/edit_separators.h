#pragma once
// The Edit menu's group separators follow the items that the active window
// shows: no two separators stand together and none stands last.
#include <vector>

class QMenu;

struct EditMenuItem {
    int tag;  // |tag| == 4: a group separator
    bool visible;
};

// Visits the items from the second-to-last back to the second: a separator
// is shown when the first visible item after it exists and is no separator.
void ApplyEditSeparators(std::vector<EditMenuItem>& items);
// The same over a menu's actions, separators told by their "Tag" property.
void ApplyEditSeparators(QMenu* menu);
