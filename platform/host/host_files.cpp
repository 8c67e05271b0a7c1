#include "platform/host/host_files.h"

#include <fstream>
#include <iterator>
#include <system_error>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace nuv {

namespace {

#ifndef _WIN32
bool WriteDurably(const std::filesystem::path& file, const std::string& bytes) {
  const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  size_t done = 0;
  bool ok = true;
  while (ok && done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    ok = n > 0;
    if (ok) done += static_cast<size_t>(n);
  }
  ok = ok && ::fsync(fd) == 0;
  return ::close(fd) == 0 && ok;
}
#else
bool WriteDurably(const std::filesystem::path& file, const std::string& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.flush();
  return static_cast<bool>(out);
}
#endif

}  // namespace

std::filesystem::path HostPath(const Text& path) {
#ifdef _WIN32
  return std::filesystem::path(path);
#else
  Text p = path;
  for (auto& c : p) {
    if (c == u'\\') c = u'/';
  }
  return std::filesystem::path(Narrow(p));
#endif
}

FileContents HostFiles::Read(const Text& path) {
  const std::filesystem::path file = HostPath(path);
  std::error_code error;
  const auto status = std::filesystem::status(file, error);
  if (!std::filesystem::exists(status)) return {FileReadStatus::kAbsent, {}};
  const auto size = std::filesystem::file_size(file, error);
  if (error || size > kLargestStoredFile) return {FileReadStatus::kUnreadable, {}};
  std::ifstream in(file, std::ios::binary);
  if (!in) return {FileReadStatus::kUnreadable, {}};
  FileContents contents{FileReadStatus::kRead, {}};
  contents.bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return contents;
}

bool HostFiles::Replace(const Text& path, const std::string& bytes) {
  const std::filesystem::path file = HostPath(path);
  const std::filesystem::path temporary = HostPath(ReplacementPath(path));
  std::error_code error;
  if (WriteDurably(temporary, bytes)) {
    std::filesystem::rename(temporary, file, error);
    if (!error) return true;
  }
  std::filesystem::remove(temporary, error);
  return false;
}

void HostFiles::RemoveStaleTemporary(const Text& path) {
  std::error_code error;
  std::filesystem::remove(HostPath(ReplacementPath(path)), error);
}

}  // namespace nuv
