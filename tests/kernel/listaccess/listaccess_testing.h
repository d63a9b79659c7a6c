#pragma once
// Helpers of the list handler tests: blocks addressed to a line, and copies
// of lines and records to compare before and after a call.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "kernel/model/listmodel.h"
#include "kernel/model/programcommandblock.h"
#include "kernel/model/programmodel.h"

namespace listtest {

inline ProgramCommandBlock Block(uint8_t code, uint8_t sub, uint16_t line, uint8_t selector = 0)
{
    ProgramCommandBlock block;
    block.SetCode(code);
    block.SetSub(sub);
    block.SetLine(line);
    block.SetSelector(selector);
    return block;
}

using Bytes = std::vector<uint8_t>;

inline Bytes LineBytes(T_ListenVar& list, uint16_t line)
{
    const uint8_t* p = list.GetLine(line);
    return Bytes(p, p + list.LineSize());
}

inline Bytes RecordBytes()
{
    return Bytes(RuestSchema.data(), RuestSchema.data() + T_RuestSchema::kSize);
}

inline Bytes HeaderBytes()
{
    return Bytes(ProgrammKopf.data(), ProgrammKopf.data() + T_ProgrammKopf::kSize);
}

// The offsets at which two byte copies differ.
inline std::vector<size_t> Changed(const Bytes& before, const Bytes& after)
{
    std::vector<size_t> offsets;
    for (size_t i = 0; i < before.size() && i < after.size(); ++i)
        if (before[i] != after[i])
            offsets.push_back(i);
    return offsets;
}

inline std::vector<size_t> Range(size_t first, size_t last)
{
    std::vector<size_t> offsets;
    for (size_t i = first; i <= last; ++i)
        offsets.push_back(i);
    return offsets;
}

}  // namespace listtest
