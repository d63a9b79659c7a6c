// paint_probe: the painting rules from outside, on levels in memory. A
// script of commands drives the tool machine as the window would; what the
// window would show is printed as it happens.
#include <fstream>
#include <iostream>

#include "tests/tools/common/probe_common.h"
#include "tests/tools/paint_probe/paint_script.h"

namespace {

const char* const kUsage =
    "usage: paint_probe [--size WxH] [--levels N] [--states S,...] [--symbols TEXT] [--undo-limit BYTES] [--seed N] [--work FILE] SCRIPT\n"
    "commands, one a line: set L X Y V | button NAME left|right | ev X Y B [zoom] | stroke X0 Y0 X1 Y1 [B]\n"
    "  | key C | panel I left|right | popup protect|transparent ITEM | fg C | protect C... | transparent C...\n"
    "  | bg C | edit NAME [FILE] | insert FILE | copyto FILE | multicopy N | option slope|type|width|outline|insdel V | undo | print";

}  // namespace

int main(int argc, char** argv)
{
    return RunProbe("paint_probe", kUsage, [&] {
        const PaintScriptOptions o = ReadPaintScriptOptions(ProbeArgs(argv + 1, argv + argc));
        std::ifstream script(o.script);
        if (!script)
            throw std::runtime_error("cannot read " + o.script);
        PaintScript(o, std::cout).RunAll(script);
        return 0;
    });
}
