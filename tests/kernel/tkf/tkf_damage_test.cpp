// The machine program file on damaged files, loaded through the engine
// bridge over a loaded program: empty, one byte, cut after every tenth
// byte, every byte of the file header and of the directory flipped. Each is
// refused with 302 (or, for a harmless flip, loaded) and a refused load
// leaves the program, its pattern names and the windows as they were.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kernel/model/bytes.h"
#include "kernel/model/globals.h"
#include "kernel/tkf/enginebridge.h"
#include "tests/kernel/tkf/tkf_testing.h"
#include "tests/support/damaged_files.h"
#include "tests/support/recording_host.h"
#include "tests/support/test_env.h"
#include "tests/tools/programdump.h"

using namespace tkftest;

namespace {

constexpr uint16_t kRefused = 302;

uint16_t Load(const std::string& path, PatternNames& names)
{
    return engineBridge.P_LoadProgram(TempPfad, TempPfad, path, names);
}

}  // namespace

TEST(TkfDamaged, EveryDamagedFormIsRefusedAndTheProgramStays)
{
    SetMachine("832", 8);
    FillProgram();
    const std::string validPath = TempPfad + "VALID.8AH";
    const PatternNames given = {"MUSTER_p.TIF", "", "MUSTER_y.TIF"};
    ASSERT_EQ(engineBridge.P_SaveProgram(validPath, given, TempPfad), 0);
    const std::string valid = ReadTestFile(validPath);
    PatternNames names;
    ASSERT_EQ(Load(validPath, names), 0);
    ASSERT_EQ(names, given);
    const std::string program = ProgramDump();

    const auto* bytes = reinterpret_cast<const uint8_t*>(valid.data());
    const uint32_t directory = get_u32(bytes, 4);
    // The directory block closes the file: its entries and link, then room
    // for more entries that the loader does not read.
    const size_t directorySize = 2 + 12 * size_t(get_u16(bytes, directory)) + 4;
    ASSERT_LE(directory + directorySize, valid.size());

    const std::string path = TempPfad + "DAMAGED.8AH";
    for (const DamagedFile& damaged : DamagedVariants(valid, {{0, 8}, {directory, directorySize}})) {
        SCOPED_TRACE(damaged.Describe());
        WriteTestFile(path, damaged.bytes);
        uint16_t rc = 0;
        {
            ScopedRecordingHost recording;
            rc = Load(path, names);
            if (rc != 0) {
                EXPECT_TRUE(recording.host.callsOf("closeProgramWindows").empty());
            }
        }
        if (damaged.kind != DamagedFile::Kind::HeaderByteFlipped && damaged.at < directory + directorySize) {
            // A file cut before the end of its directory has none.
            EXPECT_EQ(rc, kRefused);
        }
        if (rc != 0) {
            EXPECT_EQ(rc, kRefused);
            EXPECT_EQ(names, PatternNames{});
            EXPECT_EQ(ProgramDump(), program);
        } else {
            // A harmless flip (a type or count the loader does not look at):
            // back to the program for the next case.
            ASSERT_EQ(Load(validPath, names), 0);
            ASSERT_EQ(ProgramDump(), program);
        }
    }
}

// Names are stored one byte a character and may hold 13 of them; they were
// cut at 13 bytes of UTF-8, so a name with umlauts lost its end (and could
// end in half a character) on its way through the bridge.
TEST(TkfDamaged, PatternNamesKeepThirteenCharactersWithUmlauts)
{
    SetMachine("832", 8);
    const std::string path = TempPfad + "NAMES.8AH";
    const PatternNames given = {"Gr\xC3\xB6\xC3\x9F" "en_p.TIF", "\xC3\x84rmel\xC3\xBC_q.TIF", "Kn\xC3\xB6pfe"};
    ASSERT_EQ(engineBridge.P_SaveProgram(path, given, TempPfad), 0);
    const TkfFile file(path);
    ASSERT_NE(file.Find(34832), nullptr);
    EXPECT_EQ(file.bytes.substr(file.Find(34832)->value, 13), std::string("Gr\xF6\xDF" "en_p.TIF", 13));
    PatternNames names;
    ASSERT_EQ(Load(path, names), 0);
    EXPECT_EQ(names[0], given[0]);
    EXPECT_EQ(names[1], given[1]);
    EXPECT_EQ(names[2], "Kn\xC3\xB6pfe.TIF");
}
