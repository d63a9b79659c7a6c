#pragma once
// A list editor core on a fake window, driven by keys as a cell gets them,
// with the edit-menu bindings it hands out recorded.
#include <memory>
#include <utility>

#include "kernel/model/listmodel.h"
#include "lists/core/list_editor_core.h"
#include "tests/lists/fake_list_host.h"

class BindingHost : public FakeListHost {
public:
    EditMenuBinding binding;
    int bindings = 0;
    void ApplyEditBinding(const EditMenuBinding& b, bool, bool) override
    {
        binding = b;
        ++bindings;
    }
};

template <class Core>
struct EditorDriver {
    BindingHost host;
    std::unique_ptr<Core> core;

    explicit EditorDriver(int clientHeight = 400)
    {
        host.clientHeight = clientHeight;
        core = std::make_unique<Core>(host);
        host.core = core.get();
        core->FormActivate();
    }
    // Offered first, then the key-down handling, then the character.
    void Key(int vk, char32_t c = 0, bool shift = false)
    {
        if (core->HandleKey(vk))
            return;
        if (core->KeyDown(vk, shift, false, false))
            return;
        if (c)
            core->CellEditor(c);
        core->KeyUp(false);
    }
    void Type(const std::string& text)
    {
        for (char c : text)
            Key(c >= 'a' && c <= 'z' ? c - 32 : c, static_cast<char32_t>(c));
    }
    // A Shift press, then keys with Shift held, then the release.
    void ShiftPress() { Key(16, 0, true); }
    void ShiftKey(int vk) { Key(vk, 0, true); }
    void ShiftUp() { core->KeyUp(false); }
    void Right() { Key(39); }
    void Down() { Key(40); }
    void Enter() { Key(13, '\r'); }
    void GoTo(int field)
    {
        for (int guard = 0; guard < 40 && core->Feld() != field; ++guard)
            Right();
    }
    // Puts the cursor on a field of its line, as a click does.
    void Focus(int field) { host.FocusCell(core->Zeile(), core->Field(field).column); }
    void GoToLine(int line)
    {
        Key(36);
        for (int guard = 0; guard < 30000 && core->CursorLine() < line; ++guard)
            Down();
    }
    const Cell& FieldCell(int field, int row = 0)
    {
        return core->Grid().At(row ? row : core->Zeile(), core->Field(field).column);
    }
    std::string Text(int field) { return core->TextWithoutCaret(core->Zeile(), core->Field(field).column); }
};

// Bytes of a line as hex, from offset on for count bytes.
inline std::string Hex(const uint8_t* p, size_t offset, size_t count)
{
    static const char* const digits = "0123456789abcdef";
    std::string out;
    for (size_t i = offset; i < offset + count; ++i) {
        out += digits[p[i] >> 4];
        out += digits[p[i] & 15];
    }
    return out;
}
