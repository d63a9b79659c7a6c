#pragma once
// Small routines shared by the dispatcher, the list handlers, the compiler
// and the machine program file code.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

struct ProgramCommandBlock;

// Bits 0..7 of a byte and 0..15 of a u16. A bit number outside the width
// leaves the value unchanged and tests false.
// (Inline: the list handlers use them on every write.)
namespace kernelbits {
template <class T>
constexpr bool InWidth(int bit)
{
    return bit >= 0 && bit < static_cast<int>(8 * sizeof(T));
}
}  // namespace kernelbits
inline void SetBit(uint8_t& value, int bit)
{
    if (kernelbits::InWidth<uint8_t>(bit))
        value = static_cast<uint8_t>(value | (1u << bit));
}
inline void ClearBit(uint8_t& value, int bit)
{
    if (kernelbits::InWidth<uint8_t>(bit))
        value = static_cast<uint8_t>(value & ~(1u << bit));
}
inline bool TestBit(uint8_t value, int bit)
{
    return kernelbits::InWidth<uint8_t>(bit) && (value & (1u << bit)) != 0;
}
inline void SetBit(uint16_t& value, int bit)
{
    if (kernelbits::InWidth<uint16_t>(bit))
        value = static_cast<uint16_t>(value | (1u << bit));
}
inline void ClearBit(uint16_t& value, int bit)
{
    if (kernelbits::InWidth<uint16_t>(bit))
        value = static_cast<uint16_t>(value & ~(1u << bit));
}
inline bool TestBit(uint16_t value, int bit)
{
    return kernelbits::InWidth<uint16_t>(bit) && (value & (1u << bit)) != 0;
}

// WriteShortString for the short texts of the hot paths (comments, colour
// letters): the same bytes, copied in fixed-size pieces that overlap at the
// end. A copy whose length the compiler knows to be small otherwise becomes
// a string instruction that costs more than the whole rest of a list write.
inline void WriteShortText(uint8_t* buf, size_t off, size_t cap, std::string_view text)
{
    const size_t n = std::min(text.size(), cap);
    buf[off] = static_cast<uint8_t>(n);
    uint8_t* dst = buf + off + 1;
    const char* src = text.data();
    if (n >= 16) {
        for (size_t i = 0; i + 16 < n; i += 16)
            std::memcpy(dst + i, src + i, 16);
        std::memcpy(dst + n - 16, src + n - 16, 16);
    } else if (n >= 8) {
        std::memcpy(dst, src, 8);
        std::memcpy(dst + n - 8, src + n - 8, 8);
    } else if (n >= 4) {
        std::memcpy(dst, src, 4);
        std::memcpy(dst + n - 4, src + n - 4, 4);
    } else if (n > 0) {
        dst[0] = static_cast<uint8_t>(src[0]);
        dst[n / 2] = static_cast<uint8_t>(src[n / 2]);
        dst[n - 1] = static_cast<uint8_t>(src[n - 1]);
    }
}

// Zeroes N bytes in pieces of 64: a block cleared whole would again become a
// string instruction.
template <size_t N>
inline void ZeroBytes(uint8_t* p)
{
    for (size_t i = 0; i + 64 <= N; i += 64)
        std::memset(p + i, 0, 64);
    std::memset(p + N / 64 * 64, 0, N % 64);
}

// 0 when low <= value <= high, otherwise code.
inline uint16_t CheckRange(int32_t value, int32_t low, int32_t high, uint16_t code)
{
    return (value >= low && value <= high) ? 0 : code;
}

// The absolute value zero-padded to width digits; with sign, "-" or "+" in
// front and the digits padded to width - 1 (F_SignedZeroPadNum).
std::string SignedPaddedText(int32_t value, int width, bool withSign);

// Upper case for DOS-code-page texts: ASCII letters, and 0x81, 0x84, 0x94
// become 0x9A, 0x8E, 0x99. Independent of the locale.
std::string DosUpperCase(std::string text);

// Creates the folder part of a stored path (up to the last "\", "/" or the
// ":" of a drive letter) with all missing levels. The path is Windows-1252
// as stored. False when the folder could not be created.
bool CreateFolderFor(const std::string& storedPath);
// CreateFolderFor for a path in UTF-8, as the file system names it.
bool CreateFolderForPath(const std::string& path);

// Clears list 1..7, 9 (no lines) or the set-up record (10, 12: zero, then
// level 1, FF MIN 4, FF MAX 100, FF DIS 2). Other numbers do nothing. 0.
uint16_t ClearList(int list);
// Re-initialises line of list (handler sub-function 5; lists 10 and 12
// reset the whole set-up record). 0.
uint16_t ReInitLine(int list, uint16_t line);
// The ShortString[80] comment of a line of list 1..7, 9 (other numbers do
// nothing). The text is cut to 80 characters. Both give 0.
uint16_t CommentPut(int list, uint16_t line, std::string_view text);
uint16_t CommentGet(int list, uint16_t line, std::string& text);

// Switches the selector level through the dispatcher (list 12, selector 34)
// with a copy of block, when level differs from the current one. The
// dispatcher's result, 0 when nothing was sent.
uint16_t SetSelectorLevel(uint8_t level, const ProgramCommandBlock& block);

// Line 3 of the progress box: the translated text; line 4: the value as four
// digits.
void ProgressLine(int32_t step, int32_t total, const std::string& text, int32_t value);
// The progress lines of one job that reports record after record: the box
// shows what ProgressLine (step, total, text, value) shows with the text
// last given to SetText, which is translated there, once, rather than for
// every record (the phrases do not change during a job).
class JobProgress {
public:
    void SetText(std::string_view text);
    void Line(int32_t step, int32_t total, int32_t value);

private:
    // number_ for value, when it is not the last digit that counts up.
    void NewNumber(int32_t value);

    std::string translated_;
    std::string number_;  // the digits of value_ (or of a negative value)
    int32_t value_ = -1;
};
// Hands a text to the main window's status line.
void StatusText(const std::string& text);
