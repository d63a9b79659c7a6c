#include "platform/registry_ini_file.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <utility>

#include "platform/paths.h"

namespace {

std::string Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

std::string ConfigHome()
{
    std::string home = Environment("XDG_CONFIG_HOME");
    if (home.empty())
        home = Environment("HOME") + "/.config";
    return home;
}

}  // namespace

RegistryIniFile::RegistryIniFile() : profile_(DefaultPath()) {}

RegistryIniFile::RegistryIniFile(std::string path) : profile_(std::move(path)) {}

std::string RegistryIniFile::DefaultPath()
{
    return ConfigHome() + "/Vasp/Registry.ini";
}

std::string RegistryIniFile::ReadString(const std::string& section, const std::string& name,
                                        const std::string& def) const
{
    return profile_.ReadString(section, name, def);
}

bool RegistryIniFile::WriteString(const std::string& section, const std::string& name,
                                  const std::string& value)
{
    // The key comes into being with its first value, as a registry key does.
    folderError_ = 0;
    const std::filesystem::path folder = std::filesystem::path(profile_.path()).parent_path();
    if (!folder.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(folder, ec);
        if (ec) {
            folderError_ = ec.value() != 0 ? ec.value() : EIO;
            return false;
        }
    }
    return profile_.WriteString(section, name, value);
}

bool RegistryIniFile::DeleteValue(const std::string& section, const std::string& name)
{
    folderError_ = 0;
    return profile_.DeleteKey(section, name);
}

bool RegistryIniFile::ValueExists(const std::string& section, const std::string& name) const
{
    for (const std::string& key : profile_.ReadSectionKeys(section))
        if (AsciiEqualNoCase(key, name))
            return true;
    return false;
}

std::vector<std::string> RegistryIniFile::ReadValueNames(const std::string& section) const
{
    return profile_.ReadSectionKeys(section);
}
