#include "platform/win32/win32_folder_watch.h"

#include <windows.h>

#include <thread>

#include "platform/win32/win32_text.h"

namespace nuv::win32 {

bool WatchFolder(const Text& folder, std::function<void()> changed) {
  HANDLE notification = FindFirstChangeNotificationW(
      W(folder), FALSE,
      FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE);
  if (notification == INVALID_HANDLE_VALUE) return false;
  // Blocked in the wait but for a change; ends with the process.
  std::thread([notification, changed = std::move(changed)] {
    while (WaitForSingleObject(notification, INFINITE) == WAIT_OBJECT_0) {
      // Watching again before the call, so that a change while it runs is
      // not lost.
      const bool watching = FindNextChangeNotification(notification);
      changed();
      if (!watching) break;
    }
    FindCloseChangeNotification(notification);
  }).detach();
  return true;
}

}  // namespace nuv::win32
