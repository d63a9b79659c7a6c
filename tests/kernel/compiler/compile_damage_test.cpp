// The script compiler on damaged scripts: empty, one byte, cut after every
// tenth byte, every byte of the header flipped. Each compiles or ends in an
// error report that names a known error and a line of the script.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "kernel/compiler/compilererror.h"
#include "tests/support/damaged_files.h"
#include "tests/support/test_env.h"
#include "tests/tools/compilerun.h"

namespace {

// A script with a header of several directives and a module.
const std::string kScript =
    "MODULSET TEST;\r\nBEGIN\r\n$ZR_TYP=311;\r\n$NR1=1,101;\r\n$XMAX=100;\r\n$YMAX=20;\r\n"
    "$V_1=R3,U1;\r\n{Versatz rechts}\r\n$S_1=Z1,1,D1;[]=MAIN;\r\nEND;\r\n"
    "MODUL MAIN;\r\nBEGIN\r\nS1=>,FF1;\r\nTZ=50;\r\nWA=D10;\r\nS1=<,FF1;END;\r\n";

// The last line of the report, and the error code, line and column in it.
struct Report {
    int rc = 0;
    std::string last;
    long code = 0, line = 0, column = 0;
};

Report Compile(const std::string& script)
{
    std::ostringstream out;
    Report r;
    r.rc = RunCompileCommand(script, false, out);
    std::istringstream lines(out.str());
    for (std::string l; std::getline(lines, l);)
        r.last = l;
    std::istringstream fields(r.last);
    std::string word;
    fields >> word >> r.code >> r.line >> r.column;
    return r;
}

long LineCount(const std::string& s)
{
    long n = 1;
    for (char c : s)
        n += c == '\n';
    return n;
}

}  // namespace

TEST(CompileDamaged, EveryDamagedScriptCompilesOrReportsAKnownError)
{
    ASSERT_EQ(Compile(kScript).last, "OK");
    const size_t header = kScript.find("END;") + 6;
    for (const DamagedFile& damaged : DamagedVariants(kScript, header)) {
        SCOPED_TRACE(damaged.Describe());
        const Report r = Compile(damaged.bytes);
        if (r.rc == 0) {
            EXPECT_EQ(r.last, "OK");
            continue;
        }
        ASSERT_EQ(r.last.rfind("ERROR ", 0), 0u) << r.last;
        EXPECT_NE(r.code, 0);
        EXPECT_FALSE(CompilerErrorText(static_cast<int32_t>(r.code)).empty()) << r.last;
        EXPECT_GE(r.line, 0);
        EXPECT_LE(r.line, LineCount(damaged.bytes)) << r.last;
        if (damaged.kind != DamagedFile::Kind::HeaderByteFlipped && damaged.at < header) {
            // Without its header's end the script cannot compile.
            EXPECT_EQ(r.rc, 1);
        }
    }
}

// Found by the fuzzer: a scheme sequence directive whose first item is
// empty ("$S_1=,1,D1") threw out of the compiler instead of an error.
TEST(CompileDamaged, EmptySchemeSequenceItemIsAnError)
{
    std::string script = kScript;
    script.replace(script.find("$S_1=Z1"), 7, "$S_1=");
    const Report r = Compile(script);
    EXPECT_EQ(r.rc, 1);
    EXPECT_EQ(r.line, 9) << r.last;
}
