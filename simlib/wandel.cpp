#include "simlib/wandel.h"

#include <cstdio>
#include <unistd.h>

namespace vpsim {

void Wandel::clear()
{
    std::vector<std::string>().swap(lines_);
}

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

bool Wandel::write(const std::string& path, const std::string& initLine, uint32_t strokes,
                   const std::function<void(uint16_t, uint16_t)>& progress) const
{
    if (path.empty())
        return false;
    const size_t total = lines_.size() + 3;
    // The bar holds 16 bits: long files count in steps.
    const size_t scale = total / 65535 + 1;
    const auto maximum = static_cast<uint16_t>(total / scale);
    const size_t every = total / 50 + 1;
    size_t written = 0;
    auto report = [&] {
        ++written;
        if (written % every == 0 || written == total)
            progress(maximum, static_cast<uint16_t>(written / scale));
    };

    const std::string temp = path + ".tmp";
    std::FILE* f = std::fopen(temp.c_str(), "wb");
    bool ok = f != nullptr;
    auto put = [&](const std::string& line) {
        if (!ok)
            return;
        ok = std::fwrite(line.data(), 1, line.size(), f) == line.size() && std::fwrite("\r\n", 1, 2, f) == 2;
        report();
    };
    if (ok) {
        progress(maximum, 0);
        put("WANDEL.SMA 1");
        put(initLine);
        for (const auto& line : lines_)
            put(line);
        put("ENDE " + std::to_string(strokes));
        ok = std::fflush(f) == 0 && ok;
        ok = ::fsync(::fileno(f)) == 0 && ok;
        ok = std::fclose(f) == 0 && ok;
        if (ok)
            ok = std::rename(temp.c_str(), path.c_str()) == 0;
        if (!ok)
            std::remove(temp.c_str());
    }
    progress(0, 0);
    return ok;
}

}  // namespace vpsim
