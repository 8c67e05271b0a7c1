#include "platform/win32/win32_system_time.h"

#include <windows.h>

namespace nuv::win32 {

SystemTimeOfDay Win32SystemTime::Now() {
  SYSTEMTIME now{};
  GetSystemTime(&now);
  return SystemTimeOfDay{now.wHour, now.wMinute, now.wSecond, now.wMilliseconds};
}

}  // namespace nuv::win32
