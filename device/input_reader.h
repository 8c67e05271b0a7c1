// The worker that reads the mouse's input reports: presses and releases of the
// buttons the PC performs go to the host action executor, and the ready report
// re-arms the attention flag after an apply.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <span>

#include "actions/host_handover.h"
#include "device/device_link.h"
#include "platform/clock_port.h"
#include "platform/hid_port.h"
#include "settings/mouse_profile.h"
#include "settings/settings_protocol.h"

namespace nuv {

constexpr size_t kInputReportCapacity = 256;
constexpr auto kReaderPause = std::chrono::milliseconds(2);
// A read that fails at once (no mouse yet, a collection that could not be
// opened, a mouse going away) would turn the 2 ms pause into 500 wake-ups a
// second for as long as the program runs. Each failure in a row doubles the
// pause up to this; the first report read, or a new handle (the mouse found
// again), brings it back to 2 ms.
constexpr auto kReaderIdlePause = std::chrono::seconds(1);
constexpr uint8_t kReadyReportId = 6;
constexpr uint8_t kPressCodeBase = 240;

class InputReader {
 public:
  InputReader(HidPort& hid, const DeviceLink& link, AttentionState& attention,
              HostHandover& handover, const MouseProfile& profile, ClockPort& clock)
      : hid_(hid),
        link_(link),
        attention_(attention),
        handover_(handover),
        profile_(profile),
        clock_(clock) {}

  // Repaint of the whole main window (with erase), from this thread.
  std::function<void()> repaint;

  // The thread procedure: highest priority, never returns.
  [[noreturn]] void Run();
  // One read (blocking while the mouse is open), its handling and the pause.
  void ReadOnce();
  // The pause after the last read: 2 ms after a report, longer after failures.
  std::chrono::microseconds pause() const { return pause_; }
  // What one report means; `report` holds the bytes read.
  void HandleReport(std::span<const uint8_t> report);

 private:
  HidPort& hid_;
  const DeviceLink& link_;
  AttentionState& attention_;
  HostHandover& handover_;
  const MouseProfile& profile_;
  ClockPort& clock_;
  std::array<uint8_t, kInputReportCapacity> buffer_{};
  std::chrono::microseconds pause_ = kReaderPause;
  HidHandle lastHandle_ = kNullHidHandle;
};

}  // namespace nuv
