#pragma once
// What a bound file looked like after the editor last loaded or saved it:
// a file that still matches holds the editor's text, so showing or
// activating the editor must not load it over unsaved edits.
#include <cstdint>
#include <string>

struct FileStamp {
    bool exists = false;
    uint64_t size = 0;
    int64_t mtimeNs = 0;
    uint64_t inode = 0;
    bool operator==(const FileStamp&) const = default;
};

FileStamp StampOf(const std::string& path);

struct ReloadInput {
    bool fileBound = false;
    bool nameBound = false;
    bool saveFailing = false;  // a failed save is pending: the text is the only copy
    FileStamp recorded;
    FileStamp current;
};
// Reload (or clear, when the file is gone) only when the file changed behind
// the editor's back.
bool ReloadWanted(const ReloadInput& in);
