#pragma once
// The painting rules driven by a script of commands, on levels in memory;
// what the window would show is written out as it happens. paint_probe
// runs it on a file, the tests in-process.
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "pattern/paint/paint_core.h"

struct PaintScriptOptions {
    int32_t width = 20;
    int32_t height = 20;
    int levels = 3;
    std::vector<uint8_t> states{3, 0, 0};
    std::u32string symbols;
    uint64_t undoLimit = UndoBuffer::kDefaultLimit;
    std::string script;
    std::optional<uint32_t> seed;
    // The work bitmap; its untouched copy is the name + "O".
    std::string workBmp = "Clip.bmp";
};

// The options of paint_probe's command line (the work record's symbols
// unless given); throws ProbeUsage when they are bad.
PaintScriptOptions ReadPaintScriptOptions(std::vector<std::string> args);

class PaintScript {
public:
    PaintScript(const PaintScriptOptions& options, std::ostream& out);
    ~PaintScript();

    void Run(const std::string& line);
    // The cells changed since the last "set", then the machine's state.
    void Print();
    // Every line, then Print.
    void RunAll(std::istream& script);

private:
    class PrintingSurface;
    class PrintingView;

    std::vector<uint8_t> Snapshot();
    void Event(int32_t x, int32_t y, int b, bool zoom);
    void Flags(ColourFlagKind kind, std::istringstream& in);
    void Option(const std::string& name, int value);

    std::ostream& out_;
    std::unique_ptr<PrintingSurface> grid_;
    std::unique_ptr<PrintingView> view_;
    PaintHooks hooks_;
    std::unique_ptr<PaintCore> core_;
    std::vector<uint8_t> baseline_;
};
