#pragma once
// The strip decoding rules written plainly, a code at a time with strings
// of their own, for the tests and the fuzz target to hold the decoder to:
// it takes shortcuts for the common codes, and on any stream it must give
// the same bytes and the same outcome as this.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "kernel/pattern/lzwcodec.h"

namespace lzw_plain {

struct Decoded {
    LzwStatus status = LzwStatus::Ok;  // as LzwDecodeStrip says it
    std::vector<uint8_t> out;
};

inline Decoded Decode(const uint8_t* codes, size_t size, size_t expected)
{
    auto codeAt = [&](size_t bit, int width) {
        uint32_t v = 0;
        for (int i = 0; i < width; ++i, ++bit)
            v = (v << 1) | ((codes[bit / 8] >> (7 - bit % 8)) & 1);
        return v;
    };
    // A string is the string of its prefix code and one byte more.
    struct Entry {
        uint32_t prefix = 0;
        uint8_t last = 0;
        uint8_t first = 0;
        uint32_t length = 0;
    };
    // Entries past the single bytes are always set before they are read.
    static thread_local std::vector<Entry> table = [] {
        std::vector<Entry> t(8192);
        for (uint32_t c = 0; c < 256; ++c)
            t[c] = {0, static_cast<uint8_t>(c), static_cast<uint8_t>(c), 1};
        return t;
    }();
    std::vector<uint8_t> s;
    auto stringOf = [&](uint32_t code) {
        s.assign(table[code].length, 0);
        for (size_t i = s.size(); i-- > 0; code = table[code].prefix)
            s[i] = table[code].last;
    };

    Decoded r;
    int width = 9;
    uint32_t limit = 255, count = 0, next = 258;
    bool havePrev = false;  // a string since the last clear
    uint32_t prev = 0;      // its code
    bool afterClear = false;
    for (size_t bit = 0; bit + size_t(width) <= size * 8;) {
        const uint32_t c = codeAt(bit, width);
        const int readWidth = width;
        bit += size_t(width);
        // Every code counts; at the limit the codes get one bit wider.
        if (++count == limit && width < 13)
            limit = (1u << ++width) - 257;
        if (c < 256 || (c > 257 && c < next) || (c == next && havePrev && next <= 8191)) {
            // One past the table: the previous string and its first byte.
            if (c == next) {
                stringOf(prev);
                s.push_back(s[0]);
            } else {
                stringOf(c);
            }
            const size_t room = expected - r.out.size();
            r.out.insert(r.out.end(), s.begin(), s.begin() + static_cast<long>(std::min(room, s.size())));
            if (s.size() > room) {
                r.status = LzwStatus::Overflow;
                break;
            }
            if (havePrev && next <= 8191)
                table[next++] = {prev, s[0], table[prev].first, table[prev].length + 1};
            prev = c;
            havePrev = true;
            afterClear = false;
        } else if (c == 257) {
            break;
        } else if (c == 256 && !afterClear) {
            // A clear at the start or from a standard writer (below 13
            // bits) counts itself; ours, at 13 bits, do not.
            count = !havePrev || readWidth < 13 ? 1 : 0;
            width = 9;
            limit = 255;
            next = 258;
            havePrev = false;
            afterClear = true;
        } else {
            r.status = LzwStatus::Corrupt;
            break;
        }
    }
    return r;
}

}  // namespace lzw_plain
