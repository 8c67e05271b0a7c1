#include "platform/win32/win32_system.h"

#include <vector>

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

}  // namespace nuv::win32
