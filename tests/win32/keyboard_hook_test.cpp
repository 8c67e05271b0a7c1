// The recording's keyboard hook posts each keystroke to the window it was
// given, never to another program's window that took the main window's title,
// and only while that window is in front: otherwise the key goes on and the
// window is told to end the recording.
#include <gtest/gtest.h>

#include "winapp/keyboard_hook.h"

namespace nuv {
namespace {

TEST(Win32KeyboardHook, KeystrokesGoToItsWindowNotToOneOfTheSameTitle) {
  const auto window = [] {
    return CreateWindowExW(0, L"STATIC", L"QUARVEL 241-7730 GAMING MOUSE", WS_POPUP | WS_VISIBLE, 0,
                           0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  };
  HWND main = window();
  HWND decoy = window();  // made last, so on top: a search by title finds it
  win32::Win32KeyboardHook hook;
  hook.SetTarget(main);
  ASSERT_TRUE(hook.InstallKeyboardHook());
  int toMain = 0;
  int toDecoy = 0;
  int ends = 0;
  for (HWND front : {main, decoy}) {
    SetForegroundWindow(front);
    keybd_event('Q', 0, 0, 0);
    keybd_event('Q', 0, KEYEVENTF_KEYUP, 0);
    const DWORD end = GetTickCount() + 1500;
    while (GetTickCount() < end) {
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        const bool key =
            (msg.message == WM_KEYDOWN || msg.message == WM_KEYUP) && msg.wParam == 'Q';
        if (key && msg.hwnd == main && (msg.lParam & 0xFFFF) == 0) ++toMain;
        if (key && msg.hwnd == decoy && front == main) ++toDecoy;
        if (msg.message == win32::Win32KeyboardHook::kEndRecordingMessage) ++ends;
        DispatchMessageW(&msg);
      }
      Sleep(5);
    }
  }
  hook.RemoveKeyboardHook();
  EXPECT_EQ(toMain, 2);  // in front; then no more
  EXPECT_EQ(toDecoy, 0);
  EXPECT_EQ(ends, 1);
  DestroyWindow(main);
  DestroyWindow(decoy);
}

}  // namespace
}  // namespace nuv
