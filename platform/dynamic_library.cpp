#include "platform/dynamic_library.h"

#include <dlfcn.h>
#include <sys/stat.h>

DynamicLibrary::~DynamicLibrary()
{
    Free();
}

bool DynamicLibrary::Load(const std::string& fileName, const std::vector<std::string>& folders)
{
    Free();
    error_.clear();
    std::vector<std::string> candidates;
    for (const auto& folder : folders) {
        if (folder.empty())
            continue;
        std::string p = folder;
        if (p.back() != '/')
            p += '/';
        p += fileName;
        struct stat st;
        if (::stat(p.c_str(), &st) == 0)
            candidates.push_back(p);
    }
    candidates.push_back(fileName);
    for (const auto& c : candidates) {
        dlerror();
        handle_ = ::dlopen(c.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle_) {
            path_ = c;
            return true;
        }
        const char* e = dlerror();
        error_ = e ? e : "dlopen failed";
    }
    return false;
}

void DynamicLibrary::Free()
{
    if (handle_) {
        ::dlclose(handle_);
        handle_ = nullptr;
    }
    path_.clear();
}

void* DynamicLibrary::Symbol(const char* name) const
{
    if (!handle_)
        return nullptr;
    return ::dlsym(handle_, name);
}
