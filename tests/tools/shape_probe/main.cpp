// shape_probe: the shape routines of the painting forms from outside, on an
// in-memory grid.
#include <iostream>

#include "common/probe_common.h"
#include "shaperun.h"

int main(int argc, char** argv)
{
    ProbeArgs args(argv + 1, argv + argc);
    ProbeHome home;
    return RunProbe("shape_probe", kShapeProbeUsage, [&] {
        home.Enter(TakeOption(args, "--home"), "shape_probe");
        std::string out;
        const int status = RunShapes(args, out);
        std::cout << out << std::flush;
        return status;
    });
}
