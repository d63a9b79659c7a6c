#pragma once
// One edit field of a list window: how its cells are typed into, what they
// may hold and where the cursor goes from them.
#include <cstdint>
#include <string>

struct EditField {
    uint8_t kind = 0;  // 0: not yet defined (or the "@" marker cell)
    int column = 0;
    int digits = 0;
    int maximum = 0;
    int right = 0;
    int left = 0;
    int up = 0;
    int down = 0;
    // Bit 0: lowest field of its column (arriving by Up changes the line);
    // bit 1: highest (arriving by Down changes the line).
    uint8_t edgeBits = 0;
    std::string characters;
    std::string mask;
    uint32_t colour = 0;
};

// Kinds whose cells take typed characters and show a caret.
inline bool IsTypingKind(int kind)
{
    return kind == 1 || kind == 2 || kind == 3 || kind == 6 || kind == 9;
}
