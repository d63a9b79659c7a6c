#pragma once
// Small text and selection tools the list windows and their dialogs share.
// Texts are UTF-8.
#include <cstdint>
#include <string>
#include <vector>

// Leading blanks and one "+" or "-" dropped, the rest empty or digits only.
bool IsNumber(const std::string& text);
// The text between the n-th and (n+1)-th "|" (from 0); the rest of the text
// when no further "|" follows; empty past the last field.
std::string PipeField(int n, const std::string& text);
std::string SignChar(int32_t value);
// The last n characters, the whole text when shorter.
std::string RightChars(const std::string& text, int n);
// True when the horizontal extents left .. left + width overlap.
bool RangesOverlap(int leftA, int widthA, int leftB, int widthB);
void SwapWords(uint16_t& a, uint16_t& b);
void PrependBytes(std::string& text, const uint8_t* bytes, int count);
// The number a text starts with after blanks (0 for none); long digit runs
// are capped so that no overflow occurs.
int32_t LeadingNumber(const std::string& text);
std::string TrimBlanks(const std::string& text);
std::string TrimRight(const std::string& text);

// The choice entries of a choice string: three "|"-ended fields each (text,
// empty middle field, code).
int ChoiceEntryCount(const std::string& choices);
std::string ChoiceText(const std::string& choices, int entry);
std::string ChoiceCode(const std::string& choices, int entry);

// The rows a selection dialog offers: one per entry, from entry 0 while the
// entry's text is not empty, unless the mask character of the entry is "0".
struct SelectionRows {
    std::vector<std::string> texts;
    std::vector<int> entries;  // the entry number of each row
    int selectedRow = -1;      // the row of the preselected entry, -1 none
    std::string paddedMask;    // the mask padded with "1" to the entry count
};
SelectionRows BuildSelectionRows(const std::string& choices, const std::string& mask,
                                 int preselected);
// Bit entry set for every marked row whose entry number is below 32.
uint32_t MultiSelectionResult(const SelectionRows& rows, const std::vector<bool>& marked);

// UTF-8 to code points and back.
std::u32string ToU32(const std::string& text);
std::string ToU8(const std::u32string& text);
std::string ToU8(char32_t c);
