#include "platform/win32/win32_input.h"

#include <windows.h>

namespace nuv::win32 {

// The port's flags go to the system as they are.
static_assert(kKeyEventExtendedKey == KEYEVENTF_EXTENDEDKEY && kKeyEventKeyUp == KEYEVENTF_KEYUP);

void Win32Input::KeyEvent(uint8_t virtual_key, uint8_t scan_code, uint32_t flags) {
  keybd_event(virtual_key, scan_code, flags, 0);
}

void Win32Input::MouseEvent(uint32_t flags) { mouse_event(flags, 0, 0, 0, 0); }

uint32_t Win32Input::MapVirtualKeyToScanCode(uint32_t virtual_key) {
  return MapVirtualKeyW(virtual_key, MAPVK_VK_TO_VSC_EX);
}

void Win32Input::PrepareCallingThread() {
  MSG message;
  PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);  // creates the thread's queue
  MapVirtualKeyW('A', MAPVK_VK_TO_VSC_EX);
}

}  // namespace nuv::win32
