#pragma once
// The editor's two-key commands: Ctrl+Q and Ctrl+K set a prefix, and the
// next key picks the command. A prefix stays set while command keys follow,
// so Ctrl+K B ... K marks a block without pressing Ctrl+K twice.
#include <cstdint>

enum class PrefixCommand : uint8_t {
    None,           // not a command key: both prefixes are cleared, the key goes on
    Modifier,       // a modifier key alone: the prefixes stay
    SetPrefix,      // Ctrl+Q or Ctrl+K
    ShowFind,       // Q F
    ShowReplace,    // Q A
    BlockStart,     // K B
    BlockEnd,       // K K
    CopyBlock,      // K C
    GotoBlock,      // K V
    DeleteBlock,    // K Y
    HideBlock,      // K H
    Nothing,        // K P
    InsertFile,     // K R
    SaveBlock,      // K W
};

class PrefixKeys {
public:
    // The command of a key (a Windows virtual-key number); sets or clears
    // the prefixes on the way.
    PrefixCommand Feed(int key, bool ctrl);
    // True when the key must reach the window before the menus' shortcuts.
    bool Claims(int key, bool ctrl) const;
    void Clear() { q_ = k_ = false; }
    bool QPrefix() const { return q_; }
    bool KPrefix() const { return k_; }

private:
    PrefixCommand Command(int key, bool ctrl) const;

    bool q_ = false;
    bool k_ = false;
};
