#pragma once
// The journal of a save that puts several files of one folder in place
// together (a program file with its pattern files). Once every temporary
// file is whole on disk, the journal naming each temporary and its target
// is put beside them; then the renames run; then the journal goes. A save
// killed in between leaves the journal, and whoever next saves or opens in
// that folder completes the renames it names, so the files are always all
// old or all new.
#include <string>
#include <vector>

// The journal's file name in its folder (hidden, as the temporaries are).
extern const char* const kSaveJournalName;

struct JournalRename {
    std::string temp;    // a file of the folder, whole on disk
    std::string target;  // the file of the same folder it replaces
};

// Puts the journal in folder (ending in "/"): the renames to run in their
// order, then the files to remove. File names without folder. 0, or the
// system's error number (the journal is then not there).
int WriteSaveJournal(const std::string& folder, const std::vector<JournalRename>& renames,
                     const std::vector<std::string>& removals);
// Removes the journal of folder once its save has run to its end. 0, or the
// system's error number.
int RemoveSaveJournal(const std::string& folder);

// Completes what the journal in folder names: each temporary still there is
// renamed over its target, the removals go, then the journal. A journal
// that is not whole (no rename ever ran after it) is only removed. Then the
// temporaries of every other save in folder whose process is gone are
// removed. 0 when no journal is left; else the system's error number of the
// step that failed, the journal (and every temporary) kept for another try.
int CompleteInterruptedSave(const std::string& folder);

// Marks the point between two steps of a journalled save. A test sets the
// point (counted from 1) at which the process kills itself, as a crash or
// a power cut would end it there; 0: never.
void SaveStepPoint();
void SetSaveStepKillForTesting(int point);
