#include "textedit/core/prefix_keys.h"

namespace {
constexpr int kShift = 16;
constexpr int kControl = 17;
constexpr int kMenu = 18;
constexpr int kLeftWin = 91;
constexpr int kRightWin = 92;

bool IsModifier(int key)
{
    return key == kShift || key == kControl || key == kMenu || key == kLeftWin || key == kRightWin ||
           (key >= 160 && key <= 165);
}
} // namespace

PrefixCommand PrefixKeys::Command(int key, bool ctrl) const
{
    if (IsModifier(key))
        return PrefixCommand::Modifier;
    if (ctrl && key == 'Q')
        return PrefixCommand::SetPrefix;
    if (ctrl && key == 'K' && !k_)
        return PrefixCommand::SetPrefix;
    if (q_ && key == 'F')
        return PrefixCommand::ShowFind;
    if (q_ && key == 'A')
        return PrefixCommand::ShowReplace;
    if (!k_)
        return PrefixCommand::None;
    switch (key) {
    case 'B': return PrefixCommand::BlockStart;
    case 'K': return PrefixCommand::BlockEnd;
    case 'C': return PrefixCommand::CopyBlock;
    case 'V': return PrefixCommand::GotoBlock;
    case 'Y': return PrefixCommand::DeleteBlock;
    case 'H': return PrefixCommand::HideBlock;
    case 'P': return PrefixCommand::Nothing;
    case 'R': return PrefixCommand::InsertFile;
    case 'W': return PrefixCommand::SaveBlock;
    default: return PrefixCommand::None;
    }
}

PrefixCommand PrefixKeys::Feed(int key, bool ctrl)
{
    const PrefixCommand command = Command(key, ctrl);
    if (command == PrefixCommand::SetPrefix) {
        if (key == 'Q')
            q_ = true;
        else
            k_ = true;
    } else if (command == PrefixCommand::None) {
        Clear();
    }
    return command;
}

bool PrefixKeys::Claims(int key, bool ctrl) const
{
    if (ctrl && (key == 'Q' || key == 'K'))
        return true;
    const PrefixCommand command = Command(key, ctrl);
    return command != PrefixCommand::None && command != PrefixCommand::Modifier;
}
