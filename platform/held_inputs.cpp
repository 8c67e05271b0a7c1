#include "platform/held_inputs.h"

namespace nuv {

void HeldInputs::NoteKeyEvent(uint8_t virtualKey, uint8_t scanCode, uint32_t flags) noexcept {
  std::atomic<uint32_t>& entry = keys_[virtualKey];
  uint32_t now = entry.load(std::memory_order_relaxed);
  uint32_t next = 0;
  do {
    const uint32_t count = now & kCountMask;
    if ((flags & kKeyEventKeyUp) != 0) {
      next = count > 1 ? (now & ~kCountMask) | (count - 1) : 0;
    } else {
      next = (count < kCountMask ? count + 1 : count) | (uint32_t{scanCode} << kScanShift) |
             ((flags & kKeyEventExtendedKey) != 0 ? kExtendedBit : 0);
    }
  } while (!entry.compare_exchange_weak(now, next, std::memory_order_acq_rel));
}

void HeldInputs::NoteMouseEvent(uint32_t flags) noexcept {
  for (size_t b = 0; b < buttons_.size(); ++b) {
    std::atomic<uint8_t>& count = buttons_[b];
    uint8_t now = count.load(std::memory_order_relaxed);
    if ((flags & kButtonDown[b]) != 0) {
      while (now < 0xFF && !count.compare_exchange_weak(now, static_cast<uint8_t>(now + 1))) {
      }
    } else if ((flags & kButtonUp[b]) != 0) {
      while (now > 0 && !count.compare_exchange_weak(now, static_cast<uint8_t>(now - 1))) {
      }
    }
  }
}

}  // namespace nuv
