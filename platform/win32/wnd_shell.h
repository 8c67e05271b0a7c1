// The window framework, part 4: the application object, the notification-area
// (tray) icon, message boxes and the standard file dialogs.
#pragma once

#include <windows.h>

#include <optional>

#include "platform/text.h"

namespace nuv::win32 {

// The process's application object: wWinMain calls Run, which calls
// InitInstance; a false result ends the process without a loop of its own
// (the main window runs its modal loop inside InitInstance).
class WinApp {
 public:
  WinApp();
  virtual ~WinApp();
  WinApp(const WinApp&) = delete;
  WinApp& operator=(const WinApp&) = delete;

  static WinApp* Current();
  int Run();
  HWND mainWindow() const { return mainWindow_; }
  void SetMainWindow(HWND hwnd) { mainWindow_ = hwnd; }

 protected:
  virtual bool InitInstance() { return false; }

 private:
  HWND mainWindow_ = nullptr;
};

// The notification-area icon of a window, identified by the window and an id.
struct TrayIconRecord {
  HWND owner = nullptr;
  UINT id = 0;
  UINT callbackMessage = 0;
  HICON icon = nullptr;
  Text tip;
};
// NIM_ADD with message, icon and tip; the result is not looked at by callers.
bool AddTrayIcon(const TrayIconRecord& record);
bool DeleteTrayIcon(HWND owner, UINT id);

// A modal message box; the system's result (IDOK, ...).
int ShowMessageBox(HWND owner, const Text& text, const Text& caption, UINT type = MB_OK);

// The standard open and save dialogs, owned by `owner`, starting in
// `initialFolder`, read-only box hidden. `filter` has the "Name|*.ext||" form;
// the save dialog adds `defaultExtension` and asks before overwriting.
struct FileDialogRequest {
  HWND owner = nullptr;
  bool save = false;
  Text filter;
  Text defaultExtension;
  Text initialFolder;
};
// The chosen file's full path, or nothing when the user cancelled.
std::optional<Text> ShowFileDialog(const FileDialogRequest& request);

}  // namespace nuv::win32
