#include "platform/win32/win32_process_image.h"

// windows.h comes first: the other system headers rely on it.
#include <tlhelp32.h>

#include "platform/win32/win32_text.h"

namespace nuv::win32 {

namespace {

Text LongPath(const Text& path) {
  std::vector<wchar_t> buffer(MAX_PATH + 1);
  DWORD n = GetLongPathNameW(W(path), buffer.data(), static_cast<DWORD>(buffer.size()));
  if (n >= buffer.size()) {
    buffer.resize(n + 1);
    n = GetLongPathNameW(W(path), buffer.data(), static_cast<DWORD>(buffer.size()));
  }
  return n == 0 || n >= buffer.size() ? path : FromW(buffer.data(), n);
}

struct WindowSearch {
  const Text* title;
  const Text* imagePath;
  HWND found = nullptr;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<WindowSearch*>(context);
  const int length = GetWindowTextLengthW(window);
  if (length != static_cast<int>(search->title->size())) return TRUE;
  std::vector<wchar_t> text(length + 1);
  GetWindowTextW(window, text.data(), length + 1);
  if (FromW(text.data()) != *search->title) return TRUE;
  DWORD id = 0;
  GetWindowThreadProcessId(window, &id);
  if (id == 0 || !SameImagePath(ProcessImagePath(id), *search->imagePath)) return TRUE;
  search->found = window;
  return FALSE;
}

}  // namespace

Text ProcessImagePath(HANDLE process) {
  std::vector<wchar_t> buffer(32768);
  DWORD n = static_cast<DWORD>(buffer.size());
  if (!QueryFullProcessImageNameW(process, 0, buffer.data(), &n)) return Text();
  return LongPath(FromW(buffer.data(), n));
}

Text ProcessImagePath(DWORD processId) {
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
  if (!process) return Text();
  Text path = ProcessImagePath(process);
  CloseHandle(process);
  return path;
}

bool SameImagePath(const Text& a, const Text& b) {
  if (a.empty() || b.empty()) return false;
  const Text longA = LongPath(a);
  const Text longB = LongPath(b);
  return CompareStringOrdinal(W(longA), static_cast<int>(longA.size()), W(longB),
                              static_cast<int>(longB.size()), TRUE) == CSTR_EQUAL;
}

std::vector<DWORD> ProcessesOfImage(const Text& imagePath) {
  std::vector<DWORD> found;
  const size_t slash = imagePath.find_last_of(u"\\/");
  const Text fileName = slash == Text::npos ? imagePath : imagePath.substr(slash + 1);
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return found;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32FirstW(snapshot, &entry); more;
       more = Process32NextW(snapshot, &entry)) {
    // The snapshot's file name (which may be the short one) sorts out most
    // processes before any is opened.
    if (entry.th32ProcessID == GetCurrentProcessId()) continue;
    const Text name = FromW(entry.szExeFile);
    if (CompareStringOrdinal(W(name), -1, W(fileName), -1, TRUE) != CSTR_EQUAL &&
        name.find(u'~') == Text::npos) {
      continue;
    }
    if (SameImagePath(ProcessImagePath(entry.th32ProcessID), imagePath)) {
      found.push_back(entry.th32ProcessID);
    }
  }
  CloseHandle(snapshot);
  return found;
}

HWND FindWindowOfImage(const Text& title, const Text& imagePath) {
  WindowSearch search{&title, &imagePath};
  EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace nuv::win32
