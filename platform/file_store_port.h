// Whole files, read at once and replaced in one step: the configuration and
// macro files are written this way, so that another program reading them, a
// crash, a kill or a power cut finds the old file or the new one, never a mix.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/text.h"

namespace nuv {

enum class FileReadStatus {
  kRead,
  kAbsent,      // no such file (or folder): a new file may be made
  kUnreadable,  // there, but it could not be read (locked, denied, too large)
};

struct FileContents {
  FileReadStatus status = FileReadStatus::kAbsent;
  std::string bytes;
};

class FileStorePort {
 public:
  virtual ~FileStorePort() = default;
  virtual FileContents Read(const Text& path) = 0;
  // Writes `bytes` into a new file beside `path`, makes it durable, then puts
  // it in the place of `path` in one step. False when any of it failed: the
  // file at `path` is then as it was, and no temporary file stays.
  virtual bool Replace(const Text& path, const std::string& bytes) = 0;
  // Removes the temporary file that a replace of `path` interrupted by a
  // crash or a power cut left beside it. Reads never look at it.
  virtual void RemoveStaleTemporary(const Text& path) = 0;
};

// Larger files are not the program's: every store reads them as unreadable,
// so they are never replaced either.
constexpr uint64_t kLargestStoredFile = 16u << 20;

// The temporary file of a replace of `path`.
inline Text ReplacementPath(const Text& path) { return path + u".tmp"; }

}  // namespace nuv
