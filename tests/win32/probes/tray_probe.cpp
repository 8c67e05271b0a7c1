// Plays Explorer's part for the main window's tray icon, from another
// process: "delete" removes the icon (as a taskbar that went away loses it),
// "taskbar-created" broadcasts what a new taskbar broadcasts. Exit code 1
// when the window is not found or the call fails.

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <cwchar>

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) return 2;
  HWND window = FindWindowW(nullptr, L"QUARVEL 241-7730 GAMING MOUSE");
  if (!window) return 1;
  if (std::wcscmp(argv[1], L"delete") == 0) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = window;
    data.uID = 153;  // the main window's icon
    return Shell_NotifyIconW(NIM_DELETE, &data) ? 0 : 1;
  }
  if (std::wcscmp(argv[1], L"taskbar-created") == 0) {
    return SendNotifyMessageW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0) ? 0
                                                                                               : 1;
  }
  return 2;
}
