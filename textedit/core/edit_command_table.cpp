#include "textedit/core/edit_command_table.h"

std::vector<EditBinding> EditCommandBindings(const EditCommandInput& in)
{
    const bool off = in.disable;
    const bool block = in.block && !off;
    const bool writable = !in.readOnly && !off;
    return {
        {EditPair::InsertFile, writable},
        {EditPair::Undo, false},
        {EditPair::Cut, block && writable},
        {EditPair::Copy, block},
        {EditPair::SaveBlock, block},
        {EditPair::Delete, block && writable},
        {EditPair::ClearSelection, block},
        {EditPair::Paste, in.clipboardText && writable},
        {EditPair::SelectAll, !off},
    };
}

const char* EditPairName(EditPair pair)
{
    static const char* const names[kEditPairCount] = {"undo",      "cut",        "copy",   "paste",
                                                      "saveblock", "insertfile", "delete", "selectall",
                                                      "clearsel",  "find",       "replace"};
    return names[static_cast<size_t>(pair)];
}

void EditMenuModel::HideNonEditItems()
{
    // Only undo, cut, copy, paste and delete carry the tag that keeps them.
    for (EditPair p : {EditPair::SaveBlock, EditPair::InsertFile, EditPair::SelectAll, EditPair::ClearSelection,
                       EditPair::Find, EditPair::Replace})
        states_[static_cast<size_t>(p)].visible = false;
}

void EditMenuModel::Update(const EditCommandInput& input, bool hideOthers)
{
    if (hideOthers && !input.disable)
        HideNonEditItems();
    for (const EditBinding& b : EditCommandBindings(input))
        states_[static_cast<size_t>(b.pair)] = EditPairState{b.handler, true};
    if (hideOthers && input.disable)
        HideNonEditItems();
}

void EditMenuModel::SetFindReplace(bool bound)
{
    for (EditPair p : {EditPair::Find, EditPair::Replace})
        states_[static_cast<size_t>(p)] = EditPairState{bound, bound};
}
