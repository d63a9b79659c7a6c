#include "kernel/pattern/tiffpattern.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <vector>

#include <unistd.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "kernel/dispatch/kernel_host.h"
#include "kernel/language/language.h"
#include "kernel/model/bytes.h"
#include "kernel/model/globals.h"
#include "kernel/model/programmodel.h"
#include "kernel/pattern/lzwcodec.h"
#include "kernel/services/services.h"
#include "kernel/services/stream.h"
#include "platform/paths.h"
#include "platform/safe_file.h"
#include "platform/stored_file.h"

namespace {

constexpr uint32_t kHeaderSize = 158;  // header, 12 entries, zero link
constexpr size_t kStripRawLimit = 8192;
constexpr size_t kColorMapSize = 1536;
constexpr uint32_t kMaxWidth = 2000;
constexpr uint32_t kMaxHeight = 65535;

constexpr uint16_t kShort = 3;
constexpr uint16_t kLong = 4;
constexpr uint16_t kRational = 5;

// A decoded row into the plane. A big plane does not stay in the caches:
// its rows go straight to memory, without reading each line before it is
// written. (Plane rows start 16-byte aligned: the stride is a multiple.)
static_assert(kPatternStride % 16 == 0);
constexpr size_t kStreamedPlane = size_t(4) << 20;

// Waits, on leaving, until the streamed rows stand in memory.
class StreamedRows {
public:
    explicit StreamedRows(bool on) : on_(on) {}
    StreamedRows(const StreamedRows&) = delete;
    StreamedRows& operator=(const StreamedRows&) = delete;
    ~StreamedRows()
    {
#if defined(__SSE2__)
        if (on_)
            _mm_sfence();
#endif
    }
    bool on() const { return on_; }

private:
    bool on_;
};

inline void CopyRow(uint8_t* dst, const uint8_t* src, size_t count, bool streamed)
{
#if defined(__SSE2__)
    if (streamed && reinterpret_cast<uintptr_t>(dst) % 16 == 0) {
        size_t i = 0;
        for (; i + 16 <= count; i += 16)
            _mm_stream_si128(reinterpret_cast<__m128i*>(dst + i),
                             _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i)));
        std::memcpy(dst + i, src + i, count - i);
        return;
    }
#endif
    std::memcpy(dst, src, count);
}

struct Rgb {
    uint8_t index, r, g, b;
};

// The palette every pattern file carries; unlisted entries are black.
constexpr Rgb kPalette[] = {
    {1, 0, 0, 255},       {2, 255, 0, 0},       {3, 255, 0, 255},     {4, 0, 255, 0},
    {5, 0, 255, 255},     {6, 255, 255, 0},     {7, 255, 255, 255},   {8, 119, 0, 0},
    {9, 119, 119, 119},   {10, 204, 119, 0},    {11, 153, 0, 153},    {12, 0, 187, 255},
    {13, 136, 136, 0},    {14, 255, 126, 150},  {15, 0, 187, 0},      {16, 160, 80, 0},
    {17, 255, 180, 0},    {18, 160, 80, 140},   {19, 60, 0, 128},     {20, 0, 140, 0},
    {21, 0, 100, 0},      {22, 0, 60, 0},       {23, 80, 0, 80},      {24, 187, 0, 0},
    {25, 182, 182, 0},    {26, 61, 61, 61},     {27, 170, 170, 170},  {28, 0, 128, 128},
    {29, 0, 160, 160},    {30, 210, 50, 150},   {31, 190, 120, 120},  {210, 73, 73, 255},
    {211, 68, 255, 255},  {212, 175, 255, 175}, {213, 255, 195, 255}, {214, 255, 0, 255},
    {215, 255, 0, 255},   {216, 195, 255, 0},   {217, 95, 175, 0},    {218, 0, 75, 255},
    {219, 95, 175, 255},  {220, 255, 68, 255},  {222, 255, 0, 255},   {223, 255, 68, 0},
    {224, 255, 255, 0},   {225, 51, 0, 255},    {226, 255, 0, 0},     {227, 255, 255, 255},
    {229, 0, 0, 255},     {230, 255, 0, 0},     {231, 255, 0, 255},   {232, 0, 255, 0},
    {233, 0, 255, 255},   {234, 255, 255, 0},   {235, 255, 255, 255},
};

std::array<uint8_t, kColorMapSize> ColorMap()
{
    std::array<uint8_t, kColorMapSize> map{};
    for (const Rgb& c : kPalette) {
        put_u16(map.data(), 2 * c.index, static_cast<uint16_t>(c.r * 256));
        put_u16(map.data(), 512 + 2 * c.index, static_cast<uint16_t>(c.g * 256));
        put_u16(map.data(), 1024 + 2 * c.index, static_cast<uint16_t>(c.b * 256));
    }
    return map;
}

std::vector<std::string> InfoLabels()
{
    return {F_TRANS("Dateiname"), F_TRANS("Breite"), F_TRANS("Höhe"), F_TRANS("Zeile")};
}

void PutEntry(uint8_t* p, uint16_t tag, uint16_t type, uint32_t count, uint32_t value)
{
    put_u16(p, 0, tag);
    put_u16(p, 2, type);
    put_u32(p, 4, count);
    put_u32(p, 8, value);
}

// ---------------------------------------------------------------------------
// Writing

std::string DiskFailure(const SafeFileWriter& file)
{
    if (file.diskFull())
        return F_TRANS("Diskette ist voll!");
    // A pattern file the user made read-only (or a folder closed to
    // writing) is refused as such, by name: the other files of the program
    // may well be writable.
    if (const int code = DiskErrorCode(file.error()); code == 5)
        return DiskErrorTextFor(file.destination(), code);
    return F_TRANS("Unbekannter Fehler am Laufwerk!");
}

// Writes the plane to file's temporary file and finishes it; putting it in
// place is the caller's.
class TiffWriter {
public:
    TiffWriter(bool compress, const std::string& fileName, int plane, SafeFileWriter& file)
        : compress_(compress), fileName_(fileName), plane_(plane), file_(file)
    {
    }

    // Empty on success, else the message to show.
    std::string Run();

private:
    std::string DiskFailure() const { return ::DiskFailure(file_); }

    bool compress_;
    std::string fileName_;
    int plane_;
    SafeFileWriter& file_;
};

std::string TiffWriter::Run()
{
    KernelHost& host = kernelHost();
    const uint32_t width = ProgrammKopf.Width();
    const uint32_t height = ProgrammKopf.Height();
    host.infoLine(1, fileName_);
    host.infoLine(2, std::to_string(width));
    host.infoLine(3, std::to_string(height));
    // An empty plane would give a file without a strip, which nobody reads.
    if (width == 0 || height == 0)
        return F_TRANS("Die Patrone ist leer!");
    if (width > kMaxWidth)
        return F_TRANS("Die Patrone ist zu groß!");
    if (!PatternPlane(plane_))
        return F_TRANS("Unbekannter Fehler am Laufwerk!");
    if (!file_.Create(fileName_))
        return DiskFailure();

    // Whole rows, at most 8192 raw bytes a strip. Each strip is compressed
    // once and written straight to its place: its offset follows from the
    // strips before it.
    const uint32_t rowsPerStrip = std::min<uint32_t>(kStripRawLimit / width, height);
    const uint32_t strips = (height + rowsPerStrip - 1) / rowsPerStrip;
    std::vector<uint32_t> offsets(strips), counts(strips);
    std::vector<uint8_t> strip;
    uint32_t position = kHeaderSize;
    uint32_t row = height;
    for (uint32_t s = 0; s < strips; ++s) {
        const uint32_t rows = std::min(rowsPerStrip, row);
        strip.resize(size_t(rows) * width);
        for (uint32_t r = 0; r < rows; ++r, --row) {
            host.infoLine(4, std::to_string(row));
            P_ReadPatroneRow(static_cast<uint16_t>(row), strip.data() + size_t(r) * width,
                             static_cast<uint16_t>(width), static_cast<uint8_t>(plane_));
        }
        if (compress_)
            LzwCompress(strip);
        offsets[s] = position;
        counts[s] = static_cast<uint32_t>(strip.size());
        if (!file_.WriteAt(position, strip.data(), strip.size()))
            return DiskFailure();
        position += counts[s];
    }

    std::vector<uint8_t> tail;
    uint32_t offsetsAt = offsets[0];
    uint32_t countsAt = counts[0];
    if (strips > 1) {
        offsetsAt = position;
        countsAt = position + 4 * strips;
        tail.resize(size_t(8) * strips);
        for (uint32_t s = 0; s < strips; ++s) {
            put_u32(tail.data(), 4 * s, offsets[s]);
            put_u32(tail.data(), 4 * (strips + s), counts[s]);
        }
    }
    const uint32_t colorMapAt = position + static_cast<uint32_t>(tail.size());
    const auto map = ColorMap();
    tail.insert(tail.end(), map.begin(), map.end());

    uint8_t header[kHeaderSize] = {'I', 'I'};
    put_u16(header, 2, 42);
    put_u32(header, 4, 8);
    put_u16(header, 8, 12);
    uint8_t* e = header + 10;
    PutEntry(e + 0, 254, kLong, 1, 0);
    PutEntry(e + 12, 256, kLong, 1, width);
    PutEntry(e + 24, 257, kLong, 1, height);
    PutEntry(e + 36, 258, kShort, 1, 8);
    PutEntry(e + 48, 259, kShort, 1, compress_ ? 5 : 1);
    PutEntry(e + 60, 262, kShort, 1, 3);
    PutEntry(e + 72, 273, kLong, strips, offsetsAt);
    PutEntry(e + 84, 277, kShort, 1, 1);
    PutEntry(e + 96, 278, kLong, 1, rowsPerStrip);
    PutEntry(e + 108, 279, kLong, strips, countsAt);
    PutEntry(e + 120, 284, kShort, 1, 1);
    PutEntry(e + 132, 320, kShort, 768, colorMapAt);
    put_u32(header, 154, 0);

    if (!file_.WriteAt(0, header, sizeof header) || !file_.WriteAt(position, tail.data(), tail.size())
        || !file_.Finish())
        return DiskFailure();
    return {};
}

// ---------------------------------------------------------------------------
// Reading

class TiffReader {
public:
    TiffReader(const std::string& fileName, int plane) : fileName_(fileName), plane_(plane) {}
    ~TiffReader()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }

    // False on failure (message() says why) or abort (aborted()).
    bool Run();
    const std::string& message() const { return message_; }
    bool aborted() const { return aborted_; }

private:
    bool Fail(const std::string& text)
    {
        if (!failed_) {
            failed_ = true;
            message_ = text;
        }
        return false;
    }
    // Fails with the message as it stands (at first the disk handling one).
    bool Fail() { return Fail(message_); }
    bool ReadAt(uint64_t offset, void* buffer, size_t count);
    const uint8_t* View(uint64_t offset, size_t count);
    bool Pread(uint64_t offset, uint8_t* dst, size_t count);
    bool Open();
    bool ReadDirectory();
    bool TakeEntry(const uint8_t* entry);
    bool TakeList(const uint8_t* entry, std::vector<uint32_t>& list);
    bool CheckTags();
    bool SizePlane();
    bool ReadStrips();
    void ClearUnread();

    std::string fileName_;
    int plane_;
    static constexpr size_t kWindowSize = size_t(1) << 20;
    int fd_ = -1;
    uint64_t fileSize_ = 0;
    std::vector<uint8_t> window_;
    uint64_t windowAt_ = 0;
    bool failed_ = false;
    bool aborted_ = false;
    bool sized_ = false;      // the plane has its rows
    bool reused_ = false;     // ... and they are the old ones, not yet cleared
    uint32_t nextRow_ = 0;    // the next row a strip fills, counting down
    std::string message_;

    bool fullImage_ = true;
    uint32_t width_ = 0;
    uint32_t height_ = 0;
    uint32_t bitsPerSample_ = 0;
    uint32_t compression_ = 1;
    uint32_t photometric_ = 0;
    uint32_t samplesPerPixel_ = 1;
    uint32_t rowsPerStrip_ = 0;
    std::vector<uint32_t> stripOffsets_;
    std::vector<uint32_t> stripByteCounts_;
    uint32_t xResolution_[2] = {0, 0};
    uint32_t yResolution_[2] = {0, 0};
    uint32_t planar_ = 1;
    uint32_t resolutionUnit_ = 0;
    uint32_t predictor_ = 1;
    std::array<uint8_t, kColorMapSize> colorMap_{};
};

bool TiffReader::Pread(uint64_t offset, uint8_t* dst, size_t count)
{
    size_t done = 0;
    while (done < count) {
        const ssize_t n = ::pread(fd_, dst + done, count - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

// Strips follow one another: reading through a window of the file saves a
// system call per strip, and a strip is decoded where it stands.
const uint8_t* TiffReader::View(uint64_t offset, size_t count)
{
    static const uint8_t kNothing = 0;
    if (offset > fileSize_ || count > fileSize_ - offset)
        return nullptr;
    if (count == 0)
        return &kNothing;
    if (offset >= windowAt_ && offset + count <= windowAt_ + window_.size())
        return window_.data() + (offset - windowAt_);
    window_.resize(static_cast<size_t>(std::min<uint64_t>(std::max(kWindowSize, count), fileSize_ - offset)));
    windowAt_ = offset;
    if (!Pread(offset, window_.data(), window_.size())) {
        window_.clear();
        return nullptr;
    }
    return window_.data();
}

bool TiffReader::ReadAt(uint64_t offset, void* buffer, size_t count)
{
    const uint8_t* bytes = View(offset, count);
    if (!bytes)
        return false;
    std::memcpy(buffer, bytes, count);
    return true;
}

bool TiffReader::Open()
{
    const std::string path = FindExisting(fileName_);
    if (path.empty())
        return Fail();
    // Offsets in the file are 32 bits wide: what lies beyond is unreachable.
    fd_ = OpenStoredFile(path, UINT32_MAX, &fileSize_);
    return fd_ >= 0 || Fail();
}

bool TiffReader::ReadDirectory()
{
    uint8_t header[8];
    if (!ReadAt(0, header, sizeof header))
        return Fail();
    if (header[0] != 'I' || header[1] != 'I')
        return Fail(F_TRANS("Kein Intelformat !"));
    // 42 is not checked: files that only get it wrong have always loaded.
    const uint32_t directory = get_u32(header, 4);
    if (directory == 0)
        return Fail();
    uint8_t countBytes[2];
    if (!ReadAt(directory, countBytes, 2))
        return Fail();
    const uint16_t count = get_u16(countBytes, 0);
    // Only the first directory counts; its link is not followed.
    std::vector<uint8_t> entries(size_t(count) * 12 + 4);
    if (!ReadAt(uint64_t(directory) + 2, entries.data(), entries.size()))
        return Fail();
    for (uint16_t i = 0; i < count; ++i)
        if (!TakeEntry(entries.data() + size_t(i) * 12))
            return false;
    return true;
}

// Offsets and byte counts: SHORT or LONG values, in the value field when
// they fit there (the TIFF rule; one value always does), else at its offset.
bool TiffReader::TakeList(const uint8_t* entry, std::vector<uint32_t>& list)
{
    const uint16_t type = get_u16(entry, 2);
    const uint32_t count = get_u32(entry, 4);
    const size_t size = type == kShort ? 2 : 4;
    // Bounded by the file before anything is allocated.
    if (count > fileSize_ / size)
        return Fail();
    std::vector<uint8_t> raw;
    const uint8_t* values = entry + 8;
    if (size_t(count) * size > 4) {
        raw.resize(size_t(count) * size);
        if (!ReadAt(get_u32(entry, 8), raw.data(), raw.size()))
            return Fail();
        values = raw.data();
    }
    list.resize(count);
    for (uint32_t i = 0; i < count; ++i)
        list[i] = size == 2 ? get_u16(values, 2 * i) : get_u32(values, 4 * i);
    return true;
}

bool TiffReader::TakeEntry(const uint8_t* entry)
{
    const uint16_t tag = get_u16(entry, 0);
    const uint16_t type = get_u16(entry, 2);
    const uint32_t count = get_u32(entry, 4);
    const uint32_t value = get_u32(entry, 8);
    const uint32_t shortValue = get_u16(entry, 8);

    auto typeFail = [&](const char* name) {
        return Fail(F_TRANS("unbekanntes Tif-Format (") + name + F_TRANS(" DatenTyp)"));
    };
    auto countFail = [&](const char* name) {
        return Fail(F_TRANS("unbekanntes Tif-Format (") + name + F_TRANS(" AnzDaten)"));
    };
    // One value of one of the allowed types.
    auto single = [&](const char* name, bool shortOk, bool longOk, uint32_t& target) {
        if (!((shortOk && type == kShort) || (longOk && type == kLong)))
            return typeFail(name);
        if (count != 1)
            return countFail(name);
        target = type == kShort ? shortValue : value;
        return true;
    };
    auto rational = [&](const char* name, uint32_t* target) {
        if (type != kRational)
            return typeFail(name);
        if (count != 1)
            return countFail(name);
        uint8_t raw[8];
        if (!ReadAt(value, raw, sizeof raw))
            return Fail();
        target[0] = get_u32(raw, 0);
        target[1] = get_u32(raw, 4);
        return true;
    };

    uint32_t v = 0;
    switch (tag) {
    case 254:
        if (!single("NewSubFileType", false, true, v))
            return false;
        fullImage_ = (v & 1) == 0;
        return true;
    case 255:
        if (!single("OldSubFileType", true, false, v))
            return false;
        fullImage_ = v != 0;
        return true;
    case 256: return single("ImageWidth", true, true, width_);
    case 257: return single("ImageLength", true, true, height_);
    case 258: return single("BitsPerSamples", true, false, bitsPerSample_);
    case 259: return single("Compression", true, false, compression_);
    case 262: return single("PhotometricInterpretation", true, false, photometric_);
    case 273:
        if (type != kShort && type != kLong)
            return Fail(F_TRANS("Unbekanntes Tif-Format (StripOffsets DatenTyp)"));
        return TakeList(entry, stripOffsets_);
    case 277: return single("SamplesPerPixel", true, false, samplesPerPixel_);
    case 278: return single("RowsPerStrip", true, true, rowsPerStrip_);
    case 279:
        if (type != kShort && type != kLong)
            return typeFail("StripByteCounts");
        return TakeList(entry, stripByteCounts_);
    case 282: return rational("XResolution", xResolution_);
    case 283: return rational("YResolution", yResolution_);
    case 284: return single("PlanarConfiguration", true, false, planar_);
    case 296: return single("ResolutionUnit", true, false, resolutionUnit_);
    case 317: return single("Predictor", true, false, predictor_);
    case 320:
        if (type != kShort)
            return typeFail("ColorMap");
        if (count != 768)
            return countFail("ColorMap");
        if (!ReadAt(value, colorMap_.data(), colorMap_.size()))
            return Fail();
        return true;
    default:
        return true;
    }
}

bool TiffReader::CheckTags()
{
    if (!fullImage_)
        return Fail(F_TRANS("Es handelt sich um keine Vollbild-Auflösung"));
    if (width_ == 0)
        return Fail(F_TRANS("Tag-Bildbreite fehlt"));
    if (height_ == 0)
        return Fail(F_TRANS("Tag-Bildhöhe fehlt"));
    if (stripOffsets_.empty())
        return Fail(F_TRANS("Tag-StripsOffset fehlt"));
    if (rowsPerStrip_ == 0)
        return Fail(F_TRANS("Tag-RowsPerStrips fehlt"));
    if (stripByteCounts_.empty())
        return Fail(F_TRANS("Tag-StripsByteCount fehlt"));
    if (stripOffsets_.size() != stripByteCounts_.size())
        return Fail(F_TRANS("Tag-StripsOffset und -StripsByteCount sind ungleich"));
    if (compression_ != 1 && compression_ != 5)
        return Fail(F_TRANS("Tag-Compression(") + std::to_string(compression_) + F_TRANS(") nicht möglich "));
    if (photometric_ != 0 && photometric_ != 1 && photometric_ != 3)
        return Fail(F_TRANS("Tag-BildTyp(") + std::to_string(photometric_) + F_TRANS(") nicht lesbar"));
    if (bitsPerSample_ == 0)
        return Fail(F_TRANS("Tag-BitsPerSample fehlt"));
    // Differenced samples would load as garbage.
    if (predictor_ != 1)
        return Fail(F_TRANS("Tag-Predictor(") + std::to_string(predictor_) + F_TRANS(") nicht möglich"));
    if (samplesPerPixel_ != 1 && samplesPerPixel_ != 3)
        return Fail(F_TRANS("Tag-SamplesPerPixel(") + std::to_string(samplesPerPixel_) + F_TRANS(") nicht möglich"));
    return true;
}

bool TiffReader::SizePlane()
{
    KernelHost& host = kernelHost();
    host.infoLine(2, std::to_string(width_));
    host.infoLine(3, std::to_string(height_));
    // A pattern row holds 2000 cells and the header keeps the height in 16 bits.
    if (width_ > kMaxWidth || height_ > kMaxHeight)
        return Fail(F_TRANS("Die Patrone ist zu groß!"));
    T_Patrone* plane = PatternPlane(plane_);
    if (!plane)
        return Fail();
    const uint16_t oldWidth = ProgrammKopf.Width();
    const uint16_t oldHeight = ProgrammKopf.Height();
    if ((oldWidth != 0 && oldWidth != width_) || (oldHeight != 0 && oldHeight != height_))
        return Fail(F_TRANS("Die Patronen haben nicht die gleiche Größe!"));
    ProgrammKopf.SetWidth(static_cast<uint16_t>(width_));
    ProgrammKopf.SetHeight(static_cast<uint16_t>(height_));
    // Rows of the same count are reused and cleared after reading where no
    // strip filled them: clearing all first would cost as much as a read.
    reused_ = plane->rows.size() == (size_t(height_) + 1) * kPatternStride;
    if (!reused_)
        plane->allocate(static_cast<uint16_t>(height_));
    sized_ = true;
    nextRow_ = height_;
    return true;
}

bool TiffReader::ReadStrips()
{
    // Only one byte a cell fits a pattern plane.
    if (samplesPerPixel_ == 1 && bitsPerSample_ < 8)
        return Fail(F_TRANS("SmaplesPerPixel=1 u. BitsPerSample<8"));
    if (samplesPerPixel_ == 1 && bitsPerSample_ > 8)
        return Fail(F_TRANS("SmaplesPerPixel=1 u. BitsPerSample>8"));
    if (samplesPerPixel_ == 3 && bitsPerSample_ == 8)
        return Fail(F_TRANS("SmaplesPerPixel=3 u. BitsPerSample=8"));
    if (samplesPerPixel_ == 3 && bitsPerSample_ < 8)
        return Fail(F_TRANS("SmaplesPerPixel=3 u. BitsPerSample<8"));
    if (samplesPerPixel_ == 3)
        return Fail(F_TRANS("SmaplesPerPixel=3 u. BitsPerSample>8"));

    KernelHost& host = kernelHost();
    T_Patrone& plane = *PatternPlane(plane_);
    const size_t bytesPerRow = width_;
    const StreamedRows streamed(plane.rows.size() >= kStreamedPlane);
    uint32_t& row = nextRow_;
    // Strips after row 1 are not read.
    for (size_t s = 0; s < stripOffsets_.size() && row >= 1; ++s) {
        // A strip holds as many rows as its bytes make, whatever
        // RowsPerStrip says; more than the plane has left are not taken.
        const size_t room = size_t(row) * bytesPerRow;
        const uint64_t offset = stripOffsets_[s];
        const uint64_t count = stripByteCounts_[s];
        if (offset > fileSize_ || count > fileSize_ - offset)
            return Fail();
        const uint8_t* cells = nullptr;
        size_t size = 0;
        if (compression_ == 5) {
            const uint8_t* codes = View(offset, count);
            if (!codes)
                return Fail();
            const LzwDecoded decoded = LzwDecodeStrip(codes, count, room);
            if (decoded.status == LzwStatus::Corrupt)
                return Fail(F_TRANS("Tif-Daten fehlerhaft"));
            cells = decoded.data;
            size = decoded.size;
        } else {
            size = static_cast<size_t>(std::min<uint64_t>(count, room));
            cells = View(offset, size);
            if (!cells)
                return Fail();
        }
        const size_t rows = size / bytesPerRow;
        for (size_t r = 0; r < rows; ++r, --row) {
            host.infoLine(4, std::to_string(row));
            CopyRow(plane.rows.data() + size_t(row) * kPatternStride, cells + r * bytesPerRow, bytesPerRow, streamed.on());
        }
        // Esc is looked at after every strip, the last one too.
        if (host.infoAbortRequested()) {
            aborted_ = true;
            return false;
        }
    }
    if (row >= 1)
        return Fail(F_TRANS("Tif-Daten fehlerhaft"));
    return true;
}

// Reused rows that no strip filled become empty, as fresh ones would be:
// the rows below the last one read, row 0, and each row behind its width.
void TiffReader::ClearUnread()
{
    if (!sized_ || !reused_)
        return;
    uint8_t* rows = PatternPlane(plane_)->rows.data();
    std::memset(rows, 0, (size_t(nextRow_) + 1) * kPatternStride);
    if (width_ < kPatternStride)
        for (size_t r = size_t(nextRow_) + 1; r <= height_; ++r)
            std::memset(rows + r * kPatternStride + width_, 0, kPatternStride - width_);
}

bool TiffReader::Run()
{
    message_ = F_TRANS("Fehler beim Diskhandling");
    kernelHost().infoLine(1, fileName_);
    const bool ok = Open() && ReadDirectory() && CheckTags() && SizePlane() && ReadStrips();
    ClearUnread();
    return ok;
}

}  // namespace

bool WriteTiffPattern(bool compress, const std::string& fileName, int plane, bool quiet, bool patternOnly)
{
    KernelHost& host = kernelHost();
    host.infoShow(F_TRANS("Patrone schreiben"), InfoLabels());
    SafeFileWriter file;
    std::string failure = TiffWriter(compress, fileName, plane, file).Run();
    if (failure.empty() && !file.Commit())
        failure = DiskFailure(file);
    if (!failure.empty())
        P_WarningBox(failure);
    else if (!quiet)
        host.messageDlg(patternOnly ? F_TRANS("Patrone erfolgreich gesichert")
                                    : F_TRANS("Listen und Patrone erfolgreich gesichert"),
                        MsgKind::Information, {MsgButton::OK});
    host.infoHide();
    return failure.empty();
}

std::string StageTiffPattern(SafeFileWriter& file, const std::string& fileName, int plane)
{
    KernelHost& host = kernelHost();
    host.infoShow(F_TRANS("Patrone schreiben"), InfoLabels());
    const std::string failure = TiffWriter(true, fileName, plane, file).Run();
    host.infoHide();
    return failure;
}

std::string ReadTiffPatternFor(const std::string& fileName, bool patternOnly, int plane, bool& aborted)
{
    KernelHost& host = kernelHost();
    host.infoShow(F_TRANS("Patrone laden"), InfoLabels());
    bool ok = false;
    std::string message;
    {
        TiffReader reader(fileName, plane);
        ok = reader.Run();
        aborted = reader.aborted();
        message = reader.message();
    }
    if (ok) {
        T_Patrone* p = PatternPlane(plane);
        p->present = true;
        p->second = true;
        if (!Fernsteuerung)
            host.messageDlg(patternOnly ? F_TRANS("Patrone erfolgreich geladen")
                                        : F_TRANS("Listen und Patrone erfolgreich geladen"),
                            MsgKind::Information, {MsgButton::OK});
    }
    host.infoHide();
    if (ok || aborted)
        return std::string();
    return message.empty() ? F_TRANS("Fehler beim Diskhandling") : message;
}

bool ReadTiffPattern(const std::string& fileName, bool patternOnly, int plane)
{
    bool aborted = false;
    const std::string failure = ReadTiffPatternFor(fileName, patternOnly, plane, aborted);
    if (!failure.empty())
        P_WarningBox(failure);
    return failure.empty() && !aborted;
}
