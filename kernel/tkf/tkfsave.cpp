// Saving the machine program: every list read back through the dispatcher,
// packed into its section's records, staged in the target folder and copied
// into the file.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "kernel/compiler/compilererror.h"
#include "kernel/dispatch/kernelroutines.h"
#include "kernel/dispatch/recordstore.h"
#include "kernel/language/language.h"
#include "kernel/listaccess/colourset.h"
#include "kernel/model/bytes.h"
#include "kernel/model/programcommandblock.h"
#include "kernel/model/workrecord.h"
#include "kernel/services/stream.h"
#include "kernel/tkf/stagingfile.h"
#include "kernel/tkf/tkffile.h"
#include "kernel/tkf/tkfsections.h"
#include "platform/codepage.h"

namespace {

using namespace tkf;

constexpr uint16_t kStreamFailed = 301;
constexpr uint16_t kHeapOverflow = 203;
constexpr uint16_t kBadGauge = 2210;
constexpr uint16_t kBadOffsetLeft = 1504;
constexpr uint16_t kBadOffsetRight = 1505;
constexpr uint16_t kBadCarrierValue = 2006;
constexpr uint16_t kBadPatternMode = 1113;

// Indexes of special records and comments are u16 in the records.
constexpr uint32_t kLastSpecialIndex = 65534;
constexpr uint32_t kLastComment = 65535;

constexpr uint16_t k14Bits = 0x3FFF;
constexpr uint16_t kSpeedNotSet = 16383;
constexpr uint8_t kTakeDownUnset = 101;
constexpr uint16_t kNeedleCountUnused = 10000;
constexpr int8_t kRackingUnset = 127;

uint16_t Pack(uint8_t mode, uint16_t value)
{
    // A value stored before its check may reach 16384 and must not flip the
    // mode bits.
    return static_cast<uint16_t>(((mode & 3u) << 14) | (value & k14Bits));
}

uint16_t Magnitude14(int32_t value)
{
    return static_cast<uint16_t>((value < 0 ? -value : value) & k14Bits);
}

// The value's 14-bit magnitude with its sign in bit 14.
uint16_t Signed14(int16_t value)
{
    return static_cast<uint16_t>(Magnitude14(value) | (value < 0 ? 0x4000 : 0));
}

// A 14-bit value with a flag in bit 15.
uint16_t Flagged14(bool flag, uint16_t value)
{
    return static_cast<uint16_t>((flag ? 0x8000 : 0) | (value & k14Bits));
}

// A yarn-carrier position offset in the gauge-free unit: rounded up, sign
// restored. False when the result does not fit an i16 other than 32768.
bool OffsetToGaugeFree(int16_t value, uint8_t gauge, uint16_t& out)
{
    if (static_cast<uint16_t>(value) == kUnset16) {
        out = kUnset16;
        return true;
    }
    const int32_t scaled = std::abs(static_cast<int32_t>(value)) * 100;
    const int32_t q = scaled / gauge + (scaled % gauge != 0 ? 1 : 0);
    const int32_t result = value < 0 ? -q : q;
    if (result < -32767 || result > 32767)
        return false;
    out = static_cast<uint16_t>(static_cast<int16_t>(result));
    return true;
}

// A carrier value: magnitude * 100 div gauge, bit 15 for 0 and up, bit 13
// below 0. False when the magnitude passes its bits.
bool CarrierToGaugeFree(int16_t value, uint8_t gauge, uint16_t& out)
{
    if (static_cast<uint16_t>(value) == kUnset16) {
        out = kUnset16;
        return true;
    }
    const int32_t m = std::abs(static_cast<int32_t>(value)) * 100 / gauge;
    if (value >= 0) {
        if (m > 0x7FFF)
            return false;
        out = static_cast<uint16_t>(kCarrierPositive | m);
    } else {
        if (m > 0x1FFF)
            return false;
        out = static_cast<uint16_t>(kCarrierNegative | m);
    }
    return true;
}

struct SpecialHash {
    size_t operator()(const SpecialRecord& r) const
    {
        return std::hash<std::string_view>{}(
            std::string_view(reinterpret_cast<const char*>(r.data()), r.size()));
    }
};

class SaveJob {
public:
    uint16_t Run();

private:
    // A fresh block for a read: nothing of an earlier read is left in it.
    static ProgramCommandBlock Block(uint8_t code, uint16_t line, uint8_t selector, uint8_t system = 1)
    {
        ProgramCommandBlock b;
        b.SetCode(code);
        b.SetSub(0);
        b.SetLine(line);
        b.SetCountField(1);
        b.SetSystemByte(system);
        b.SetSelector(selector);
        return b;
    }
    uint16_t Count(uint8_t list);
    void Progress(const char* name, int32_t record);
    void Mark(uint32_t line);
    uint16_t Comment(uint8_t list, uint16_t line, uint8_t* record, size_t at);
    uint16_t Stop(uint16_t code);
    uint16_t ConversionFailed(uint16_t code, const std::string& where);
    uint16_t WriteSection(uint16_t tag, int list, const std::vector<uint8_t>& data, uint32_t count, uint32_t size);
    // Reads the lines of list into records of size bytes, one block per
    // line (selector: the block's), and writes them under tag: each line's
    // progress, its block read, then fill(line, record, block); a non-zero
    // result of fill stops the save.
    template <typename Fn>
    uint16_t SaveLines(uint8_t list, uint8_t selector, uint16_t tag, uint32_t size, const char* name, Fn&& fill)
    {
        const uint16_t count = Count(list);
        std::vector<uint8_t> data(size_t(count) * size, 0);
        for (uint16_t line = 1; line <= count; ++line) {
            Progress(name, line);
            uint8_t* r = data.data() + size_t(line - 1) * size;
            ProgramCommandBlock b = Block(list, line, selector);
            if (uint16_t rc = ProgramDispatch(b))
                return Stop(rc);
            if (uint16_t rc = fill(line, r, b))
                return rc;
        }
        return WriteSection(tag, list, data, count, size);
    }

    uint16_t Header();
    uint16_t SaveS();
    uint16_t SaveN();
    uint16_t SaveF();
    uint16_t SaveZ();
    uint16_t SaveZSystem(uint16_t line, int system, uint8_t* entry);
    uint16_t SaveSide(uint16_t line, uint8_t systemByte, uint16_t& index);
    uint16_t SpecialIndex(const SpecialRecord& record, uint16_t& index);
    uint16_t SaveP();
    uint16_t SaveA();
    uint16_t SaveV();
    uint16_t SaveC();
    uint16_t SaveCarriers(uint8_t* rec);
    uint16_t SaveW();
    uint16_t SaveSpecials();
    uint16_t SaveComments();
    void SavePatternNames();

    bool error_ = false;  // the stream's error flag
    uint8_t gauge_ = 0;
    int systems_ = 0;
    bool options_ = false;  // the optional take-down columns
    std::string folder_;
    int32_t step_ = 0;
    int32_t total_ = 0;
    std::vector<uint8_t> referenced_ = std::vector<uint8_t>(65536, 0);
    std::vector<std::string> comments_;
    std::unordered_map<SpecialRecord, uint16_t, SpecialHash> specials_;
    uint32_t specialCount_ = 0;
};

uint16_t SaveJob::Count(uint8_t list)
{
    ProgramCommandBlock b = Block(list, 0, 0);
    b.SetSub(8);
    ProgramDispatch(b);
    return b.Line();
}

void SaveJob::Progress(const char* name, int32_t record)
{
    ProgressLine(++step_, total_, name, record);
}

void SaveJob::Mark(uint32_t line)
{
    if (line < referenced_.size())
        referenced_[line] = 1;
}

// The comment of a line goes into the pool; its number into the record.
uint16_t SaveJob::Comment(uint8_t list, uint16_t line, uint8_t* record, size_t at)
{
    ProgramCommandBlock b = Block(static_cast<uint8_t>(150 + list), line, 0);
    if (uint16_t rc = ProgramDispatch(b))
        return Stop(rc);
    const std::string text = b.Text(ProgramCommandBlock::kData, kCommentMax);
    if (text.empty())
        return 0;
    if (comments_.size() >= kLastComment)
        return Stop(kHeapOverflow);
    comments_.push_back(text);
    put_u16(record, at, static_cast<uint16_t>(comments_.size()));
    return 0;
}

uint16_t SaveJob::Stop(uint16_t code)
{
    // Any stream call that meets a set flag marks the job failed, and the
    // created file is then dropped when the stream is released: a stopped
    // save replaces nothing.
    bool failed = true;
    P_DiskWrite(nullptr, 0, failed);
    return code;
}

uint16_t SaveJob::ConversionFailed(uint16_t code, const std::string& where)
{
    ShowCompilerError(0, 0, Utf8ToCp1252(where), code);
    return Stop(code);
}

uint16_t SaveJob::WriteSection(uint16_t tag, int list, const std::vector<uint8_t>& data, uint32_t count,
                               uint32_t size)
{
    if (list >= 0) {
        StagingFile file;
        const auto l = static_cast<size_t>(list);
        const std::string path = folder_ + ZrVar.ListNames[l] + ZrVar.SectionExt;
        if (!file.Open(path, size, ZrVar.SectionCapacity[l]) || (count > 0 && !file.Write(0, data.data(), count)) ||
            !file.Close())
            return Stop(kStreamFailed);
    }
    const uint32_t at = TkfDataPosition(error_);
    TkfAddTag(tag, count, at, false, error_);
    P_DiskWrite(data.data(), static_cast<uint32_t>(data.size()), error_);
    return error_ ? Stop(kStreamFailed) : 0;
}

// --- header -------------------------------------------------------------------

uint16_t SaveJob::Header()
{
    ProgramCommandBlock model = Block(12, 1, 41);
    ProgramDispatch(model);
    const std::string modelText = model.Text();
    ProgramCommandBlock comment = Block(ZrVar.CarrierListNumber, 1, 25);
    ProgramDispatch(comment);
    const std::string commentText = comment.Text(ProgramCommandBlock::kData, kCommentMax);

    const uint32_t number = static_cast<uint32_t>(std::strtoul(modelText.c_str(), nullptr, 10));
    const int position = FindModel(modelText);
    int systems = ZrVar.Systems;
    if (position > 0)
        systems = std::atoi(ModelColumnText(1, position).c_str());

    TkfAddTag(0, 0, 0, false, error_);  // the file header
    if (!commentText.empty())
        TkfAddString(kTagComment, commentText, error_);
    TkfAddString(kTagSoftware, kSoftwareText, error_);
    TkfAddString(kTagDateTime, TkfNowText(), error_);
    TkfAddString(kTagHost, kHostText, error_);
    TkfAddString(kTagFamily, kFamilyText, error_);
    TkfAddTag(kTagFormat, 1, 3, false, error_);
    TkfAddTag(kTagModelHundreds, 1, number / 100, false, error_);
    TkfAddTag(kTagModelRest, 1, number % 100, false, error_);
    if (!commentText.empty())
        TkfAddString(kTagComment, DosLettersToWindows(commentText), error_);
    TkfAddTag(kTagGauge, 1, gauge_, false, error_);
    TkfAddTag(kTagSystems, 1, static_cast<uint32_t>(systems), false, error_);
    TkfAddTag(kTagReserved, 1, 0, false, error_);
    TkfAddString(kTagRights, kRightsText, error_);
    return error_ ? Stop(kStreamFailed) : 0;
}

// --- scheme sequence ---------------------------------------------------------------

uint16_t SaveJob::SaveS()
{
    const auto fill = [&](uint16_t line, uint8_t* r, const ProgramCommandBlock& b) -> uint16_t {
        put_u16(r, 0, Pack(b.U8(9), b.U16(10)));
        put_i16(r, 2, b.I16(12));
        const bool choice = b.U8(14) != 0;
        put_u16(r, 4, Flagged14(choice, b.U16(16)));
        if (choice)
            Mark(b.U16(16));
        const bool needleChoice = b.U8(18) != 0;
        put_u16(r, 6, Flagged14(needleChoice, b.U16(20)));
        if (needleChoice)
            Mark(b.U16(20));
        const int16_t offset = b.I16(24);
        put_u16(r, 8, static_cast<uint16_t>(Signed14(offset) | (b.U8(22) ? 0x8000 : 0)));
        put_u16(r, 10, b.U16(26) & k14Bits);
        put_i16(r, 12, b.I16(28));
        put_u16(r, 14, b.U16(30) & k14Bits);
        put_i16(r, 16, b.I16(32));
        // The list keeps no colour set; the block's stays empty.
        put_u32(r, 18, TextToColourSet(b.Text(34, 32)));
        return Comment(9, line, r, 22);
    };
    return SaveLines(9, 9, kTagSList, kSRecord, kNameS, fill);
}

// --- needle division -----------------------------------------------------------------

uint16_t SaveJob::SaveN()
{
    const auto fill = [&](uint16_t line, uint8_t* r, const ProgramCommandBlock& b) -> uint16_t {
        put_u16(r, 0, Flagged14(b.U8(9) != 0, b.U16(10)));
        const uint8_t kind = b.U8(14);
        const int16_t offset = b.I16(12);
        put_u16(r, 2, static_cast<uint16_t>(Signed14(offset) | (kind != 1 ? 0x8000 : 0)));
        uint16_t bits = 0;
        switch (kind) {
        case 2: bits = 0x4000; break;
        case 3: bits = 0x8000; break;
        case 4: bits = 0xC000; break;
        default: break;
        }
        const uint16_t repetitions = b.U16(16);
        put_u16(r, 4, static_cast<uint16_t>(bits | (repetitions & k14Bits)));
        if (kind == 0)
            Mark(repetitions);
        return Comment(6, line, r, 6);
    };
    return SaveLines(6, 6, kTagNList, kNRecord, kNameN, fill);
}

// --- stitch density ---------------------------------------------------------------------

uint16_t SaveJob::SaveF()
{
    uint16_t subList = 0;
    const auto fill = [&](uint16_t line, uint8_t* r, const ProgramCommandBlock& b) -> uint16_t {
        // A continuation line carries the number of its sub-list.
        if (b.U16(10) != 0)
            subList = b.U16(10);
        put_u16(r, 2, subList);
        put_u16(r, 4, Pack(b.U8(12), b.U16(14)));
        put_u16(r, 6, Pack(b.U8(16), b.U16(18)));
        if (b.U8(16) == 2)
            Mark(b.U16(18));
        put_u32(r, 8, TextToColourSet(b.Text(21, 32)));
        return Comment(2, line, r, 12);
    };
    return SaveLines(2, 2, kTagFList, kFRecord, kNameF, fill);
}

// --- knitting scheme ---------------------------------------------------------------------

uint16_t RackingWord(const ProgramCommandBlock& b)
{
    if (b.Selector() == 0)
        return 0x8004;  // not set
    if (b.U16(10) != 0)
        return b.U16(10) & k14Bits;
    const auto step = static_cast<int8_t>(b.U8(12));
    const int magnitude = step < 0 ? -step : step;
    return static_cast<uint16_t>(0x8000 | (b.U8(13) & 0x0F) | ((magnitude & 0x3F) << 4) | (step < 0 ? 0x400 : 0));
}

uint8_t ClampBits(uint8_t c)
{
    return c == 'C' ? 1 : c == 'O' ? 2 : 0;
}

uint16_t SaveJob::SaveZ()
{
    const uint16_t count = Count(1);
    const uint32_t size = ZRecordSize(systems_);
    std::vector<uint8_t> data(size_t(count) * size, 0);
    for (uint16_t line = 1; line <= count; ++line) {
        Progress(kNameZ, line);
        uint8_t* r = data.data() + size_t(line - 1) * size;
        for (int entry = 0; entry < 2; ++entry) {
            ProgramCommandBlock b = Block(1, line, 'B');
            b.SetU8(9, entry == 0 ? 1 : 0);
            if (uint16_t rc = ProgramDispatch(b))
                return Stop(rc);
            put_u16(r, size_t(2 * entry), RackingWord(b));
        }
        ProgramCommandBlock takeDown = Block(1, line, '=');
        if (uint16_t rc = ProgramDispatch(takeDown))
            return Stop(rc);
        put_u16(r, 4, Pack(takeDown.U8(9), takeDown.U16(10)));
        if (takeDown.U8(9) == 3)
            Mark(takeDown.U16(10));
        ProgramCommandBlock speed = Block(1, line, '>');
        if (uint16_t rc = ProgramDispatch(speed))
            return Stop(rc);
        if (speed.U8(9) == 0 && speed.U16(10) == kSpeedNotSet) {
            put_u16(r, 6, 0xC000);
        } else {
            put_u16(r, 6, Pack(speed.U8(9), speed.U16(10)));
            if (speed.U8(9) == 0)
                Mark(speed.U16(10));
        }
        for (uint8_t flag = 0; flag < 3; ++flag) {
            ProgramCommandBlock b = Block(1, line, static_cast<uint8_t>(63 + flag));
            if (uint16_t rc = ProgramDispatch(b))
                return Stop(rc);
            if (b.Selector() != 0)
                r[8] |= static_cast<uint8_t>(1u << flag);
        }
        if (options_) {
            ProgramCommandBlock clamps = Block(1, line, 'C');
            if (uint16_t rc = ProgramDispatch(clamps))
                return Stop(rc);
            r[13] = static_cast<uint8_t>(ClampBits(clamps.U8(9)) | (ClampBits(clamps.U8(10)) << 2));
            r[12] = static_cast<uint8_t>(ClampBits(clamps.U8(11)) | (ClampBits(clamps.U8(12)) << 2));
            r[14] = static_cast<uint8_t>(clamps.U16(14));
            ProgramCommandBlock scissors = Block(1, line, 'D');
            if (uint16_t rc = ProgramDispatch(scissors))
                return Stop(rc);
            if (scissors.U8(9))
                r[8] |= 0x40;
            if (scissors.U8(10))
                r[8] |= 0x20;
            r[15] = static_cast<uint8_t>(scissors.U16(12));
            ProgramCommandBlock comb = Block(1, line, 'E');
            if (uint16_t rc = ProgramDispatch(comb))
                return Stop(rc);
            switch (comb.U8(9)) {
            case '1': r[8] |= 8; break;
            case '2': r[8] |= 16; break;
            case '*': r[8] |= 24; break;
            default: break;
            }
        }
        if (uint16_t rc = Comment(1, line, r, 20))
            return rc;
        // Odd lines hold their systems in reverse order.
        for (int system = 1; system <= systems_; ++system) {
            const int slot = (line % 2 != 0) ? systems_ - system : system - 1;
            if (uint16_t rc = SaveZSystem(line, system, r + kZRecordBase + kZSystemEntry * size_t(slot)))
                return rc;
        }
    }
    return WriteSection(kTagZList, 1, data, count, size);
}

uint16_t SaveJob::SaveZSystem(uint16_t line, int system, uint8_t* entry)
{
    const auto sys = static_cast<uint8_t>(system);
    ProgramCommandBlock first = Block(1, line, 'G', sys);
    first.SetU16(10, 1);
    if (uint16_t rc = ProgramDispatch(first))
        return Stop(rc);
    if (first.U8(9) == 0) {
        put_u16(entry, 0, Flagged14(true, first.U16(10)));
    } else {
        // Direct carriers: one read per carrier tells whether it is set.
        uint16_t carriers = first.Selector() != 0 ? 1 : 0;
        for (uint16_t carrier = 2; carrier <= 8; ++carrier) {
            ProgramCommandBlock b = Block(1, line, 'G', sys);
            b.SetU16(10, carrier);
            if (uint16_t rc = ProgramDispatch(b))
                return Stop(rc);
            if (b.Selector() != 0)
                carriers |= static_cast<uint16_t>(1u << (carrier - 1));
        }
        put_u16(entry, 0, carriers);
    }
    for (int side = 0; side < 2; ++side) {
        uint16_t index = 0;
        if (uint16_t rc = SaveSide(line, static_cast<uint8_t>(sys | (side ? 0x80 : 0)), index))
            return rc;
        put_u16(entry, size_t(2 + 2 * side), index);
    }
    if (options_) {
        ProgramCommandBlock h = Block(1, line, 'H', sys);
        if (uint16_t rc = ProgramDispatch(h))
            return Stop(rc);
        if (h.Selector() != 0)
            entry[6] |= 1;
        ProgramCommandBlock o = Block(1, line, 'O', sys);
        if (uint16_t rc = ProgramDispatch(o))
            return Stop(rc);
        if (o.U8(9) || o.U8(10))
            entry[6] |= (line % 2 == 0) ? 0xC0 : 0x30;
    }
    return 0;
}

uint16_t SaveJob::SaveSide(uint16_t line, uint8_t systemByte, uint16_t& index)
{
    SpecialRecord rec{};
    uint8_t* r = rec.data();
    for (int density = 0; density < 2; ++density) {
        ProgramCommandBlock b = Block(1, line, 'K', systemByte);
        b.SetU8(9, density == 0 ? 1 : 0);
        if (uint16_t rc = ProgramDispatch(b))
            return Stop(rc);
        const uint8_t mode = b.U8(10);
        if (mode != 0)
            put_u16(r, size_t(2 * density), Pack(mode, b.U16(12)));
        if (mode == 2)
            Mark(b.U16(12));
    }
    // Needle selection entries 2, 1, 0 at 4, 8, 12; their kinds at bits
    // 14..15, 10..11, 12..13 of the u16 at 20.
    static constexpr size_t kEntryAt[3] = {12, 8, 4};
    static constexpr int kKindShift[3] = {12, 10, 14};
    uint16_t flags = 0;
    for (uint8_t e = 0; e < 3; ++e) {
        ProgramCommandBlock b = Block(1, line, 'N', systemByte);
        b.SetU8(9, e);
        if (uint16_t rc = ProgramDispatch(b))
            return Stop(rc);
        const std::string text = b.Text(10, 32);
        uint32_t data = 0;
        uint16_t kind = 0;
        if (text.size() >= 2 && text[0] == '!' && static_cast<uint8_t>(text[1]) <= 5) {
            kind = 1;
            data = static_cast<uint8_t>(text[1]);
        } else if (text.size() >= 4 && text[0] == '!' && text[1] == 6) {
            kind = 2;
            data = static_cast<uint32_t>((text[2] - 'A') * 256 + (text[3] - '0')) & 0xFFFF;
        } else {
            data = TextToColourSet(text);
        }
        put_u32(r, kEntryAt[e], data);
        flags = static_cast<uint16_t>(flags | (kind << kKindShift[e]));
    }
    ProgramCommandBlock pattern = Block(1, line, 'J', systemByte);
    if (uint16_t rc = ProgramDispatch(pattern))
        return Stop(rc);
    const int16_t value = pattern.I16(10);
    uint16_t word = Magnitude14(value);
    switch (pattern.U8(9)) {
    case 0: word |= 0x8000; break;
    case 1: word |= value < 0 ? 0x4000 : 0; break;
    case 2: word |= 0xC000; break;
    default:
        // No mode bits are left for mode 3: the value goes without them.
        ShowCompilerError(0, 0, "Exception X29", kBadPatternMode);
        break;
    }
    put_u16(r, 16, word);
    ProgramCommandBlock cam = Block(1, line, 'I', systemByte);
    if (uint16_t rc = ProgramDispatch(cam))
        return Stop(rc);
    flags = static_cast<uint16_t>(flags | (cam.U8(9) & 0x1F));
    ProgramCommandBlock flagL = Block(1, line, 'L', systemByte);
    if (uint16_t rc = ProgramDispatch(flagL))
        return Stop(rc);
    if (flagL.Selector() != 0)
        flags |= 0x200;
    put_u16(r, 20, flags);
    return SpecialIndex(rec, index);
}

uint16_t SaveJob::SpecialIndex(const SpecialRecord& record, uint16_t& index)
{
    static const SpecialRecord kDefault = DefaultSpecialRecord();
    if (record == kDefault) {
        index = 0;
        return 0;
    }
    const auto found = specials_.find(record);
    // With "$F_OPT" every earlier record is shared; without it only the
    // default one, until the u16 indexes run out.
    if (found != specials_.end() && (ZrVar.F_Opt == 1 || specialCount_ > kLastSpecialIndex)) {
        index = found->second;
        return 0;
    }
    if (specialCount_ > kLastSpecialIndex)
        return Stop(kHeapOverflow);
    index = static_cast<uint16_t>(specialCount_++);
    specials_.emplace(record, index);  // keeps the first of equal records
    StorePut(record.data());
    return 0;
}

// --- yarn-carrier position ------------------------------------------------------------------

uint16_t SaveJob::SaveP()
{
    uint16_t subList = 0;
    const auto fill = [&](uint16_t line, uint8_t* r, const ProgramCommandBlock& b) -> uint16_t {
        if (b.U16(10) != 0)
            subList = b.U16(10);
        put_u16(r, 2, subList);
        const uint8_t boxChar = b.U8(13);
        const uint8_t box = (boxChar >= 'A' && boxChar <= 'H') ? static_cast<uint8_t>(boxChar - 'A' + 1) : 0;
        r[4] = static_cast<uint8_t>(((b.U8(12) & 0x0F) << 4) | box);
        r[5] = static_cast<uint8_t>(((b.U8(14) & 3) << 6) | ((b.U8(15) & 3) << 4));
        put_u32(r, 6, TextToColourSet(b.Text(21, 32)));
        for (int side = 0; side < 2; ++side) {
            uint16_t word = 0;
            if (!OffsetToGaugeFree(b.I16(size_t(16 + 2 * side)), gauge_, word))
                return ConversionFailed(side == 0 ? kBadOffsetLeft : kBadOffsetRight,
                                        "P-Liste, " + F_TRANS("Zeile") + " " + std::to_string(line));
            put_u16(r, size_t(10 + 2 * side), word);
        }
        return Comment(5, line, r, 14);
    };
    return SaveLines(5, 5, kTagPList, kPRecord, kNameP, fill);
}

// --- take-down -----------------------------------------------------------------------------

uint16_t SaveJob::SaveA()
{
    uint16_t subList = 0;
    const auto fill = [&](uint16_t line, uint8_t* r, const ProgramCommandBlock& b) -> uint16_t {
        const uint16_t number = b.U16(10);
        if (number != 0)
            subList = number;
        else
            r[0] = 0x80;  // continuation line
        put_u16(r, 6, subList);

        uint8_t presence = 0;
        uint16_t count1Word = 0;
        uint16_t count2Word = 0;
        const uint8_t lower = b.U8(12);
        const uint8_t option = b.U8(13);
        const uint8_t upper = b.U8(14);
        if (lower != kTakeDownUnset) {
            r[0] = static_cast<uint8_t>(r[0] | (lower & 0x7F));
            presence |= 1;
        }
        if (upper != kTakeDownUnset) {
            r[1] = static_cast<uint8_t>((upper & 0x7F) | (option == 2 ? 0x80 : 0));
            if (option == 1)
                count1Word |= 0x4000;
            presence |= 2;
        }
        const uint8_t lowerPressure = b.U8(15);
        if (lowerPressure != kTakeDownUnset) {
            if (lowerPressure == 102)
                r[2] = 0x80;
            else if (lowerPressure == 103)
                count2Word |= 0x8000;
            else
                r[2] = lowerPressure & 0x7F;
            presence |= 4;
        }
        const uint8_t upperPressure = b.U8(16);
        if (upperPressure != kTakeDownUnset) {
            if (upperPressure == 102)
                r[3] = 0x80;
            else if (upperPressure == 103)
                count2Word |= 0x4000;
            else
                r[3] = upperPressure & 0x7F;
            presence |= 8;
        }
        const auto pulse = static_cast<int8_t>(b.U8(17));
        if (pulse != kTakeDownUnset) {
            r[8] = static_cast<uint8_t>(((pulse < 0 ? -pulse : pulse) & 0x7F) | (pulse < 0 ? 0x80 : 0));
            presence |= 16;
        }
        // Needle counts in bits 0..13: count 2 goes unchecked while count 1
        // is unused and must not reach the pressure bits.
        if (b.U16(18) != kNeedleCountUnused) {
            count1Word |= b.U16(18) & k14Bits;
            r[12] = b.U8(22);
            r[13] = b.U8(24);
            presence |= 32;
        }
        if (b.U16(20) != kNeedleCountUnused) {
            count2Word |= b.U16(20) & k14Bits;
            r[16] = b.U8(23);
            r[17] = b.U8(25);
            presence |= 64;
        }
        r[9] = presence;
        put_u16(r, 10, count1Word);
        put_u16(r, 14, count2Word);
        return Comment(3, line, r, 18);
    };
    return SaveLines(3, 3, kTagAList, kARecord, kNameA, fill);
}

// --- racking ------------------------------------------------------------------------------

uint16_t SaveJob::SaveV()
{
    const auto fill = [&](uint16_t line, uint8_t* r, const ProgramCommandBlock& b) -> uint16_t {
        const auto racking = static_cast<int8_t>(b.U8(9));
        if (racking == kRackingUnset)
            return 0;  // ten zero bytes, the comment too
        r[0] = static_cast<uint8_t>(((racking < 0 ? -racking : racking) & 0x7F) | (racking < 0 ? 0x80 : 0));
        r[1] = static_cast<uint8_t>((b.U8(10) & 3) | ((b.U8(11) & 1) << 2) | ((b.U8(12) & 3) << 3));
        r[2] = b.U8(13);
        r[3] = b.U8(14);
        r[4] = b.U8(15);
        r[5] = b.U8(16);
        r[6] = 1;
        return Comment(4, line, r, 8);
    };
    return SaveLines(4, 4, kTagVList, kVRecord, kNameV, fill);
}

// --- set-up record ------------------------------------------------------------------------

uint16_t SaveJob::SaveC()
{
    Progress(kNameC, 0);
    std::vector<uint8_t> data(kCRecord, 0);
    uint8_t* rec = data.data();
    ProgramCommandBlock level = Block(12, 1, 34);
    ProgramDispatch(level);
    const uint8_t current = level.U8(9);
    rec[crec::kLevel] = static_cast<uint8_t>(current - 1);
    for (uint8_t s = 0; s < 3; ++s) {
        ProgramCommandBlock b = Block(12, 1, static_cast<uint8_t>(35 + s));
        ProgramDispatch(b);
        rec[crec::kSpeed + s] = b.U8(9);
    }
    ProgramCommandBlock reversal = Block(12, 1, 38);
    ProgramDispatch(reversal);
    rec[crec::kReversal] = reversal.U8(9);

    // The per-level settings: switch the selector level through the
    // dispatcher, and back afterwards.
    for (int lv = 1; lv <= 8; ++lv) {
        SetSelectorLevel(static_cast<uint8_t>(lv), Block(12, 1, 34));
        ProgramCommandBlock takeDown = Block(12, 1, 31);
        ProgramDispatch(takeDown);
        rec[crec::TakeDown(lv)] = takeDown.U8(9);
        ProgramCommandBlock pieces = Block(12, 1, 32);
        ProgramDispatch(pieces);
        put_u16(rec, crec::PieceCount(lv), pieces.U16(10));
        ProgramCommandBlock length = Block(12, 1, 33);
        ProgramDispatch(length);
        put_u16(rec, crec::LengthLimit(lv), length.U16(10));
        for (uint16_t n = 1; n <= 8; ++n) {
            ProgramCommandBlock room = Block(12, n, 12);
            ProgramDispatch(room);
            put_u16(rec, crec::RoomStart(lv, n), room.U16(10));
            put_u16(rec, crec::RoomEnd(lv, n), room.U16(12));
        }
    }
    SetSelectorLevel(current, Block(12, 1, 34));

    if (ZrVar.MachineValue > 1) {
        ProgramCommandBlock coupling = Block(12, 1, 44);
        ProgramDispatch(coupling);
        const auto value = static_cast<int16_t>(coupling.U16(10));
        put_u16(rec, crec::kCoupling, value > 0 ? static_cast<uint16_t>(value) : kDefaultCoupling);
    }
    if (uint16_t rc = SaveCarriers(rec))
        return rc;

    const uint8_t carrierList = ZrVar.CarrierListNumber;
    for (uint8_t n = 1; n <= 8; ++n) {
        ProgramCommandBlock b = Block(carrierList, 1, 23);
        b.SetU8(9, n);
        ProgramDispatch(b);
        const uint8_t replacement = b.U8(10) == 0 ? n : b.U8(10);
        rec[crec::Exchange(n)] = static_cast<uint8_t>(replacement - 1);
    }
    ProgramCommandBlock ffMin = Block(carrierList, 1, 20);
    ProgramDispatch(ffMin);
    put_u16(rec, crec::kFfMin, ffMin.U16(10));
    ProgramCommandBlock ffMax = Block(carrierList, 1, 21);
    ProgramDispatch(ffMax);
    put_u16(rec, crec::kFfMax, ffMax.U16(10));
    ProgramCommandBlock ffDis = Block(carrierList, 1, 22);
    ProgramDispatch(ffDis);
    rec[crec::kFfDis] = ffDis.U8(9);
    if (options_) {
        ProgramCommandBlock comb = Block(12, 1, 43);
        ProgramDispatch(comb);
        ProgramCommandBlock clamp = Block(12, 1, 45);
        ProgramDispatch(clamp);
        rec[crec::kOptions] = static_cast<uint8_t>((comb.Selector() != 0 ? 1 : 0) | (clamp.Selector() != 0 ? 2 : 0));
    }
    ProgramCommandBlock colours = Block(12, 1, 40);
    ProgramDispatch(colours);
    put_u32(rec, crec::kColours, TextToColourSet(colours.Text(ProgramCommandBlock::kData, 32)));
    return WriteSection(kTagCList, 12, data, 1, kCRecord);
}

uint16_t SaveJob::SaveCarriers(uint8_t* rec)
{
    for (int rail = 1; rail <= 8; ++rail) {
        for (int box = 0; box < 8; ++box) {
            ProgramCommandBlock b = Block(ZrVar.CarrierListNumber, 1, 24);
            b.SetU8(9, static_cast<uint8_t>(rail));
            b.SetU8(10, static_cast<uint8_t>('A' + box));
            ProgramDispatch(b);
            const uint8_t attribute = b.U8(12) & 0x1F;
            rec[crec::CarrierAttribute(rail, box)] =
                b.U8(11) == 'I' ? static_cast<uint8_t>((attribute == 0 ? 1 : attribute) | 0x20) : attribute;
            for (int k = 0; k < 8; ++k) {
                uint16_t word = 0;
                if (!CarrierToGaugeFree(b.I16(size_t(14 + 2 * k)), gauge_, word))
                    return ConversionFailed(kBadCarrierValue, "C-Liste, " + F_TRANS("Fadenführer") + " " +
                                                                  std::to_string(rail) + ", " + F_TRANS("Kasten") +
                                                                  " " + std::string(1, char('A' + box)));
                put_u16(rec, crec::CarrierValue(k, rail, box), word);
            }
        }
    }
    return 0;
}

// --- selector list ----------------------------------------------------------------------------

uint16_t SaveJob::SaveW()
{
    const auto fill = [&](uint16_t line, uint8_t* r, const ProgramCommandBlock& b) -> uint16_t {
        const uint16_t unreferenced = referenced_[line] ? 0 : 0x8000;
        for (int k = 0; k < 8; ++k) {
            const int16_t value = b.I16(size_t(10 + 2 * k));
            put_u16(r, size_t(2 * k), static_cast<uint16_t>(Signed14(value) | unreferenced));
        }
        return Comment(7, line, r, 16);
    };
    return SaveLines(7, 57, kTagWList, kWRecord, kNameW, fill);
}

// --- special records and comments --------------------------------------------------------------

uint16_t SaveJob::SaveSpecials()
{
    const std::string path = folder_ + ZrVar.SpecialFile;
    StagingFile file;
    if (!file.Open(path, kSpecialRecord, ZrVar.TempRecordCount) || !file.Close())
        return Stop(kStreamFailed);
    std::FILE* f = std::fopen(file.Path().c_str(), "r+b");
    const bool dumped = f && StoreDump(f, static_cast<int32_t>(specialCount_) - 1);
    if (f && std::fclose(f) != 0)
        return Stop(kStreamFailed);
    if (!dumped)
        return Stop(kStreamFailed);
    std::vector<uint8_t> data(size_t(specialCount_) * kSpecialRecord);
    if (!file.Open(path, kSpecialRecord, 0) || !file.Read(0, data.data(), specialCount_) || !file.Close())
        return Stop(kStreamFailed);
    for (uint32_t i = 0; i < specialCount_; ++i)
        Progress(kNameSpecial, static_cast<int32_t>(i + 1));
    return WriteSection(kTagSpecial, -1, data, specialCount_, kSpecialRecord);
}

uint16_t SaveJob::SaveComments()
{
    const auto count = static_cast<uint32_t>(comments_.size());
    std::vector<uint8_t> staged(size_t(count) * kCommentRecord, ' ');
    std::vector<uint8_t> data;
    for (uint32_t i = 0; i < count; ++i) {
        Progress(kNameComments, static_cast<int32_t>(i + 1));
        const std::string& text = comments_[i];
        uint8_t* rec = staged.data() + size_t(i) * kCommentRecord;
        rec[0] = static_cast<uint8_t>(text.size());
        std::copy(text.begin(), text.end(), rec + 1);
        // The comment goes out in the bytes it has in memory, which the
        // load takes back as they are: a conversion one way only would
        // change the text on every save and load.
        data.push_back(static_cast<uint8_t>(text.size()));
        data.push_back(0);
        data.insert(data.end(), text.begin(), text.end());
        data.push_back(0);
    }
    StagingFile file;
    if (!file.Open(folder_ + ZrVar.CommentPoolFile, kCommentRecord, ZrVar.TempRecordCount) ||
        (count > 0 && !file.Write(0, staged.data(), count)) || !file.Close())
        return Stop(kStreamFailed);
    const uint32_t at = TkfDataPosition(error_);
    TkfAddTag(kTagComments, count, at, false, error_);
    P_DiskWrite(data.data(), static_cast<uint32_t>(data.size()), error_);
    return error_ ? Stop(kStreamFailed) : 0;
}

void SaveJob::SavePatternNames()
{
    for (uint16_t i = 0; i < 3; ++i) {
        const std::string& name = ZrVar.PatternFiles[i];
        if (!name.empty())
            TkfAddString(static_cast<uint16_t>(kTagPattern1 + i), Utf8ToCp1252(name), error_);
    }
}

uint16_t SaveJob::Run()
{
    ProgramCommandBlock gauge = Block(12, 1, 42);
    ProgramDispatch(gauge);
    gauge_ = gauge.U8(9);
    // Offsets are divided by the gauge.
    if (gauge_ == 0)
        return Stop(kBadGauge);
    systems_ = ZrVar.Systems;
    options_ = ZrVar.TakeDownColumns != 0;
    folder_ = ZrVar.TargetFolder;

    bool sizeError = false;
    if (F_DiskSize(sizeError) != 0 || sizeError)
        return Stop(kStreamFailed);  // no stream, or not a fresh one

    StoreReset(true);
    specials_.clear();
    specialCount_ = 0;
    SpecialRecord first = DefaultSpecialRecord();
    specials_.emplace(first, 0);
    StorePut(first.data());
    specialCount_ = 1;

    for (uint8_t list : {9, 6, 2, 1, 5, 3, 4, 7})
        total_ += Count(list);
    total_ += 1;

    // The comment pool's staging file is made before anything is written.
    StagingFile pool;
    if (!pool.Open(folder_ + ZrVar.CommentPoolFile, kCommentRecord, ZrVar.TempRecordCount) || !pool.Close())
        return Stop(kStreamFailed);

    uint16_t rc = Header();
    if (!rc)
        rc = SaveS();
    if (!rc)
        rc = SaveN();
    if (!rc)
        rc = SaveF();
    if (!rc)
        rc = SaveZ();
    if (!rc)
        rc = SaveP();
    if (!rc)
        rc = SaveA();
    if (!rc)
        rc = SaveV();
    if (!rc)
        rc = SaveC();
    if (!rc)
        rc = SaveW();
    if (!rc)
        rc = SaveSpecials();
    if (!rc)
        rc = SaveComments();
    if (!rc) {
        SavePatternNames();
        TkfAddTag(kTagEnd, 1, 1, true, error_);
        if (error_)
            rc = Stop(kStreamFailed);
    }
    StoreReset(false);
    return rc;
}

}  // namespace

uint16_t TkfSave()
{
    SaveJob job;
    return job.Run();
}
