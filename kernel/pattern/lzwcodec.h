#pragma once
// The LZW variant of our pattern strips (TIFF compression 5): codes grow to
// 13 bits, the width grows by a count of codes, the table is cleared when the
// next free code passes 8191. One strip per call; no state between calls.
#include <cstddef>
#include <cstdint>
#include <vector>

enum class LzwStatus { Ok, Corrupt };

// Replaces the bytes of buffer by their code stream. An empty buffer gives
// the clear and the end code only.
void LzwCompress(std::vector<uint8_t>& buffer);

// Replaces the code stream in buffer by the decoded bytes, never more than
// expected. Corrupt: a code the table cannot hold yet, a first code after a
// clear that is no single byte, or more output than expected; buffer then
// holds what was decoded before. Decoding stops at the end code or when the
// input is used up; fewer bytes than expected are not an error here.
//
// A clear read at fewer than 13 bits comes from a standard TIFF writer (ours
// are written at 13 bits); its width grows one code earlier after the clear,
// which is taken into account.
LzwStatus LzwDecompress(std::vector<uint8_t>& buffer, size_t expected);
