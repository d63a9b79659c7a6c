#pragma once
// The export conversion "Wandel.Sma", written call by call into a temporary
// file beside it so that an export of any length holds no more than one
// line in memory; the end renames it into place (format: vpsimmod.h).
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

namespace vpsim {

class Wandel {
public:
    Wandel() = default;
    Wandel(const Wandel&) = delete;
    Wandel& operator=(const Wandel&) = delete;
    ~Wandel() { discard(); }

    // Starts a new file: the temporary file (a stale one of an earlier,
    // killed export is overwritten), "WANDEL.SMA 1" and the init line. A
    // failure shows at finish().
    void open(const std::string& path, const std::string& initLine);
    // Appends one line (CR LF added); nothing while no file is open.
    void add(const std::string& line);
    // Lines written so far.
    size_t size() const { return lines_; }

    // Ends the file with "ENDE <strokes>", puts it on the disk and renames
    // it over path. progress(maximum, position) follows the last steps.
    // False when anything failed: the temporary file is removed and an
    // older file of the name stays as it was.
    bool finish(uint32_t strokes, const std::function<void(uint16_t, uint16_t)>& progress);
    // Drops the file being written; an older file of the name stays.
    void discard();

    // "." for 0, the letter, "U" for 24, "A" for 25, "?" otherwise.
    static char ActionChar(uint8_t action);

private:
    std::FILE* file_ = nullptr;
    std::string path_;
    std::string temp_;
    bool ok_ = false;
    size_t lines_ = 0;
};

}  // namespace vpsim
