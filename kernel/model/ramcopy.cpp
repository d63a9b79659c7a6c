#include "kernel/model/ramcopy.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "kernel/dispatch/kernel_host.h"
#include "kernel/model/bytes.h"
#include "kernel/model/listmodel.h"
#include "kernel/model/newprogram.h"
#include "kernel/model/programmodel.h"
#include "kernel/services/debuglog.h"
#include "kernel/services/services.h"
#include "kernel/services/stream.h"
#include "platform/paths.h"

namespace {

struct ListPart {
    char letter;
    T_ListenVar* list;
};

// The lists in the order the file holds them.
std::array<ListPart, 8> Lists()
{
    return {{{'Z', ZListe},
             {'N', NListe},
             {'W', WListe},
             {'S', SListe},
             {'V', VListe},
             {'F', FListe},
             {'P', PListe},
             {'A', AListe}}};
}

constexpr std::array<int, 3> kPlaneOrder = {0, 2, 1};
constexpr uint16_t kMaxListLines = 20000;
constexpr size_t kLineSizes[] = {kZLineSize, kNLineSize, kWLineSize, kSLineSize,
                                 kVLineSize, kFLineSize, kPLineSize, kALineSize};

// Cells a present plane takes in the file: rows 0..height of width bytes.
size_t PlaneCells(uint16_t width, uint16_t height)
{
    return (size_t(height) + 1) * width;
}

// The largest snapshot the checks let through: no file needs to be read
// beyond it.
constexpr size_t LargestSnapshot()
{
    size_t size = T_ProgrammKopf::kSize + T_RuestSchema::kSize;
    for (size_t lineSize : kLineSizes)
        size += 2 + kMaxListLines * lineSize;
    return size + 3 * (2 + 65536 * kPatternStride);
}

void AppendU16(std::string& out, uint16_t v)
{
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>(v >> 8);
}

void AppendBytes(std::string& out, const uint8_t* data, size_t n)
{
    out.append(reinterpret_cast<const char*>(data), n);
}

// Rows 0..height of the plane, width bytes each. The header's size may claim
// more rows or cells than the plane holds (a new size without a new pattern):
// what it does not hold is written as zeros.
void AppendPlaneRows(std::string& out, const T_Patrone& plane, uint16_t width, uint16_t height)
{
    const size_t held = std::min<size_t>(width, kPatternStride);
    for (size_t row = 0; row <= height; ++row) {
        size_t taken = 0;
        if (row < plane.rowCount()) {
            AppendBytes(out, plane.rows.data() + row * kPatternStride, held);
            taken = held;
        }
        out.append(width - taken, '\0');
    }
}

size_t SnapshotSize(uint16_t width, uint16_t height)
{
    size_t size = T_ProgrammKopf::kSize + T_RuestSchema::kSize;
    for (const ListPart& part : Lists())
        size += 2 + size_t(part.list->Count()) * part.list->LineSize();
    for (int p : kPlaneOrder)
        size += PatternPlane(p)->present ? 2 + PlaneCells(width, height) : 1;
    return size;
}

std::string Cut(const std::string& where)
{
    return "Datei endet " + where;
}

// The buffers of the program being replaced, which the snapshot's lines and
// rows go into: a large program is replaced without freeing and allocating
// (and clearing) all its memory again.
struct OldBuffers {
    std::array<T_ListenVar::TakenLines, 8> lines;
    std::array<std::vector<uint8_t>, 3> rows;
};

OldBuffers TakeOldBuffers()
{
    OldBuffers old;
    for (size_t l = 0; l < old.lines.size(); ++l)
        old.lines[l] = Lists()[l].list->TakeLines();
    for (int p = 0; p <= 2; ++p)
        old.rows[p].swap(PatternPlane(p)->rows);
    return old;
}

void TakePlane(T_Patrone& plane, const uint8_t* at, uint16_t width, uint16_t height, std::vector<uint8_t>& old)
{
    if (at[0] == 0) {
        plane.present = false;
        plane.second = false;
        plane.release();
        return;
    }
    plane.present = true;
    plane.second = at[1] != 0;
    // Every byte of every row is set below: old rows of about the size
    // needed are taken as they are, without clearing.
    const size_t size = (size_t(height) + 1) * kPatternStride;
    if (old.capacity() >= size && old.capacity() <= 2 * size)
        plane.rows.swap(old);
    plane.rows.resize(size);
    const uint8_t* cells = at + 2;
    for (size_t row = 0; row <= height; ++row) {
        uint8_t* to = plane.rows.data() + row * kPatternStride;
        std::memcpy(to, cells + row * width, width);
        std::memset(to + width, 0, kPatternStride - width);
    }
}

// Lines 1..count of the list from the file, whole.
void TakeList(T_ListenVar& list, const uint8_t* at, uint16_t count, T_ListenVar::TakenLines& old)
{
    const size_t size = list.LineSize();
    T_ListenVar::TakenLines lines;
    lines.count = count;
    lines.lines.resize(size_t(count) + 1);
    size_t next = 0;
    for (size_t i = 1; i <= count; ++i) {
        while (next < old.lines.size() && !old.lines[next])
            ++next;
        std::unique_ptr<uint8_t[]> line = next < old.lines.size() ? std::move(old.lines[next])
                                                                   : std::make_unique_for_overwrite<uint8_t[]>(size);
        std::memcpy(line.get(), at + (i - 1) * size, size);
        lines.lines[i] = std::move(line);
    }
    list.PutBackLines(std::move(lines));
    // The spare line 0 that every list with lines has.
    if (count > 0)
        list.InitLine(0);
}

// Replaces the program by the snapshot the layout describes.
void TakeSnapshot(const uint8_t* b, const RamCopyLayout& layout, OldBuffers& old)
{
    std::memcpy(ProgrammKopf.data(), b, T_ProgrammKopf::kSize);
    size_t pos = T_ProgrammKopf::kSize;
    for (size_t l = 0; l < old.lines.size(); ++l) {
        T_ListenVar& list = *Lists()[l].list;
        const uint16_t count = get_u16(b, pos);
        TakeList(list, b + pos + 2, count, old.lines[l]);
        pos += 2 + size_t(count) * list.LineSize();
    }
    std::memcpy(RuestSchema.data(), b + layout.setup, T_RuestSchema::kSize);

    const uint16_t width = ProgrammKopf.Width();
    const uint16_t height = ProgrammKopf.Height();
    for (int p = 0; p <= 2; ++p)
        TakePlane(*PatternPlane(p), b + layout.plane[p], width, height, old.rows[p]);
}

// The file's bytes, at most as many as the largest snapshot; a reason when
// the file cannot be read.
std::string ReadWhole(const std::string& path, std::unique_ptr<char[]>& data, size_t& size)
{
    bool error = false;
    P_DiskOpen(path, error, true);
    size = std::min<size_t>(F_DiskSize(error), LargestSnapshot());
    data.reset(new char[std::max<size_t>(size, 1)]);
    P_DiskReadBulk(data.get(), static_cast<uint32_t>(size), error);
    P_DiskClose();
    if (!error)
        return {};
    return "nicht lesbar: " + F_DiskErrorText(P_DiskLastError());
}

}  // namespace

std::string SerializeProgram()
{
    uint8_t* setup = RuestSchema.data();
    if (setup[T_RuestSchema::kLevel] == 0)
        setup[T_RuestSchema::kLevel] = 1;

    const uint16_t width = ProgrammKopf.Width();
    const uint16_t height = ProgrammKopf.Height();
    std::string out;
    out.reserve(SnapshotSize(width, height));
    AppendBytes(out, ProgrammKopf.data(), T_ProgrammKopf::kSize);
    for (const ListPart& part : Lists()) {
        const T_ListenVar& list = *part.list;
        AppendU16(out, list.Count());
        for (uint16_t i = 1; i <= list.Count(); ++i)
            AppendBytes(out, list.ExistingLine(i), list.LineSize());
    }
    AppendBytes(out, setup, T_RuestSchema::kSize);
    for (int p : kPlaneOrder) {
        const T_Patrone& plane = *PatternPlane(p);
        out += static_cast<char>(plane.present ? 1 : 0);
        if (!plane.present)
            continue;
        out += static_cast<char>(plane.second ? 1 : 0);
        AppendPlaneRows(out, plane, width, height);
    }
    return out;
}

std::string CheckRamCopy(std::string_view bytes, RamCopyLayout* layout)
{
    const auto* b = reinterpret_cast<const uint8_t*>(bytes.data());
    size_t pos = 0;
    // Whether n more bytes follow pos.
    auto there = [&](size_t n) { return bytes.size() - pos >= n; };

    if (!there(T_ProgrammKopf::kSize))
        return Cut("im Programmkopf");
    const uint16_t width = get_u16(b, 22);
    const uint16_t height = get_u16(b, 24);
    if (width > kPatternStride)
        return "Breite " + std::to_string(width) + " ueber " + std::to_string(kPatternStride);
    pos = T_ProgrammKopf::kSize;

    for (size_t l = 0; l < Lists().size(); ++l) {
        const std::string name = std::string("Liste ") + Lists()[l].letter;
        if (!there(2))
            return Cut("vor der Zeilenzahl der " + name);
        const uint16_t count = get_u16(b, pos);
        pos += 2;
        if (count > kMaxListLines)
            return name + ": " + std::to_string(count) + " Zeilen ueber " + std::to_string(kMaxListLines);
        const size_t size = size_t(count) * kLineSizes[l];
        if (!there(size))
            return Cut("in der " + name);
        pos += size;
    }

    RamCopyLayout found;
    found.setup = pos;
    if (!there(T_RuestSchema::kSize))
        return Cut("im Ruestschema");
    pos += T_RuestSchema::kSize;

    for (int p : kPlaneOrder) {
        const std::string name = "Patrone " + std::to_string(p);
        found.plane[p] = pos;
        if (!there(1))
            return Cut("vor der " + name);
        if (b[pos++] == 0)
            continue;
        if (!there(1 + PlaneCells(width, height)))
            return Cut("in der " + name);
        pos += 1 + PlaneCells(width, height);
    }
    found.end = pos;
    if (layout)
        *layout = found;
    return {};
}

bool DeserializeProgram(std::string_view bytes)
{
    RamCopyLayout layout;
    if (!CheckRamCopy(bytes, &layout).empty())
        return false;
    OldBuffers old = TakeOldBuffers();
    TakeSnapshot(reinterpret_cast<const uint8_t*>(bytes.data()), layout, old);
    return true;
}

bool WriteRamCopy(const std::string& path)
{
    const std::string bytes = SerializeProgram();
    bool error = false;
    P_DiskCreate(path, error, true);
    P_DiskWrite(bytes.data(), static_cast<uint32_t>(bytes.size()), error);
    const bool placed = P_DiskClose();
    if (!error && placed)
        return true;
    // The snapshot is what carries the program into the next run: losing
    // it unnoticed would lose the program.
    const int code = P_DiskLastError();
    DebugLog({"RAM-Kopie nicht geschrieben:", path, "Fehler", code});
    P_WarningBox(F_DiskErrorText(code));
    return false;
}

bool ReadRamCopy(const std::string& path, const std::function<void()>& emptyProgram)
{
    if (FindExisting(path).empty())
        return false;
    std::unique_ptr<char[]> data;
    size_t size = 0;
    std::string reason = ReadWhole(path, data, size);
    const std::string_view bytes(data.get(), size);
    RamCopyLayout layout;
    if (reason.empty())
        reason = CheckRamCopy(bytes, &layout);
    if (!reason.empty()) {
        // Read at every start: a damaged snapshot leaves the empty program
        // quietly and says why in the log only.
        DebugLog({"RAM-Kopie verworfen:", path, reason});
        return false;
    }
    OldBuffers old = TakeOldBuffers();
    if (emptyProgram)
        emptyProgram();
    else if (NewProgramModel())
        kernelHost().closeProgramWindows();
    TakeSnapshot(reinterpret_cast<const uint8_t*>(data.get()), layout, old);
    return true;
}
