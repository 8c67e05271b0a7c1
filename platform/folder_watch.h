// A running watch of a folder's changes (see win32/win32_folder_watch.h).
// Destroying it stops the watch: no call of its change function begins after
// the destructor has returned, and none is still running then.
#pragma once

namespace nuv {

class FolderWatch {
 public:
  virtual ~FolderWatch() = default;
};

}  // namespace nuv
