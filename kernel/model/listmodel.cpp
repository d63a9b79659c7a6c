#include "kernel/model/listmodel.h"

#include <algorithm>
#include <cstring>

#include "kernel/model/bytes.h"
#include "kernel/model/programmodel.h"

// ---------------------------------------------------------------------------
// T_ListenVar

T_ListenVar::T_ListenVar(bool)
{
    // The spare slot 0 exists from the start but gets its bytes only with
    // the first line.
    lines_.resize(1);
}

void T_ListenVar::InitLine(uint16_t i)
{
    i = std::min(i, maxLines_);
    if (i > count_)
        SetCount(i);
    // Line 0 of a list that never grew has no bytes yet.
    if (!lines_[i])
        lines_[i] = std::make_unique<uint8_t[]>(lineSize_);
    std::memset(raw(i), 0, lineSize_);
    FillDefaults(raw(i), i);
}

void T_ListenVar::FillDefaults(uint8_t*, uint16_t) const {}

void T_ListenVar::SetCount(uint16_t n)
{
    n = std::min(n, maxLines_);
    if (n == count_)
        return;
    if (n < count_) {
        count_ = n;
        lines_.resize(size_t(n) + 1);
    } else {
        uint16_t old = count_;
        count_ = n;
        lines_.resize(size_t(n) + 1);
        // All new lines get their bytes before any is initialised: an index
        // list numbers a line by looking at the lines above it.
        for (size_t j = size_t(old) + 1; j <= n; ++j)
            lines_[j] = NewLine();
        for (int j = old + 1; j <= n; ++j)
            InitLine(static_cast<uint16_t>(j));
    }
    if (!lines_[0]) {
        lines_[0] = NewLine();
        InitLine(0);
    }
}

std::unique_ptr<uint8_t[]> T_ListenVar::NewLine()
{
    if (spares_.empty())
        return std::make_unique_for_overwrite<uint8_t[]>(lineSize_);
    std::unique_ptr<uint8_t[]> line = std::move(spares_.back());
    spares_.pop_back();
    // The spare lines were last used by another program and are no longer
    // in the cache: the next one is fetched now, while this one is filled,
    // so that its initialisation does not hold up every store behind it.
    constexpr size_t kAhead = 4;
    if (spares_.size() >= kAhead) {
        const uint8_t* next = spares_[spares_.size() - kAhead].get();
        for (size_t off = 0; off < lineSize_; off += 64)
            __builtin_prefetch(next + off, 1);
    }
    return line;
}

uint8_t* T_ListenVar::GrowToLine(uint16_t i)
{
    i = std::max<uint16_t>(1, std::min(i, maxLines_));
    if (i > count_)
        SetCount(i);
    return raw(i);
}

void T_ListenVar::InsertLine(uint16_t i)
{
    // The spare line 0 never moves: inserting "at 0" inserts at 1.
    i = std::max<uint16_t>(i, 1);
    SetCount(static_cast<uint16_t>(std::max<int>(count_ + 1, i)));
    // On a full list the count stays and the last line falls off the end.
    // Lines keep their own allocations (callers hold their addresses), so the
    // shift copies bytes line by line, highest first.
    if (i < count_) {
        for (int j = count_ - 1; j >= i; --j)
            std::memcpy(raw(j + 1), raw(j), lineSize_);
    }
    InitLine(i);
}

void T_ListenVar::DeleteLine(uint16_t i)
{
    i = std::max<uint16_t>(i, 1);
    for (int j = i + 1; j <= count_; ++j)
        std::memcpy(raw(j - 1), raw(j), lineSize_);
    if (i <= count_)
        SetCount(count_ - 1);
}

T_ListenVar::TakenLines T_ListenVar::TakeLines()
{
    TakenLines taken;
    taken.count = count_;
    taken.lines.swap(lines_);
    count_ = 0;
    lines_.resize(1);
    return taken;
}

void T_ListenVar::PutBackLines(TakenLines&& taken)
{
    if (taken.lines.empty())
        taken.lines.resize(1);
    count_ = taken.count;
    lines_ = std::move(taken.lines);
    taken.count = 0;
}

void T_ListenVar::SetSpareLines(TakenLines&& taken)
{
    spares_.clear();
    spares_.reserve(taken.lines.size());
    // Taken from the back: the lines go out again in the order they had.
    for (auto line = taken.lines.rbegin(); line != taken.lines.rend(); ++line)
        if (*line)
            spares_.push_back(std::move(*line));
    taken.lines.clear();
    taken.count = 0;
}

void T_ListenVar::DropSpareLines()
{
    spares_.clear();
    spares_.shrink_to_fit();
}

const uint8_t* T_ListenVar::ExistingLine(uint16_t i) const
{
    if (i > count_ || i >= lines_.size())
        return nullptr;
    return lines_[i].get();
}

const uint8_t* T_ListenVar::PeekLine(uint16_t i) const
{
    if (i >= 1 && i <= count_)
        return lines_[i].get();
    return DefaultLine(std::min(i, maxLines_));
}

uint8_t* T_ListenVar::Scratch() const
{
    if (!scratch_)
        scratch_ = std::make_unique<uint8_t[]>(size_t(kScratchLines) * lineSize_);
    uint8_t* line = scratch_.get() + size_t(nextScratch_) * lineSize_;
    nextScratch_ = (nextScratch_ + 1) % kScratchLines;
    std::memset(line, 0, lineSize_);
    return line;
}

const uint8_t* T_ListenVar::DefaultLine(uint16_t i) const
{
    uint8_t* line = Scratch();
    FillDefaults(line, i);
    return line;
}

// ---------------------------------------------------------------------------
// T_Kelt8Liste and the index lists

T_Kelt8Liste::T_Kelt8Liste(bool allocate) : T_ListenVar(allocate)
{
    maxLines_ = 20000;
}

T_Kelt8IndexListe::T_Kelt8IndexListe(bool allocate) : T_Kelt8Liste(allocate) {}

void T_Kelt8IndexListe::FillDefaults(uint8_t* line, uint16_t i) const
{
    put_u16(line, 0, NextListNumberInit(i));
}

uint16_t T_Kelt8IndexListe::ListNumber(uint16_t i) const
{
    const uint8_t* line = ExistingLine(i);
    return line ? get_u16(line, 0) : 0;
}

uint16_t T_Kelt8IndexListe::NextListNumberInit(uint16_t i) const
{
    // Only lines that exist are looked at: a caller may ask about a line
    // far below the end.
    for (int j = std::min<int>(i - 1, count_); j >= 1; --j) {
        uint16_t number = ListNumber(static_cast<uint16_t>(j));
        if (number != 0)
            return static_cast<uint16_t>(number + 1);
    }
    return 1;
}

uint16_t T_Kelt8IndexListe::NextListNumber(uint16_t i) const
{
    // The spare line 0 belongs to no sub-list: the scan stops at line 1, so
    // an editor opening a sub-list gets the number InitLine would give.
    return NextListNumberInit(i);
}

uint16_t T_Kelt8IndexListe::FindLineByNumber(uint16_t n)
{
    // Asking for a line grows the list and numbers the new lines, so a
    // missing sub-list appears at the end. When none fits below MaxLines
    // there is nothing to find: 0.
    for (uint16_t j = std::max<uint16_t>(1, n); j <= maxLines_; ++j) {
        if (get_u16(GetLine(j), 0) >= n)
            return j;
    }
    return 0;
}

uint16_t T_Kelt8IndexListe::FindSubList(uint16_t n) const
{
    // From line 1: sub-list numbers need not follow the line numbers, and a
    // reader must find the sub-list it names, not the one after it.
    for (uint16_t j = 1; j <= count_; ++j) {
        if (get_u16(lines_[j].get(), 0) >= n)
            return j;
    }
    return 0;
}

const uint8_t* T_Kelt8IndexListe::PeekSubList(uint16_t n) const
{
    if (uint16_t j = FindSubList(n))
        return lines_[j].get();
    uint8_t* line = Scratch();
    FillDefaults(line, maxLines_);
    put_u16(line, 0, n);
    return line;
}

// ---------------------------------------------------------------------------
// The concrete lists

T_ZListe::T_ZListe(bool allocate) : T_Kelt8Liste(allocate)
{
    lineSize_ = kZLineSize;
}

void T_ZListe::FillDefaults(uint8_t* line, uint16_t) const
{
    // 127: neither racking entry has a direct step set.
    line[14] = 127;
    line[18] = 127;
}

T_NListe::T_NListe(bool allocate) : T_Kelt8Liste(allocate)
{
    lineSize_ = kNLineSize;
}

T_WListe::T_WListe(bool allocate) : T_Kelt8Liste(allocate)
{
    lineSize_ = kWLineSize;
}

T_SListe::T_SListe(bool allocate) : T_Kelt8Liste(allocate)
{
    lineSize_ = kSLineSize;
}

T_VListe::T_VListe(bool allocate) : T_Kelt8Liste(allocate)
{
    lineSize_ = kVLineSize;
}

void T_VListe::FillDefaults(uint8_t* line, uint16_t) const
{
    line[12] = 100;  // full speed
}

T_FListe::T_FListe(bool allocate) : T_Kelt8IndexListe(allocate)
{
    lineSize_ = kFLineSize;
}

T_PListe::T_PListe(bool allocate) : T_Kelt8IndexListe(allocate)
{
    lineSize_ = kPLineSize;
}

T_AListe::T_AListe(bool allocate) : T_Kelt8IndexListe(allocate)
{
    lineSize_ = kALineSize;
}

void T_AListe::FillDefaults(uint8_t* line, uint16_t i) const
{
    T_Kelt8IndexListe::FillDefaults(line, i);
    // "e" marks a take-down field as unset, 10000 a needle count as unused.
    for (int off : {2, 3, 4, 6, 7})
        line[off] = 'e';
    put_u16(line, 8, 10000);
    put_u16(line, 12, 10000);
}

// ---------------------------------------------------------------------------
// The global lists

T_ZListe* ZListe = nullptr;
T_NListe* NListe = nullptr;
T_WListe* WListe = nullptr;
T_SListe* SListe = nullptr;
T_VListe* VListe = nullptr;
T_FListe* FListe = nullptr;
T_PListe* PListe = nullptr;
T_AListe* AListe = nullptr;

T_ListenVar* ListByNumber(int number)
{
    switch (number) {
    case 1: return ZListe;
    case 2: return FListe;
    case 3: return AListe;
    case 4: return VListe;
    case 5: return PListe;
    case 6: return NListe;
    case 7: return WListe;
    case 9: return SListe;
    default: return nullptr;
    }
}

int CommentOffset(int number)
{
    switch (number) {
    case 1: return 556;
    case 2: return 16;
    case 3: return 16;
    case 4: return 13;
    case 5: return 16;
    case 6: return 10;
    case 7: return 16;
    case 9: return 26;
    default: return -1;
    }
}

void CreateProgramModel()
{
    // A second start (tests make one per case) must not leak the first.
    FreeProgramModel();
    ZListe = new T_ZListe(true);
    NListe = new T_NListe(true);
    WListe = new T_WListe(true);
    SListe = new T_SListe(true);
    VListe = new T_VListe(true);
    FListe = new T_FListe(true);
    PListe = new T_PListe(true);
    AListe = new T_AListe(true);
    ProgrammKopf.clear();
    RuestSchema.clear();
    for (int p = 0; p < 3; ++p) {
        T_Patrone* plane = PatternPlane(p);
        plane->release();
        plane->present = false;
        plane->second = false;
    }
}

namespace {
template <class T>
void FreeList(T*& list)
{
    delete list;
    list = nullptr;
}
}  // namespace

void FreeProgramModel()
{
    FreeList(ZListe);
    FreeList(NListe);
    FreeList(WListe);
    FreeList(SListe);
    FreeList(VListe);
    FreeList(FListe);
    FreeList(PListe);
    FreeList(AListe);
    for (int p = 0; p < 3; ++p)
        PatternPlane(p)->release();
}
