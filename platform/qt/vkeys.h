#pragma once
// Windows virtual-key numbers for the key tables of the windows, and the one
// table that maps Qt keys to them and back. Letters and digits are their
// upper-case ASCII codes; the punctuation keys carry the numbers of the US
// layout, the German letters those of the German layout.
#include <Qt>

inline constexpr int VK_BACK = 8;
inline constexpr int VK_TAB = 9;
inline constexpr int VK_CLEAR = 12;
inline constexpr int VK_RETURN = 13;
inline constexpr int VK_SHIFT = 16;
inline constexpr int VK_CONTROL = 17;
inline constexpr int VK_MENU = 18;
inline constexpr int VK_PAUSE = 19;
inline constexpr int VK_CAPITAL = 20;
inline constexpr int VK_ESCAPE = 27;
inline constexpr int VK_SPACE = 32;
inline constexpr int VK_PRIOR = 33;
inline constexpr int VK_NEXT = 34;
inline constexpr int VK_END = 35;
inline constexpr int VK_HOME = 36;
inline constexpr int VK_LEFT = 37;
inline constexpr int VK_UP = 38;
inline constexpr int VK_RIGHT = 39;
inline constexpr int VK_DOWN = 40;
inline constexpr int VK_SNAPSHOT = 44;
inline constexpr int VK_INSERT = 45;
inline constexpr int VK_DELETE = 46;
inline constexpr int VK_HELP = 47;
inline constexpr int VK_LWIN = 91;
inline constexpr int VK_RWIN = 92;
inline constexpr int VK_APPS = 93;
inline constexpr int VK_NUMPAD0 = 96;
inline constexpr int VK_MULTIPLY = 106;
inline constexpr int VK_ADD = 107;
inline constexpr int VK_SEPARATOR = 108;
inline constexpr int VK_SUBTRACT = 109;
inline constexpr int VK_DECIMAL = 110;
inline constexpr int VK_DIVIDE = 111;
inline constexpr int VK_F1 = 112;
inline constexpr int VK_F12 = 123;
inline constexpr int VK_F24 = 135;
inline constexpr int VK_NUMLOCK = 144;
inline constexpr int VK_SCROLL = 145;
inline constexpr int VK_OEM_1 = 186;
inline constexpr int VK_OEM_PLUS = 187;
inline constexpr int VK_OEM_COMMA = 188;
inline constexpr int VK_OEM_MINUS = 189;
inline constexpr int VK_OEM_PERIOD = 190;
inline constexpr int VK_OEM_2 = 191;
inline constexpr int VK_OEM_3 = 192;
inline constexpr int VK_OEM_4 = 219;
inline constexpr int VK_OEM_5 = 220;
inline constexpr int VK_OEM_6 = 221;
inline constexpr int VK_OEM_7 = 222;
inline constexpr int VK_OEM_102 = 226;

// A Qt key as a key event reports it.
struct QtKeyStroke {
    int key = Qt::Key_unknown;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
};

// The virtual-key number of a key event's key() and modifiers(); 0 when the
// key has none. Only Qt::KeypadModifier tells keys apart (the number pad's
// digits and signs); the other modifiers are the caller's.
int VirtualKeyFromQt(int qtKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

// The Qt key that gives the virtual key (the unshifted one; the number pad's
// with Qt::KeypadModifier); Qt::Key_unknown when none.
QtKeyStroke QtKeyFromVirtualKey(int virtualKey);
