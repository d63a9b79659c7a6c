#pragma once
// Every test case runs in a fresh temporary folder: the test main sets
// ProgrammPfad (the folder), TempPfad (folder/Temp/, created), and the
// variables XDG_CONFIG_HOME, XDG_RUNTIME_DIR and ZORIT_DRIVE_ROOT below it,
// creates the program model with its defaults, and removes it all after the case.
#include <string>
#include <vector>

// The current test case's folder, with a trailing "/".
const std::string& TestHome();
// Writes bytes to a file (folders created); returns the path.
std::string WriteTestFile(const std::string& path, const std::string& bytes);
// Reads a whole file's bytes (empty when missing).
std::string ReadTestFile(const std::string& path);
// The lines of a text, without their "\n" (a last line without one counts).
std::vector<std::string> SplitLines(const std::string& text);
// Names under which no file to read stands, in the case's folder: a named
// pipe NAME, the device /dev/zero and a folder NAME.d. Readers must refuse
// each at once.
std::vector<std::string> NoFilePaths(const std::string& name);
// Runs a command through the shell; its exit status, and stdout in out.
int RunCommand(const std::string& command, std::string* out = nullptr);
// The folder that holds the probes (kernel_probe ...).
std::string ToolsFolder();
// Parses the gtest options and installs the fresh-folder listener; each
// test binary's main calls it before RUN_ALL_TESTS.
void InitTestEnvironment(int* argc, char** argv);
