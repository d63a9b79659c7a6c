#include "tests/kernel/pattern/pattern_test_util.h"

#include <filesystem>
#include <sstream>

namespace {
std::string Quoted(const std::string& s)
{
    return "'" + s + "'";
}
}  // namespace

int Fixture(const std::string& args)
{
    return Shell("python3 " + Quoted(std::string(ZORIT_KERNEL_TEST_DIR) + "pattern_fixtures.py") + " " + args);
}

int Probe(const std::string& args, std::string* out)
{
    return RunCommand("cd " + Quoted(TestHome()) + " && " + Quoted(ToolsFolder() + "kernel_probe") + " " + args
                          + " 2>/dev/null",
                      out);
}

int Shell(const std::string& command, std::string* out)
{
    return RunCommand("cd " + Quoted(TestHome()) + " && { " + command + " ; } 2>&1", out);
}

std::string Here(const std::string& name)
{
    return TestHome() + name;
}

long long FileSize(const std::string& path)
{
    std::error_code ec;
    const auto n = std::filesystem::file_size(path, ec);
    return ec ? -1 : static_cast<long long>(n);
}
