#include "platform/qt/vkeys.h"

namespace {

struct KeyEntry {
    int qtKey;
    bool keypad;
    int virtualKey;
};

// The first entry of a virtual key is the one its reverse look-up gives.
constexpr KeyEntry Fixed[] = {
    {Qt::Key_Backspace, false, VK_BACK},
    {Qt::Key_Tab, false, VK_TAB},
    {Qt::Key_Backtab, false, VK_TAB},  // Shift+Tab
    {Qt::Key_Clear, false, VK_CLEAR},
    {Qt::Key_Return, false, VK_RETURN},
    {Qt::Key_Enter, false, VK_RETURN},
    {Qt::Key_Shift, false, VK_SHIFT},
    {Qt::Key_Control, false, VK_CONTROL},
    {Qt::Key_Alt, false, VK_MENU},
    {Qt::Key_AltGr, false, VK_MENU},
    {Qt::Key_Pause, false, VK_PAUSE},
    {Qt::Key_CapsLock, false, VK_CAPITAL},
    {Qt::Key_Escape, false, VK_ESCAPE},
    {Qt::Key_Space, false, VK_SPACE},
    {Qt::Key_PageUp, false, VK_PRIOR},
    {Qt::Key_PageDown, false, VK_NEXT},
    {Qt::Key_End, false, VK_END},
    {Qt::Key_Home, false, VK_HOME},
    {Qt::Key_Left, false, VK_LEFT},
    {Qt::Key_Up, false, VK_UP},
    {Qt::Key_Right, false, VK_RIGHT},
    {Qt::Key_Down, false, VK_DOWN},
    {Qt::Key_Print, false, VK_SNAPSHOT},
    {Qt::Key_Insert, false, VK_INSERT},
    {Qt::Key_Delete, false, VK_DELETE},
    {Qt::Key_Help, false, VK_HELP},
    {Qt::Key_Super_L, false, VK_LWIN},
    {Qt::Key_Meta, false, VK_LWIN},
    {Qt::Key_Super_R, false, VK_RWIN},
    {Qt::Key_Menu, false, VK_APPS},
    {Qt::Key_Asterisk, true, VK_MULTIPLY},
    {Qt::Key_Plus, true, VK_ADD},
    {Qt::Key_Minus, true, VK_SUBTRACT},
    {Qt::Key_Period, true, VK_DECIMAL},
    {Qt::Key_Comma, true, VK_DECIMAL},  // the German number pad's decimal key
    {Qt::Key_Slash, true, VK_DIVIDE},
    {Qt::Key_NumLock, false, VK_NUMLOCK},
    {Qt::Key_ScrollLock, false, VK_SCROLL},
    // The digit keys shifted on the US layout.
    {Qt::Key_Exclam, false, '1'},
    {Qt::Key_At, false, '2'},
    {Qt::Key_NumberSign, false, '3'},
    {Qt::Key_Dollar, false, '4'},
    {Qt::Key_Percent, false, '5'},
    {Qt::Key_AsciiCircum, false, '6'},
    {Qt::Key_Ampersand, false, '7'},
    {Qt::Key_Asterisk, false, '8'},
    {Qt::Key_ParenLeft, false, '9'},
    {Qt::Key_ParenRight, false, '0'},
    // Punctuation keys, plain and shifted.
    {Qt::Key_Semicolon, false, VK_OEM_1},
    {Qt::Key_Colon, false, VK_OEM_1},
    {Qt::Key_Equal, false, VK_OEM_PLUS},
    {Qt::Key_Plus, false, VK_OEM_PLUS},
    {Qt::Key_Comma, false, VK_OEM_COMMA},
    {Qt::Key_Less, false, VK_OEM_COMMA},
    {Qt::Key_Minus, false, VK_OEM_MINUS},
    {Qt::Key_Underscore, false, VK_OEM_MINUS},
    {Qt::Key_Period, false, VK_OEM_PERIOD},
    {Qt::Key_Greater, false, VK_OEM_PERIOD},
    {Qt::Key_Slash, false, VK_OEM_2},
    {Qt::Key_Question, false, VK_OEM_2},
    {Qt::Key_QuoteLeft, false, VK_OEM_3},
    {Qt::Key_AsciiTilde, false, VK_OEM_3},
    {Qt::Key_BracketLeft, false, VK_OEM_4},
    {Qt::Key_BraceLeft, false, VK_OEM_4},
    {Qt::Key_Backslash, false, VK_OEM_5},
    {Qt::Key_Bar, false, VK_OEM_5},
    {Qt::Key_BracketRight, false, VK_OEM_6},
    {Qt::Key_BraceRight, false, VK_OEM_6},
    {Qt::Key_Apostrophe, false, VK_OEM_7},
    {Qt::Key_QuoteDbl, false, VK_OEM_7},
    // German letters on their keys of the German layout.
    {Qt::Key_Udiaeresis, false, VK_OEM_1},
    {Qt::Key_Odiaeresis, false, VK_OEM_3},
    {Qt::Key_ssharp, false, VK_OEM_4},
    {Qt::Key_Adiaeresis, false, VK_OEM_7},
};

// Digits, letters, the number pad's digits and the function keys follow
// from ranges.
int RangeVirtualKey(int qtKey, bool keypad)
{
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return keypad ? VK_NUMPAD0 + (qtKey - Qt::Key_0) : '0' + (qtKey - Qt::Key_0);
    if (keypad)
        return 0;
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return 'A' + (qtKey - Qt::Key_A);
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return VK_F1 + (qtKey - Qt::Key_F1);
    return 0;
}

int FixedVirtualKey(int qtKey, bool keypad)
{
    for (const KeyEntry& e : Fixed)
        if (e.qtKey == qtKey && e.keypad == keypad)
            return e.virtualKey;
    return 0;
}

}  // namespace

int VirtualKeyFromQt(int qtKey, Qt::KeyboardModifiers modifiers)
{
    const bool keypad = modifiers.testFlag(Qt::KeypadModifier);
    if (int vk = RangeVirtualKey(qtKey, keypad))
        return vk;
    if (int vk = FixedVirtualKey(qtKey, keypad))
        return vk;
    // The number pad's navigation keys (Num Lock off) are the ordinary ones.
    return keypad ? VirtualKeyFromQt(qtKey, Qt::NoModifier) : 0;
}

QtKeyStroke QtKeyFromVirtualKey(int virtualKey)
{
    if (virtualKey >= '0' && virtualKey <= '9')
        return {Qt::Key_0 + (virtualKey - '0'), Qt::NoModifier};
    if (virtualKey >= 'A' && virtualKey <= 'Z')
        return {Qt::Key_A + (virtualKey - 'A'), Qt::NoModifier};
    if (virtualKey >= VK_NUMPAD0 && virtualKey <= VK_NUMPAD0 + 9)
        return {Qt::Key_0 + (virtualKey - VK_NUMPAD0), Qt::KeypadModifier};
    if (virtualKey >= VK_F1 && virtualKey <= VK_F24)
        return {Qt::Key_F1 + (virtualKey - VK_F1), Qt::NoModifier};
    for (const KeyEntry& e : Fixed)
        if (e.virtualKey == virtualKey)
            return {e.qtKey, e.keypad ? Qt::KeypadModifier : Qt::NoModifier};
    return {};
}
