// The keys and mouse buttons that the program's own synthetic input holds
// down in the whole system, each with the event that lets it go.
//
// Lock-free and allocation-free: the hard ending after a fault (an access
// violation, a failed stack canary) reads it on the faulting thread of a
// process whose heap and objects may be corrupted, and sends the releases
// itself, without a call through an input port.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "platform/input_port.h"

namespace nuv {

class HeldInputs {
 public:
  // Notes an event as it is sent through the input port: a press adds one
  // hold, a release takes one (never below none).
  void NoteKeyEvent(uint8_t virtualKey, uint8_t scanCode, uint32_t flags) noexcept;
  void NoteMouseEvent(uint32_t flags) noexcept;

  // Takes every hold at once (another thread may take them too: each one is
  // handed out once) and hands each held key's release, then each held
  // button's, to `key(virtualKey, scanCode, flags)` and `button(flags)`.
  template <typename Key, typename Button>
  void TakeAll(Key&& key, Button&& button) noexcept {
    for (size_t vk = 0; vk < keys_.size(); ++vk) {
      const uint32_t held = keys_[vk].exchange(0, std::memory_order_acq_rel);
      if ((held & kCountMask) == 0) continue;
      key(static_cast<uint8_t>(vk), static_cast<uint8_t>(held >> kScanShift),
          ((held & kExtendedBit) ? kKeyEventExtendedKey : 0u) | kKeyEventKeyUp);
    }
    for (size_t b = 0; b < buttons_.size(); ++b) {
      if (buttons_[b].exchange(0, std::memory_order_acq_rel) != 0) button(kButtonUp[b]);
    }
  }

 private:
  // Per virtual key: how often it is down (bits 0..7), the scan code it was
  // pressed with (8..15) and its extended-key flag (16).
  static constexpr uint32_t kCountMask = 0xFF;
  static constexpr uint32_t kScanShift = 8;
  static constexpr uint32_t kExtendedBit = 1u << 16;
  static constexpr uint32_t kButtonDown[3] = {kMouseEventLeftDown, kMouseEventRightDown,
                                              kMouseEventMiddleDown};
  static constexpr uint32_t kButtonUp[3] = {kMouseEventLeftUp, kMouseEventRightUp,
                                            kMouseEventMiddleUp};

  std::array<std::atomic<uint32_t>, 256> keys_{};
  std::array<std::atomic<uint8_t>, 3> buttons_{};
};

}  // namespace nuv
