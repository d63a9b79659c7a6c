#include "simlib/wandel.h"

#include <unistd.h>

#include <algorithm>

namespace vpsim {

namespace {
// Large enough that a wide action line costs one write or less.
constexpr size_t kBufferSize = 1 << 16;
}  // namespace

char Wandel::ActionChar(uint8_t action)
{
    switch (action) {
    case 0:
        return '.';
    case 24:
        return 'U';
    case 25:
        return 'A';
    case 'M':
    case 'm':
    case 'F':
    case 'f':
    case 'G':
    case 'g':
    case 'S':
        return static_cast<char>(action);
    default:
        return '?';
    }
}

void Wandel::open(const std::string& path, const std::string& initLine)
{
    discard();
    path_ = path;
    if (path.empty())
        return;
    temp_ = path + ".tmp";
    file_ = std::fopen(temp_.c_str(), "wb");
    ok_ = file_ != nullptr && std::setvbuf(file_, nullptr, _IOFBF, kBufferSize) == 0;
    add("WANDEL.SMA 1");
    add(initLine);
}

void Wandel::add(const std::string& line)
{
    if (!file_)
        return;
    ++lines_;
    if (ok_)
        ok_ = std::fwrite(line.data(), 1, line.size(), file_) == line.size() && std::fwrite("\r\n", 1, 2, file_) == 2;
}

bool Wandel::finish(uint32_t strokes, const std::function<void(uint16_t, uint16_t)>& progress)
{
    if (!file_) {
        discard();
        return false;
    }
    add("ENDE " + std::to_string(strokes));
    // The lines went out as they came; what is left is to put them on the
    // disk, which for a long export is the slow part.
    const auto maximum = static_cast<uint16_t>(std::min<size_t>(lines_, 65535));
    progress(maximum, 0);
    bool ok = ok_ && std::fflush(file_) == 0;
    ok = ok && ::fsync(::fileno(file_)) == 0;
    ok = std::fclose(file_) == 0 && ok;
    file_ = nullptr;
    if (ok)
        ok = std::rename(temp_.c_str(), path_.c_str()) == 0;
    if (!ok)
        std::remove(temp_.c_str());
    else
        progress(maximum, maximum);
    progress(0, 0);
    temp_.clear();
    lines_ = 0;
    return ok;
}

void Wandel::discard()
{
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
        std::remove(temp_.c_str());
    }
    temp_.clear();
    ok_ = false;
    lines_ = 0;
}

}  // namespace vpsim
