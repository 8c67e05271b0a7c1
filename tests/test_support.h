// Helpers shared by the tests: a scratch folder per test and file access.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

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

// The INI adapters this build can test: the host one everywhere, the
// system's own as well on Windows.
std::vector<std::pair<std::string, std::unique_ptr<IniPort>>> IniAdaptersUnderTest();

inline Text T(const char* utf8) { return Widen(utf8); }

}  // namespace nuv::test
