// Whole-file reads and one-step replaces with the C++ and POSIX file calls,
// for the native build and its tests.
#pragma once

#include <filesystem>

#include "platform/file_store_port.h"

namespace nuv {

class HostFiles : public FileStorePort {
 public:
  FileContents Read(const Text& path) override;
  bool Replace(const Text& path, const std::string& bytes) override;
  void RemoveStaleTemporary(const Text& path) override;
};

// The file system's path of a path as the system builds it (backslashes).
std::filesystem::path HostPath(const Text& path);

}  // namespace nuv
