#pragma once
// Running kernel_probe, libtiff's tools and the python fixtures from the
// pattern tests. Everything runs in the test case's own folder.
#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/test_env.h"

// The fixture script: "python3 <script> " + args; its exit status.
int Fixture(const std::string& args);
// kernel_probe ARGS in the test folder (stderr dropped); exit status, stdout.
int Probe(const std::string& args, std::string* out = nullptr);
// A shell command in the test folder (stderr kept in the output).
int Shell(const std::string& command, std::string* out = nullptr);
// A file of the test folder by name.
std::string Here(const std::string& name);
// File size, -1 when missing.
long long FileSize(const std::string& path);
