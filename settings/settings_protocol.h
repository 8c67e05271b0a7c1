// Feature reports to the mouse (report 7: command and two parameters) and the
// apply operation that writes the whole working profile to the mouse, sets the
// two Windows settings of the profile and stores it.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "device/device_link.h"
#include "platform/atomic_field.h"
#include "platform/hid_port.h"
#include "platform/system_settings_port.h"
#include "settings/config_store.h"
#include "settings/mouse_profile.h"

namespace nuv {

constexpr uint8_t kFeatureReportId = 7;
constexpr size_t kFeatureReportCapacity = 256;

enum FeatureCommand : uint8_t {
  kCommandDpiAndLed = 0x09,
  kCommandButtonFunction = 0x10,
  kCommandWheelStatus = 0x11,
  kCommandFireTime = 0x12,
  kCommandExit = 0x20,
};

// Byte 3 of the DPI report: high bit set, DPI value index in bits 4..6, LED
// value in bits 0..3 ((16 * (8 + index) + led) mod 256).
uint8_t DpiLedByte(int dpi_value_index, int led);
// Byte 2 of the fire-time report: fire time / 8 toward zero, low byte.
uint8_t FireTimeParameter(int32_t fire_time);

// A report the mouse was last told for one of its settings: enough to build
// the same bytes again.
struct MirroredReport {
  uint8_t command = 0;
  uint8_t first = 0;
  uint8_t second = 0;
  bool onlyIfWritable = false;
};

// The one feature-report buffer. Every report is built and sent under one lock,
// so the window thread (apply, exit command) and the host action executor (DPI
// and LED steps) never mix their bytes.
class FeatureReportSender {
 public:
  FeatureReportSender(HidPort& hid, const DeviceLink& link) : hid_(hid), link_(link) {}

  // 07 command first second, zeros up to the write collection's feature report
  // length, sent on whatever write handle there is. Returns what the device said.
  bool Send(uint8_t command, uint8_t first, uint8_t second);
  // The same, but nothing is sent when opening the write collection failed.
  bool SendIfWritable(uint8_t command, uint8_t first, uint8_t second);

  // DPI report of the profile's DPI level (limited to 0..3) with its applied
  // DPI value and LED value `led`.
  bool SendDpiAndLed(const MouseProfile& profile, int led);
  // The close sequence's command 0x20. It is the last report: every send
  // after it is refused, so a worker that outlives the close (a DPI step, a
  // profile switch) cannot configure a mouse that was told the program ended.
  void SendExitCommand();
  bool closed() const { return closed_.load(std::memory_order_acquire); }
  // Whether this copy may talk to the mouse now (see DeviceLink::acting).
  // While it may not, reports are refused but still mirrored, and the exit
  // command is not sent: it would stop the host-handled buttons of the copy
  // that does act.
  bool acting() const { return link_.acting != 0; }

  // The mirror of what the mouse should hold: every report sent (or refused
  // while not acting) replaces the earlier one of the same setting, in the
  // order first sent. An apply starts it afresh; DPI and LED steps update it.
  void StartMirror();
  std::vector<MirroredReport> Mirror();
  // Sends the mirror again, byte for byte as first built, as one sequence.
  // Nothing after the exit command or while not acting.
  void ResendMirror();

 private:
  bool BuildAndSend(uint8_t command, uint8_t first, uint8_t second);
  void Note(uint8_t command, uint8_t first, uint8_t second, bool onlyIfWritable);

  HidPort& hid_;
  const DeviceLink& link_;
  std::mutex mutex_;
  std::atomic<bool> closed_{false};
  std::array<uint8_t, kFeatureReportCapacity> report_{};
  std::vector<MirroredReport> mirror_;
};

// Whether the mouse reports host-handled buttons to the program, and the mark
// that asks the user to wait until it does.
struct AttentionState {
  AtomicField<uint8_t> armed{1};
  AtomicField<int32_t> button{0};  // first button (1..7) that got 0x1F in the last apply
  AtomicField<uint8_t> blinkPhase{0};
  AtomicField<uint8_t> blinkRequested{0};
};

struct ApplySeams {
  // Starts the attention blinker for the window (and sets its running flag).
  std::function<void()> startBlinker;
  std::function<void()> repaint;
  // Called again and again while a thread waits for another thread's apply to
  // end. An apply broadcasts the changed system settings to every window and
  // waits for the answers, so a window thread that waits must keep answering
  // the messages sent to its windows.
  std::function<void()> whileWaiting;
};

class ProfileApplier {
 public:
  ProfileApplier(MouseProfile& profile, ConfigStore& store, FeatureReportSender& sender,
                 SystemSettingsPort& system, AttentionState& attention)
      : profile_(profile), store_(store), sender_(sender), system_(system), attention_(attention) {}

  ApplySeams seams;

  // Buttons, wheel, DPI and LED, pointer speed, wheel lines, fire time, with
  // CurConfig, the mirror slot 6 and the current slot written around them.
  // Nothing is reported; a missing mouse only makes the sends fail. Applies
  // run whole, one at a time (the window thread after a power event, the
  // executor after a profile switch); after EndApplies they do nothing.
  void ApplyProfile();
  // The close sequence's exit command, once an apply under way has ended.
  void EndApplies();
  // After a resume or the session's return to the console: the mouse gets
  // again what it was last told (the last apply and the DPI and LED steps
  // since), and nothing else: no file, no Windows setting, the working
  // profile's unapplied edits untouched, the attention left as it is.
  void ResendLastApplied();

 private:
  void SendButtons();
  std::unique_lock<std::mutex> LockApplies();

  MouseProfile& profile_;
  ConfigStore& store_;
  FeatureReportSender& sender_;
  SystemSettingsPort& system_;
  AttentionState& attention_;
  std::mutex applyMutex_;
};

}  // namespace nuv
