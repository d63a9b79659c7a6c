#pragma once
// The current user's registry key "Software\Vasp", kept as an INI file with
// the rules of IniProfile: "$XDG_CONFIG_HOME/Vasp/Registry.ini" (default
// "$HOME/.config"). The family's programs find each other through its
// section "Exe"; "System" holds settings they share, such as the language.
// Names are ASCII-case-insensitive; the API takes and gives UTF-8.
#include <string>
#include <vector>

#include "platform/ini_profile.h"

class RegistryIniFile {
public:
    // The file of the current user, as the environment names it now.
    RegistryIniFile();
    // Another file (tests, tools).
    explicit RegistryIniFile(std::string path);

    // "$XDG_CONFIG_HOME/Vasp/Registry.ini"; "$HOME/.config" stands in for an
    // unset or empty XDG_CONFIG_HOME.
    static std::string DefaultPath();

    const std::string& path() const { return profile_.path(); }

    // The value, or def when the section or the name is missing.
    std::string ReadString(const std::string& section, const std::string& name,
                           const std::string& def = std::string()) const;
    // Writes the value, creating the folder and the file on the first write;
    // false when it could not be written (the old file then stays).
    bool WriteString(const std::string& section, const std::string& name, const std::string& value);
    bool DeleteValue(const std::string& section, const std::string& name);
    // The errno of the last WriteString or DeleteValue that failed; 0 after
    // one that succeeded.
    int lastError() const { return folderError_ != 0 ? folderError_ : profile_.lastError(); }
    bool ValueExists(const std::string& section, const std::string& name) const;
    // The value names of a section in file order.
    std::vector<std::string> ReadValueNames(const std::string& section) const;

private:
    IniProfile profile_;
    int folderError_ = 0;
};
