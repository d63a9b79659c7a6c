#pragma once
// Which of the main window's Edit commands a text editor offers in its
// state: the rules behind the Edit menu binding, apart from the menu.
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

// The pairs of the text Edit binding, in the binding record's order.
enum class EditPair : uint8_t {
    Undo,
    Cut,
    Copy,
    Paste,
    SaveBlock,
    InsertFile,
    Delete,
    SelectAll,
    ClearSelection,
    Find,
    Replace,
};
inline constexpr int kEditPairCount = 11;

struct EditCommandInput {
    bool block = false;          // a selection present and active
    bool readOnly = false;
    bool clipboardText = false;  // the clipboard holds plain text
    bool disable = false;        // everything off (the window is hidden)
};

// One binding: the pair and whether it gets its handler (enabled) or none.
struct EditBinding {
    EditPair pair;
    bool handler;
};

// The pairs the editor binds, in the order it binds them (find and replace
// are bound apart, on activation).
std::vector<EditBinding> EditCommandBindings(const EditCommandInput& input);

const char* EditPairName(EditPair pair);

// What the menu shows of each pair: for the probe and the tests, the same
// steps the window takes on the real items.
struct EditPairState {
    bool enabled = false;
    bool visible = true;
};
class EditMenuModel {
public:
    // The whole update: others hidden first (when asked and not disabling),
    // the table bound, others hidden last (when asked and disabling).
    void Update(const EditCommandInput& input, bool hideOthers);
    // Find and replace bound (handler) or taken away (hidden, disabled).
    void SetFindReplace(bool bound);
    const EditPairState& State(EditPair pair) const { return states_[static_cast<size_t>(pair)]; }

private:
    void HideNonEditItems();
    std::array<EditPairState, kEditPairCount> states_{};
};
