// The key table: Qt keys to Windows virtual keys and back.
#include <gtest/gtest.h>

#include "platform/qt/vkeys.h"

namespace {

struct KeyCase {
    int qtKey;
    Qt::KeyboardModifiers modifiers;
    int virtualKey;
    bool reverse;  // the virtual key gives this Qt key back
};

const KeyCase Cases[] = {
    {Qt::Key_Backspace, {}, 8, true},
    {Qt::Key_Tab, {}, 9, true},
    {Qt::Key_Backtab, Qt::ShiftModifier, 9, false},
    {Qt::Key_Return, {}, 13, true},
    {Qt::Key_Enter, Qt::KeypadModifier, 13, false},
    {Qt::Key_Shift, Qt::ShiftModifier, 16, true},
    {Qt::Key_Control, {}, 17, true},
    {Qt::Key_Alt, {}, 18, true},
    {Qt::Key_Escape, {}, 27, true},
    {Qt::Key_Space, {}, 32, true},
    {Qt::Key_PageUp, {}, 33, true},
    {Qt::Key_PageDown, {}, 34, true},
    {Qt::Key_End, {}, 35, true},
    {Qt::Key_Home, Qt::KeypadModifier, 36, false},
    {Qt::Key_Left, {}, 37, true},
    {Qt::Key_Up, {}, 38, true},
    {Qt::Key_Right, {}, 39, true},
    {Qt::Key_Down, {}, 40, true},
    {Qt::Key_Insert, {}, 45, true},
    {Qt::Key_Delete, Qt::ControlModifier, 46, true},
    {Qt::Key_0, {}, '0', true},
    {Qt::Key_9, {}, '9', true},
    {Qt::Key_Exclam, Qt::ShiftModifier, '1', false},
    {Qt::Key_A, {}, 'A', true},
    {Qt::Key_Z, Qt::ShiftModifier, 'Z', true},
    {Qt::Key_0, Qt::KeypadModifier, 96, true},
    {Qt::Key_9, Qt::KeypadModifier, 105, true},
    {Qt::Key_Asterisk, Qt::KeypadModifier, 106, true},
    {Qt::Key_Plus, Qt::KeypadModifier, 107, true},
    {Qt::Key_Minus, Qt::KeypadModifier, 109, true},
    {Qt::Key_Period, Qt::KeypadModifier, 110, true},
    {Qt::Key_Comma, Qt::KeypadModifier, 110, false},
    {Qt::Key_Slash, Qt::KeypadModifier, 111, true},
    {Qt::Key_F1, {}, 112, true},
    {Qt::Key_F12, {}, 123, true},
    {Qt::Key_Semicolon, {}, 186, true},
    {Qt::Key_Udiaeresis, {}, 186, false},
    {Qt::Key_Plus, {}, 187, false},
    {Qt::Key_Equal, {}, 187, true},
    {Qt::Key_Comma, {}, 188, true},
    {Qt::Key_Minus, {}, 189, true},
    {Qt::Key_Underscore, Qt::ShiftModifier, 189, false},
    {Qt::Key_Period, {}, 190, true},
    {Qt::Key_Slash, {}, 191, true},
    {Qt::Key_QuoteLeft, {}, 192, true},
    {Qt::Key_BracketLeft, {}, 219, true},
    {Qt::Key_Backslash, {}, 220, true},
    {Qt::Key_BracketRight, {}, 221, true},
    {Qt::Key_Apostrophe, {}, 222, true},
    {Qt::Key_Adiaeresis, {}, 222, false},
};

}  // namespace

TEST(VirtualKeys, Table)
{
    for (const KeyCase& c : Cases) {
        SCOPED_TRACE(testing::Message() << "Qt key 0x" << std::hex << c.qtKey << std::dec << " vk " << c.virtualKey);
        EXPECT_EQ(VirtualKeyFromQt(c.qtKey, c.modifiers), c.virtualKey);
        if (c.reverse) {
            const QtKeyStroke back = QtKeyFromVirtualKey(c.virtualKey);
            EXPECT_EQ(back.key, c.qtKey);
            EXPECT_EQ(back.modifiers, c.modifiers & Qt::KeypadModifier);
        }
    }
}

TEST(VirtualKeys, UnknownGiveNothing)
{
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_VolumeUp), 0);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_VolumeUp, Qt::KeypadModifier), 0);
    EXPECT_EQ(QtKeyFromVirtualKey(0).key, Qt::Key_unknown);
    EXPECT_EQ(QtKeyFromVirtualKey(7).key, Qt::Key_unknown);
    EXPECT_EQ(QtKeyFromVirtualKey(255).key, Qt::Key_unknown);
}

TEST(VirtualKeys, EveryVirtualKeyComesBack)
{
    for (int vk = 1; vk < 256; ++vk) {
        const QtKeyStroke stroke = QtKeyFromVirtualKey(vk);
        if (stroke.key != Qt::Key_unknown) {
            EXPECT_EQ(VirtualKeyFromQt(stroke.key, stroke.modifiers), vk) << vk;
        }
    }
}
