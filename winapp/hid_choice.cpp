#include "winapp/hid_choice.h"

#include <windows.h>

#include <filesystem>

#include "platform/virtual/virtual_mouse.h"
#include "platform/win32/win32_folder_watch.h"
#include "platform/win32/win32_hid.h"

namespace nuv::win32 {

std::unique_ptr<HidPort> CreateHidPort(const Text& application_folder, bool virtual_mouse,
                                       WakePort* reader_wake) {
  if (!virtual_mouse) return std::make_unique<Win32HidPort>();
  const auto fs_path = [](const Text& t) {
    return std::filesystem::path(std::wstring(reinterpret_cast<const wchar_t*>(t.c_str())));
  };
  VirtualMouseOptions options;
  options.readerWake = reader_wake;
  options.tracePath = fs_path(application_folder + u"\\" + kVirtualMouseTraceFile);
  options.controlPath = fs_path(application_folder + u"\\" + kVirtualMouseControlFile);
  options.watchControl = [application_folder](std::function<void()> changed) {
    return WatchFolder(application_folder, std::move(changed));
  };
  return std::make_unique<VirtualMouse>(
      std::move(options), [](WindowId window, uint32_t event, const Text& path) {
        SendDeviceChange(reinterpret_cast<HWND>(window), event, path);
      });
}

}  // namespace nuv::win32
