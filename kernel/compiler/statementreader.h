#pragma once
// Reading the script statement by statement, and cutting statements into
// their parts. Statements are Windows-1252 bytes.
#include <cstdint>
#include <string>

// A statement reaches at most 254 characters; the 255th is error 402.
inline constexpr size_t kStatementLimit = 255;
// What a statement cut off by the end of the text reads as.
inline constexpr const char* kUnexpectedEndStatement = "**********";

// One statement, from the script text (fromFile false: blanks and comments
// dropped, letters outside brackets and brace texts upper-cased) or from
// the statement file. braceText lets a statement that starts with "{" be
// read as a brace text (the comment of the directive before). error gets 0
// or the code; the reader's line and column are ZrVar.ErrorLine and
// ZrVar.ErrorColumn.
void ReadStatement(int32_t& error, bool braceText, std::string& statement, bool fromFile);

// head := the text before the first "=" (at most max characters), s := the
// text after it. When the first "[" stands before that "=" and the first "]"
// after it, the split moves to the first "=" after that "]". No "=": head :=
// s, s := "".
void SplitAtEquals(std::string& s, size_t max, std::string& head);
// head := the text before the first ",", s := the text after it.
void SplitAtComma(std::string& s, size_t max, std::string& head);

// Takes a leading decimal number (an optional sign, then digits) off s and
// returns it; 0 and s unchanged when s does not start with one. Values past
// the i32 range saturate, so they still fail every range check.
int32_t TakeNumber(std::string& s);
// The same, telling whether a number was there.
bool TakeNumber(std::string& s, int32_t& value);
// True when the whole text is one decimal number.
bool ParseNumber(const std::string& text, int32_t& value);
