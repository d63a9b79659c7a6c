#include "platform/codepage.h"

#include <iconv.h>

#include <array>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <stdexcept>

namespace {

// Only the upper halves differ from ASCII, so each page is one table of 128
// code points for the bytes 0x80..0xFF.
using UpperHalf = std::array<char16_t, 128>;

// Windows-1252. The five bytes Microsoft left unassigned (81, 8D, 8F, 90, 9D)
// stand for the C1 control of the same number: old files do hold them, and a
// stored text must come back byte for byte.
constexpr UpperHalf kCp1252 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98
    0x00A0, 0x00A1, 0x00A2, 0x00A3, 0x00A4, 0x00A5, 0x00A6, 0x00A7,  // A0
    0x00A8, 0x00A9, 0x00AA, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x00AF,  // A8
    0x00B0, 0x00B1, 0x00B2, 0x00B3, 0x00B4, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x00B8, 0x00B9, 0x00BA, 0x00BB, 0x00BC, 0x00BD, 0x00BE, 0x00BF,  // B8
    0x00C0, 0x00C1, 0x00C2, 0x00C3, 0x00C4, 0x00C5, 0x00C6, 0x00C7,  // C0
    0x00C8, 0x00C9, 0x00CA, 0x00CB, 0x00CC, 0x00CD, 0x00CE, 0x00CF,  // C8
    0x00D0, 0x00D1, 0x00D2, 0x00D3, 0x00D4, 0x00D5, 0x00D6, 0x00D7,  // D0
    0x00D8, 0x00D9, 0x00DA, 0x00DB, 0x00DC, 0x00DD, 0x00DE, 0x00DF,  // D8
    0x00E0, 0x00E1, 0x00E2, 0x00E3, 0x00E4, 0x00E5, 0x00E6, 0x00E7,  // E0
    0x00E8, 0x00E9, 0x00EA, 0x00EB, 0x00EC, 0x00ED, 0x00EE, 0x00EF,  // E8
    0x00F0, 0x00F1, 0x00F2, 0x00F3, 0x00F4, 0x00F5, 0x00F6, 0x00F7,  // F0
    0x00F8, 0x00F9, 0x00FA, 0x00FB, 0x00FC, 0x00FD, 0x00FE, 0x00FF,  // F8
};

// DOS code page 850 (Western Europe), as the machine's DOS tools wrote it.
constexpr UpperHalf kCp850 = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,  // 80
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,  // 88
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,  // 90
    0x00FF, 0x00D6, 0x00DC, 0x00F8, 0x00A3, 0x00D8, 0x00D7, 0x0192,  // 98
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,  // A0
    0x00BF, 0x00AE, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,  // A8
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x00C1, 0x00C2, 0x00C0,  // B0
    0x00A9, 0x2563, 0x2551, 0x2557, 0x255D, 0x00A2, 0x00A5, 0x2510,  // B8
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x00E3, 0x00C3,  // C0
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x00A4,  // C8
    0x00F0, 0x00D0, 0x00CA, 0x00CB, 0x00C8, 0x0131, 0x00CD, 0x00CE,  // D0
    0x00CF, 0x2518, 0x250C, 0x2588, 0x2584, 0x00A6, 0x00CC, 0x2580,  // D8
    0x00D3, 0x00DF, 0x00D4, 0x00D2, 0x00F5, 0x00D5, 0x00B5, 0x00FE,  // E0
    0x00DE, 0x00DA, 0x00DB, 0x00D9, 0x00FD, 0x00DD, 0x00AF, 0x00B4,  // E8
    0x00AD, 0x00B1, 0x2017, 0x00BE, 0x00B6, 0x00A7, 0x00F7, 0x00B8,  // F0
    0x00B0, 0x00A8, 0x00B7, 0x00B9, 0x00B3, 0x00B2, 0x25A0, 0x00A0,  // F8
};

// Both pages keep every code point below U+2600, so a reverse table of that
// size answers each character with one look-up; 0 marks "not on this page".
constexpr std::size_t kReverseSize = 0x2600;
using Reverse = std::array<std::uint8_t, kReverseSize>;

constexpr Reverse MakeReverse(const UpperHalf& page)
{
    Reverse r{};
    for (std::size_t i = 0; i < page.size(); ++i)
        r[page[i]] = static_cast<std::uint8_t>(0x80 + i);
    return r;
}

constexpr Reverse kCp1252Reverse = MakeReverse(kCp1252);
constexpr Reverse kCp850Reverse = MakeReverse(kCp850);

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Decodes one well-formed UTF-8 sequence at pos and advances past it. An
// ill-formed one gives false and advances by one byte, so that a stray byte
// costs one "?" and the characters after it still come through.
bool NextCodePoint(std::string_view s, std::size_t& pos, char32_t& c)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char b0 = byte(pos);
    if (b0 < 0x80) {
        c = b0;
        ++pos;
        return true;
    }
    std::size_t len;
    char32_t min;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        len = 2;
        min = 0x80;
        c = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        len = 3;
        min = 0x800;
        c = b0 & 0x0F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        len = 4;
        min = 0x10000;
        c = b0 & 0x07;
    } else {
        ++pos;
        return false;
    }
    if (s.size() - pos < len) {
        ++pos;
        return false;
    }
    for (std::size_t i = 1; i < len; ++i) {
        const unsigned char b = byte(pos + i);
        if ((b & 0xC0) != 0x80) {
            ++pos;
            return false;
        }
        c = (c << 6) | (b & 0x3F);
    }
    // Overlong forms, UTF-16 surrogates and values past U+10FFFF are not
    // characters; accepting them would let two spellings of one name differ.
    if (c < min || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) {
        ++pos;
        return false;
    }
    pos += len;
    return true;
}

std::string Decode(std::string_view bytes, const UpperHalf& page)
{
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        AppendUtf8(out, b < 0x80 ? char32_t(b) : char32_t(page[b - 0x80]));
    }
    return out;
}

std::string Encode(std::string_view text, const Reverse& reverse)
{
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        char32_t c;
        if (!NextCodePoint(text, pos, c)) {
            out += '?';
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < kReverseSize && reverse[c] != 0) {
            out += static_cast<char>(reverse[c]);
        } else {
            out += '?';
        }
    }
    return out;
}

// One iconv descriptor for the length of one conversion.
class IconvHandle {
public:
    IconvHandle(const char* to, const char* from) : cd_(iconv_open(to, from))
    {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error(std::string("no iconv conversion from ") + from + " to " + to);
    }
    ~IconvHandle() { iconv_close(cd_); }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;
    iconv_t get() const { return cd_; }

private:
    iconv_t cd_;
};

// Runs iconv over the whole input. Where iconv stops at a sequence it
// cannot take, the replacement goes out and the input moves on by skip(pos)
// bytes, so one bad character never costs the rest of the text.
template <typename Skip>
std::string IconvConvert(const char* to, const char* from, std::string_view in,
                         std::string_view replacement, Skip skip)
{
    IconvHandle cd(to, from);
    std::string out;
    std::size_t pos = 0;
    char buf[512];
    while (pos < in.size()) {
        char* inPtr = const_cast<char*>(in.data() + pos);
        std::size_t inLeft = in.size() - pos;
        char* outPtr = buf;
        std::size_t outLeft = sizeof buf;
        const std::size_t rc = iconv(cd.get(), &inPtr, &inLeft, &outPtr, &outLeft);
        const int err = errno;
        out.append(buf, static_cast<std::size_t>(outPtr - buf));
        pos = in.size() - inLeft;
        if (rc != static_cast<std::size_t>(-1))
            break;
        if (err == E2BIG)
            continue;
        // EILSEQ or EINVAL (cut short at the end): one replacement, and the
        // shift state starts afresh.
        out += replacement;
        pos += skip(pos);
        iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
    }
    // Flush any shift state (none for these pages, but it costs nothing).
    char* outPtr = buf;
    std::size_t outLeft = sizeof buf;
    iconv(cd.get(), nullptr, nullptr, &outPtr, &outLeft);
    out.append(buf, static_cast<std::size_t>(outPtr - buf));
    return out;
}

std::string DecodeIconv(std::string_view bytes, const char* page)
{
    return IconvConvert("UTF-8", page, bytes, "\uFFFD", [](std::size_t) { return std::size_t{1}; });
}

std::string EncodeIconv(std::string_view text, const char* page)
{
    // A character the page lacks, or a broken sequence, is skipped whole.
    return IconvConvert(page, "UTF-8", text, "?", [text](std::size_t at) {
        std::size_t next = at;
        char32_t c;
        NextCodePoint(text, next, c);
        return next - at;
    });
}

}  // namespace

std::string Cp1253ToUtf8(std::string_view bytes)
{
    return DecodeIconv(bytes, "CP1253");
}

std::string Utf8ToCp1253(std::string_view text)
{
    return EncodeIconv(text, "CP1253");
}

std::string Cp932ToUtf8(std::string_view bytes)
{
    return DecodeIconv(bytes, "CP932");
}

std::string Utf8ToCp932(std::string_view text)
{
    return EncodeIconv(text, "CP932");
}

bool FitsCp1252(std::string_view text)
{
    return IsValidUtf8(text) && Cp1252ToUtf8(Utf8ToCp1252(text)) == text;
}

std::string Cp1252ToUtf8(std::string_view bytes)
{
    return Decode(bytes, kCp1252);
}

std::string Utf8ToCp1252(std::string_view text)
{
    return Encode(text, kCp1252Reverse);
}

std::string Cp850ToUtf8(std::string_view bytes)
{
    return Decode(bytes, kCp850);
}

std::string Utf8ToCp850(std::string_view text)
{
    return Encode(text, kCp850Reverse);
}

bool IsValidUtf8(std::string_view text)
{
    std::size_t pos = 0;
    char32_t c;
    while (pos < text.size())
        if (!NextCodePoint(text, pos, c))
            return false;
    return true;
}

bool HasHighBytes(std::string_view text)
{
    for (char ch : text)
        if (static_cast<unsigned char>(ch) >= 0x80)
            return true;
    return false;
}

std::string DosLettersToWindows(std::string_view bytes)
{
    std::string out(bytes);
    for (char& ch : out) {
        switch (static_cast<unsigned char>(ch)) {
        case 0x81: ch = static_cast<char>(0xFC); break;
        case 0x84: ch = static_cast<char>(0xE4); break;
        case 0x8E: ch = static_cast<char>(0xC4); break;
        case 0x94: ch = static_cast<char>(0xF6); break;
        case 0x99: ch = static_cast<char>(0xD6); break;
        case 0x9A: ch = static_cast<char>(0xDC); break;
        case 0xE1: ch = static_cast<char>(0xDF); break;
        default: break;
        }
    }
    return out;
}

std::string FirstCharacters(std::string_view text, size_t count)
{
    size_t end = 0;
    for (size_t n = 0; end < text.size() && n < count; ++n) {
        ++end;
        while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
            ++end;
    }
    return std::string(text.substr(0, end));
}
