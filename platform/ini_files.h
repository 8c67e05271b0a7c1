// The private-profile port over whole files: every file is read and parsed as
// the system's routines parse it, and every change replaces the whole file in
// one step (FileStorePort::Replace), never the live file key by key. The
// writes of one user action (a batch) replace each file they change once.
//
// Any thread may read and write. A batch belongs to the thread that began it;
// its writes are kept as a list and laid onto the file as it is when the
// batch ends, so a write of another thread in between (a DPI step of the
// mouse during an apply) is kept too.
#pragma once

#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "platform/file_store_port.h"
#include "platform/ini_document.h"
#include "platform/ini_port.h"

namespace nuv {

class IniFiles : public IniPort {
 public:
  explicit IniFiles(FileStorePort& files) : files_(files) {}

  Text GetString(const Text& path, const Text& section, const Text& key, size_t capacity) override;
  bool SetString(const Text& path, const Text& section, const Text& key,
                 const Text& value) override;
  void BeginBatch() override;
  bool EndBatch() override;

  // Told of every file that could not be written (the file is unchanged), on
  // the thread that wrote, after the write; set once before use.
  std::function<void(const Text& path)> saveFailed;

 private:
  struct Write {
    Text section;
    Text key;
    Text value;
  };
  struct FileWrites {
    Text path;
    std::vector<Write> writes;
  };
  struct Batch {
    std::thread::id thread;
    int depth = 0;
    std::vector<FileWrites> files;
  };

  // The file as this thread sees it: as stored, with its batch's writes.
  IniDocument View(const Text& path);
  // Lays the writes onto the stored file and replaces it.
  bool WriteFile(const Text& path, const std::vector<Write>& writes);
  Batch* ThisThreadsBatch();

  FileStorePort& files_;
  std::mutex writeMutex_;    // one read-change-replace at a time
  std::mutex batchesMutex_;  // guards batches_
  std::vector<Batch> batches_;
};

}  // namespace nuv
