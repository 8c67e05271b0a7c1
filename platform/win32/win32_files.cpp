#include "platform/win32/win32_files.h"

#include <algorithm>

#include "platform/win32/win32_text.h"

namespace nuv::win32 {

namespace {

class FileHandle {
 public:
  explicit FileHandle(HANDLE h) : h_(h) {}
  ~FileHandle() {
    if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  HANDLE get() const { return h_; }
  bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
  // Closes now; false when the close reported an error.
  bool Close() {
    const bool closed = CloseHandle(h_) != FALSE;
    h_ = INVALID_HANDLE_VALUE;
    return closed;
  }

 private:
  HANDLE h_;
};

bool WriteAll(HANDLE file, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0)
      return false;
    done += written;
  }
  return true;
}

}  // namespace

FileContents Win32Files::Read(const Text& path) {
  // Others may read, write or replace the file meanwhile, as with the
  // system's private-profile routines.
  FileHandle file(CreateFileW(W(path), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) {
    const DWORD error = GetLastError();
    const bool absent = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    return {absent ? FileReadStatus::kAbsent : FileReadStatus::kUnreadable, {}};
  }
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size) ||
      static_cast<uint64_t>(size.QuadPart) > kLargestStoredFile) {
    return {FileReadStatus::kUnreadable, {}};
  }
  FileContents contents{FileReadStatus::kRead,
                        std::string(static_cast<size_t>(size.QuadPart), '\0')};
  size_t done = 0;
  while (done < contents.bytes.size()) {
    DWORD read = 0;
    if (!ReadFile(file.get(), contents.bytes.data() + done,
                  static_cast<DWORD>(contents.bytes.size() - done), &read, nullptr)) {
      return {FileReadStatus::kUnreadable, {}};
    }
    if (read == 0) break;  // the file became shorter meanwhile
    done += read;
  }
  contents.bytes.resize(done);
  return contents;
}

bool Win32Files::Replace(const Text& path, const std::string& bytes) {
  const Text temporary = ReplacementPath(path);
  bool written = false;
  {
    // Nobody else opens the new file until it is in place.
    FileHandle file(CreateFileW(W(temporary), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return false;
    written = WriteAll(file.get(), bytes) && FlushFileBuffers(file.get()) && file.Close();
  }
  if (written &&
      MoveFileExW(W(temporary), W(path), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return true;
  }
  DeleteFileW(W(temporary));
  return false;
}

void Win32Files::RemoveStaleTemporary(const Text& path) { DeleteFileW(W(ReplacementPath(path))); }

}  // namespace nuv::win32
