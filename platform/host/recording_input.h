// Input sink for tests and benchmarks: records every synthetic event with the
// moment it was made instead of sending it to the system.
#pragma once

#include <chrono>
#include <functional>
#include <mutex>
#include <vector>

#include "platform/input_port.h"

namespace nuv {

class RecordingInput : public InputPort {
 public:
  struct Event {
    enum class Kind { kKey, kMouse } kind;
    uint8_t virtualKey;
    uint8_t scanCode;
    uint32_t flags;
    std::chrono::steady_clock::time_point at;
    bool operator==(const Event& o) const {
      return kind == o.kind && virtualKey == o.virtualKey && scanCode == o.scanCode &&
             flags == o.flags;
    }
  };

  void KeyEvent(uint8_t virtual_key, uint8_t scan_code, uint32_t flags) override {
    {
      std::lock_guard lock(mutex_);
      events_.push_back(
          {Event::Kind::kKey, virtual_key, scan_code, flags, std::chrono::steady_clock::now()});
    }
    if (duringEvent) duringEvent();
  }
  void MouseEvent(uint32_t flags) override {
    {
      std::lock_guard lock(mutex_);
      events_.push_back({Event::Kind::kMouse, 0, 0, flags, std::chrono::steady_clock::now()});
    }
    if (duringEvent) duringEvent();
  }
  // Called inside every event, after it is noted (e.g. to let a fake clock
  // show what the send costs).
  std::function<void()> duringEvent;
  // A stand-in for the keyboard layout: a scan code derived from the key,
  // with the layout's E0 prefix for the keys in `extendedInLayout`.
  uint32_t MapVirtualKeyToScanCode(uint32_t virtual_key) override {
    const uint32_t code = virtual_key & 0x7F;
    for (uint32_t k : extendedInLayout) {
      if (k == virtual_key) return 0xE000 | code;
    }
    return code;
  }
  std::vector<uint32_t> extendedInLayout;

  std::vector<Event> Events() const {
    std::lock_guard lock(mutex_);
    return events_;
  }
  void Clear() {
    std::lock_guard lock(mutex_);
    events_.clear();
  }

 private:
  mutable std::mutex mutex_;
  std::vector<Event> events_;
};

}  // namespace nuv
