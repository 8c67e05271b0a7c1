// A stand-in for the mouse and its firmware behind the HID port, so that the
// program can be used and tested without the physical mouse.
//
// It lists the mouse's two vendor collections (input reports on 0xFF00/1,
// feature reports on 0xFF01/1, vendor 0x18F8, product 0x0F99) after one other
// HID device, keeps what the feature reports configure, sends the ready report
// 06 00 a short while after it was given a host-handled button (0x1F), reports
// presses (05 F0+n) and releases (05 00) of host-handled buttons, and can be
// unplugged and plugged again, which registered windows hear as removal and
// arrival of its two interfaces.
//
// With a trace file it appends one line per report, flushed at once:
//   F <the L bytes of a feature report it received>
//   I <the bytes of an input report it sent>
// in upper-case hex separated by spaces. With a control file it follows the
// lines appended to it (see virtual_control.h).
#pragma once

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/folder_watch.h"
#include "platform/hid_port.h"
#include "platform/virtual/virtual_control.h"
#include "platform/wake_port.h"

namespace nuv {

struct VirtualMouseOptions {
  std::filesystem::path tracePath;    // empty: no trace
  std::filesystem::path controlPath;  // empty: no outside control
  std::chrono::milliseconds readyDelay{300};
  std::chrono::milliseconds controlPollInterval{25};
  // Wakes a reader blocked in ReadInputReport when a report arrives. Without
  // one the mouse's own condition variable does; on Windows the system's
  // address wait is much quicker. Its Signal must take no lock of a waiter.
  WakePort* readerWake = nullptr;
  // Reading the control file 40 times a second costs an idle program more than
  // everything else it does. Given a watch, the mouse reads the file when the
  // watch says its folder changed, and otherwise only every
  // watchedPollInterval (in case a change went unnoticed). The watch is given
  // the function to call on each change (from any thread) and returns the
  // running watch, which the mouse destroys first when it goes; null when it
  // could not start watching, and the mouse polls.
  std::function<std::unique_ptr<FolderWatch>(std::function<void()> changed)> watchControl{};
  std::chrono::milliseconds watchedPollInterval{5000};
};

// Hands a device-change event for an interface path to a registered window.
using DeviceChangeDelivery = std::function<void(WindowId window, uint32_t event, const Text& path)>;

// What the firmware was told. Button functions are indexed by the mouse's own
// button number (1..8); nothing until a report set them.
struct VirtualFirmwareState {
  std::array<std::optional<uint8_t>, 9> buttonFunction{};
  uint8_t wheelStatus = 0;
  uint8_t dpiLevel = 0;
  uint8_t dpiLedByte = 0;
  uint8_t fireTimeUnits = 0;  // fire time / 8
  bool exitReceived = false;
};

class VirtualMouse : public HidPort {
 public:
  static constexpr uint16_t kInputReportLength = 8;
  static constexpr uint16_t kFeatureReportLength = 8;
  static constexpr uint8_t kButtonReportId = 5;
  static constexpr uint8_t kReadyReportId = 6;
  // Windows keeps this many unread input reports per device.
  static constexpr size_t kInputQueueLimit = 32;
  // Received feature reports kept for inspection (the latest ones).
  static constexpr size_t kReceivedLimit = 4096;

  // Interface paths as the system would name them. Never destroyed (leaked
  // on purpose): the mouse's thread and the program's reader may still use
  // them while the process ends and its static objects are destroyed.
  static const Text& kOtherDevicePath;
  static const Text& kInputCollectionPath;
  static const Text& kFeatureCollectionPath;

  explicit VirtualMouse(VirtualMouseOptions options = {}, DeviceChangeDelivery delivery = {});
  // Blocked reads return failing first; readers must not call in afterwards.
  ~VirtualMouse() override;
  VirtualMouse(const VirtualMouse&) = delete;
  VirtualMouse& operator=(const VirtualMouse&) = delete;

  // HidPort.
  std::unique_ptr<InterfaceList> ListPresentInterfaces() override;
  HidHandle Open(const Text& path, HidAccess access) override;
  void Close(HidHandle handle) override;
  std::optional<HidAttributes> Attributes(HidHandle handle) override;
  std::optional<HidCaps> Capabilities(HidHandle handle) override;
  bool SetFeature(HidHandle handle, std::span<const uint8_t> report) override;
  std::optional<size_t> ReadInputReport(HidHandle handle, std::span<uint8_t> buffer) override;
  void RegisterInterfaceNotifications(WindowId recipient) override;

  // The mouse's side. A press reports the button only when its function is
  // host-handled; otherwise the firmware performs it and the program sees nothing.
  void PressButton(int device_button);
  void ReleaseButton();
  // Sends any bytes as an input report (cut or padded to the report length).
  void SendInputReport(std::span<const uint8_t> bytes);
  void Unplug();
  // Comes back with its power-on state: nothing configured.
  void Plug();
  // One line of the control channel; false when it is no command.
  bool ExecuteControlLine(std::string_view line);

  bool plugged() const;
  VirtualFirmwareState Firmware() const;
  std::vector<std::vector<uint8_t>> ReceivedFeatureReports() const;
  size_t RegistrationCount() const;

 private:
  enum class Interface { kOther, kInput, kFeature };
  struct OpenFile {
    Interface interface;
    HidAccess access;
    uint64_t generation;
  };
  class List;

  // All with mutex_ held.
  std::optional<Interface> PresentInterface(const Text& path) const;
  const OpenFile* Usable(HidHandle handle) const;
  void Decode(std::span<const uint8_t> report);
  void Emit(std::vector<uint8_t> report);
  void Trace(char kind, std::span<const uint8_t> bytes);

  // Wakes the firmware loop and any blocked reader; called without mutex_ held.
  void WakeAll();
  void Deliver(uint32_t event);
  void FirmwareLoop();
  std::vector<std::string> TakeControlLines();

  const VirtualMouseOptions options_;
  const DeviceChangeDelivery delivery_;

  mutable std::mutex mutex_;
  std::condition_variable wake_;
  bool stopping_ = false;
  bool plugged_ = true;
  uint64_t generation_ = 1;  // changes with every unplug: older files are dead
  HidHandle nextHandle_ = 0x100;
  std::map<HidHandle, OpenFile> files_;
  std::vector<WindowId> registrations_;
  VirtualFirmwareState firmware_;
  std::deque<std::vector<uint8_t>> received_;
  std::deque<std::vector<uint8_t>> inputQueue_;
  std::optional<std::chrono::steady_clock::time_point> readyDue_;
  int pressedButton_ = 0;  // host-handled button that is down, 0 for none
  std::ofstream trace_;
  bool traceTimes_ = false;

  bool controlChanged_ = false;
  std::chrono::milliseconds controlPoll_{0};
  uintmax_t controlOffset_ = 0;  // firmware thread only
  std::unique_ptr<FolderWatch> watch_;
  std::thread firmware_thread_;
};

}  // namespace nuv
