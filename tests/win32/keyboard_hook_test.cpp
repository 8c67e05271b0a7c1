// The recording's keyboard hook posts each keystroke to the window it was
// given, never to another program's window that took the main window's title.
#include <gtest/gtest.h>

#include "winapp/keyboard_hook.h"

namespace nuv {
namespace {

TEST(Win32KeyboardHook, KeystrokesGoToItsWindowNotToOneOfTheSameTitle) {
  const auto window = [] {
    return CreateWindowExW(0, L"STATIC", L"QUARVEL 241-7730 GAMING MOUSE", WS_POPUP, 0, 0, 10, 10,
                           nullptr, nullptr, nullptr, nullptr);
  };
  HWND main = window();
  HWND decoy = window();  // made last, so on top: a search by title finds it
  win32::Win32KeyboardHook hook;
  hook.SetTarget(main);
  ASSERT_TRUE(hook.InstallKeyboardHook());
  keybd_event('Q', 0, 0, 0);
  keybd_event('Q', 0, KEYEVENTF_KEYUP, 0);
  int toMain = 0;
  int toDecoy = 0;
  const DWORD end = GetTickCount() + 2000;
  while (GetTickCount() < end && toMain < 2) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_KEYDOWN || msg.message == WM_KEYUP) {
        if (msg.hwnd == main && msg.wParam == 'Q') ++toMain;
        if (msg.hwnd == decoy) ++toDecoy;
      }
      DispatchMessageW(&msg);
    }
    Sleep(5);
  }
  hook.RemoveKeyboardHook();
  EXPECT_EQ(toMain, 2);
  EXPECT_EQ(toDecoy, 0);
  DestroyWindow(main);
  DestroyWindow(decoy);
}

}  // namespace
}  // namespace nuv
