// NUV_Talv_FileDialog.exe: shows one open or save dialog for the program and
// reads or writes the chosen file, as the desktop's user.
//
// The program, which runs elevated, starts it as a child of the desktop's
// shell (so it has the user's token and none of the program's handles) and
// passes the name of a pipe made for it. Over that pipe it gets the dialog to
// show, and answers with what the chosen file holds; for a save it then gets
// the new contents and writes them. It has no window besides the dialog and
// does nothing else; it ends when the exchange ends or the pipe breaks.
#include <windows.h>

#include <shellapi.h>

#include <optional>
#include <string>

#include "platform/file_dialog_wire.h"
#include "platform/win32/file_dialog_helper.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/wnd_shell.h"

namespace {

using namespace nuv;
using namespace nuv::win32;

struct Handle {
  HANDLE h = INVALID_HANDLE_VALUE;
  explicit Handle(HANDLE handle) : h(handle) {}
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  ~Handle() {
    if (h != INVALID_HANDLE_VALUE && h) CloseHandle(h);
  }
  bool valid() const { return h != INVALID_HANDLE_VALUE && h; }
};

bool Send(HANDLE pipe, WireType type, const std::string& body) {
  const std::string frame = FrameWireMessage(type, body);
  size_t sent = 0;
  while (sent < frame.size()) {
    DWORD done = 0;
    const auto chunk = static_cast<DWORD>(std::min<size_t>(frame.size() - sent, 65536));
    if (!WriteFile(pipe, frame.data() + sent, chunk, &done, nullptr) || done == 0) return false;
    sent += done;
  }
  return !frame.empty();
}

std::optional<WireMessage> Receive(HANDLE pipe, WireReader& reader) {
  std::string buffer(65536, '\0');
  for (;;) {
    if (auto message = reader.Next()) return message;
    if (reader.broken()) return std::nullopt;
    DWORD got = 0;
    if (!ReadFile(pipe, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr) ||
        got == 0) {
      return std::nullopt;
    }
    reader.Feed(buffer.data(), got);
  }
}

// What the chosen file holds, read with the user's rights: only a disk file,
// and only up to the exchange's limit.
ChosenFile ReadChosen(const Text& path) {
  Handle file(CreateFileW(W(path), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) {
    const DWORD error = GetLastError();
    const bool absent = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    return {absent ? ChosenFile::State::kAbsent : ChosenFile::State::kUnreadable, {}};
  }
  LARGE_INTEGER size{};
  if (GetFileType(file.h) != FILE_TYPE_DISK || !GetFileSizeEx(file.h, &size) || size.QuadPart < 0 ||
      static_cast<unsigned long long>(size.QuadPart) > kMaxExchangedFileBytes) {
    return {ChosenFile::State::kUnreadable, {}};
  }
  // One byte more than the limit tells a file that grew meanwhile.
  std::string bytes(kMaxExchangedFileBytes + 1, '\0');
  size_t got = 0;
  for (;;) {
    DWORD n = 0;
    if (!ReadFile(file.h, bytes.data() + got, static_cast<DWORD>(bytes.size() - got), &n,
                  nullptr)) {
      return {ChosenFile::State::kUnreadable, {}};
    }
    if (n == 0) break;
    got += n;
    if (got > kMaxExchangedFileBytes) return {ChosenFile::State::kUnreadable, {}};
  }
  bytes.resize(got);
  return {ChosenFile::State::kRead, std::move(bytes)};
}

bool WriteAll(HANDLE file, const std::string& bytes) {
  size_t written = 0;
  while (written < bytes.size()) {
    DWORD n = 0;
    const auto chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - written, 65536));
    if (!WriteFile(file, bytes.data() + written, chunk, &n, nullptr) || n == 0) return false;
    written += n;
  }
  return FlushFileBuffers(file) != FALSE;
}

// Writes the whole file with the user's rights: a new file beside it that
// replaces it in one step, so that a reader or a crash sees the old file or
// the new one; where the folder takes no new file, the file itself.
bool WriteChosen(const Text& path, const std::string& bytes) {
  const Text temporary = path + u"." + FormatInt(GetCurrentProcessId()) + u".tmp";
  {
    Handle file(CreateFileW(W(temporary), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.valid()) {
      const bool written = WriteAll(file.h, bytes);
      CloseHandle(file.h);
      file.h = INVALID_HANDLE_VALUE;
      if (written &&
          MoveFileExW(W(temporary), W(path), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
      }
      DeleteFileW(W(temporary));
      if (!written) return false;
    }
  }
  Handle file(CreateFileW(W(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                          nullptr));
  return file.valid() && WriteAll(file.h, bytes);
}

int Run(const Text& pipeName) {
  // Identification only: the program cannot act as the user through us.
  Handle pipe(CreateFileW(W(pipeName), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                          SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION, nullptr));
  if (!pipe.valid()) return 1;
  WireReader reader;
  const auto message = Receive(pipe.h, reader);
  if (!message || message->type != WireType::kRequest) return 1;
  const auto request = DecodeRequest(message->body);
  if (!request) return 1;

  const auto path = ShowFileDialog(FileDialogRequest{
      nullptr, request->save, request->filter, request->defaultExtension, request->initialFolder});
  // The program's window comes back to the front when we end.
  ULONG program = 0;
  if (GetNamedPipeServerProcessId(pipe.h, &program)) AllowSetForegroundWindow(program);
  if (!path) return Send(pipe.h, WireType::kCancelled, std::string()) ? 0 : 1;
  const ChosenFile chosen = ReadChosen(*path);
  if (!Send(pipe.h, WireType::kChosen, EncodeChosen(chosen))) return 1;
  if (!request->save) return 0;

  const auto write = Receive(pipe.h, reader);
  if (!write || write->type != WireType::kWrite) return 0;  // abandoned
  const bool written = WriteChosen(*path, write->body);
  return Send(pipe.h, WireType::kDone, EncodeDone(written)) && written ? 0 : 1;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv) return 2;
  const Text pipeName = argc == 2 ? FromW(argv[1]) : Text();
  LocalFree(argv);
  // Only a pipe the program made for a helper: this program opens nothing else.
  const Text prefix = kFileDialogPipePrefix;
  if (pipeName.size() != prefix.size() + 32 || pipeName.compare(0, prefix.size(), prefix) != 0) {
    return 2;
  }
  return Run(pipeName);
}
