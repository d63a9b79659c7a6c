#pragma once
// Loading the family's libraries at run time (dlopen). Tried in the given
// folders first, then by bare name through the system search.
#include <string>
#include <vector>

class DynamicLibrary {
public:
    DynamicLibrary() = default;
    ~DynamicLibrary();
    DynamicLibrary(const DynamicLibrary&) = delete;
    DynamicLibrary& operator=(const DynamicLibrary&) = delete;

    // Loads fileName from the first folder (with trailing "/") that has it,
    // else by bare name. Releases a library loaded before. False when none
    // could be loaded; error() then says why.
    bool Load(const std::string& fileName, const std::vector<std::string>& folders);
    void Free();
    bool IsLoaded() const { return handle_ != nullptr; }
    // The address of an exported symbol, nullptr when missing or not loaded.
    void* Symbol(const char* name) const;
    template <typename F>
    F Resolve(const char* name) const
    {
        return reinterpret_cast<F>(Symbol(name));
    }
    // The path that was loaded (the bare name when found by the system search).
    const std::string& path() const { return path_; }
    const std::string& error() const { return error_; }

private:
    void* handle_ = nullptr;
    std::string path_;
    std::string error_;
};
