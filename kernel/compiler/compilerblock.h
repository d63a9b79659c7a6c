#pragma once
// Blocks as the compiler sends them to the dispatcher.
#include <cstdint>

#include "kernel/model/programcommandblock.h"

// A block as the compiler sends it: function, sub-function, line, count 1,
// selector.
ProgramCommandBlock CompilerBlock(uint8_t function, uint8_t sub, uint16_t line, uint8_t selector);
// Sends the block; the dispatcher's result (0 or an error code).
int32_t CompilerSend(ProgramCommandBlock& block);

// Numbers into block fields, checked against the field's width. The first
// failure is kept; later puts do nothing.
class BlockFields {
public:
    explicit BlockFields(ProgramCommandBlock& block) : b_(block) {}
    void U8(size_t off, int64_t value, int32_t code);
    void I8(size_t off, int64_t value, int32_t code);
    void U16(size_t off, int64_t value, int32_t code);
    void I16(size_t off, int64_t value, int32_t code);
    void Fail(int32_t code)
    {
        if (error_ == 0)
            error_ = code;
    }
    int32_t error() const { return error_; }

private:
    bool Fits(int64_t value, int64_t low, int64_t high, int32_t code);
    ProgramCommandBlock& b_;
    int32_t error_ = 0;
};
