#pragma once
// Word moves of the text view on one line (columns count from 1).
#include <cstdint>
#include <string>

// Characters that make up words: % ' ( ) * + - . 0-9 : < > A-Z ^ a-z.
bool IsWordChar(unsigned char c);
// The start of the word at or before the column.
int32_t WordLeft(const std::string& line, int32_t column);
// The start of the next token (a run of word characters or of other
// non-blank characters); the column itself when none follows.
int32_t WordRight(const std::string& line, int32_t column);
// Tab alignment: the column the lines above point to from the cursor, or
// the column itself when none does. Line 0 is never consulted.
int32_t ForwardTabTarget(const std::string& reference, int32_t column);
int32_t BackwardTabTarget(const std::string& reference, int32_t column);
