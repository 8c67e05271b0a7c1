// The HID port on the system's HID class and device-setup services, the
// decoding of WM_DEVICECHANGE, and the choice between the real mouse and the
// virtual one.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>

#include "platform/device_broadcast.h"
#include "platform/hid_port.h"

namespace nuv::win32 {

class Win32HidPort : public HidPort {
 public:
  std::unique_ptr<InterfaceList> ListPresentInterfaces() override;
  HidHandle Open(const Text& path, HidAccess access) override;
  void Close(HidHandle handle) override;
  std::optional<HidAttributes> Attributes(HidHandle handle) override;
  std::optional<HidCaps> Capabilities(HidHandle handle) override;
  bool SetFeature(HidHandle handle, std::span<const uint8_t> report) override;
  std::optional<size_t> ReadInputReport(HidHandle handle, std::span<uint8_t> buffer) override;
  void RegisterInterfaceNotifications(WindowId recipient) override;
};

// The record of a WM_DEVICECHANGE message (its lParam); nothing when there is
// none or it cannot be read.
std::optional<DeviceBroadcast> DecodeDeviceChange(LPARAM record);

// Sends WM_DEVICECHANGE with a device-interface record for `path` to `window`,
// as the system does when an interface arrives or goes away.
void SendDeviceChange(HWND window, uint32_t event, const Text& path);

}  // namespace nuv::win32
