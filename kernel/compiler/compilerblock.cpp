#include "kernel/compiler/compilerblock.h"

ProgramCommandBlock CompilerBlock(uint8_t function, uint8_t sub, uint16_t line, uint8_t selector)
{
    ProgramCommandBlock b;
    b.SetCode(function);
    b.SetSub(sub);
    b.SetLine(line);
    b.SetCountField(1);
    b.SetSelector(selector);
    return b;
}

bool BlockFields::Fits(int64_t value, int64_t low, int64_t high, int32_t code)
{
    if (error_ != 0)
        return false;
    if (value < low || value > high) {
        error_ = code;
        return false;
    }
    return true;
}

void BlockFields::U8(size_t off, int64_t value, int32_t code)
{
    if (Fits(value, 0, 255, code))
        b_.SetU8(off, static_cast<uint8_t>(value));
}

void BlockFields::I8(size_t off, int64_t value, int32_t code)
{
    if (Fits(value, -128, 127, code))
        b_.SetU8(off, static_cast<uint8_t>(static_cast<int8_t>(value)));
}

void BlockFields::U16(size_t off, int64_t value, int32_t code)
{
    if (Fits(value, 0, 65535, code))
        b_.SetU16(off, static_cast<uint16_t>(value));
}

void BlockFields::I16(size_t off, int64_t value, int32_t code)
{
    if (Fits(value, -32768, 32767, code))
        b_.SetI16(off, static_cast<int16_t>(value));
}

int32_t CompilerSend(ProgramCommandBlock& block)
{
    return ProgramDispatch(block);
}
