// A stroke allocates nothing: a run of twice the strokes makes as many heap
// allocations as the shorter one (the arrays are made once per run).
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "check/checkhost.h"
#include "check/programcheck.h"
#include "check/rules/checkstate.h"
#include "check/simlibrary.h"
#include "kernel/model/globals.h"
#include "tests/check_walk/walk_program.h"

namespace {
std::atomic<long> allocations{0};
}  // namespace

void* operator new(std::size_t n)
{
    ++allocations;
    if (void* p = std::malloc(n ? n : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}

namespace {

long AllocationsOfARun(int mode, uint16_t repeats)
{
    BuildWideProgram(repeats);
    TestModus = mode;
    const long before = allocations;
    RunProgramCheck();
    const long made = allocations - before;
    EXPECT_EQ(CheckStrokeCount(), 2u * repeats);
    EXPECT_EQ(CheckState.errorCount, 0);
    return made;
}

}  // namespace

TEST(WalkAllocations, NonePerStroke)
{
    NullSimLibrary null;
    SetSimLibrary(&null);
    CheckState = T_CheckState();
    for (int mode : {0, 2}) {
        SCOPED_TRACE(mode);
        AllocationsOfARun(mode, 10);  // the first run makes the arrays grow
        const long shorter = AllocationsOfARun(mode, 50);
        const long longer = AllocationsOfARun(mode, 100);
        EXPECT_EQ(longer, shorter);
    }
    SetSimLibrary(nullptr);
    TestModus = 0;
}
