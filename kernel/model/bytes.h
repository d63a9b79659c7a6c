#pragma once
// Little-endian access to byte records. Records and list lines are stored
// whole in files, and several fields sit at odd offsets, so fields are read
// and written through these helpers, never through packed structs.
#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

inline uint16_t get_u16(const uint8_t* buf, size_t off)
{
    return static_cast<uint16_t>(buf[off] | (buf[off + 1] << 8));
}
inline void put_u16(uint8_t* buf, size_t off, uint16_t v)
{
    // One store where the host is little-endian: a field written byte by
    // byte and read back whole at once (a block the dispatcher reads right
    // after it was filled) makes the processor wait for both bytes.
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(buf + off, &v, 2);
    } else {
        buf[off] = static_cast<uint8_t>(v);
        buf[off + 1] = static_cast<uint8_t>(v >> 8);
    }
}
inline int16_t get_i16(const uint8_t* buf, size_t off)
{
    return static_cast<int16_t>(get_u16(buf, off));
}
inline void put_i16(uint8_t* buf, size_t off, int16_t v)
{
    put_u16(buf, off, static_cast<uint16_t>(v));
}
inline uint32_t get_u32(const uint8_t* buf, size_t off)
{
    return static_cast<uint32_t>(buf[off]) | (static_cast<uint32_t>(buf[off + 1]) << 8) |
           (static_cast<uint32_t>(buf[off + 2]) << 16) | (static_cast<uint32_t>(buf[off + 3]) << 24);
}
inline void put_u32(uint8_t* buf, size_t off, uint32_t v)
{
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(buf + off, &v, 4);
    } else {
        for (int i = 0; i < 4; ++i)
            buf[off + i] = static_cast<uint8_t>(v >> (8 * i));
    }
}
inline int32_t get_i32(const uint8_t* buf, size_t off)
{
    return static_cast<int32_t>(get_u32(buf, off));
}
inline void put_i32(uint8_t* buf, size_t off, int32_t v)
{
    put_u32(buf, off, static_cast<uint32_t>(v));
}

// A ShortString field: one length byte, then up to cap characters (the
// field takes cap + 1 bytes). The length byte is capped at cap, so a damaged
// record never reads past its field.
inline std::string ReadShortString(const uint8_t* buf, size_t off, size_t cap)
{
    size_t len = std::min<size_t>(buf[off], cap);
    return std::string(reinterpret_cast<const char*>(buf + off + 1), len);
}
// Writes the text cut to cap characters; the rest of the field is left as it is.
inline void WriteShortString(uint8_t* buf, size_t off, size_t cap, std::string_view text)
{
    size_t len = std::min(text.size(), cap);
    buf[off] = static_cast<uint8_t>(len);
    if (len)
        std::memcpy(buf + off + 1, text.data(), len);
}
