#pragma once
// Helpers of the program check tests: a program built in the lists byte by
// byte, the sinks joined into output lines as the windows join them, a fake
// host and the recording library.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "check/checkhost.h"
#include "check/simlibrary.h"

namespace walktest {

// Counts what the walk asks of its window. A pause ends at once, as the
// start button ends it (continue set, pause cleared).
class FakeCheckHost : public CheckHost {
public:
    int processEventsCalls = 0;
    int waits = 0;
    int shown = 0;
    int stops = 0;
    std::vector<bool> ended;
    // Runs inside each pause (after the count).
    std::function<void()> inPause;
    bool simAborted = false;

    void processEvents() override;
    void waitForContinue() override;
    void showNewRows() override { ++shown; }
    bool simRunAborted() override { return simAborted; }
    void stopAfterStep() override { ++stops; }
    void runEnded(bool aborted) override { ended.push_back(aborted); }
};

// The knitting scheme line of row z (grown as a program would be).
uint8_t* ZLine(uint16_t z);
// Side s (0, 1) of system sys of row z.
uint8_t* ZSide(uint16_t z, int sys, int s);
uint8_t* ZSystem(uint16_t z, int sys);

// Row z as the compiler leaves an "S1=>" or "S1=<" row: pattern-line mode 0
// value 1 on both sides of system 1.
void PlainRow(uint16_t z);
// Speed given directly and lower take-down given directly.
void Speed(uint16_t z, uint8_t kind, uint16_t value);
void TakeDown(uint16_t z, uint8_t kind, uint16_t value);

struct SLineFields {
    uint8_t kind = 0;
    uint16_t first = 1;
    int16_t extent = 0;
    uint8_t selector = 0;
    uint16_t count = 1;
    uint8_t divisionFlag = 0;
    uint16_t division = 0;
    uint8_t extentMode = 0;
    uint16_t extentValue = 0;
    uint16_t frontStart = 0;
    int16_t frontStep = 0;
    uint16_t backStart = 0;
    int16_t backStep = 0;
    std::string comment;
};
void SetSLine(uint16_t s, const SLineFields& fields);

struct NLineFields {
    uint8_t kind = 0;
    uint16_t first = 1;
    int16_t extent = 0;
    uint8_t selector = 0;
    uint16_t count = 1;
    std::string comment;
};
void SetNLine(uint16_t n, const NLineFields& fields);
void SetWValue(uint16_t n, int16_t value, int level = 1, const std::string& comment = {});

// The program of the golden runs: model 311 (one system, no comb), gauge 7,
// needle room 1..101, pattern 100 x 20 (colour 0), rows 1 and 2 as
// "S1=>,TZ=50,WA=D10" and "S1=<", S line 1 = rows 1..2 once.
void BasicProgram();
// Every list's count and bytes, header and set-up record included.
std::string ProgramSnapshot();

// The report after the walk: two empty lines, the heading, an empty line,
// FF8 .. FF1 with the carriers' home sides, an empty line, the summary.
std::vector<std::string> Report(const std::string& summary, const std::vector<std::string>& rails = {});

class WalkTest : public testing::Test {
protected:
    FakeCheckHost host;
    RecordingSimLibrary library;
    // One line per message sink call: the collected pieces, then the text.
    std::vector<std::string> out;

    void SetUp() override;
    void TearDown() override;

    // Runs the check in the mode and gives the output lines.
    std::vector<std::string> Run(int mode = 0);
    // The message lines (without the empty text after each and the report).
    static std::vector<std::string> Join(std::initializer_list<std::vector<std::string>> parts);

private:
    std::string pieces_;
};

}  // namespace walktest
