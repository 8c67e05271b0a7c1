// The Windows side of the install path's check (platform/folder_trust.h):
// reads what the system knows of each folder from the drive's root down and
// of the desktop's user, and makes the folders that are missing.
#pragma once

#include <string>
#include <vector>

#include "platform/folder_trust.h"
#include "platform/text.h"

namespace nuv::win32 {

// Each folder as it is now: whether it exists, whether it is a link, and its
// owner and DACL in text form ("" when they cannot be read).
std::vector<PathFolder> ReadPathFolders(const std::vector<Text>& folders);

// The SIDs counted as a normal user: the built-in ones, and the user and
// groups of the desktop shell's token (the user counted when no member of
// Administrators, even as a deny-only group), when there is a desktop shell.
std::vector<std::string> NormalUserSidsHere();

struct InstallPathResult {
  FolderVerdict verdict;
  Text folder;              // the folder refused or not made
  unsigned long error = 0;  // the system's error when a folder could not be made
};

// Checks the path to `installFolder` and makes each missing folder, top down,
// with `descriptor` (the administrators-only descriptor in text form) given at
// its creation, so that it never exists with an inherited one. A folder that
// appears in between (made by someone else) is checked like any existing
// one. Nothing is made when the path is refused.
InstallPathResult PrepareInstallPath(const Text& installFolder, const Text& descriptor);

}  // namespace nuv::win32
