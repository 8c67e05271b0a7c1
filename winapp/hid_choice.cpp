#include "winapp/hid_choice.h"

#include <windows.h>

#include <filesystem>
#include <vector>

#include "platform/virtual/virtual_mouse.h"
#include "platform/win32/win32_hid.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/win32_wake.h"

namespace nuv::win32 {

std::optional<Text> EnvironmentValue(const wchar_t* name) {
  std::vector<wchar_t> buffer(256);
  for (;;) {
    SetLastError(ERROR_SUCCESS);
    const DWORD n = GetEnvironmentVariableW(name, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) {
      if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
      return Text();
    }
    if (n < buffer.size()) return FromW(buffer.data(), n);
    buffer.resize(n);
  }
}

std::unique_ptr<HidPort> CreateHidPort(const Text& application_folder) {
  if (EnvironmentValue(L"NUV_TALV_VIRTUAL_MOUSE") != Text(u"1")) {
    return std::make_unique<Win32HidPort>();
  }
  const auto fs_path = [](const Text& t) {
    return std::filesystem::path(std::wstring(reinterpret_cast<const wchar_t*>(t.c_str())));
  };
  VirtualMouseOptions options;
  // Lives as long as the mouse, which the program never frees.
  static Win32Wake reader_wake;
  options.readerWake = &reader_wake;
  if (auto trace = EnvironmentValue(L"NUV_TALV_VIRTUAL_MOUSE_TRACE"); trace && !trace->empty()) {
    options.tracePath = fs_path(*trace);
  }
  const auto control = EnvironmentValue(L"NUV_TALV_VIRTUAL_MOUSE_CONTROL");
  options.controlPath = fs_path(
      control && !control->empty() ? *control : application_folder + u"\\virtual_mouse.ctl");
  return std::make_unique<VirtualMouse>(
      std::move(options), [](WindowId window, uint32_t event, const Text& path) {
        SendDeviceChange(reinterpret_cast<HWND>(window), event, path);
      });
}

}  // namespace nuv::win32
