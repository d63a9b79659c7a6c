// tiff-write OUT --size WxH [--seed N] [--plain] [--bands], tiff-read FILE.
#include <cstdlib>
#include <iostream>

#include "kernel/model/programmodel.h"
#include "kernel/pattern/tiffpattern.h"
#include "tests/tools/kernel_probe/pattern_support.h"
#include "tests/tools/kernel_probe/probe.h"

namespace {

unsigned long ParseNumber(const std::string& text, unsigned long low, unsigned long high, const char* what)
{
    char* end = nullptr;
    const unsigned long v = std::strtoul(text.c_str(), &end, 10);
    if (text.empty() || text[0] == '-' || text[0] == '+' || *end != '\0' || v < low || v > high)
        throw ProbeUsage{std::string(what) + " out of range: " + text};
    return v;
}

int Write(const ProbeArgs& given)
{
    ProbeArgs args = given;
    const std::string size = TakeOption(args, "--size");
    const std::string seedText = TakeOption(args, "--seed");
    const bool plain = TakeSwitch(args, "--plain");
    const bool bands = TakeSwitch(args, "--bands");
    if (args.size() != 1 || size.empty())
        throw ProbeUsage{"tiff-write needs OUT and --size WxH"};
    const size_t x = size.find('x');
    if (x == std::string::npos)
        throw ProbeUsage{"--size needs WxH"};
    const auto width = static_cast<uint16_t>(ParseNumber(size.substr(0, x), 1, 2000, "width"));
    const auto height = static_cast<uint16_t>(ParseNumber(size.substr(x + 1), 1, 65535, "height"));
    uint32_t s = seedText.empty() ? 1u : static_cast<uint32_t>(ParseNumber(seedText, 0, 0xFFFFFFFFul, "seed"));

    ProgrammKopf.SetWidth(width);
    ProgrammKopf.SetHeight(height);
    BildEbene0.allocate(height);
    for (uint32_t y = 1; y <= height; ++y) {
        uint8_t* row = BildEbene0.rows.data() + size_t(y) * kPatternStride;
        for (uint32_t col = 0; col < width; ++col) {
            if (bands) {
                row[col] = static_cast<uint8_t>((y / 4) % 32);
            } else {
                s = s * 1664525u + 1013904223u;
                row[col] = static_cast<uint8_t>(s >> 24);
            }
        }
    }
    BildEbene0.present = true;

    WarningCapture capture;
    if (!WriteTiffPattern(!plain, args[0], 0, false, true))
        return PrintWarningError(capture);
    std::cout << "OK\n";
    return 0;
}

int Read(const ProbeArgs& args)
{
    if (args.size() != 1)
        throw ProbeUsage{"tiff-read needs FILE"};
    WarningCapture capture;
    if (!ReadTiffPattern(args[0], true, 0))
        return PrintWarningError(capture);
    std::cout << PlaneSummary() << "\n";
    return 0;
}

const ProbeCommandRegistrar writeCommand("tiff-write", "tiff-write OUT --size WxH [--seed N] [--plain] [--bands]", Write);
const ProbeCommandRegistrar readCommand("tiff-read", "tiff-read FILE", Read);

}  // namespace
