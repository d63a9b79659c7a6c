#pragma once
// shape_probe's work, which the tests also run in-process: sets up a
// GridSurface and a PaintState from the options, runs one shape routine and
// writes what it did, one line a fact (see shape_probe's usage).
#include <string>

#include "common/probe_common.h"

extern const char* const kShapeProbeUsage;

// The exit status: 0, or 1 when the fill's seed file failed. Bad usage
// throws ProbeUsage, an unreadable cells file std::runtime_error.
int RunShapes(ProbeArgs args, std::string& out);
