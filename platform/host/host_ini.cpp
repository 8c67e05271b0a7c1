#include "platform/host/host_ini.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>

#include "platform/ini_document.h"

namespace nuv {

namespace {

std::filesystem::path ToFsPath(const Text& path) {
#ifdef _WIN32
  return std::filesystem::path(path);
#else
  // The system builds paths with backslashes (folder + "\\config.ini").
  Text p = path;
  for (auto& c : p) {
    if (c == u'\\') c = u'/';
  }
  return std::filesystem::path(Narrow(p));
#endif
}

// The window thread and the executor both write config.ini; like the system's
// routines, every call is one read-modify-write that no other call interleaves.
std::mutex& FileLock() {
  static std::mutex lock;
  return lock;
}

bool ReadFile(const Text& path, std::string& bytes) {
  std::ifstream in(ToFsPath(path), std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

}  // namespace

Text HostIni::GetString(const Text& path, const Text& section, const Text& key, size_t capacity) {
  std::lock_guard lock(FileLock());
  std::string bytes;
  if (!ReadFile(path, bytes)) return Text();
  const IniDocument doc = IniDocument::Parse(bytes);
  const IniDocument::Entry* entry = doc.Find(section, key);
  if (entry == nullptr || !entry->value) return Text();
  return CopyIniValue(*entry->value, capacity);
}

bool HostIni::SetString(const Text& path, const Text& section, const Text& key, const Text& value) {
  std::lock_guard lock(FileLock());
  std::string bytes;
  IniDocument doc;
  if (ReadFile(path, bytes))
    doc = IniDocument::Parse(bytes);
  else
    doc.sections.push_back(IniDocument::Section{});
  if (!doc.Set(section, key, value)) return true;
  std::ofstream out(ToFsPath(path), std::ios::binary | std::ios::trunc);
  if (!out) return false;
  const std::string serialised = doc.Serialise();
  out.write(serialised.data(), static_cast<std::streamsize>(serialised.size()));
  return static_cast<bool>(out);
}

}  // namespace nuv
