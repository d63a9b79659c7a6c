#include "kernel/tkf/tkfcontainer.h"

#include <array>
#include <cstdio>
#include <unordered_set>
#include <vector>

#include "kernel/compiler/compilererror.h"
#include "kernel/model/bytes.h"
#include "kernel/model/workrecord.h"
#include "kernel/services/stream.h"

namespace {

// Where the offset of the next directory block goes once it is written: the
// header's field at first, then the next-block field of the last block.
uint32_t pendingLink = 4;

uint16_t BufferedEntries()
{
    return get_u16(ZrVar.Directory.data(), 0);
}

void ClearDirectoryBuffer()
{
    ZrVar.Directory.fill(0);
}

// Appends the buffered entries as a directory block at the end of the file
// and links the previous block (or the header) to it.
void FlushDirectory(bool& error)
{
    const uint16_t n = BufferedEntries();
    const uint32_t end = F_DiskSize(error);
    uint8_t link[4];
    put_u32(link, 0, end);
    P_DiskSeek(pendingLink, error);
    P_DiskWrite(link, 4, error);

    std::array<uint8_t, tkf::kBlockSize> block{};
    put_u16(block.data(), 0, n);
    std::copy_n(ZrVar.Directory.begin() + 2, tkf::kEntrySize * n, block.begin() + 2);
    // The next-block field right behind the entries stays 0 until a further
    // block is linked to it.
    P_DiskSeek(end, error);
    P_DiskWrite(block.data(), tkf::kBlockSize, error);
    pendingLink = end + 2 + tkf::kEntrySize * n;
    ClearDirectoryBuffer();
}

void AppendEntry(uint16_t tag, uint16_t type, uint32_t count, uint32_t value)
{
    uint8_t* dir = ZrVar.Directory.data();
    const uint16_t n = BufferedEntries();
    const size_t at = 2 + tkf::kEntrySize * n;
    put_u16(dir, at, tag);
    put_u16(dir, at + 2, type);
    put_u32(dir, at + 4, count);
    put_u32(dir, at + 8, value);
    put_u16(dir, 0, static_cast<uint16_t>(n + 1));
}

// Makes room for one more entry, so that data written now are not followed
// by a directory block that a later entry pushes in front of them.
void EnsureRoom(bool& error)
{
    if (BufferedEntries() >= tkf::kMaxEntries)
        FlushDirectory(error);
}

bool ReadHeader(uint32_t& firstBlock, uint32_t& size)
{
    bool error = false;
    size = F_DiskSize(error);
    uint8_t header[tkf::kHeaderSize];
    P_DiskSeek(0, error);
    P_DiskRead(header, tkf::kHeaderSize, error);
    if (error)
        return false;
    if (get_u16(header, 0) != tkf::kMagic || get_u16(header, 2) != tkf::kVersion ||
        get_u16(header, 8) != tkf::kMarker)
        return false;
    firstBlock = get_u32(header, 4);
    return true;
}

// Walks the directory chain and hands each entry to visit until it returns
// true. A damaged chain ends the walk as if it ended there.
template <typename Visit>
bool WalkDirectory(Visit visit, bool* intact = nullptr)
{
    uint32_t offset = 0;
    uint32_t size = 0;
    if (!ReadHeader(offset, size))
        return false;
    std::unordered_set<uint32_t> visited;
    std::vector<uint8_t> block;
    while (offset != 0) {
        if (!visited.insert(offset).second)
            return false;
        if (offset > size || size - offset < 2)
            return false;
        bool error = false;
        uint8_t countBytes[2];
        P_DiskSeek(offset, error);
        P_DiskRead(countBytes, 2, error);
        const uint16_t n = get_u16(countBytes, 0);
        if (error || n == 0 || n > tkf::kMaxEntries)
            return false;
        const uint32_t need = tkf::kEntrySize * n + 4;
        if (size - offset - 2 < need)
            return false;
        block.resize(need);
        P_DiskRead(block.data(), need, error);
        if (error)
            return false;
        for (uint16_t i = 0; i < n; ++i) {
            const uint8_t* e = block.data() + tkf::kEntrySize * i;
            TkfEntry entry{get_u16(e, 0), get_u16(e, 2), get_u32(e, 4), get_u32(e, 8)};
            if (visit(entry))
                return true;
        }
        offset = get_u32(block.data(), tkf::kEntrySize * n);
    }
    if (intact)
        *intact = true;
    return false;
}

}  // namespace

uint16_t TkfTagType(uint16_t tag)
{
    using namespace tkf;
    switch (tag) {
    case kTagEnd:
    case kTagFormat:
    case kTagModelHundreds:
    case kTagModelRest:
    case kTagGauge:
    case kTagSystems:
    case kTagReserved:
        return kTypeShort;
    case kTagComment:
    case kTagSoftware:
    case kTagDateTime:
    case kTagArtist:
    case kTagHost:
    case kTagFamily:
    case kTagRights:
    case kTagPattern1:
    case kTagPattern2:
    case kTagPattern3:
        return kTypeAscii;
    case kTagSList:
    case kTagNList:
    case kTagWList:
    case kTagFList:
    case kTagZList:
    case kTagPList:
    case kTagAList:
    case kTagVList:
    case kTagCList:
    case kTagSpecial:
    case kTagComments:
        return kTypeSection;
    default:
        return 0;
    }
}

void TkfAddTag(uint16_t tag, uint32_t count, uint32_t value, bool close, bool& error)
{
    const uint32_t size = F_DiskSize(error);
    if (error)
        return;
    if (size == 0) {
        uint8_t header[tkf::kHeaderSize] = {};
        put_u16(header, 0, tkf::kMagic);
        put_u16(header, 2, tkf::kVersion);
        put_u16(header, 8, tkf::kMarker);
        P_DiskSeek(0, error);
        P_DiskWrite(header, tkf::kHeaderSize, error);
        ClearDirectoryBuffer();
        pendingLink = 4;
        return;
    }
    EnsureRoom(error);
    const uint16_t type = TkfTagType(tag);
    AppendEntry(tag, type, count, value);
    if (type == 0)
        ShowCompilerError(0, 0, "Unbekanntes Tag Nummer: " + std::to_string(tag), 302);
    if (close)
        FlushDirectory(error);
}

void TkfAddString(uint16_t tag, const std::string& text, bool& error)
{
    EnsureRoom(error);
    const uint32_t count = static_cast<uint32_t>(text.size()) + 1;
    const uint32_t value = F_DiskPosition(error);
    TkfAddTag(tag, count, value, false, error);
    // Text, its NUL, and one more NUL so that the next data start even.
    std::string bytes = text;
    bytes.push_back('\0');
    if (count % 2 != 0)
        bytes.push_back('\0');
    P_DiskWrite(bytes.data(), static_cast<uint32_t>(bytes.size()), error);
}

uint32_t TkfDataPosition(bool& error)
{
    EnsureRoom(error);
    return F_DiskPosition(error);
}

bool TkfHeaderValid()
{
    uint32_t offset = 0;
    uint32_t size = 0;
    return ReadHeader(offset, size);
}

bool TkfLookup(uint16_t tag, TkfEntry& entry)
{
    return WalkDirectory([&](const TkfEntry& e) {
        if (e.tag != tag)
            return false;
        entry = e;
        return true;
    });
}

bool TkfReadDirectory(std::vector<TkfEntry>& entries)
{
    entries.clear();
    bool intact = false;
    WalkDirectory(
        [&](const TkfEntry& e) {
            entries.push_back(e);
            return false;
        },
        &intact);
    return intact;
}

void TkfFindTag(uint16_t tag, int32_t& value, int32_t& count)
{
    value = -1;
    if (!TkfHeaderValid()) {
        count = 0;
        return;
    }
    TkfEntry entry;
    if (!TkfLookup(tag, entry)) {
        count = -1;
        return;
    }
    value = static_cast<int32_t>(entry.value);
    count = static_cast<int32_t>(entry.count);
}

std::string TkfDateText(const std::tm& time)
{
    char text[80];
    std::snprintf(text, sizeof text, "%04d:%02d:%02d %02d:%02d:%02d", time.tm_year + 1900, time.tm_mon + 1,
                  time.tm_mday, time.tm_hour, time.tm_min, time.tm_sec);
    return text;
}

std::string TkfNowText()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return TkfDateText(local);
}
