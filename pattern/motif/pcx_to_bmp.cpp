#include <algorithm>
#include <cerrno>
#include <cstring>

#include <unistd.h>

#include "kernel/model/bytes.h"
#include "pattern/motif/motif_exchange.h"
#include "pattern/motif/pcx_header.h"
#include "picture/core/bmp8_file.h"
#include "platform/paths.h"
#include "platform/stored_file.h"

namespace {

constexpr int32_t kMaxPlanes = 8;
constexpr int32_t kMaxPlaneBytes = 256;
// The largest picture the decoder keeps, every pixel a run of one (two
// bytes), with the header and the palette: a larger file is no motif.
constexpr uint64_t kMaxPcxBytes =
    128 + 2 * uint64_t(Bmp8::kMaxWidth + kMaxPlanes * kMaxPlaneBytes) * Bmp8::kMaxHeight + 769;

// Reads the file in blocks; a read past its end fails.
class ByteSource {
public:
    explicit ByteSource(const std::string& path) : fd_(OpenStoredFile(NormalizePath(path), kMaxPcxBytes)) {}
    ~ByteSource()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    ByteSource(const ByteSource&) = delete;
    ByteSource& operator=(const ByteSource&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    bool Next(uint8_t& b)
    {
        if (pos_ == end_ && !Refill())
            return false;
        b = buffer_[pos_++];
        return true;
    }
    bool Read(uint8_t* out, size_t n)
    {
        for (size_t i = 0; i < n; ++i)
            if (!Next(out[i]))
                return false;
        return true;
    }

private:
    bool Refill()
    {
        ssize_t n;
        do
            n = ::read(fd_, buffer_.data(), buffer_.size());
        while (n < 0 && errno == EINTR);
        end_ = n > 0 ? static_cast<size_t>(n) : 0;
        pos_ = 0;
        return end_ > 0;
    }

    int fd_ = -1;
    std::array<uint8_t, 65536> buffer_{};
    size_t pos_ = 0;
    size_t end_ = 0;
};

struct Decoding {
    int32_t width = 0;
    int32_t height = 0;
    int32_t planes = 1;
    int32_t bytesPerLine = 0;
    bool planar = false;
};

int32_t Stride(int32_t width)
{
    return (width + 3) & ~3;
}

// Why the header cannot be decoded into a picture we keep, or null.
const char* HeaderFault(const PcxHeader& h, Decoding& d)
{
    const uint8_t bits = h.bytes[PcxHeader::kBitsPerPixel];
    d.width = h.Width();
    d.height = h.Height();
    d.planes = h.bytes[PcxHeader::kPlanes];
    d.bytesPerLine = get_u16(h.bytes.data(), PcxHeader::kBytesPerLine);
    d.planar = bits == 1;
    if (d.width <= 0 || d.height <= 0)
        return "picture of zero size";
    if (d.width > Bmp8::kMaxWidth || d.height > Bmp8::kMaxHeight)
        return "picture too large";
    if (bits != 1 && bits != 8)
        return "neither 1 nor 8 bits a pixel";
    if (!d.planar) {
        if (d.planes != 1)
            return "8-bit picture not in one plane";
        if (d.bytesPerLine < 1 || d.bytesPerLine > Stride(d.width))
            return "bytes per line do not fit the width";
        return nullptr;
    }
    if (d.planes < 1 || d.planes > kMaxPlanes)
        return "planar picture not in 1 to 8 planes";
    if (d.bytesPerLine < 1 || d.bytesPerLine > kMaxPlaneBytes || d.bytesPerLine < (d.width + 7) / 8)
        return "bytes per line do not fit the width";
    return nullptr;
}

// Pixel value x of a planar scan line: bit x of every plane, plane p giving bit p.
void ComposePlanes(const std::vector<uint8_t>& scan, const Decoding& d, uint8_t* line)
{
    for (int32_t x = 0; x < d.width; ++x) {
        uint8_t v = 0;
        for (int32_t p = 0; p < d.planes; ++p) {
            const uint8_t byte = scan[static_cast<size_t>(p) * d.bytesPerLine + x / 8];
            v |= static_cast<uint8_t>(((byte >> (7 - x % 8)) & 1) << p);
        }
        line[x] = v;
    }
}

// Decodes the runs until every line is filled; a run past the last line is cut.
bool DecodeRuns(ByteSource& in, const Decoding& d, uint8_t defaultColour, Bmp8& p)
{
    const int32_t lineBytes = d.planar ? d.planes * d.bytesPerLine : d.bytesPerLine;
    std::vector<uint8_t> scan(static_cast<size_t>(lineBytes));
    int32_t line = 0;
    int32_t column = 0;
    while (line < d.height) {
        uint8_t b = 0;
        if (!in.Next(b))
            return false;
        int32_t count = 1;
        if (b > 0xC0) {
            count = b & 0x3F;
            if (!in.Next(b))
                return false;
        }
        if (!d.planar && b == 255)
            b = defaultColour;
        while (count > 0 && line < d.height) {
            const int32_t n = std::min(count, lineBytes - column);
            std::memset(scan.data() + column, b, static_cast<size_t>(n));
            column += n;
            count -= n;
            if (column < lineBytes)
                continue;
            if (d.planar)
                ComposePlanes(scan, d, p.Line(line));
            else
                std::copy_n(scan.data(), std::min(d.width, d.bytesPerLine), p.Line(line));
            column = 0;
            ++line;
        }
    }
    return true;
}

bool ReadPalette(ByteSource& in, const PcxHeader& h, bool planar, Bmp8& p)
{
    if (planar) {
        p.colours.fill(0xffffffffu);
        for (size_t i = 0; i < 16; ++i) {
            const uint8_t* rgb = h.bytes.data() + PcxHeader::kSixteenColours + 3 * i;
            p.colours[i] = 0xff000000u | (uint32_t{rgb[0]} << 16) | (uint32_t{rgb[1]} << 8) | rgb[2];
        }
        return true;
    }
    uint8_t marker = 0;
    std::array<uint8_t, PcxHeader::kPaletteBytes> rgb{};
    if (!in.Next(marker) || marker != PcxHeader::kPaletteMarker || !in.Read(rgb.data(), rgb.size()))
        return false;
    for (size_t i = 0; i < 256; ++i)
        p.colours[i] = 0xff000000u | (uint32_t{rgb[3 * i]} << 16) | (uint32_t{rgb[3 * i + 1]} << 8) | rgb[3 * i + 2];
    return true;
}

ExchangeResult Failed(ExchangeResult r, ExchangeFault fault, const std::string& error)
{
    r.fault = fault;
    r.error = error;
    return r;
}

}  // namespace

ExchangeResult PcxToBmp(const std::string& pcxPath, const std::string& bmpPath, uint8_t defaultColour)
{
    ExchangeResult result;
    ByteSource in(pcxPath);
    if (!in.IsOpen())
        return Failed(result, ExchangeFault::Input, pcxPath + ": cannot be opened");
    PcxHeader header;
    if (!in.Read(header.bytes.data(), header.bytes.size()))
        return Failed(result, ExchangeFault::Input, pcxPath + ": no PCX header");
    Decoding d;
    const char* fault = HeaderFault(header, d);
    result.width = d.width;
    result.height = d.height;
    if (fault)
        return Failed(result, ExchangeFault::Input, pcxPath + ": " + fault);
    Bmp8 picture;
    picture.width = d.width;
    picture.height = d.height;
    picture.xPixelsPerMetre = get_u16(header.bytes.data(), PcxHeader::kXResolution);
    picture.yPixelsPerMetre = get_u16(header.bytes.data(), PcxHeader::kYResolution);
    picture.pixels.assign(static_cast<size_t>(d.width) * static_cast<size_t>(d.height), 0);
    if (!DecodeRuns(in, d, defaultColour, picture))
        return Failed(result, ExchangeFault::Input, pcxPath + ": file ends before its pixels do");
    if (!ReadPalette(in, header, d.planar, picture))
        return Failed(result, ExchangeFault::Input, pcxPath + ": no palette after the pixels");
    const std::string written = WriteBmp8(bmpPath, picture);
    if (!written.empty())
        return Failed(result, ExchangeFault::Output, written);
    return result;
}
