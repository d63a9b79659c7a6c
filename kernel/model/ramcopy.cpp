#include "kernel/model/ramcopy.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <memory>
#include <vector>

#include "kernel/dispatch/kernel_host.h"
#include "kernel/model/bytes.h"
#include "kernel/model/globals.h"
#include "kernel/model/listmodel.h"
#include "kernel/model/newprogram.h"
#include "kernel/model/programmodel.h"
#include "kernel/model/snapshotsource.h"
#include "kernel/services/debuglog.h"
#include "kernel/services/services.h"
#include "kernel/services/stream.h"
#include "platform/paths.h"

namespace {

// The lists in the order the file holds them.
std::array<T_ListenVar*, 8> Lists()
{
    return {ZListe, NListe, WListe, SListe, VListe, FListe, PListe, AListe};
}
constexpr char kListLetters[] = "ZNWSVFPA";

constexpr std::array<int, 3> kPlaneOrder = {0, 2, 1};
constexpr uint16_t kMaxListLines = 20000;
constexpr size_t kLineSizes[] = {kZLineSize, kNLineSize, kWLineSize, kSLineSize,
                                 kVLineSize, kFLineSize, kPLineSize, kALineSize};

// Cells a present plane takes in the file: rows 0..height of width bytes.
size_t PlaneCells(uint16_t width, uint16_t height)
{
    return (size_t(height) + 1) * width;
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
    for (const T_ListenVar* list : Lists())
        size += 2 + size_t(list->Count()) * list->LineSize();
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
        old.lines[l] = Lists()[l]->TakeLines();
    for (int p = 0; p <= 2; ++p)
        old.rows[p].swap(PatternPlane(p)->rows);
    return old;
}

// Lines 1..count of the list, whole, into old line buffers where there are
// some. False when the source fails; the list is then left empty.
bool TakeLines(SnapshotSource& source, T_ListenVar& list, uint16_t count, T_ListenVar::TakenLines& old)
{
    const size_t size = list.LineSize();
    T_ListenVar::TakenLines lines;
    lines.count = count;
    lines.lines.resize(size_t(count) + 1);
    size_t next = 0;
    for (size_t i = 1; i <= count; ++i) {
        const uint8_t* bytes = source.Take(size);
        if (!bytes)
            return false;
        while (next < old.lines.size() && !old.lines[next])
            ++next;
        lines.lines[i] = next < old.lines.size() ? std::move(old.lines[next])
                                                  : std::make_unique_for_overwrite<uint8_t[]>(size);
        std::memcpy(lines.lines[i].get(), bytes, size);
    }
    list.PutBackLines(std::move(lines));
    // The spare line 0 that every list with lines has.
    if (count > 0)
        list.InitLine(0);
    return true;
}

// Rows 0..height of width cells into the plane's rows of 2000 cells, old
// rows of about that size taken as they are: every byte is set here.
bool TakeRows(SnapshotSource& source, T_Patrone& plane, uint16_t width, uint16_t height, std::vector<uint8_t>& old)
{
    const size_t size = (size_t(height) + 1) * kPatternStride;
    if (old.capacity() >= size && old.capacity() <= 2 * size)
        plane.rows.swap(old);
    plane.rows.resize(size);
    for (size_t row = 0; row <= height; ++row) {
        uint8_t* to = plane.rows.data() + row * kPatternStride;
        const uint8_t* cells = width > 0 ? source.Take(width) : to;
        if (!cells)
            return false;
        std::memmove(to, cells, width);
        std::memset(to + width, 0, kPatternStride - width);
    }
    return true;
}

bool Copy(SnapshotSource& source, uint8_t* to, size_t n)
{
    const uint8_t* bytes = source.Take(n);
    if (bytes)
        std::memcpy(to, bytes, n);
    return bytes != nullptr;
}

// Goes through a snapshot part by part. Without old buffers it only checks
// (empty when the snapshot is whole and the program can hold it, else why
// not); with them it takes the snapshot over into the program.
std::string WalkSnapshot(SnapshotSource& source, OldBuffers* take, RamCopyLayout* layout)
{
    const uint8_t* header = source.Take(T_ProgrammKopf::kSize);
    if (!header)
        return Cut("im Programmkopf");
    const uint16_t width = get_u16(header, 22);
    const uint16_t height = get_u16(header, 24);
    if (width > kPatternStride)
        return "Breite " + std::to_string(width) + " ueber " + std::to_string(kPatternStride);
    if (take)
        std::memcpy(ProgrammKopf.data(), header, T_ProgrammKopf::kSize);

    for (size_t l = 0; l < std::size(kLineSizes); ++l) {
        const std::string name = std::string("Liste ") + kListLetters[l];
        const uint8_t* at = source.Take(2);
        if (!at)
            return Cut("vor der Zeilenzahl der " + name);
        const uint16_t count = get_u16(at, 0);
        if (count > kMaxListLines)
            return name + ": " + std::to_string(count) + " Zeilen ueber " + std::to_string(kMaxListLines);
        if (take ? !TakeLines(source, *Lists()[l], count, take->lines[l]) : !source.Skip(count * kLineSizes[l]))
            return Cut("in der " + name);
    }

    RamCopyLayout found;
    found.setup = source.Position();
    if (!take ? !source.Skip(T_RuestSchema::kSize) : !Copy(source, RuestSchema.data(), T_RuestSchema::kSize))
        return Cut("im Ruestschema");

    for (int p : kPlaneOrder) {
        const std::string name = "Patrone " + std::to_string(p);
        T_Patrone& plane = *PatternPlane(p);
        found.plane[p] = source.Position();
        const uint8_t* present = source.Take(1);
        if (!present)
            return Cut("vor der " + name);
        if (*present == 0) {
            if (take) {
                plane.present = false;
                plane.second = false;
                plane.release();
            }
            continue;
        }
        const uint8_t* attribute = source.Take(1);
        if (!attribute)
            return Cut("in der " + name);
        if (!take) {
            if (!source.Skip(PlaneCells(width, height)))
                return Cut("in der " + name);
            continue;
        }
        plane.present = true;
        plane.second = *attribute != 0;
        if (!TakeRows(source, plane, width, height, take->rows[p]))
            return Cut("in der " + name);
    }
    found.end = source.Position();
    if (layout)
        *layout = found;
    return {};
}

// One pass over the file through the unit stream: the reason it failed.
std::string WalkFile(const std::string& path, OldBuffers* take)
{
    bool error = false;
    P_DiskOpen(path, error, true);
    std::string reason;
    {
        SnapshotSource source(F_DiskSize(error), take != nullptr);
        if (!error)
            reason = WalkSnapshot(source, take, nullptr);
        error = error || source.Failed();
    }
    P_DiskClose();
    if (error)
        return "nicht lesbar: " + F_DiskErrorText(P_DiskLastError());
    return reason;
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
    for (const T_ListenVar* list : Lists()) {
        AppendU16(out, list->Count());
        for (uint16_t i = 1; i <= list->Count(); ++i)
            AppendBytes(out, list->ExistingLine(i), list->LineSize());
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
    SnapshotSource source(bytes);
    return WalkSnapshot(source, nullptr, layout);
}

bool DeserializeProgram(std::string_view bytes)
{
    if (!CheckRamCopy(bytes).empty())
        return false;
    OldBuffers old = TakeOldBuffers();
    SnapshotSource source(bytes);
    WalkSnapshot(source, &old, nullptr);
    return true;
}

bool StoreRamCopy(const std::string& path, int& code)
{
    const std::string bytes = SerializeProgram();
    bool error = false;
    P_DiskCreate(path, error, true);
    P_DiskWrite(bytes.data(), static_cast<uint32_t>(bytes.size()), error);
    const bool placed = P_DiskClose();
    code = 0;
    if (!error && placed)
        return true;
    code = P_DiskLastError();
    DebugLog({"RAM-Kopie nicht geschrieben:", path, "Fehler", code});
    return false;
}

bool WriteRamCopy(const std::string& path)
{
    // The snapshot is what carries the program into the next run: losing
    // it unnoticed would lose the program.
    int code = 0;
    if (StoreRamCopy(path, code))
        return true;
    P_WarningBox(F_DiskErrorText(code));
    return false;
}

bool ReadRamCopy(const std::string& path, const std::function<void()>& emptyProgram)
{
    if (FindExisting(path).empty())
        return false;
    const auto empty = [&] {
        if (emptyProgram)
            emptyProgram();
        else if (NewProgramModel())
            kernelHost().closeProgramWindows();
    };
    // The whole file is checked before anything changes; the program is
    // replaced only by a snapshot found whole. A file that then fails to
    // read leaves the empty program, never half of one.
    std::string reason = WalkFile(path, nullptr);
    if (reason.empty()) {
        OldBuffers old = TakeOldBuffers();
        empty();
        reason = WalkFile(path, &old);
        if (!reason.empty())
            empty();
    }
    if (!reason.empty()) {
        // Read at every start: a damaged snapshot leaves the program quietly
        // and says why in the log only.
        DebugLog({"RAM-Kopie verworfen:", path, reason});
        return false;
    }
    return true;
}

std::string RamCopyPath()
{
    return TempPfad + (Arbeitsebene == 1 ? "Saveram.Tmp" : "Saveram2.Tmp");
}
