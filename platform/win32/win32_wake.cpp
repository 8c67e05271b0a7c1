#include "platform/win32/win32_wake.h"

#include <windows.h>

namespace nuv::win32 {

static_assert(sizeof(std::atomic<uint32_t>) == sizeof(uint32_t));

void Win32Wake::Signal() {
  signals_.fetch_add(1, std::memory_order_release);
  WakeByAddressAll(&signals_);
}

void Win32Wake::Wait(std::chrono::microseconds timeout, const std::function<bool()>& ready) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    // Taken before the test, so a signal between the test and the wait is
    // seen by the wait as a changed value.
    uint32_t seen = signals_.load(std::memory_order_acquire);
    if (ready()) return;
    const auto left = deadline - Clock::now();
    if (left <= Clock::duration::zero()) return;
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
    WaitOnAddress(&signals_, &seen, sizeof(seen), static_cast<DWORD>(ms));
  }
}

}  // namespace nuv::win32
