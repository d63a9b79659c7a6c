#pragma once
// The folder of the user's sockets and lock files: $XDG_RUNTIME_DIR, else a
// folder of the user's own below the system's temporary folder ($TMPDIR,
// else /tmp), "vasp-<uid>". The temporary folder is shared by every user: a
// name taken there first by somebody else would catch what is meant for this
// user (another's DDE server receiving our commands, another's lock file
// keeping the program from starting), so nothing of ours goes there directly.
#include <string>

// The folder, without a trailing "/". Without $XDG_RUNTIME_DIR the private
// folder is created (mode 0700) when missing; error is set, and the folder
// must not be used, when it is no folder of this user's alone (see
// CheckPrivateFolder).
std::string RuntimeFolder(std::string& error);

// The private folder's path, whether or not it exists.
std::string PrivateRuntimeFolderPath();

// Creates path (mode 0700) when missing and checks it without following a
// link: a folder owned by this user that no other user may enter. False with
// the reason in error otherwise; an existing folder is never changed.
bool CheckPrivateFolder(const std::string& path, std::string& error);
