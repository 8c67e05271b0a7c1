#include "platform/win32/win32_folder_watch.h"

#include <windows.h>

#include <thread>

#include "platform/fault_barrier.h"
#include "platform/win32/win32_text.h"

namespace nuv::win32 {

namespace {

class Win32FolderWatch : public FolderWatch {
 public:
  Win32FolderWatch(HANDLE notification, HANDLE stop, std::function<void()> changed)
      : notification_(notification), stop_(stop), thread_([this, changed = std::move(changed)] {
          const HANDLE waits[] = {stop_, notification_};
          // Blocked but for a change or the stop.
          while (WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) {
            // Watching again before the call, so that a change while it runs
            // is not lost.
            const bool watching = FindNextChangeNotification(notification_);
            FaultBarrier(changed);
            if (!watching) return;
          }
        }) {}
  ~Win32FolderWatch() override {
    SetEvent(stop_);
    thread_.join();
    FindCloseChangeNotification(notification_);
    CloseHandle(stop_);
  }

 private:
  const HANDLE notification_;
  const HANDLE stop_;
  std::thread thread_;
};

}  // namespace

std::unique_ptr<FolderWatch> WatchFolder(const Text& folder, std::function<void()> changed) {
  HANDLE notification = FindFirstChangeNotificationW(
      W(folder), FALSE,
      FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE);
  if (notification == INVALID_HANDLE_VALUE) return nullptr;
  HANDLE stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (!stop) {
    FindCloseChangeNotification(notification);
    return nullptr;
  }
  return std::make_unique<Win32FolderWatch>(notification, stop, std::move(changed));
}

}  // namespace nuv::win32
