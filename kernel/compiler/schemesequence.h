#pragma once
// The last step of a module-set expansion: the sub-sequences move behind the
// main sequence, the group lines are pointed at them, and the gaps the
// expansion left (main-sequence entry k at line 3k - 2, sub-sequence entry m
// at line 3m - 1) close up.
#include <cstdint>

// 0 or the last error code. Stops at the first dispatcher error unless the
// work record's continue-on-error flag is set (the group lines always stop
// at the first).
int32_t FinishSchemeSequence();
