// The system's notices to the main window of sleep and wake (modern standby's
// too, which Windows tells only to those who ask) and of its session being
// attached to or detached from the console, and where the console is now.
#pragma once

#include <windows.h>

namespace nuv::win32 {

class Win32LifecycleNotifications {
 public:
  Win32LifecycleNotifications() = default;
  Win32LifecycleNotifications(const Win32LifecycleNotifications&) = delete;
  Win32LifecycleNotifications& operator=(const Win32LifecycleNotifications&) = delete;
  ~Win32LifecycleNotifications() { Unregister(); }

  // WM_POWERBROADCAST for the suspends and resumes of modern standby, and
  // WM_WTSSESSION_CHANGE for this process's session. What the system cannot
  // register is left out: the ordinary power broadcast still comes.
  void Register(HWND window);
  // Before the window is gone.
  void Unregister();

  // Whether the session attached to the console is this process's. A
  // question the system cannot answer counts as yes, so a PC that gives no
  // answer keeps its one copy working.
  static bool AttachedToConsole();

 private:
  HWND window_ = nullptr;
  void* power_ = nullptr;
  bool session_ = false;
};

}  // namespace nuv::win32
