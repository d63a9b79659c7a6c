#pragma once
// Colours of the text view, kept apart from any display: a colour is one of
// the system's roles (which the view turns into its palette's colours) or a
// plain RGB value.
#include <cstdint>
#include <string>

enum class ColourRole : uint8_t { Rgb, Window, WindowText, Highlight, HighlightText };

struct TextColour {
    ColourRole role = ColourRole::Rgb;
    // 0xRRGGBB when role is Rgb.
    uint32_t rgb = 0;
    bool operator==(const TextColour&) const = default;
};

inline constexpr TextColour kWindowColour{ColourRole::Window, 0};
inline constexpr TextColour kWindowTextColour{ColourRole::WindowText, 0};
inline constexpr TextColour kHighlightColour{ColourRole::Highlight, 0};
inline constexpr TextColour kHighlightTextColour{ColourRole::HighlightText, 0};
// Comments: the stored value $FF0000 is blue, red sitting in the low byte.
inline constexpr TextColour kCommentColour{ColourRole::Rgb, 0x0000ff};

// Syntax states of a character.
inline constexpr uint8_t kPlainState = 0;
inline constexpr uint8_t kAfterBracketState = 1;
inline constexpr uint8_t kSectionState = 2;
inline constexpr uint8_t kCommentState = 3;

// How one character is drawn and the syntax state it leaves.
struct CharState {
    TextColour background = kWindowColour;
    TextColour text = kWindowTextColour;
    uint8_t state = kPlainState;
    bool selected = false;
    bool operator==(const CharState&) const = default;
};

// A cell colour of the symbol text: the palette entry and its lettering.
struct SymbolColour {
    uint32_t background = 0xffffff;
    uint32_t ink = 0;
};

// Characters of a row drawn alike, from the offset (0 = first visible column).
struct TextRun {
    int32_t offset = 0;
    std::string text;
    CharState colours;
};
