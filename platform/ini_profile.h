#pragma once
// INI profile files with the rules of the Windows profile calls: section and
// key names ASCII-case-insensitive (first occurrence wins), values kept
// literally, CR LF line ends, file created on first write. Files are written
// in UTF-8; a line that is not valid UTF-8 is read as Windows-1252. The API
// takes and gives UTF-8.
#include <string>
#include <vector>

class IniProfile {
public:
    explicit IniProfile(std::string path);

    const std::string& path() const { return path_; }

    // The value of the key, or def when the section or key is missing.
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& def) const;
    // Replaces the key in place or adds it; false when the file could not be
    // written (the old file then stays as it was).
    bool WriteString(const std::string& section, const std::string& key,
                     const std::string& value);
    // Removes the key; false when the file could not be written.
    bool DeleteKey(const std::string& section, const std::string& key);
    // The keys of a section in file order (empty when missing).
    std::vector<std::string> ReadSectionKeys(const std::string& section) const;
    bool SectionExists(const std::string& section) const;

    // The errno of the last WriteString or DeleteKey that failed; 0 after
    // one that succeeded.
    int lastError() const { return lastError_; }

private:
    // Keeps errno as the last error; always false.
    bool failed();

    std::string path_;
    int lastError_ = 0;
};
