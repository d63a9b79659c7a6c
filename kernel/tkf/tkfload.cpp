// Loading the machine program file. A read-only pass checks the whole file
// first; only a file that passes clears the program and is read back
// through the dispatcher, section by section. The sections are read from
// the file all at once, when the first of them is needed; should that fail
// after all (the file changed meanwhile), the program as it was is put
// back. Once they are read nothing can fail, and the lines of the program
// being replaced become the lines of the new one.
#include <algorithm>
#include <array>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "kernel/dispatch/kernelroutines.h"
#include "kernel/dispatch/recordstore.h"
#include "kernel/listaccess/colourset.h"
#include "kernel/model/bytes.h"
#include "kernel/model/family_data.h"
#include "kernel/model/listmodel.h"
#include "kernel/model/programcommandblock.h"
#include "kernel/model/programmodel.h"
#include "kernel/model/workrecord.h"
#include "kernel/services/stream.h"
#include "kernel/tkf/stagingfile.h"
#include "kernel/tkf/tkffile.h"
#include "kernel/tkf/tkfsections.h"
#include "platform/codepage.h"

namespace {

using namespace tkf;

constexpr uint16_t kNotOpen = 301;
constexpr uint16_t kRefused = 302;

constexpr uint32_t kMaxCount = 65535;
constexpr size_t kPatternNameMax = 13;
constexpr uint16_t k14Bits = 0x3FFF;

// A 14-bit magnitude with its sign in bit 14.
inline int16_t SignMagnitude14(uint16_t w)
{
    const auto magnitude = static_cast<int16_t>(w & k14Bits);
    return (w & 0x4000) ? static_cast<int16_t>(-magnitude) : magnitude;
}
constexpr int16_t kRefusedValue = 32767;  // outside every range the handlers accept

// What the check found; the read goes by it.
struct Plan {
    uint32_t size = 0;
    std::vector<TkfEntry> directory;
    std::string model;
    int systems = 0;
    uint8_t machineValue = 1;
    uint8_t takeDownColumns = 0;
    uint8_t gauge = 0;
    // The comment pool, read by the check, as the staging file's records:
    // length byte, text, blanks.
    std::vector<uint8_t> commentRecords;
    uint32_t commentCount = 0;

    const TkfEntry* Find(uint16_t tag) const
    {
        for (const TkfEntry& e : directory)
            if (e.tag == tag)
                return &e;
        return nullptr;
    }
    // The count as the progress total takes it: -1 for an absent tag.
    int32_t CountOf(uint16_t tag) const
    {
        const TkfEntry* e = Find(tag);
        return e ? static_cast<int32_t>(e->count) : -1;
    }
};

struct SectionLayout {
    uint16_t tag;
    uint32_t recordSize;
};

bool Inside(uint64_t at, uint64_t length, uint32_t size)
{
    return at <= size && length <= size - at;
}

// Bytes read from the file. The buffer is not cleared before a read: a read
// that succeeds fills all of it, and after one that fails it is not looked at.
class FileBytes {
public:
    uint8_t* data() { return bytes_.get(); }
    const uint8_t* data() const { return bytes_.get(); }
    uint32_t size() const { return size_; }
    const uint8_t* begin() const { return bytes_.get(); }
    const uint8_t* end() const { return bytes_.get() + size_; }
    void Resize(uint32_t n)
    {
        if (n > capacity_) {
            bytes_.reset(new uint8_t[n]);
            capacity_ = n;
        }
        size_ = n;
    }

private:
    std::unique_ptr<uint8_t[]> bytes_;
    uint32_t size_ = 0;
    uint32_t capacity_ = 0;
};

// Reads length bytes at at through the stream; false when they are not all
// there.
bool ReadBytes(uint32_t at, uint32_t length, FileBytes& out)
{
    out.Resize(length);
    if (length == 0)
        return true;
    bool error = false;
    P_DiskSeek(at, error);
    P_DiskReadBulk(out.data(), length, error);
    return !error;
}

// The comment pool, read in pieces of up to 1 MiB (its length shows only
// entry by entry), as texts of at most 80 characters: the surplus of a
// longer entry and the closing NUL are read apart. Each text goes into a
// record of the comment staging file (kCommentRecord bytes: length byte,
// text, blanks). False when an entry is not all in the file.
bool ReadCommentPool(const TkfEntry& entry, uint32_t size, std::vector<uint8_t>* out)
{
    constexpr uint32_t kPiece = 1u << 20;
    FileBytes piece;
    uint32_t pieceAt = entry.value;  // file offset of piece[0]
    uint32_t pos = entry.value;      // file offset of the next entry
    // Makes [pos, pos + n) available in piece; false past the end of the file.
    auto have = [&](uint32_t n) {
        if (!Inside(pos, n, size))
            return false;
        if (pos >= pieceAt && uint64_t(pos) + n <= uint64_t(pieceAt) + piece.size())
            return true;
        pieceAt = pos;
        return ReadBytes(pos, std::min<uint32_t>(size - pos, std::max(kPiece, n)), piece);
    };
    if (out)
        out->assign(size_t(entry.count) * kCommentRecord, ' ');
    for (uint32_t i = 0; i < entry.count; ++i) {
        if (!have(2))
            return false;
        const uint16_t n = get_u16(piece.data(), pos - pieceAt);
        pos += 2;
        if (!have(uint32_t(n) + 1))
            return false;
        if (out) {
            const uint8_t* text = piece.data() + (pos - pieceAt);
            const uint32_t length = std::min<uint32_t>(n, kCommentMax);
            uint8_t* rec = out->data() + size_t(i) * kCommentRecord;
            rec[0] = static_cast<uint8_t>(length);
            std::copy_n(text, length, rec + 1);
        }
        pos += uint32_t(n) + 1;
    }
    return true;
}

// --- the check ----------------------------------------------------------------------------

bool HundredsDigit(uint32_t value)
{
    if (value > 9)
        return false;
    const char digit = static_cast<char>('0' + value);
    return std::find(kFamilyHundredsDigits.begin(), kFamilyHundredsDigits.end(), digit) !=
           kFamilyHundredsDigits.end();
}

bool CheckHeader(Plan& plan)
{
    // The model: hundreds digit and the last two digits, a tens digit of 0
    // included ("305").
    const TkfEntry* rest = plan.Find(kTagModelRest);
    const TkfEntry* hundreds = plan.Find(kTagModelHundreds);
    if (!rest || rest->value > 99 || !hundreds || !HundredsDigit(hundreds->value))
        return false;
    plan.model = std::to_string(hundreds->value) + (rest->value < 10 ? "0" : "") + std::to_string(rest->value);
    const int position = FindModel(plan.model);
    if (position == 0)
        return false;
    plan.systems = std::atoi(ModelColumnText(1, position).c_str());
    plan.machineValue = static_cast<uint8_t>(std::atoi(ModelColumnText(2, position).c_str()));
    plan.takeDownColumns = ModelColumnChar(3, position) == '1' ? 1 : 0;

    const TkfEntry* format = plan.Find(kTagFormat);
    if (format && format->value > 3)
        return false;
    const TkfEntry* reserved = plan.Find(kTagReserved);
    if (!reserved || reserved->value != 0)
        return false;
    // The knitting scheme records are as long as the file's number of
    // systems says; read with another length they would be garbage.
    const TkfEntry* systems = plan.Find(kTagSystems);
    if (systems && systems->value != static_cast<uint32_t>(plan.systems))
        return false;
    // Offsets and carrier values were converted with the gauge: without a
    // gauge of the set they cannot come back, and the program could not be
    // saved again.
    const TkfEntry* gauge = plan.Find(kTagGauge);
    if (!gauge || gauge->value >= ZrVar.GaugeSet.size() || !ZrVar.GaugeSet.test(gauge->value))
        return false;
    plan.gauge = static_cast<uint8_t>(gauge->value);
    return true;
}

bool CheckText(const Plan& plan, uint16_t tag, size_t maxLength)
{
    const TkfEntry* e = plan.Find(tag);
    return !e || Inside(e->value, std::min<uint64_t>(e->count, maxLength), plan.size);
}

std::vector<SectionLayout> Sections(int systems)
{
    return {{kTagSList, kSRecord}, {kTagNList, kNRecord}, {kTagWList, kWRecord},
            {kTagFList, kFRecord}, {kTagZList, ZRecordSize(systems)}, {kTagPList, kPRecord},
            {kTagAList, kARecord}, {kTagVList, kVRecord}, {kTagSpecial, kSpecialRecord}};
}

bool CheckFile(Plan& plan)
{
    // A directory that loops, breaks off or leads out of the file is refused
    // as a whole.
    if (!TkfReadDirectory(plan.directory))
        return false;
    if (!CheckHeader(plan))
        return false;
    if (!CheckText(plan, kTagComment, kCommentMax))
        return false;
    for (uint16_t tag = kTagPattern1; tag <= kTagPattern3; ++tag)
        if (!CheckText(plan, tag, kPatternNameMax))
            return false;
    for (const SectionLayout& s : Sections(plan.systems)) {
        const TkfEntry* e = plan.Find(s.tag);
        if (e && (e->count > kMaxCount || !Inside(e->value, uint64_t(e->count) * s.recordSize, plan.size)))
            return false;
    }
    const TkfEntry* setup = plan.Find(kTagCList);
    if (setup && setup->count > 0 && (setup->count > kMaxCount || !Inside(setup->value, kCRecord, plan.size)))
        return false;
    const TkfEntry* pool = plan.Find(kTagComments);
    if (pool && (pool->count > kMaxCount || !ReadCommentPool(*pool, plan.size, &plan.commentRecords)))
        return false;
    plan.commentCount = pool ? pool->count : 0;
    return true;
}

// --- what a failed read puts back ------------------------------------------------------------

struct Snapshot {
    std::vector<T_ListenVar::TakenLines> lists;
    T_ProgrammKopf kopf;
    T_RuestSchema ruest;
    uint8_t systems = 0;
    uint8_t machineValue = 0;
    uint8_t takeDownColumns = 0;
    uint8_t level = 0;
    std::array<std::string, 3> patternFiles;

    // Hands the taken lines to their lists as spare lines, once the
    // program as it was cannot be needed back.
    void GiveLines();
};

constexpr int kLineLists[] = {1, 2, 3, 4, 5, 6, 7, 9};

void Snapshot::GiveLines()
{
    size_t n = 0;
    for (int list : kLineLists)
        ListByNumber(list)->SetSpareLines(std::move(lists[n++]));
}

// What the lists were given and did not take.
void DropSpareLines()
{
    for (int list : kLineLists)
        ListByNumber(list)->DropSpareLines();
}

// The program as it stands. The lists' lines are taken out whole (which
// leaves the lists empty, as the clear would) rather than copied.
std::unique_ptr<Snapshot> TakeSnapshot()
{
    auto s = std::make_unique<Snapshot>();
    for (int list : kLineLists)
        s->lists.push_back(ListByNumber(list)->TakeLines());
    s->kopf = ProgrammKopf;
    s->ruest = RuestSchema;
    s->systems = ZrVar.Systems;
    s->machineValue = ZrVar.MachineValue;
    s->takeDownColumns = ZrVar.TakeDownColumns;
    s->level = ZrVar.Level;
    s->patternFiles = ZrVar.PatternFiles;
    return s;
}

void Restore(Snapshot& s)
{
    size_t n = 0;
    for (int list : kLineLists)
        ListByNumber(list)->PutBackLines(std::move(s.lists[n++]));
    ProgrammKopf = s.kopf;
    RuestSchema = s.ruest;
    ZrVar.Systems = s.systems;
    ZrVar.MachineValue = s.machineValue;
    ZrVar.TakeDownColumns = s.takeDownColumns;
    ZrVar.Level = s.level;
    ZrVar.PatternFiles = s.patternFiles;
}

// --- the read -----------------------------------------------------------------------------

class LoadJob {
public:
    // A job fails only through a read, and all reads are done before the
    // snapshot's lines are given away: a failed job can always restore it.
    LoadJob(const Plan& plan, Snapshot& snapshot) : plan_(plan), snapshot_(snapshot) {}
    bool Run();

private:
    static ProgramCommandBlock Block(uint8_t code, uint8_t sub, uint16_t line, uint8_t selector)
    {
        ProgramCommandBlock b;
        Start(b, code, sub, line, selector);
        return b;
    }
    // Makes b what Block gives, in place: the record readers fill one block
    // per record, and a block made afresh each time costs more in clearing
    // and copying than its list write.
    static void Start(ProgramCommandBlock& b, uint8_t code, uint8_t sub, uint16_t line, uint8_t selector)
    {
        ZeroBytes<ProgramCommandBlock::kSize>(b.data());
        b.SetCode(code);
        b.SetSub(sub);
        b.SetLine(line);
        b.SetSystemByte(1);
        b.SetSelector(selector);
    }
    static void Send(ProgramCommandBlock& b) { ProgramDispatch(b); }
    void Progress(const char* name, int32_t record);
    void ApplyComment(const ProgramCommandBlock& lineBlock, uint16_t index);
    // The section's records (data) and their count; false when the tag is
    // absent or empty (nothing to read) or the sections could not be read.
    bool Records(uint16_t tag, const uint8_t*& data, uint32_t& count);
    // Calls fn(record, line) for each record of the section, after its
    // progress line (steps counts the record's progress steps); false when
    // there was nothing to read.
    template <typename Fn>
    bool ForEachRecord(uint16_t tag, size_t recordSize, const char* name, Fn&& fn, int32_t steps = 1)
    {
        const uint8_t* data = nullptr;
        uint32_t count = 0;
        if (!Records(tag, data, count))
            return false;
        for (uint32_t i = 0; i < count; ++i) {
            const uint8_t* r = data + size_t(i) * recordSize;
            const auto line = static_cast<uint16_t>(i + 1);
            step_ += steps;
            Progress(name, line);
            fn(r, line);
        }
        return true;
    }
    // Reads every section the readers go through, at the first reader's
    // turn (once): false, with failed_ set, when one is not all there.
    // Nothing is read after that, so nothing can fail any more: the lines
    // of the program being replaced then serve the new one as spare lines.
    bool ReadSections();
    int16_t FromFile(int16_t value) const;

    void ReadHeader();
    void ReadComments();
    void ReadSpecials();
    void ReadS();
    void ReadN();
    void ReadW();
    void ReadF();
    void ReadZ();
    void ApplySpecial(ProgramCommandBlock& b, uint8_t systemByte, uint16_t index);
    void ReadP();
    void ReadA();
    void ReadV();
    void ReadC();

    // A section as read: Sections (plan_.systems) in their order, then the
    // set-up record.
    struct Section {
        uint16_t tag = 0;
        uint32_t count = 0;
        FileBytes bytes;
    };

    const Plan& plan_;
    Snapshot& snapshot_;
    std::vector<Section> sections_;
    bool sectionsRead_ = false;
    bool failed_ = false;
    uint8_t gauge_ = 0;  // the conversion gauge
    int32_t step_ = 0;
    int32_t total_ = 0;
    // The special records as read, looked up by the knitting scheme
    // reader; with none, the default record alone.
    const uint8_t* specials_ = nullptr;
    uint32_t specialCount_ = 0;
    SpecialRecord defaultSpecial_ = DefaultSpecialRecord();
    JobProgress progress_;
    const char* progressName_ = nullptr;
    ProgramCommandBlock block_;  // the record readers' block
    ProgramCommandBlock commentBlock_;
    StagingFile commentFile_;
    StagingFile specialFile_;
};

void LoadJob::Progress(const char* name, int32_t record)
{
    // The names are constants: a name at another address is another name
    // (or the same again, translated once more to the same text).
    if (name != progressName_) {
        progressName_ = name;
        progress_.SetText(name);
    }
    progress_.Line(step_, total_, record);
}

void LoadJob::ApplyComment(const ProgramCommandBlock& lineBlock, uint16_t index)
{
    if (index == 0 || index > plan_.commentCount)
        return;
    const uint8_t* rec = plan_.commentRecords.data() + size_t(index - 1) * kCommentRecord;
    const std::string_view text(reinterpret_cast<const char*>(rec + 1), rec[0]);
    if (text.starts_with("NOT ALLOCATED"))
        return;
    // The comment code reads the line and the text only: the line block's
    // head is taken over, its fields are not copied along.
    ProgramCommandBlock& b = commentBlock_;
    std::memcpy(b.data(), lineBlock.data(), ProgramCommandBlock::kData);
    b.SetCode(static_cast<uint8_t>(lineBlock.Code() + 150));
    b.SetSub(2);
    b.SetSelector(101);
    WriteShortText(b.data(), ProgramCommandBlock::kData, kCommentMax, text);
    Send(b);
}

bool LoadJob::ReadSections()
{
    if (sectionsRead_)
        return !failed_;
    sectionsRead_ = true;
    const std::vector<SectionLayout> layouts = Sections(plan_.systems);
    sections_.resize(layouts.size() + 1);
    size_t n = 0;
    for (const SectionLayout& layout : layouts) {
        Section& section = sections_[n++];
        const TkfEntry* e = plan_.Find(layout.tag);
        section.tag = layout.tag;
        section.count = e ? e->count : 0;
        if (section.count != 0 && !ReadBytes(e->value, section.count * layout.recordSize, section.bytes)) {
            failed_ = true;
            return false;
        }
    }
    Section& setup = sections_[n];
    const TkfEntry* e = plan_.Find(kTagCList);
    setup.tag = kTagCList;
    setup.count = e ? e->count : 0;
    if (setup.count != 0 && !ReadBytes(e->value, kCRecord, setup.bytes)) {
        failed_ = true;
        return false;
    }
    snapshot_.GiveLines();
    return true;
}

bool LoadJob::Records(uint16_t tag, const uint8_t*& data, uint32_t& count)
{
    count = 0;
    if (!ReadSections())
        return false;
    for (const Section& section : sections_) {
        if (section.tag == tag) {
            count = section.count;
            data = section.bytes.data();
        }
    }
    return count != 0;
}

// A value the save converted to the gauge-free unit, back in needles. A
// result outside i16 (or 32768, which means "not set") goes out as a value
// the handler refuses, never wrapped into range.
int16_t LoadJob::FromFile(int16_t value) const
{
    const int32_t result = FromGaugeFree(value, gauge_);
    if (result < -32767 || result > 32767)
        return kRefusedValue;
    return static_cast<int16_t>(result);
}

void LoadJob::ReadHeader()
{
    ZrVar.Systems = static_cast<uint8_t>(plan_.systems);
    ZrVar.MachineValue = plan_.machineValue;
    ZrVar.TakeDownColumns = plan_.takeDownColumns;
    ProgramCommandBlock kind = Block(203, 3, static_cast<uint16_t>(plan_.systems), 0);
    Send(kind);

    ProgramCommandBlock gauge = Block(12, 2, 1, 42);
    gauge.SetU8(9, plan_.gauge);
    Send(gauge);
    gauge_ = plan_.gauge;

    ProgramCommandBlock model = Block(12, 2, 1, 41);
    model.SetText(plan_.model);
    Send(model);

    FileBytes bytes;
    if (const TkfEntry* comment = plan_.Find(kTagComment)) {
        const auto n = static_cast<uint32_t>(std::min<uint64_t>(comment->count, kCommentMax));
        if (!ReadBytes(comment->value, n, bytes)) {
            failed_ = true;
            return;
        }
        std::string text(bytes.begin(), bytes.end());
        while (!text.empty() && text.back() == '\0')
            text.pop_back();
        ProgramCommandBlock b = Block(ZrVar.CarrierListNumber, 2, 1, 25);
        b.SetText(text, ProgramCommandBlock::kData, kCommentMax);
        Send(b);
    }
    for (uint16_t i = 0; i < 3; ++i) {
        const TkfEntry* e = plan_.Find(static_cast<uint16_t>(kTagPattern1 + i));
        if (!e)
            continue;
        const auto n = static_cast<uint32_t>(std::min<uint64_t>(e->count, kPatternNameMax));
        if (!ReadBytes(e->value, n, bytes)) {
            failed_ = true;
            return;
        }
        std::string name(bytes.begin(), bytes.end());
        while (!name.empty() && name.back() == '\0')
            name.pop_back();
        ZrVar.PatternFiles[i] = Cp1252ToUtf8(name);
    }
}

void LoadJob::ReadComments()
{
    // The pool was read entry by entry, into the staging records, when the
    // file was checked.
    for (uint32_t i = 0; i < plan_.commentCount; ++i) {
        ++step_;
        Progress(kNameComments, static_cast<int32_t>(i + 1));
    }
    commentFile_.Write(0, plan_.commentRecords.data(), plan_.commentCount);
}

void LoadJob::ReadSpecials()
{
    specialCount_ = 0;
    uint32_t count = 0;
    if (!Records(kTagSpecial, specials_, count))
        return;
    specialCount_ = count;
    for (uint32_t i = 0; i < count; ++i) {
        ++step_;
        Progress(kNameSpecial, static_cast<int32_t>(i + 1));
    }
    specialFile_.Write(0, specials_, count);
}

void LoadJob::ReadS()
{
    const auto read = [&](const uint8_t* r, uint16_t line) __attribute__((always_inline)) {
        ProgramCommandBlock& b = block_;
        Start(b, 9, 1, line, 9);
        const uint16_t w0 = get_u16(r, 0);
        b.SetU8(9, static_cast<uint8_t>(w0 >> 14));
        b.SetU16(10, w0 & k14Bits);
        b.SetI16(12, get_i16(r, 2));
        const uint16_t w2 = get_u16(r, 4);
        b.SetU8(14, static_cast<uint8_t>(w2 >> 15));
        b.SetU16(16, w2 & k14Bits);
        const uint16_t w3 = get_u16(r, 6);
        b.SetU8(18, static_cast<uint8_t>(w3 >> 15));
        b.SetU16(20, w3 & k14Bits);
        const uint16_t w4 = get_u16(r, 8);
        b.SetU8(22, static_cast<uint8_t>(w4 >> 15));
        b.SetI16(24, SignMagnitude14(w4));
        b.SetU16(26, get_u16(r, 10) & k14Bits);
        b.SetI16(28, get_i16(r, 12));
        b.SetU16(30, get_u16(r, 14) & k14Bits);
        b.SetI16(32, get_i16(r, 16));
        ColourSetToShortString(get_u32(r, 18), b.data(), 34, 32);
        Send(b);
        ApplyComment(b, get_u16(r, 22));
    };
    ForEachRecord(kTagSList, kSRecord, kNameS, read);
}

void LoadJob::ReadN()
{
    const auto read = [&](const uint8_t* r, uint16_t line) __attribute__((always_inline)) {
        const uint16_t w0 = get_u16(r, 0);
        if (w0 == 0)
            return;  // the line keeps the defaults of a new line
        ProgramCommandBlock& b = block_;
        Start(b, 6, 1, line, 6);
        b.SetU8(9, static_cast<uint8_t>(w0 >> 15));
        b.SetU16(10, w0 & k14Bits);
        const uint16_t w1 = get_u16(r, 2);
        b.SetI16(12, SignMagnitude14(w1));
        const uint16_t w2 = get_u16(r, 4);
        static constexpr uint8_t kKinds[4] = {0, 2, 3, 4};
        b.SetU8(14, (w1 & 0x8000) == 0 ? 1 : kKinds[w2 >> 14]);
        b.SetU16(16, w2 & k14Bits);
        Send(b);
        ApplyComment(b, get_u16(r, 6));
    };
    ForEachRecord(kTagNList, kNRecord, kNameN, read);
}

void LoadJob::ReadW()
{
    const auto read = [&](const uint8_t* r, uint16_t line) __attribute__((always_inline)) {
        ProgramCommandBlock& b = block_;
        Start(b, 7, 1, line, 57);
        for (int k = 0; k < 8; ++k) {
            b.SetI16(size_t(10 + 2 * k), SignMagnitude14(get_u16(r, size_t(2 * k))));
        }
        Send(b);
        ApplyComment(b, get_u16(r, 16));
    };
    ForEachRecord(kTagWList, kWRecord, kNameW, read);
}

// The stitch density and yarn-carrier position lists hold sub-lists: each
// block goes out one record late, when it is known whether the next record
// continues its sub-list.
void LoadJob::ReadF()
{
    uint32_t previous = 9999;
    ProgramCommandBlock& pending = block_;
    uint16_t pendingComment = 0;
    const auto read = [&](const uint8_t* r, uint16_t line) __attribute__((always_inline)) {
        const uint16_t number = get_u16(r, 2);
        const bool same = number == previous;
        if (previous != 9999) {
            pending.SetU8(20, same ? 1 : 0);
            Send(pending);
            ApplyComment(pending, pendingComment);
        }
        previous = number;
        Start(pending, 2, 2, line, 2);
        pending.SetU16(10, same ? 0 : number);
        pending.SetU8(20, same ? 1 : 0);
        const uint16_t left = get_u16(r, 4);
        pending.SetU8(12, static_cast<uint8_t>(left >> 14));
        pending.SetU16(14, left & k14Bits);
        const uint16_t right = get_u16(r, 6);
        pending.SetU8(16, static_cast<uint8_t>(right >> 14));
        pending.SetU16(18, right & k14Bits);
        ColourSetToShortString(get_u32(r, 8), pending.data(), 21, 32);
        pendingComment = get_u16(r, 12);
    };
    const bool any = ForEachRecord(kTagFList, kFRecord, kNameF, read);
    if (!any)
        return;
    pending.SetU8(20, 0);
    // The last line goes out even when empty: dropped, it would take the
    // line before it along on the next save, and a Z line may name its list.
    Send(pending);
    ApplyComment(pending, pendingComment);
}

void LoadJob::ReadP()
{
    uint32_t previous = 9999;
    ProgramCommandBlock& pending = block_;
    uint16_t pendingComment = 0;
    const auto read = [&](const uint8_t* r, uint16_t line) __attribute__((always_inline)) {
        const uint16_t number = get_u16(r, 2);
        const bool same = number == previous;
        if (previous != 9999) {
            pending.SetU8(20, same ? 1 : 0);
            Send(pending);
            ApplyComment(pending, pendingComment);
        }
        previous = number;
        Start(pending, 5, 2, line, 5);
        pending.SetU16(10, same ? 0 : number);
        pending.SetU8(20, same ? 1 : 0);
        pending.SetU8(12, static_cast<uint8_t>(r[4] >> 4));
        const uint8_t box = r[4] & 0x0F;
        pending.SetU8(13, box == 0 ? ' ' : static_cast<uint8_t>('A' + box - 1));
        pending.SetU8(14, static_cast<uint8_t>(r[5] >> 6));
        pending.SetU8(15, static_cast<uint8_t>((r[5] >> 4) & 3));
        for (int side = 0; side < 2; ++side) {
            const int16_t value = get_i16(r, size_t(10 + 2 * side));
            pending.SetI16(size_t(16 + 2 * side),
                           static_cast<uint16_t>(value) == kUnset16 ? value : FromFile(value));
        }
        ColourSetToShortString(get_u32(r, 6), pending.data(), 21, 32);
        pendingComment = get_u16(r, 14);
    };
    const bool any = ForEachRecord(kTagPList, kPRecord, kNameP, read);
    if (!any)
        return;
    pending.SetU8(20, 0);
    Send(pending);
    ApplyComment(pending, pendingComment);
}

// The knitting scheme reader sends one line in many blocks. One block
// serves them all: before each field group its data bytes are cleared, so
// that nothing of the group before reaches the next.
constexpr size_t kFieldBytes = 48;

void Prepare(ProgramCommandBlock& b, uint8_t selector, uint8_t system)
{
    std::fill_n(b.data() + ProgramCommandBlock::kData, kFieldBytes, uint8_t(0));
    b.SetSelector(selector);
    b.SetSystemByte(system);
}

void LoadJob::ReadZ()
{
    const int s = plan_.systems;
    const uint32_t size = ZRecordSize(s);
    const bool options = plan_.takeDownColumns != 0;
    ProgramCommandBlock& b = block_;
    const auto read = [&](const uint8_t* r, uint16_t line) __attribute__((always_inline)) {
        Start(b, 1, 2, line, 0);
        for (int entry = 0; entry < 2; ++entry) {
            const uint16_t w = get_u16(r, size_t(2 * entry));
            Prepare(b, 'B', 1);
            b.SetU8(9, entry == 0 ? 1 : 0);
            uint8_t code = 0;
            if (w & 0x8000) {
                code = w & 0x0F;
                const auto step = static_cast<int8_t>((w >> 4) & 0x3F);
                b.SetU8(12, static_cast<uint8_t>((w & 0x400) ? -step : step));
                b.SetU8(13, code);
            } else {
                b.SetU16(10, w & k14Bits);
            }
            if (!(b.U16(10) == 0 && code == 4))
                Send(b);
        }
        const uint16_t takeDown = get_u16(r, 4);
        if (takeDown != 0) {
            Prepare(b, '=', 1);
            b.SetU8(9, static_cast<uint8_t>(takeDown >> 14));
            b.SetU16(10, takeDown & k14Bits);
            Send(b);
        }
        const uint16_t speed = get_u16(r, 6);
        if ((speed & 0xC000) != 0xC000) {
            Prepare(b, '>', 1);
            b.SetU8(9, static_cast<uint8_t>(speed >> 14));
            b.SetU16(10, speed & k14Bits);
            Send(b);
        }
        for (uint8_t flag = 0; flag < 3; ++flag) {
            if (r[8] & (1u << flag)) {
                Prepare(b, static_cast<uint8_t>(63 + flag), 1);
                Send(b);
            }
        }
        if (options) {
            if (r[12] || r[13] || r[14]) {
                auto clamp = [](uint8_t bits) -> uint8_t { return (bits & 1) ? 'C' : (bits & 2) ? 'O' : '.'; };
                Prepare(b, 'C', 1);
                b.SetU8(9, clamp(r[13] & 3));
                b.SetU8(10, clamp((r[13] >> 2) & 3));
                b.SetU8(11, clamp(r[12] & 3));
                b.SetU8(12, clamp((r[12] >> 2) & 3));
                b.SetU16(14, r[14]);
                Send(b);
            }
            const uint8_t first = (r[8] >> 6) & 1;
            const uint8_t second = (r[8] >> 5) & 1;
            if (first || second || r[15]) {
                Prepare(b, 'D', 1);
                b.SetU8(9, first);
                b.SetU8(10, second);
                b.SetU16(12, r[15]);
                Send(b);
            }
            const uint8_t comb = r[8] & 0x18;
            if (comb) {
                Prepare(b, 'E', 1);
                b.SetU8(9, comb == 8 ? '1' : comb == 16 ? '2' : '*');
                Send(b);
            }
        }
        for (int k = 1; k <= s; ++k) {
            const uint8_t* e = r + kZRecordBase + kZSystemEntry * size_t(k - 1);
            const auto system = static_cast<uint8_t>(line % 2 == 0 ? k : s + 1 - k);
            const uint16_t carriers = get_u16(e, 0);
            if (carriers & 0x8000) {
                Prepare(b, 'G', system);
                b.SetU16(10, carriers & k14Bits);
                Send(b);
            } else {
                // The carriers' bits, lowest first.
                for (unsigned rest = carriers & 0xFFu; rest != 0; rest &= rest - 1) {
                    const auto bit = static_cast<uint16_t>(std::countr_zero(rest));
                    Prepare(b, 'G', system);
                    b.SetU8(9, 1);
                    b.SetU16(10, static_cast<uint16_t>(bit + 1));
                    Send(b);
                }
            }
            if (options) {
                if ((e[6] & 0xC0) == 0xC0) {
                    Prepare(b, 'O', system);
                    b.SetU8(9, 1);
                    Send(b);
                } else if ((e[6] & 0x30) == 0x30) {
                    Prepare(b, 'O', system);
                    b.SetU8(10, 1);
                    Send(b);
                }
                if (e[6] & 1) {
                    Prepare(b, 'H', system);
                    Send(b);
                }
            }
            if (const uint16_t index = get_u16(e, 2))
                ApplySpecial(b, system, index);
            if (const uint16_t index = get_u16(e, 4))
                ApplySpecial(b, static_cast<uint8_t>(system | 0x80), index);
        }
        Prepare(b, 0, 1);
        ApplyComment(b, get_u16(r, 20));
    };
    ForEachRecord(kTagZList, size, kNameZ, read, 10);
}

void LoadJob::ApplySpecial(ProgramCommandBlock& b, uint8_t systemByte, uint16_t index)
{
    // An index beyond this file's records reads record 0, never what an
    // earlier job left in the staging file.
    const uint8_t* r = specialCount_ == 0 ? defaultSpecial_.data()
                                          : specials_ + size_t(index < specialCount_ ? index : 0) * kSpecialRecord;
    for (int density = 0; density < 2; ++density) {
        const uint16_t w = get_u16(r, size_t(2 * density));
        if (w == 0)
            continue;
        Prepare(b, 'K', systemByte);
        b.SetU8(9, density == 0 ? 1 : 0);
        b.SetU8(10, static_cast<uint8_t>(w >> 14));
        b.SetU16(12, w & k14Bits);
        Send(b);
    }
    const uint16_t pattern = get_u16(r, 16);
    if (pattern != 0) {
        Prepare(b, 'J', systemByte);
        const auto value = static_cast<int16_t>(pattern & k14Bits);
        switch (pattern >> 14) {
        case 0: b.SetU8(9, 1); b.SetI16(10, value); break;
        case 1: b.SetU8(9, 1); b.SetI16(10, static_cast<int16_t>(-value)); break;
        case 2: b.SetU8(9, 0); b.SetI16(10, value); break;
        default: b.SetU8(9, 2); b.SetI16(10, value); break;
        }
        Send(b);
    }
    const uint16_t flags = get_u16(r, 20);
    bool camWritten = false;
    if (flags & 0x1F) {
        Prepare(b, 'I', systemByte);
        b.SetU8(9, flags & 0x1F);
        Send(b);
        camWritten = true;
    }
    if (flags & 0x200) {
        Prepare(b, 'L', systemByte);
        Send(b);
    }
    // Entries 1, 0, 2: kind bits and data.
    struct Entry {
        uint8_t number;
        int shift;
        size_t at;
    };
    static constexpr Entry kEntries[3] = {{1, 10, 8}, {0, 12, 12}, {2, 14, 4}};
    for (const Entry& entry : kEntries) {
        const unsigned kind = (flags >> entry.shift) & 3;
        const uint32_t data = get_u32(r, entry.at);
        if ((kind == 0 && data == 0) || kind == 3)
            continue;  // nothing to send; the block is prepared afresh for what follows
        Prepare(b, 'N', systemByte);
        b.SetU8(9, entry.number);
        // The selection text at 10, as SetText (text, 10, 32) writes it.
        uint8_t* text = b.data() + 10;
        if (kind == 0) {
            ColourSetToShortString(data, b.data(), 10, 32);
        } else if (kind == 1) {
            text[0] = 2;
            text[1] = '!';
            text[2] = static_cast<uint8_t>(data & 0xFF);
        } else {
            text[0] = 4;
            text[1] = '!';
            text[2] = 6;
            text[3] = static_cast<uint8_t>('A' + ((data >> 8) & 0xFF));
            text[4] = static_cast<uint8_t>('0' + (data & 0xFF));
        }
        Send(b);
        // A side with a needle selection and no cam setting gets cam setting 2.
        if (!camWritten) {
            camWritten = true;
            Prepare(b, 'I', systemByte);
            b.SetU8(9, 2);
            Send(b);
        }
    }
}

void LoadJob::ReadA()
{
    uint16_t previous = 0;
    const auto read = [&](const uint8_t* r, uint16_t line) __attribute__((always_inline)) {
        ProgramCommandBlock& b = block_;
        Start(b, 3, 1, line, 3);
        b.SetU8(12, 101);
        b.SetU8(14, 101);
        b.SetU8(15, 101);
        b.SetU8(16, 101);
        b.SetU8(17, 101);
        b.SetU16(18, 10000);
        b.SetU16(20, 10000);
        const uint16_t number = get_u16(r, 6);
        if (number != previous)
            b.SetU16(10, number);
        previous = number;
        const uint8_t presence = r[9];
        const uint16_t count1 = get_u16(r, 10);
        const uint16_t count2 = get_u16(r, 14);
        if (presence & 1)
            b.SetU8(12, r[0] & 0x7F);
        if ((presence & 2) && r[1] != 0x80) {
            b.SetU8(14, r[1] & 0x7F);
            if (r[1] & 0x80)
                b.SetU8(13, 2);
            if (count1 & 0x4000)
                b.SetU8(13, 1);
        }
        if (r[2] & 0x80)
            b.SetU8(15, 102);
        else if (count2 & 0x8000)
            b.SetU8(15, 103);
        else if (presence & 4)
            b.SetU8(15, r[2]);
        if (r[3] & 0x80)
            b.SetU8(16, 102);
        else if (count2 & 0x4000)
            b.SetU8(16, 103);
        else if (presence & 8)
            b.SetU8(16, r[3]);
        if (presence & 16) {
            const auto pulse = static_cast<int8_t>(r[8] & 0x7F);
            b.SetU8(17, static_cast<uint8_t>((r[8] & 0x80) ? -pulse : pulse));
        }
        if ((presence & 32) && (count1 & k14Bits) != 0) {
            b.SetU16(18, count1 & k14Bits);
            b.SetU8(22, r[12]);
            b.SetU8(24, r[13]);
        }
        if ((presence & 64) && (count2 & k14Bits) != 0) {
            b.SetU16(20, count2 & k14Bits);
            b.SetU8(23, r[16]);
            b.SetU8(25, r[17]);
        }
        Send(b);
        ApplyComment(b, get_u16(r, 18));
    };
    ForEachRecord(kTagAList, kARecord, kNameA, read);
}

void LoadJob::ReadV()
{
    const auto read = [&](const uint8_t* r, uint16_t line) __attribute__((always_inline)) {
        if (r[6] == 0)
            return;  // not set: the line keeps the defaults of a new line
        ProgramCommandBlock& b = block_;
        Start(b, 4, 1, line, 4);
        const auto racking = static_cast<int8_t>(r[0] & 0x7F);
        b.SetU8(9, static_cast<uint8_t>((r[0] & 0x80) ? -racking : racking));
        b.SetU8(10, r[1] & 3);
        b.SetU8(11, (r[1] >> 2) & 1);
        b.SetU8(12, (r[1] >> 3) & 0x0F);
        b.SetU8(13, r[2]);
        b.SetU8(14, r[3]);
        b.SetU8(15, r[4]);
        b.SetU8(16, r[5]);
        Send(b);
        ApplyComment(b, get_u16(r, 8));
    };
    ForEachRecord(kTagVList, kVRecord, kNameV, read);
}

void LoadJob::ReadC()
{
    const uint8_t* rec = nullptr;
    uint32_t count = 0;
    if (!Records(kTagCList, rec, count))
        return;
    ++step_;
    Progress(kNameC, 0);
    auto machine = [](uint8_t selector, uint16_t line = 1) { return Block(12, 2, line, selector); };
    const auto level = static_cast<uint8_t>(rec[crec::kLevel] + 1);
    ProgramCommandBlock b = machine(34);
    b.SetU8(9, level);
    Send(b);
    for (uint8_t s = 0; s < 3; ++s) {
        b = machine(static_cast<uint8_t>(35 + s));
        b.SetU8(9, rec[crec::kSpeed + s]);
        Send(b);
    }
    b = machine(38);
    b.SetU8(9, rec[crec::kReversal]);
    Send(b);
    b = machine(40);
    b.SetText(ColourSetToText(get_u32(rec, crec::kColours)), ProgramCommandBlock::kData, 32);
    Send(b);
    if (ZrVar.MachineValue > 1) {
        b = machine(44);
        b.SetU16(10, get_u16(rec, crec::kCoupling));
        Send(b);
    }
    if (rec[crec::kOptions] & 1) {
        b = machine(43);
        b.SetU8(9, 1);
        Send(b);
    }
    if (rec[crec::kOptions] & 2) {
        b = machine(45);
        Send(b);
    }
    for (int lv = 1; lv <= 8; ++lv) {
        const auto send = [&](ProgramCommandBlock& block) {
            SetSelectorLevel(static_cast<uint8_t>(lv), block);
            Send(block);
        };
        if (rec[crec::TakeDown(lv)]) {
            b = machine(31);
            b.SetU8(9, rec[crec::TakeDown(lv)]);
            send(b);
        }
        if (const uint16_t v = get_u16(rec, crec::PieceCount(lv))) {
            b = machine(32);
            b.SetU16(10, v);
            send(b);
        }
        if (const uint16_t v = get_u16(rec, crec::LengthLimit(lv))) {
            b = machine(33);
            b.SetU16(10, v);
            send(b);
        }
        for (uint16_t n = 1; n <= 8; ++n) {
            const uint16_t start = get_u16(rec, crec::RoomStart(lv, n));
            if (start == 0)
                continue;
            b = machine(12, n);
            b.SetU16(10, start);
            b.SetU16(12, get_u16(rec, crec::RoomEnd(lv, n)));
            send(b);
        }
    }
    SetSelectorLevel(level, machine(34));

    const uint8_t carrierList = ZrVar.CarrierListNumber;
    auto carrier = [&](uint8_t selector) { return Block(carrierList, 2, 1, selector); };
    b = carrier(20);
    b.SetU16(10, get_u16(rec, crec::kFfMin));
    Send(b);
    b = carrier(21);
    b.SetU16(10, get_u16(rec, crec::kFfMax));
    Send(b);
    b = carrier(22);
    b.SetU8(9, rec[crec::kFfDis]);
    Send(b);
    for (uint8_t n = 1; n <= 8; ++n) {
        const auto replacement = static_cast<uint8_t>(rec[crec::Exchange(n)] + 1);
        if (replacement == n)
            continue;
        b = carrier(23);
        b.SetU8(9, n);
        b.SetU8(10, replacement);
        Send(b);
    }
    for (int rail = 1; rail <= 8; ++rail) {
        for (int box = 0; box < 8; ++box) {
            b = carrier(24);
            b.SetU8(9, static_cast<uint8_t>(rail));
            b.SetU8(10, static_cast<uint8_t>('A' + box));
            const uint8_t a = rec[crec::CarrierAttribute(rail, box)];
            if (a / 32 == 0)
                b.SetU8(11, 'N');
            else if (a / 32 == 1)
                b.SetU8(11, 'I');
            b.SetU8(12, a % 32);
            for (int k = 0; k < 8; ++k) {
                const uint16_t w = get_u16(rec, crec::CarrierValue(k, rail, box));
                int16_t value = static_cast<int16_t>(kUnset16);
                if (w == kUnset16) {
                } else if (w & kCarrierPositive) {
                    value = FromFile(static_cast<int16_t>(w & 0x7FFF));
                } else if (w & kCarrierNegative) {
                    const int32_t magnitude = FromGaugeFree(w & ~kCarrierNegative, gauge_);
                    value = magnitude > 32767 ? kRefusedValue : static_cast<int16_t>(-magnitude);
                }
                b.SetI16(size_t(14 + 2 * k), value);
                b.SetI16(size_t(30 + 2 * k), static_cast<int16_t>(kUnset16));
            }
            Send(b);
        }
    }
}

bool LoadJob::Run()
{
    ReadHeader();
    if (failed_)
        return false;
    // The progress total: the sections' counts, absent ones as -1, the
    // knitting scheme's ten times.
    for (uint16_t tag : {kTagSList, kTagNList, kTagWList, kTagFList, kTagPList, kTagAList, kTagVList, kTagCList,
                         kTagSpecial, kTagComments})
        total_ += plan_.CountOf(tag);
    total_ += 10 * plan_.CountOf(kTagZList);
    StoreReset(false);

    const bool openedHere = ZrVar.TempFilesOpen == 0;
    if (openedHere) {
        ZrVar.TempFilesOpen = 1;
        const std::string& folder = ZrVar.TargetFolder;
        // Side files only: what the load needs it keeps in memory too.
        commentFile_.Open(folder + ZrVar.CommentPoolFile, kCommentRecord, ZrVar.TempRecordCount);
        specialFile_.Open(folder + ZrVar.SpecialFile, kSpecialRecord, ZrVar.TempRecordCount);
        const SpecialRecord first = DefaultSpecialRecord();
        specialFile_.Write(0, first.data());
    }
    ReadComments();
    // The readers in turn, until one fails.
    for (void (LoadJob::*read)() : {&LoadJob::ReadSpecials, &LoadJob::ReadS, &LoadJob::ReadN, &LoadJob::ReadW,
                                    &LoadJob::ReadF, &LoadJob::ReadZ, &LoadJob::ReadP, &LoadJob::ReadA,
                                    &LoadJob::ReadV, &LoadJob::ReadC}) {
        if (failed_)
            break;
        (this->*read)();
    }
    if (openedHere) {
        commentFile_.Close();
        specialFile_.Close();
        ZrVar.TempFilesOpen = 0;
    }
    return !failed_;
}

}  // namespace

uint16_t TkfLoad()
{
    bool error = false;
    Plan plan;
    plan.size = F_DiskSize(error);
    if (error)
        return kNotOpen;
    if (!CheckFile(plan))
        return kRefused;

    const std::unique_ptr<Snapshot> before = TakeSnapshot();
    for (uint8_t list = 1; list <= 12; ++list) {
        ProgramCommandBlock clear;
        clear.SetCode(list);
        clear.SetSub(4);
        ProgramDispatch(clear);
    }
    LoadJob job(plan, *before);
    if (!job.Run()) {
        Restore(*before);
        return kRefused;
    }
    DropSpareLines();
    return 0;
}
