// bl-read FILE: a design-program layer into plane 0 of a fresh program.
#include <iostream>

#include "kernel/pattern/blpattern.h"
#include "tests/tools/kernel_probe/pattern_support.h"
#include "tests/tools/kernel_probe/probe.h"

namespace {

int Read(const ProbeArgs& args)
{
    if (args.size() != 1)
        throw ProbeUsage{"bl-read needs FILE"};
    WarningCapture capture;
    if (!LoadBlPattern(args[0], true, false, 0))
        return PrintWarningError(capture);
    std::cout << PlaneSummary() << "\n";
    return 0;
}

const ProbeCommandRegistrar readCommand("bl-read", "bl-read FILE", Read);

}  // namespace
