// Whole-file reads and one-step replaces with the system's file calls: the
// new file is written beside the old one, flushed to the disk, and moved over
// it with MoveFileExW (replace existing, write through).
#pragma once

#include "platform/file_store_port.h"

namespace nuv::win32 {

class Win32Files : public FileStorePort {
 public:
  FileContents Read(const Text& path) override;
  bool Replace(const Text& path, const std::string& bytes) override;
  void RemoveStaleTemporary(const Text& path) override;
};

}  // namespace nuv::win32
