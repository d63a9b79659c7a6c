#pragma once
// The block through which the compiler, the machine program file and the
// engine bridge read and change the program (ProgramDispatch).
#include <array>
#include <cstdint>
#include <string>

#include "kernel/model/bytes.h"

struct ProgramCommandBlock {
    static constexpr size_t kSize = 266;
    static constexpr size_t kData = 9;  // list fields or a ShortString[255]

    std::array<uint8_t, kSize> b{};
    // The path of the path codes (99 to 150, 204) whole, in UTF-8: a Linux
    // file name may hold letters Windows-1252 has not and be 4096 bytes
    // long, and the ShortString holds neither. Empty: the ShortString
    // (Windows-1252) is the path.
    std::string path;

    uint8_t* data() { return b.data(); }
    const uint8_t* data() const { return b.data(); }
    void clear()
    {
        b.fill(0);
        path.clear();
    }

    uint8_t Code() const { return b[0]; }
    void SetCode(uint8_t v) { b[0] = v; }
    uint8_t Sub() const { return b[1]; }
    void SetSub(uint8_t v) { b[1] = v; }
    uint16_t Line() const { return get_u16(b.data(), 2); }
    void SetLine(uint16_t v) { put_u16(b.data(), 2, v); }
    // Bytes 4..7: the count (1 from the compiler's writers); the knitting
    // scheme list reads byte 4 as its system byte (1..6, bit 7 second side).
    uint32_t CountField() const { return get_u32(b.data(), 4); }
    void SetCountField(uint32_t v) { put_u32(b.data(), 4, v); }
    uint8_t SystemByte() const { return b[4]; }
    void SetSystemByte(uint8_t v) { b[4] = v; }
    uint8_t Selector() const { return b[8]; }
    void SetSelector(uint8_t v) { b[8] = v; }

    // Data fields at a byte offset of the block.
    uint8_t U8(size_t off) const { return b[off]; }
    void SetU8(size_t off, uint8_t v) { b[off] = v; }
    uint16_t U16(size_t off) const { return get_u16(b.data(), off); }
    void SetU16(size_t off, uint16_t v) { put_u16(b.data(), off, v); }
    int16_t I16(size_t off) const { return get_i16(b.data(), off); }
    void SetI16(size_t off, int16_t v) { put_i16(b.data(), off, v); }
    uint32_t U32(size_t off) const { return get_u32(b.data(), off); }
    void SetU32(size_t off, uint32_t v) { put_u32(b.data(), off, v); }
    // A ShortString at off, capped at cap characters and at the block's end.
    std::string Text(size_t off = kData, size_t cap = 255) const
    {
        if (off + 1 + cap > kSize)
            cap = kSize - off - 1;
        return ReadShortString(b.data(), off, cap);
    }
    void SetText(const std::string& text, size_t off = kData, size_t cap = 255)
    {
        if (off + 1 + cap > kSize)
            cap = kSize - off - 1;
        WriteShortString(b.data(), off, cap, text);
    }
};
static_assert(sizeof(std::array<uint8_t, ProgramCommandBlock::kSize>) == 266);

// The single entry to read and change the program: 0 or an error code.
uint16_t ProgramDispatch(ProgramCommandBlock& block);
