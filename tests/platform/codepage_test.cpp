// The code page tables, checked by hand at the bytes that matter to us and
// against glibc's iconv for the rest.
#include <gtest/gtest.h>

#include <iconv.h>

#include <string>

#include "platform/codepage.h"

namespace {

std::string AllBytes()
{
    std::string s;
    for (int b = 0; b < 256; ++b)
        s += static_cast<char>(b);
    return s;
}

// One byte through iconv; empty when iconv has no mapping for it.
std::string IconvByte(iconv_t cd, unsigned char byte)
{
    char in = static_cast<char>(byte);
    char out[8];
    char* inPtr = &in;
    char* outPtr = out;
    size_t inLeft = 1;
    size_t outLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1))
        return {};
    return std::string(out, static_cast<size_t>(outPtr - out));
}

void ExpectSameAsIconv(const char* iconvName, std::string (*decode)(std::string_view))
{
    iconv_t cd = iconv_open("UTF-8", iconvName);
    if (cd == reinterpret_cast<iconv_t>(-1))
        GTEST_SKIP() << "iconv has no " << iconvName;
    int compared = 0;
    for (int b = 0; b < 256; ++b) {
        const std::string expected = IconvByte(cd, static_cast<unsigned char>(b));
        if (expected.empty())
            continue;
        ++compared;
        EXPECT_EQ(decode(std::string(1, static_cast<char>(b))), expected) << "byte " << b;
    }
    iconv_close(cd);
    EXPECT_GE(compared, 251);
}

}  // namespace

TEST(Codepage, Cp1252HandCheckedBytes)
{
    EXPECT_EQ(Cp1252ToUtf8("\x80"), "\u20AC");
    EXPECT_EQ(Utf8ToCp1252("\u20AC"), "\x80");
    EXPECT_EQ(Cp1252ToUtf8("\x9F"), "\u0178");  // Ÿ
    EXPECT_EQ(Cp1252ToUtf8("\xA0"), "\xC2\xA0");
    EXPECT_EQ(Cp1252ToUtf8("Gr\xF6\xDF" "e"), "Gr\xC3\xB6\xC3\x9F" "e");
    EXPECT_EQ(Utf8ToCp1252("Gr\xC3\xB6\xC3\x9F" "e"), "Gr\xF6\xDF" "e");
    // The unassigned bytes stand for the C1 controls of the same number.
    for (unsigned char b : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) {
        const std::string utf8{'\xC2', static_cast<char>(b)};
        EXPECT_EQ(Cp1252ToUtf8(std::string(1, static_cast<char>(b))), utf8);
        EXPECT_EQ(Utf8ToCp1252(utf8), std::string(1, static_cast<char>(b)));
    }
    // C1 controls that 1252 uses for printable characters have no byte.
    EXPECT_EQ(Utf8ToCp1252("\xC2\x80"), "?");
}

TEST(Codepage, Cp850HandCheckedBytes)
{
    EXPECT_EQ(Cp850ToUtf8("\x81"), "\xC3\xBC");  // ü
    EXPECT_EQ(Cp850ToUtf8("\x9A"), "\xC3\x9C");  // Ü
    EXPECT_EQ(Utf8ToCp850("\xC3\xBC"), "\x81");
    EXPECT_EQ(Utf8ToCp850("\xC3\x9C"), "\x9A");
    EXPECT_EQ(Cp850ToUtf8("\xE1"), "\xC3\x9F");      // ß
    EXPECT_EQ(Cp850ToUtf8("\xD5"), "\xC4\xB1");      // dotless i
    EXPECT_EQ(Cp850ToUtf8("\xB0"), "\xE2\x96\x91");  // light shade
    EXPECT_EQ(Cp850ToUtf8("\xFE"), "\xE2\x96\xA0");  // black square
    EXPECT_EQ(Cp850ToUtf8("\xFF"), "\xC2\xA0");      // no-break space
    EXPECT_EQ(Utf8ToCp850("Gr\xC3\xB6\xC3\x9F" "e"), "Gr\x94\xE1" "e");
}

TEST(Codepage, EveryByteRoundTrips)
{
    const std::string bytes = AllBytes();
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(bytes)), bytes);
    EXPECT_EQ(Utf8ToCp850(Cp850ToUtf8(bytes)), bytes);
    for (int b = 0; b < 256; ++b) {
        const std::string one(1, static_cast<char>(b));
        EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(one)), one) << "1252 byte " << b;
        EXPECT_EQ(Utf8ToCp850(Cp850ToUtf8(one)), one) << "850 byte " << b;
        EXPECT_TRUE(IsValidUtf8(Cp1252ToUtf8(one)));
        EXPECT_TRUE(IsValidUtf8(Cp850ToUtf8(one)));
    }
}

TEST(Codepage, TablesAgreeWithIconv)
{
    ExpectSameAsIconv("CP1252", Cp1252ToUtf8);
    ExpectSameAsIconv("IBM850", Cp850ToUtf8);
}

TEST(Codepage, MissingCharactersAndBadUtf8BecomeQuestionMarks)
{
    EXPECT_EQ(Utf8ToCp850("\u20AC"), "?");                 // no euro in 850
    EXPECT_EQ(Utf8ToCp1252("\u2591"), "?");                // no shades in 1252
    EXPECT_EQ(Utf8ToCp1252("a\u2192b"), "a?b");            // arrow
    EXPECT_EQ(Utf8ToCp1252("x\xF0\x9F\x98\x80y"), "x?y");  // one character, one "?"
    EXPECT_EQ(Utf8ToCp1252("\xE4\xB8\xAD"), "?");          // beyond the reverse table
    // Each byte of broken UTF-8 costs one "?", and what follows survives.
    EXPECT_EQ(Utf8ToCp1252("a\xFF" "b"), "a?b");
    EXPECT_EQ(Utf8ToCp1252("\xC3"), "?");
    EXPECT_EQ(Utf8ToCp1252("\xC3(\xC3\xA4"), "?(\xE4");
    EXPECT_EQ(Utf8ToCp1252("\xC0\xAF"), "??");  // overlong "/" must not become "/"
    EXPECT_EQ(Utf8ToCp850(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(Codepage, Utf8ValidityIsStrict)
{
    EXPECT_TRUE(IsValidUtf8(""));
    EXPECT_TRUE(IsValidUtf8("plain"));
    EXPECT_TRUE(IsValidUtf8("Gr\xC3\xB6\xC3\x9F" "e \xE2\x82\xAC"));
    EXPECT_TRUE(IsValidUtf8("\xF4\x8F\xBF\xBF"));  // U+10FFFF
    EXPECT_TRUE(IsValidUtf8("\xED\x9F\xBF"));      // U+D7FF, just below the surrogates

    EXPECT_FALSE(IsValidUtf8("Gr\xF6\xDF" "e"));    // Windows-1252
    EXPECT_FALSE(IsValidUtf8("\x80"));              // lone continuation byte
    EXPECT_FALSE(IsValidUtf8("\xC3"));              // cut short at the end
    EXPECT_FALSE(IsValidUtf8("\xE2\x82"));
    EXPECT_FALSE(IsValidUtf8("\xC3("));             // continuation missing
    EXPECT_FALSE(IsValidUtf8("\xC0\x80"));          // overlong NUL
    EXPECT_FALSE(IsValidUtf8("\xE0\x80\xAF"));      // overlong "/"
    EXPECT_FALSE(IsValidUtf8("\xF0\x82\x82\xAC"));  // overlong euro
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));      // surrogate
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));  // past U+10FFFF
    EXPECT_FALSE(IsValidUtf8("\xF8\x88\x80\x80\x80"));
}

TEST(Codepage, GreekThroughIconv)
{
    EXPECT_EQ(Cp1253ToUtf8("\xC1\xF1\xF7\xE5\xDF\xEF"), "\xCE\x91\xCF\x81\xCF\x87\xCE\xB5\xCE\xAF\xCE\xBF");
    EXPECT_EQ(Utf8ToCp1253("\xCE\x91\xCF\x81\xCF\x87\xCE\xB5\xCE\xAF\xCE\xBF"), "\xC1\xF1\xF7\xE5\xDF\xEF");
    EXPECT_EQ(Cp1253ToUtf8("\x80"), "\u20AC");
    // Unassigned bytes cost one replacement character each, nothing more.
    EXPECT_EQ(Cp1253ToUtf8("a\xAA" "b\xFF"), "a\uFFFD" "b\uFFFD");
    EXPECT_EQ(Utf8ToCp1253("\xC3\xB6x"), "?x");  // no ö in Greek
    EXPECT_EQ(Cp1253ToUtf8(""), "");
}

TEST(Codepage, JapaneseThroughIconv)
{
    EXPECT_EQ(Cp932ToUtf8("\x93\xFA\x96\x7B"), "\xE6\x97\xA5\xE6\x9C\xAC");  // 日本
    EXPECT_EQ(Utf8ToCp932("\xE6\x97\xA5\xE6\x9C\xAC"), "\x93\xFA\x96\x7B");
    EXPECT_EQ(Cp932ToUtf8("\xB1"), "\xEF\xBD\xB1");  // half-width katakana
    EXPECT_EQ(Cp932ToUtf8("Datei"), "Datei");
    // A lead byte cut off at the end, and a broken pair in the middle.
    EXPECT_EQ(Cp932ToUtf8("ab\x93"), "ab\uFFFD");
    EXPECT_EQ(Cp932ToUtf8("\x93" "\x01" "x"), "\uFFFD\x01x");
    EXPECT_EQ(Utf8ToCp932("a\xCE\xA9\xE2\x82\xACz"), "a\x83\xB6?z");  // Ω, no euro
    EXPECT_EQ(Utf8ToCp932("a\xFF" "b"), "a?b");
    // Long texts go through in more than one piece.
    std::string many;
    for (int i = 0; i < 1000; ++i)
        many += "\x93\xFA";
    std::string expected;
    for (int i = 0; i < 1000; ++i)
        expected += "\xE6\x97\xA5";
    EXPECT_EQ(Cp932ToUtf8(many), expected);
    EXPECT_EQ(Utf8ToCp932(expected), many);
}

TEST(Codepage, FitsCp1252)
{
    EXPECT_TRUE(FitsCp1252("Gr\xC3\xB6\xC3\x9F" "e \xE2\x82\xAC"));
    EXPECT_TRUE(FitsCp1252(""));
    EXPECT_FALSE(FitsCp1252("\xE6\x97\xA5"));
    EXPECT_FALSE(FitsCp1252("a\xFF"));
    EXPECT_FALSE(FitsCp1252("?\xCE\xA9"));
}

// Only the seven letters move; the rest of code page 850 (é, ø, box
// drawing) stays as stored, exactly as the program files expect.
TEST(DosLettersToWindows, MapsTheSevenLettersOnly)
{
    const std::string in = "\x81\x84\x8E\x94\x99\x9A\xE1";
    EXPECT_EQ(DosLettersToWindows(in), "\xFC\xE4\xC4\xF6\xD6\xDC\xDF");
    std::string rest;
    for (int b = 0; b < 256; ++b)
        if (in.find(static_cast<char>(b)) == std::string::npos)
            rest += static_cast<char>(b);
    EXPECT_EQ(DosLettersToWindows(rest), rest);
    // No reverse: Windows letters stay.
    EXPECT_EQ(DosLettersToWindows("\xFC\xDF"), "\xFC\xDF");
}
