#include "platform/win32/win32_hid.h"  // brings windows.h, which dbt.h needs first
#include <dbt.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device/device_link.h"
#include "platform/virtual/virtual_mouse.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/win32_wake.h"
#include "settings/settings_protocol.h"
#include "test_support.h"
#include "winapp/hid_choice.h"

namespace nuv::test {
namespace {

TEST(Win32Hid, SearchWithoutTheMouseFindsNothingAndSetsNoHandle) {
  win32::Win32HidPort port;
  DeviceLink link;
  DeviceConnection connection(port, link);
  EXPECT_EQ(connection.Search(), 0);
  EXPECT_EQ(link.readHandle, kNullHidHandle);
  EXPECT_EQ(link.writeHandle, kNullHidHandle);
  EXPECT_TRUE(link.devicePath.empty());

  // The sends and reads of a program without its mouse fail at once.
  FeatureReportSender sender(port, link);
  EXPECT_FALSE(sender.Send(kCommandWheelStatus, 0, 0));
  sender.SendExitCommand();
  std::vector<uint8_t> buffer(64);
  EXPECT_FALSE(port.ReadInputReport(link.readHandle, buffer));
  EXPECT_FALSE(port.ReadInputReport(kInvalidHidHandle, buffer));
  EXPECT_FALSE(port.Attributes(kInvalidHidHandle));
  EXPECT_FALSE(port.Capabilities(kNullHidHandle));
}

TEST(Win32Hid, InterfacesTheSystemListsCanBeExamined) {
  // Wine lists HID interfaces of its own; whatever is there is read safely.
  win32::Win32HidPort port;
  auto list = port.ListPresentInterfaces();
  ASSERT_TRUE(list);
  for (uint32_t index = 0;; ++index) {
    const HidPort::ListedInterface listed = list->At(index);
    if (listed.end) break;  // the system's list ends
    ASSERT_LT(index, 100000u);
    const std::optional<Text>& path = listed.path;
    if (!path) continue;
    EXPECT_FALSE(path->empty());
    const HidHandle query = port.Open(*path, HidAccess::kQuery);
    if (query == kInvalidHidHandle) continue;
    if (const auto attributes = port.Attributes(query)) {
      EXPECT_FALSE(attributes->vendorId == kMouseVendorId &&
                   attributes->productId == kMouseProductId);
    }
    port.Capabilities(query);
    port.Close(query);
  }
  EXPECT_EQ(port.Open(u"\\\\?\\hid#no_such_device", HidAccess::kRead), kInvalidHidHandle);
}

TEST(Win32Hid, DeviceChangeRecordsAsTheSystemLaysThemOut) {
  EXPECT_EQ(sizeof(DEV_BROADCAST_DEVICEINTERFACE_W), 32u);
  EXPECT_EQ(offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name), kBroadcastPathOffset);
  EXPECT_FALSE(win32::DecodeDeviceChange(0));

  // A record built with the system's own structure.
  const std::wstring path = L"\\\\?\\HID#VID_18F8&PID_0F99&Col02#x#{4d1e55b2}";
  std::vector<uint8_t> bytes(sizeof(DEV_BROADCAST_DEVICEINTERFACE_W) + path.size() * 2);
  auto* record = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_W*>(bytes.data());
  record->dbcc_size = static_cast<DWORD>(bytes.size());
  record->dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
  wcscpy(record->dbcc_name, path.c_str());
  auto decoded = win32::DecodeDeviceChange(reinterpret_cast<LPARAM>(bytes.data()));
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->deviceType, kDeviceTypeInterface);
  EXPECT_EQ(decoded->path, win32::FromW(path.c_str()));

  // A volume record: another device type, read only as far as its header.
  DEV_BROADCAST_VOLUME volume{};
  volume.dbcv_size = sizeof(volume);
  volume.dbcv_devicetype = DBT_DEVTYP_VOLUME;
  decoded = win32::DecodeDeviceChange(reinterpret_cast<LPARAM>(&volume));
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->deviceType, static_cast<uint32_t>(DBT_DEVTYP_VOLUME));
}

// A window that remembers the WM_DEVICECHANGE messages it gets.
std::vector<std::pair<WPARAM, DeviceBroadcast>>* g_received = nullptr;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_DEVICECHANGE && g_received) {
    if (auto broadcast = win32::DecodeDeviceChange(lparam)) {
      g_received->emplace_back(wparam, *broadcast);
    }
    return TRUE;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

struct RecordingWindow {
  RecordingWindow() {
    WNDCLASSW cls{};
    cls.lpfnWndProc = RecordingProc;
    cls.hInstance = GetModuleHandleW(nullptr);
    cls.lpszClassName = L"NuvHidTestWindow";
    RegisterClassW(&cls);
    window = CreateWindowExW(0, cls.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                             cls.hInstance, nullptr);
    g_received = &received;
  }
  ~RecordingWindow() {
    g_received = nullptr;
    DestroyWindow(window);
  }
  HWND window = nullptr;
  std::vector<std::pair<WPARAM, DeviceBroadcast>> received;
};

TEST(Win32Hid, VirtualMouseUnplugReachesTheWindowAsDeviceChange) {
  RecordingWindow w;
  ASSERT_NE(w.window, nullptr);
  ScratchFolder dir;
  win32::Win32Wake wake;  // outlives the mouse
  std::unique_ptr<HidPort> port = win32::CreateHidPort(dir.folder(), true, &wake);
  auto* mouse = dynamic_cast<VirtualMouse*>(port.get());
  ASSERT_NE(mouse, nullptr);

  DeviceLink link;
  DeviceConnection connection(*port, link);
  connection.window = reinterpret_cast<WindowId>(w.window);
  connection.WatchInterfaces();
  ASSERT_EQ(connection.Search(), 1);
  FeatureReportSender(*port, link).Send(kCommandWheelStatus, 1, 0);
  // The trace and the control file are the application folder's.
  EXPECT_EQ(dir.Read("virtual_mouse.trace"), "F 07 11 01 00 00 00 00 00\n");
  std::vector<uint8_t> report(VirtualMouse::kInputReportLength);
  dir.Write("virtual_mouse.ctl", "report 06 00\n");
  const auto read = port->ReadInputReport(link.readHandle, report);
  ASSERT_TRUE(read);
  EXPECT_EQ(report[0], 6);
  EXPECT_EQ(dir.Read("virtual_mouse.trace"),
            "F 07 11 01 00 00 00 00 00\nI 06 00 00 00 00 00 00 00\n");

  // Sent from this thread, so the window procedure runs at once.
  mouse->Unplug();
  ASSERT_EQ(w.received.size(), 2u);
  EXPECT_EQ(w.received[0].first, static_cast<WPARAM>(DBT_DEVICEREMOVECOMPLETE));
  EXPECT_EQ(w.received[1].second.path, VirtualMouse::kFeatureCollectionPath);
  EXPECT_TRUE(PathMatches(link, w.received[1].second));
  mouse->Plug();
  EXPECT_EQ(w.received.back().first, static_cast<WPARAM>(DBT_DEVICEARRIVAL));

  // Without the switch the system's HID services are used.
  EXPECT_FALSE(dynamic_cast<VirtualMouse*>(win32::CreateHidPort(dir.folder(), false, &wake).get()));
}

}  // namespace
}  // namespace nuv::test
