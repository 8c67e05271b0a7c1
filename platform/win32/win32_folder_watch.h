// Change notifications of one folder, for the virtual mouse's control file:
// the system tells us about a change instead of our reading the file on a
// timer.
#pragma once

#include <functional>
#include <memory>

#include "platform/folder_watch.h"
#include "platform/text.h"

namespace nuv::win32 {

// Calls `changed` on a thread of its own after each change of a file's name,
// size or write time in `folder` (not its subfolders), until the returned
// watch is destroyed. Null when the system cannot watch the folder.
std::unique_ptr<FolderWatch> WatchFolder(const Text& folder, std::function<void()> changed);

}  // namespace nuv::win32
