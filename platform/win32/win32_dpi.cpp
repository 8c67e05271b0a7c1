#include "platform/win32/win32_dpi.h"

namespace nuv::win32 {

namespace {

// Looked up at run time: the program still starts on systems without them.
template <typename Function>
Function User32Function(const char* name) {
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  return user32 ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name)))
                : nullptr;
}

int32_t SystemDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : USER_DEFAULT_SCREEN_DPI;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

}  // namespace

int32_t WindowDpi(HWND window) {
  using ForWindow = UINT(WINAPI*)(HWND);
  static const auto forWindow = User32Function<ForWindow>("GetDpiForWindow");
  if (forWindow && window) {
    if (const UINT dpi = forWindow(window)) return static_cast<int32_t>(dpi);
  }
  return SystemDpi();
}

HICON ProgramIconAtDpi(int resourceId, bool small, int32_t dpi) {
  using MetricsForDpi = int(WINAPI*)(int, UINT);
  static const auto metrics = User32Function<MetricsForDpi>("GetSystemMetricsForDpi");
  const int index = small ? SM_CXSMICON : SM_CXICON;
  const int size = metrics ? metrics(index, static_cast<UINT>(dpi))
                           : MulDiv(GetSystemMetrics(index), dpi, SystemDpi());
  return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resourceId),
                                       IMAGE_ICON, size, size, LR_DEFAULTCOLOR | LR_SHARED));
}

}  // namespace nuv::win32
