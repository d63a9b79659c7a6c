#include "kernel/compiler/rackingstatement.h"

#include <limits>

#include "kernel/compiler/compilerrecord.h"
#include "kernel/compiler/moduletext.h"
#include "kernel/compiler/statementreader.h"
#include "kernel/compiler/zlinewriter.h"
#include "kernel/dispatch/errorcodes.h"
#include "kernel/listaccess/vlistaccess.h"
#include "kernel/model/workrecord.h"

namespace {
constexpr uint8_t kVList = 4;
constexpr uint8_t kRead = 0;
constexpr uint8_t kWriteKeep = 2;
constexpr uint8_t kSelector = 4;
constexpr uint8_t kCourseValue = 1;
constexpr uint8_t kSpeed = 100;

ProgramCommandBlock VBlock(uint8_t sub, uint16_t line)
{
    ProgramCommandBlock b;
    b.SetCode(kVList);
    b.SetSub(sub);
    b.SetLine(line);
    b.SetCountField(1);
    b.SetSelector(kSelector);
    return b;
}

// The V line holding this racking, or a new one after the lines in use.
int32_t FindOrMakeVLine(int8_t step, uint8_t code, t_modulset_info& info, uint16_t& reference)
{
    for (uint16_t line = 1; line < info.NextVLine; ++line) {
        ProgramCommandBlock b = VBlock(kRead, line);
        if (int32_t err = ProgramDispatch(b))
            return err;
        if (static_cast<int8_t>(b.U8(vblock::kRacking)) == step && b.U8(vblock::kTransfer) == code) {
            reference = line;
            return 0;
        }
    }
    reference = info.NextVLine;
    if (info.NextVLine < std::numeric_limits<uint16_t>::max())
        ++info.NextVLine;
    ProgramCommandBlock b = VBlock(kWriteKeep, reference);
    b.SetU8(vblock::kRacking, static_cast<uint8_t>(step));
    b.SetU8(vblock::kTransfer, code);
    b.SetU8(vblock::kCourse, kCourseValue);
    b.SetU8(vblock::kSpeed, kSpeed);
    return ProgramDispatch(b);
}
}  // namespace

int32_t RackingStatement(bool entry1, const std::string& value, const ZLineWriter& z, t_modulset_info& info)
{
    Items items(value);
    bool throughList = false;
    if (StartsWith(value, "V")) {
        const std::string first = items.Next();
        if (first.size() > 1) {
            int32_t line = 0;
            if (int32_t code = NumberCode(std::string_view(first).substr(1), line))
                return code;
            return z.Racking(entry1, line, 0, 0);
        }
        throughList = true;
    }

    int64_t step = ZrVar.LastRackingStep;
    uint8_t code = ZrVar.LastRackingCode;
    while (!items.Empty()) {
        const std::string item = items.Next();
        if (item == "G") {
            code = 0;
        } else if (item == "U1") {
            code = 1;
        } else if (item == "U2") {
            code = 2;
        } else if (item == "UH") {
            code = 3;
        } else if (StartsWith(item, "L") || StartsWith(item, "R")) {
            int32_t n = 0;
            if (int32_t bad = NumberCode(std::string_view(item).substr(1), n))
                return bad;
            step = item[0] == 'L' ? -int64_t(n) : int64_t(n);
        } else {
            return zerr::kUnknownCommand;
        }
    }
    // The step outlives the statement in a byte: one that does not fit it
    // is refused here rather than carried on wrapped.
    if (step < -128 || step > 127)
        return throughList ? zerr::kVRackingStep : zerr::kZRackingStep;
    ZrVar.LastRackingStep = static_cast<int8_t>(step);
    ZrVar.LastRackingCode = code;

    if (!throughList)
        return z.Racking(entry1, 0, step, code);
    uint16_t reference = 0;
    if (int32_t err = FindOrMakeVLine(static_cast<int8_t>(step), code, info, reference))
        return err;
    return z.Racking(entry1, reference, 0, 0);
}
