#include "platform/win32/win32_lifecycle_notifications.h"

#include "platform/win32/system_library.h"

namespace nuv::win32 {

namespace {

// The window handle as the recipient; notices for this session only.
constexpr DWORD kNotifyWindowHandle = 0;
constexpr DWORD kNotifyForThisSession = 0;
constexpr DWORD kNoConsoleSession = 0xFFFFFFFF;

using RegisterPower = void*(WINAPI*)(HANDLE, DWORD);
using UnregisterPower = BOOL(WINAPI*)(void*);
using RegisterSession = BOOL(WINAPI*)(HWND, DWORD);
using UnregisterSession = BOOL(WINAPI*)(HWND);

// Looked up once: user32 may lack the modern-standby functions (older
// systems), and the session functions live in a DLL outside KnownDLLs.
const SystemLibrary& User32() {
  static const SystemLibrary library(L"user32.dll");
  return library;
}

const SystemLibrary& Wtsapi32() {
  static const SystemLibrary library(L"wtsapi32.dll");
  return library;
}

}  // namespace

void Win32LifecycleNotifications::Register(HWND window) {
  Unregister();
  window_ = window;
  if (auto add = User32().Function<RegisterPower>("RegisterSuspendResumeNotification")) {
    power_ = add(window, kNotifyWindowHandle);
  }
  if (auto add = Wtsapi32().Function<RegisterSession>("WTSRegisterSessionNotification")) {
    session_ = add(window, kNotifyForThisSession) != FALSE;
  }
}

void Win32LifecycleNotifications::Unregister() {
  if (power_) {
    if (auto remove = User32().Function<UnregisterPower>("UnregisterSuspendResumeNotification")) {
      remove(power_);
    }
    power_ = nullptr;
  }
  if (session_) {
    if (auto remove = Wtsapi32().Function<UnregisterSession>("WTSUnRegisterSessionNotification")) {
      remove(window_);
    }
    session_ = false;
  }
  window_ = nullptr;
}

bool Win32LifecycleNotifications::AttachedToConsole() {
  DWORD own = 0;
  if (!ProcessIdToSessionId(GetCurrentProcessId(), &own)) return true;
  // While the console changes hands no session is attached: not ours then,
  // and the attach that ends the change tells us if it becomes ours.
  const DWORD console = WTSGetActiveConsoleSessionId();
  return console != kNoConsoleSession ? console == own : false;
}

}  // namespace nuv::win32
