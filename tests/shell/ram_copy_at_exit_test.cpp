// The end of the process without a close: the RAM copy of the working level
// is written once, never half a program, never when the close wrote it.
#include <gtest/gtest.h>

#include <filesystem>

#include "kernel/dispatch/busystate.h"
#include "kernel/model/globals.h"
#include "kernel/model/programmodel.h"
#include "kernel/model/ramcopy.h"
#include "shell/ram_copy_at_exit.h"
#include "tests/support/test_env.h"

namespace fs = std::filesystem;

TEST(RamCopyAtExit, WrittenOnceOnlyWhenArmedAndIdle)
{
    for (int level : {1, 2}) {
        Arbeitsebene = level;
        const std::string path = RamCopyPath();
        EXPECT_EQ(path, TempPfad + (level == 1 ? "Saveram.Tmp" : "Saveram2.Tmp"));
        ProgrammKopf.SetWidth(0);

        EXPECT_FALSE(WriteRamCopyAtExit());  // not armed
        {
            ArmRamCopyAtExit();
            ProgramBusyScope busy;
            EXPECT_FALSE(WriteRamCopyAtExit());
        }
        EXPECT_FALSE(fs::exists(path));

        ArmRamCopyAtExit();
        DisarmRamCopyAtExit();
        EXPECT_FALSE(WriteRamCopyAtExit());
        EXPECT_FALSE(fs::exists(path));

        ArmRamCopyAtExit();
        EXPECT_TRUE(WriteRamCopyAtExit());
        EXPECT_EQ(fs::file_size(path), 2627u);
        EXPECT_FALSE(WriteRamCopyAtExit());  // once
        fs::remove(path);
    }
    Arbeitsebene = 1;
}
