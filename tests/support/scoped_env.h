#pragma once
// Small helpers for tests that change the process environment or look at
// the per-user settings file below the test case's folder.
#include <cstdlib>
#include <string>

#include "tests/support/test_env.h"

// Sets (or, with nullptr, unsets) an environment variable for one scope and
// puts the old value (or its absence) back when the scope ends.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name)
    {
        const char* old = std::getenv(name);
        had_ = old != nullptr;
        if (had_)
            old_ = old;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~ScopedEnv()
    {
        if (had_)
            setenv(name_, old_.c_str(), 1);
        else
            unsetenv(name_);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    bool had_ = false;
    std::string old_;
};

// Where the registry settings file lands for the current test case (below
// the XDG_CONFIG_HOME the test main points into the case's folder).
inline std::string RegistryPath()
{
    return TestHome() + "config/Vasp/Registry.ini";
}
