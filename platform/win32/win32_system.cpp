#include "platform/win32/win32_system.h"

#include <vector>

#include "app/startup.h"
#include "platform/win32/win32_text.h"

namespace nuv::win32 {

std::optional<int> Win32SystemSettings::GetPointerSpeed() {
  int speed = 0;
  if (!SystemParametersInfoW(SPI_GETMOUSESPEED, 0, &speed, 0)) return std::nullopt;
  return speed;
}

bool Win32SystemSettings::SetPointerSpeed(int speed) {
  // The speed belongs in pvParam; it goes into uiParam as well because some
  // implementations of the call (Wine's among them) read it from there.
  return SystemParametersInfoW(SPI_SETMOUSESPEED, static_cast<UINT>(speed),
                               reinterpret_cast<void*>(static_cast<intptr_t>(speed)),
                               SPIF_UPDATEINIFILE | SPIF_SENDCHANGE) != FALSE;
}

std::optional<int> Win32SystemSettings::GetWheelScrollLines() {
  UINT lines = 0;
  if (!SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0)) return std::nullopt;
  return static_cast<int>(lines);
}

bool Win32SystemSettings::SetWheelScrollLines(int lines) {
  return SystemParametersInfoW(SPI_SETWHEELSCROLLLINES, static_cast<UINT>(lines), nullptr,
                               SPIF_UPDATEINIFILE | SPIF_SENDCHANGE) != FALSE;
}

void Win32Input::KeyEvent(uint8_t virtual_key, uint8_t scan_code, uint32_t flags) {
  keybd_event(virtual_key, scan_code, flags, 0);
}

void Win32Input::MouseEvent(uint32_t flags) { mouse_event(flags, 0, 0, 0, 0); }

uint32_t Win32Input::MapVirtualKeyToScanCode(uint32_t virtual_key) {
  return MapVirtualKeyW(virtual_key, MAPVK_VK_TO_VSC);
}

Text ModulePath() {
  // A fixed buffer of MAX_PATH would cut a long path and give a wrong folder;
  // grow until the whole path fits.
  std::vector<wchar_t> buffer(MAX_PATH + 1);
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return Text();
    if (n < buffer.size()) return FromW(buffer.data(), n);
    if (buffer.size() >= 32768) return FromW(buffer.data(), n);
    buffer.resize(buffer.size() * 2);
  }
}

bool AdmitSingleInstance() {
  HANDLE mutex = CreateMutexW(nullptr, FALSE, W(Text(kSingleInstanceMutexName)));
  if (GetLastError() != ERROR_ALREADY_EXISTS) return true;  // kept until the process ends
  if (HWND first = FindWindowW(nullptr, W(Text(kMainWindowTitle)))) ShowWindow(first, SW_RESTORE);
  if (mutex) CloseHandle(mutex);
  return false;
}

}  // namespace nuv::win32
