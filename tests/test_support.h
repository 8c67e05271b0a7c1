// Helpers shared by the tests: a scratch folder per test and file access.
#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/file_store_port.h"
#include "platform/ini_port.h"
#include "platform/text.h"

namespace nuv::test {

// A fresh folder, removed again at the end of the test.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // The folder as the system names it (no trailing separator).
  Text folder() const;
  // folder + "\\" + name, as the system builds its paths.
  Text Path(const std::string& name) const;
  std::filesystem::path FsPath(const std::string& name) const { return dir_ / name; }
  void Write(const std::string& name, const std::string& bytes) const;
  std::string Read(const std::string& name) const;
  bool Exists(const std::string& name) const;

 private:
  std::filesystem::path dir_;
};

// The INI adapters this build can test: the host one everywhere; on Windows
// also the system's own routines and the program's port over the system's
// file calls.
std::vector<std::pair<std::string, std::unique_ptr<IniPort>>> IniAdaptersUnderTest();

// The file store the program uses on this platform.
std::unique_ptr<FileStorePort> FileStoreUnderTest();

// That store, counting the replaces of each file; it can be told to refuse
// them, or to find every file unreadable.
struct CountingFiles : FileStorePort {
  FileContents Read(const Text& path) override {
    return unreadable ? FileContents{FileReadStatus::kUnreadable, {}} : store->Read(path);
  }
  bool Replace(const Text& path, const std::string& bytes) override {
    ++replaces[Narrow(path)];
    return !refuse && store->Replace(path, bytes);
  }
  void RemoveStaleTemporary(const Text& path) override { store->RemoveStaleTemporary(path); }

  std::unique_ptr<FileStorePort> store = FileStoreUnderTest();
  std::map<std::string, int> replaces;
  bool refuse = false;
  bool unreadable = false;
};

inline Text T(const char* utf8) { return Widen(utf8); }

}  // namespace nuv::test
