#include "kernel/dispatch/dispatcher.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "kernel/compiler/scriptcompile.h"
#include "kernel/dispatch/errorcodes.h"
#include "kernel/dispatch/kernel_host.h"
#include "kernel/dispatch/kernelroutines.h"
#include "kernel/listaccess/listaccess.h"
#include "kernel/model/listmodel.h"
#include "kernel/model/programmodel.h"
#include "kernel/model/workrecord.h"
#include "kernel/services/stream.h"
#include "kernel/tkf/tkffile.h"
#include "platform/codepage.h"
#include "platform/paths.h"

namespace {

// Program codes.
constexpr uint8_t kOpenStream = 99;
constexpr uint8_t kTakeScript = 100;
constexpr uint8_t kSetSystems = 101;
constexpr uint8_t kLastPathCode = 150;
constexpr uint8_t kCommentBase = 150;  // 150 + n: comment of list n only
constexpr uint8_t kReset = 200;
constexpr uint8_t kEndOfJob = 201;
constexpr uint8_t kCompile = 202;
constexpr uint8_t kMachineKind = 203;
constexpr uint8_t kTargetFolder = 204;
constexpr uint8_t kProgramFile = 205;
constexpr uint8_t kClearLists = 206;

// Sub-functions of the list codes.
constexpr uint8_t kRead = 0;
constexpr uint8_t kWrite = 1;
constexpr uint8_t kWriteKeep = 2;
constexpr uint8_t kReInit = 3;
constexpr uint8_t kClear = 4;
constexpr uint8_t kHandlerReInit = 5;
constexpr uint8_t kHandlerSystems = 6;
constexpr uint8_t kCount = 8;

// Yarn-carrier list selectors and the bounds of its derived line.
constexpr uint8_t kSelMinDistance = 20;
constexpr uint8_t kSelExchange = 23;
constexpr uint8_t kSelCarrier = 24;
constexpr uint8_t kSelComment = 25;
constexpr int kCarrierLineMax = 200;

constexpr size_t kCommentCap = 80;
constexpr size_t kFolderCap = 255;

bool IsList(int n)
{
    return (n >= 1 && n <= 7) || n == 9 || n == 10 || n == 12;
}
bool IsLineList(int n)
{
    return (n >= 1 && n <= 7) || n == 9;
}
// The codes served by the list sub-functions: the lists and 150 + n.
bool IsListCode(int code)
{
    return IsList(code) || (code > kCommentBase && IsLineList(code - kCommentBase));
}

// The ShortString at off as block.Text (off, cap) reads it, without a copy.
std::string_view TextView(const ProgramCommandBlock& block, size_t off, size_t cap)
{
    const uint8_t* bytes = block.data();
    return {reinterpret_cast<const char*>(bytes + off + 1), std::min<size_t>(bytes[off], cap)};
}

uint16_t CarrierLine(ProgramCommandBlock& block)
{
    const uint8_t sel = block.Selector();
    int line;
    switch (sel) {
    case kSelMinDistance:
    case kSelMinDistance + 1:
    case kSelMinDistance + 2:
        return static_cast<uint16_t>(sel - kSelMinDistance + 3);
    case kSelExchange:
        line = 15 - block.U8(ProgramCommandBlock::kData);
        break;
    case kSelCarrier:
        line = 24 - block.U8(9) + 8 * (block.U8(10) - 'A');
        break;
    case kSelComment:
        return 1;
    default:
        return block.Line();
    }
    // A carrier number or box letter out of range must not wrap the u16
    // line field around.
    const auto clamped = static_cast<uint16_t>(std::clamp(line, 1, kCarrierLineMax));
    if (sel == kSelCarrier)
        block.SetLine(clamped);
    return clamped;
}

// The path a path code carries: whole beside the block's bytes, else its
// ShortString.
std::string PathOf(const ProgramCommandBlock& block)
{
    return block.path.empty() ? Cp1252ToUtf8(block.Text()) : block.path;
}

uint16_t OpenStream(const ProgramCommandBlock& block)
{
    const std::string path = PathOf(block);
    bool error = false;
    if (block.Sub() == 0)
        P_DiskOpen(path, error, true);
    else if (block.Sub() == 1)
        P_DiskCreate(path, error, true);
    return error ? zerr::kFileNotOpen : zerr::kOk;
}

void SetTargetFolder(const ProgramCommandBlock& block)
{
    if (!block.path.empty()) {
        ZrVar.TargetFolder = AppendSeparator(block.path);
        return;
    }
    const std::string text = block.Text();
    if (text.empty())
        return;  // nothing to append a separator to: keep the folder we have
    std::string folder = AppendSeparator(text);
    if (folder.size() > kFolderCap)
        folder.resize(kFolderCap);
    ZrVar.TargetFolder = Cp1252ToUtf8(folder);
}

uint16_t SelectMachineKind(ProgramCommandBlock& block)
{
    const uint16_t kind = block.Line();
    uint8_t* kopf = ProgrammKopf.data();
    if (kind != kopf[26]) {
        kernelHost().closeProgramWindows();
        kopf[26] = static_cast<uint8_t>(kind);
    }
    ZrVar.Systems = static_cast<uint8_t>(kind);
    accessZList(block, kHandlerSystems);
    ZListe->SetCount(0);
    return zerr::kOk;
}

// Load (sub-function 0) or save (1) the machine program file on the open
// stream, which is released afterwards. A save whose file is not put in
// place when the stream is released has failed, so that no stale temporary
// file is taken for it.
uint16_t ProgramFile(uint8_t sub)
{
    uint16_t result = zerr::kOk;
    if (sub == 0)
        result = TkfLoad();
    else if (sub == 1)
        result = TkfSave();
    const bool putInPlace = P_DiskClose();
    if (sub == 1 && result == zerr::kOk && !putInPlace)
        result = zerr::kFileNotOpen;
    return result;
}

void ClearAllLists()
{
    for (int list = 1; list <= 12; ++list)
        ClearList(list);
}

// The line a list code addresses (EffectiveLine).
inline uint16_t LineOf(ProgramCommandBlock& block)
{
    if (block.Line() == 0)
        block.SetLine(1);
    const int code = block.Code();
    if (ZrVar.LevelSet.test(static_cast<size_t>(code)))
        return ZrVar.Level;
    if (code == ZrVar.CarrierListNumber)
        return CarrierLine(block);
    return block.Line();
}

// CallListHandler, for the dispatcher itself.
inline uint16_t Handler(int list, ProgramCommandBlock& block, uint8_t sub)
{
    switch (list) {
    case 1: return accessZList(block, sub);
    case 2: return accessFList(block, sub);
    case 3: return accessAList(block, sub);
    case 4: return accessVList(block, sub);
    case 5: return accessPList(block, sub);
    case 6: return accessNList(block, sub);
    case 7: return accessWList(block, sub);
    case 9: return accessSList(block, sub);
    case 10: return accessSetupList(block, sub, 10);
    case 12: return accessSetupList(block, sub, 12);
    default: return zerr::kOk;
    }
}

// The list writes: what the compiler and the machine program file send by
// the hundred thousand, kept apart from the rarer sub-functions so that it
// stays a short path.
inline uint16_t ListWrite(ProgramCommandBlock& block, int code, uint8_t sub)
{
    const uint16_t line = LineOf(block);
    const int list = code % 50;
    if (sub == kWrite && ZrVar.ReInitSet.test(static_cast<size_t>(code)))
        ReInitLine(list, line);
    if (ZrVar.CommentSet.test(static_cast<size_t>(code)))
        CommentPut(list, line, TextView(block, ProgramCommandBlock::kData, kCommentCap));
    // Only the stitch density list tells the two writes apart.
    return Handler(code, block, code == 2 ? sub : kWrite);
}

[[gnu::noinline]] uint16_t ListOther(ProgramCommandBlock& block, int code, uint8_t sub)
{
    const int list = code % 50;
    switch (sub) {
    case kRead: {
        const uint16_t line = LineOf(block);
        if (ZrVar.CommentSet.test(static_cast<size_t>(code))) {
            std::string comment;
            CommentGet(list, line, comment);
            block.SetText(comment, ProgramCommandBlock::kData, kCommentCap);
        }
        return Handler(code, block, kRead);
    }
    case kReInit:
        return ReInitLine(list, LineOf(block));
    case kClear:
        return ClearList(code);
    case kCount:
        if (T_ListenVar* l = ListByNumber(code))
            block.SetLine(l->Count());
        return zerr::kOk;
    default:
        return zerr::kOk;
    }
}

inline uint16_t ListFunction(ProgramCommandBlock& block)
{
    const int code = block.Code();
    const uint8_t sub = block.Sub();
    if (sub == kWrite || sub == kWriteKeep)
        return ListWrite(block, code, sub);
    return ListOther(block, code, sub);
}

[[gnu::noinline]] void CreateFolderOfBlock(const ProgramCommandBlock& block)
{
    CreateFolderForPath(PathOf(block));
}

// Every code that is no list code.
[[gnu::noinline]] uint16_t OtherCode(ProgramCommandBlock& block)
{
    const uint8_t code = block.Code();
    if (code == 0 && block.Sub() == kClear) {
        ZrVar.Status = 0;
        return zerr::kOk;
    }

    switch (code) {
    case kOpenStream:
        return OpenStream(block);
    case kTakeScript:
        ZrVar.ScriptText = kernelHost().scriptText();
        ZrVar.Status = 255;
        return zerr::kOk;
    case kSetSystems:
        return accessZList(block, kHandlerSystems);
    case kReset:
        ZrVar.Level = 1;
        ZrVar.Systems = ProgrammKopf.MachineKind();
        SetDefaults();
        return zerr::kOk;
    case kEndOfJob:
        return zerr::kOk;
    case kCompile:
        return static_cast<uint16_t>(ScriptCompile());
    case kMachineKind:
        return SelectMachineKind(block);
    case kTargetFolder:
        SetTargetFolder(block);
        return zerr::kOk;
    case kProgramFile:
        return ProgramFile(block.Sub());
    case kClearLists:
        ClearAllLists();
        return zerr::kOk;
    default:
        return zerr::kOk;
    }
}

// The whole dispatch, for every code and sub-function.
[[gnu::noinline]] uint16_t DispatchInFull(ProgramCommandBlock& block)
{
    const uint8_t code = block.Code();
    if (code >= kOpenStream && code <= kLastPathCode)
        CreateFolderOfBlock(block);
    if (IsListCode(code))
        return ListFunction(block);
    return OtherCode(block);
}

}  // namespace

uint16_t EffectiveLine(ProgramCommandBlock& block)
{
    return LineOf(block);
}

uint16_t CallListHandler(int list, ProgramCommandBlock& block, uint8_t sub)
{
    return Handler(list, block, sub);
}

uint16_t ProgramDispatch(ProgramCommandBlock& block)
{
    // A write to a list line that needs no line of its own worked out (the
    // line field is set, no selector level or carrier line applies), no
    // re-initialisation and no comment goes straight to its handler: that is
    // what the full path would do with it too.
    const uint8_t code = block.Code();
    const uint8_t sub = block.Sub();
    if (code <= 12 && IsList(code) && (sub == kWrite || sub == kWriteKeep) && block.Line() != 0 &&
        !(sub == kWrite && ZrVar.ReInitSet.test(code)) && !ZrVar.CommentSet.test(code) &&
        !ZrVar.LevelSet.test(code) && code != ZrVar.CarrierListNumber)
        return Handler(code, block, code == 2 ? sub : kWrite);
    // Likewise a comment kept with its line (sub-function 2): the comment is
    // all that happens, there is no handler for its code.
    if (code > kCommentBase && IsLineList(code - kCommentBase) && sub == kWriteKeep && block.Line() != 0 &&
        ZrVar.CommentSet.test(code) && !ZrVar.LevelSet.test(code) && code != ZrVar.CarrierListNumber)
        return CommentPut(code - kCommentBase, block.Line(), TextView(block, ProgramCommandBlock::kData, kCommentCap));
    return DispatchInFull(block);
}
