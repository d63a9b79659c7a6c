#pragma once
// The export conversion "Wandel.Sma": collected call by call in export mode,
// written at the end of the run (format: vpsimmod.h).
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vpsim {

class Wandel {
public:
    void clear();
    void add(std::string line) { lines_.push_back(std::move(line)); }
    size_t size() const { return lines_.size(); }

    // Writes the file through a temporary file beside it and a rename:
    // "WANDEL.SMA 1", the init line, the collected lines, "ENDE <strokes>".
    // progress(maximum, position) is told along the way. False when the file
    // could not be written (the old file, if any, stays).
    bool write(const std::string& path, const std::string& initLine, uint32_t strokes,
               const std::function<void(uint16_t, uint16_t)>& progress) const;

    // "." for 0, the letter, "U" for 24, "A" for 25, "?" otherwise.
    static char ActionChar(uint8_t action);

private:
    std::vector<std::string> lines_;
};

}  // namespace vpsim
