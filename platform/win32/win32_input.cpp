#include "platform/win32/win32_input.h"

#include <windows.h>

namespace nuv::win32 {

void Win32Input::KeyEvent(uint8_t virtual_key, uint8_t scan_code, uint32_t flags) {
  keybd_event(virtual_key, scan_code, flags, 0);
}

void Win32Input::MouseEvent(uint32_t flags) { mouse_event(flags, 0, 0, 0, 0); }

uint32_t Win32Input::MapVirtualKeyToScanCode(uint32_t virtual_key) {
  return MapVirtualKeyW(virtual_key, MAPVK_VK_TO_VSC);
}

void Win32Input::PrepareCallingThread() {
  MSG message;
  PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);  // creates the thread's queue
  MapVirtualKeyW('A', MAPVK_VK_TO_VSC);
}

}  // namespace nuv::win32
