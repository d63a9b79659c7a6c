#include "kernel/pattern/blpattern.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <vector>

#include <unistd.h>

#include "kernel/dispatch/kernel_host.h"
#include "kernel/language/language.h"
#include "kernel/model/programmodel.h"
#include "kernel/services/services.h"
#include "kernel/services/stream.h"
#include "platform/paths.h"
#include "platform/stored_file.h"

namespace {

constexpr uint16_t kMaxWidth = 2000;
// The largest layer the header can describe: 32767 rows, each at most a
// stored length of 65535 bytes and the next row's length word.
constexpr uint64_t kMaxLayerBytes = 6 + uint64_t{32767} * (65535 + 2);

// Reads the file through a 1024-byte buffer; never past the file's end.
class BlockReader {
public:
    explicit BlockReader(int fd) : fd_(fd) {}
    ~BlockReader() { ::close(fd_); }
    BlockReader(const BlockReader&) = delete;
    BlockReader& operator=(const BlockReader&) = delete;

    // Up to count bytes; fewer only at the end of the file.
    size_t Read(uint8_t* out, size_t count)
    {
        size_t done = 0;
        while (done < count) {
            if (pos_ == filled_ && !Refill())
                break;
            const size_t n = std::min(count - done, filled_ - pos_);
            std::memcpy(out + done, block_ + pos_, n);
            pos_ += n;
            done += n;
        }
        return done;
    }
    bool Word(uint16_t& value)
    {
        uint8_t b[2];
        if (Read(b, 2) != 2)
            return false;
        value = static_cast<uint16_t>(b[0] | (b[1] << 8));
        return true;
    }

private:
    bool Refill()
    {
        ssize_t n;
        do
            n = ::read(fd_, block_, sizeof block_);
        while (n < 0 && errno == EINTR);
        pos_ = 0;
        filled_ = n > 0 ? static_cast<size_t>(n) : 0;
        return filled_ > 0;
    }

    int fd_;
    uint8_t block_[1024];
    size_t pos_ = 0;
    size_t filled_ = 0;
};

class BlLayer {
public:
    explicit BlLayer(int fd) : in_(fd) {}

    bool ReadHeader()
    {
        uint16_t h, w;
        if (!in_.Word(h) || !in_.Word(w))
            return false;
        keepColours_ = (h & 0x8000) != 0;
        height_ = h & 0x7FFF;
        coded_ = (w & 0x8000) != 0;
        width_ = w & 0x7FFF;
        haveLength_ = coded_ ? in_.Word(nextLength_) : true;
        return !coded_ || haveLength_ || height_ == 0;
    }

    // The next row into row (width bytes, a short row zero-filled). False
    // when the file ends before the row is complete.
    bool ReadRow(uint8_t* row)
    {
        std::memset(row, 0, width_);
        if (!coded_) {
            if (in_.Read(row, width_) != width_)
                return false;
        } else {
            if (!haveLength_)
                return false;
            code_.resize(nextLength_);
            if (in_.Read(code_.data(), code_.size()) != code_.size())
                return false;
            Decode(row);
            // The length after the last row is never used: a file may end
            // without it. Without it any other row is missing.
            haveLength_ = in_.Word(nextLength_);
        }
        if (!keepColours_)
            for (uint16_t i = 0; i < width_; ++i)
                row[i] = BlColour(row[i]);
        return true;
    }

    uint16_t width() const { return width_; }
    uint16_t height() const { return height_; }

private:
    // A byte above 0xC0 repeats the byte after it (low six bits times);
    // anything else is itself. No more than the row's width comes out, and
    // a run byte without its value ends the row.
    void Decode(uint8_t* row) const
    {
        size_t out = 0;
        for (size_t i = 0; i < code_.size() && out < width_;) {
            const uint8_t b = code_[i];
            if (b > 0xC0) {
                if (i + 1 >= code_.size())
                    break;
                const size_t n = std::min<size_t>(b & 0x3F, width_ - out);
                std::memset(row + out, code_[i + 1], n);
                out += n;
                i += 2;
            } else {
                row[out++] = b;
                ++i;
            }
        }
    }

    BlockReader in_;
    bool keepColours_ = false;
    bool coded_ = false;
    uint16_t height_ = 0;
    uint16_t width_ = 0;
    bool haveLength_ = false;
    uint16_t nextLength_ = 0;
    std::vector<uint8_t> code_;
};

// Numbers as the box shows them: right-aligned in four places.
std::string Width4(unsigned value)
{
    std::string s = std::to_string(value);
    return s.size() < 4 ? std::string(4 - s.size(), ' ') + s : s;
}

}  // namespace

uint8_t BlColour(uint8_t v)
{
    // The design program's unused colour numbers become 31.
    if (v >= 1 && v <= 15)
        return static_cast<uint8_t>(v - 1);
    if (v >= 17 && v <= 23)
        return static_cast<uint8_t>(v - 2);
    if (v == 25 || v == 26)
        return static_cast<uint8_t>(v - 3);
    if (v == 28)
        return 24;
    if (v == 30 || v == 31)
        return static_cast<uint8_t>(v - 5);
    if ((v >= 33 && v <= 36) || (v >= 38 && v <= 47))
        return static_cast<uint8_t>(v - 6);
    return 31;
}

bool LoadBlPattern(const std::string& fileName, bool report, bool quiet, int plane)
{
    KernelHost& host = kernelHost();
    host.infoShow(F_TRANS("Patrone laden"),
                  {F_TRANS("Dateiname"), F_TRANS("Breite"), F_TRANS("Höhe"), F_TRANS("Zeile")});
    host.infoLine(1, fileName);
    auto failure = [&](const std::string& text) {
        host.infoHide();
        P_WarningBox(text);
        return false;
    };

    T_Patrone* target = PatternPlane(plane);
    const std::string path = FindExisting(fileName);
    if (path.empty() || !target)
        return failure(F_DiskErrorText(2));
    const int fd = OpenStoredFile(path, kMaxLayerBytes);
    if (fd < 0)
        return failure(F_DiskErrorText(DiskErrorCode(errno)));
    BlLayer layer(fd);
    if (!layer.ReadHeader())
        return failure(F_TRANS("Datei ist unvollständig!"));
    const uint16_t width = layer.width();
    const uint16_t height = layer.height();
    host.infoLine(2, Width4(width));
    host.infoLine(3, Width4(height));
    if (width > kMaxWidth)
        return failure(F_TRANS("Die Patrone ist zu groß!"));

    ProgrammKopf.SetHeight(height);
    ProgrammKopf.SetWidth(width);
    target->allocate(height);
    std::array<uint8_t, kMaxWidth> row;
    bool complete = true;
    bool aborted = false;
    for (uint16_t r = 1; r <= height; ++r) {
        host.infoLine(4, std::to_string(r));
        // A row the file holds only in part is not taken.
        if (!layer.ReadRow(row.data())) {
            complete = false;
            break;
        }
        std::memcpy(target->rows.data() + size_t(r) * kPatternStride, row.data(), width);
        // The last row ends the loop before Esc is looked at.
        if (r < height && host.infoAbortRequested()) {
            aborted = true;
            break;
        }
    }
    if (!complete)
        return failure(F_TRANS("Datei ist unvollständig!"));
    host.infoHide();
    if (aborted)
        return false;
    target->present = true;
    target->second = true;
    if (report && !quiet)
        host.messageDlg(F_TRANS("Patrone erfolgreich geladen"), MsgKind::Information, {MsgButton::OK});
    return true;
}
