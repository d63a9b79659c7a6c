#include "kernel/compiler/schemesequence.h"

#include <algorithm>
#include <string>

#include "kernel/compiler/compilerrecord.h"
#include "kernel/dispatch/errorcodes.h"
#include "kernel/listaccess/slistaccess.h"
#include "kernel/model/programcommandblock.h"
#include "kernel/model/workrecord.h"

namespace {
constexpr uint8_t kSList = 9;
constexpr uint8_t kSComment = 159;
constexpr uint8_t kRead = 0;
constexpr uint8_t kWrite = 1;
constexpr uint8_t kWriteKeep = 2;
constexpr uint8_t kSelector = 9;
constexpr size_t kCommentCap = 80;

// Lines are counted in 64 bits here: a long sequence can ask for a line no
// list holds, and the list must refuse it rather than see it wrapped.
int32_t Send(uint8_t code, uint8_t sub, int64_t line, ProgramCommandBlock& b)
{
    if (line < 0 || line > 65535)
        return zerr::kBadListNumber;
    b.SetCode(code);
    b.SetSub(sub);
    b.SetLine(static_cast<uint16_t>(line));
    b.SetCountField(1);
    if (code == kSList)
        b.SetSelector(kSelector);
    return ProgramDispatch(b);
}

int32_t ReadS(int64_t line, ProgramCommandBlock& b)
{
    b.clear();
    return Send(kSList, kRead, line, b);
}

// Line from moves to line to (written with sub), with its comment; line
// from is emptied, comment and all.
int32_t MoveLine(ProgramCommandBlock& line, int64_t from, int64_t to, uint8_t sub)
{
    if (int32_t err = Send(kSList, sub, to, line))
        return err;
    ProgramCommandBlock comment;
    if (int32_t err = Send(kSComment, kRead, from, comment))
        return err;
    ProgramCommandBlock put;
    put.SetText(comment.Text(ProgramCommandBlock::kData, kCommentCap), ProgramCommandBlock::kData, kCommentCap);
    if (int32_t err = Send(kSComment, kWriteKeep, to, put))
        return err;
    ProgramCommandBlock clear;
    return Send(kSComment, kWrite, from, clear);
}
}  // namespace

int32_t FinishSchemeSequence()
{
    t_K8_heap_var& z = ZrVar;
    t_modulset_info& info = *z.ModulsetInfo;
    const int64_t first = info.SCounters[0];
    int64_t main = info.SCounters[1];
    int64_t sub = int64_t(info.SCounters[2]) - z.SubSequenceGap;
    const bool goOn = z.ContinueOnError != 0;

    int64_t d;
    if (sub < 3) {
        d = main + 1;
    } else {
        const int64_t v = main - first + 8;
        d = v - v % 5 - 1;
    }

    int32_t result = 0;
    ProgramCommandBlock b;
    for (int64_t k = first; k <= main && result == 0; ++k) {
        if ((result = ReadS(3 * k - 2, b)))
            break;
        if (b.U8(sblock::kKind) == 1) {
            b.SetU16(sblock::kStart, static_cast<uint16_t>(std::clamp<int64_t>(b.U16(sblock::kStart) + d, 0, 65535)));
            result = Send(kSList, kWriteKeep, 3 * k - 2, b);
        }
    }
    if (result)
        return result;

    for (int64_t m = first; m <= sub - 1; ++m) {
        int32_t err = ReadS(3 * m - 1, b);
        if (err == 0 && b.U16(sblock::kStart) != 0)
            err = MoveLine(b, 3 * m - 1, 3 * (d + m) - 2, kWriteKeep);
        if (err) {
            result = err;
            if (!goOn)
                return result;
        }
    }

    main = sub + d;
    for (int64_t j = first == 1 ? 2 : first; j < main; ++j) {
        int32_t err = ReadS(3 * j - 2, b);
        if (err == 0 && b.U16(sblock::kStart) != 0)
            err = MoveLine(b, 3 * j - 2, j, kWrite);
        if (err) {
            result = err;
            if (!goOn)
                return result;
        }
    }
    info.SCounters[1] = static_cast<uint16_t>(std::clamp<int64_t>(main, 0, 65535));
    return result;
}
