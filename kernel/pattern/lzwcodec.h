#pragma once
// The LZW variant of our pattern strips (TIFF compression 5): codes grow to
// 13 bits, the width grows by a count of codes, the table is cleared when the
// next free code passes 8191. One strip per call; no state between calls.
#include <cstddef>
#include <cstdint>
#include <vector>

enum class LzwStatus {
    Ok,
    Corrupt,   // a code the table cannot hold, or a clear where none may be
    Overflow,  // the stream holds more than expected
};

struct LzwDecoded {
    LzwStatus status;
    const uint8_t* data;  // the decoded bytes, in the decoder's own area
    size_t size;
};

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

// The same without copies: decodes size code bytes into an area of this
// thread, which holds them until the thread's next decoding. Overflow: the
// first expected bytes stand there and the stream holds more. Corrupt: what
// was decoded before the fault stands there.
LzwDecoded LzwDecodeStrip(const uint8_t* codes, size_t size, size_t expected);
