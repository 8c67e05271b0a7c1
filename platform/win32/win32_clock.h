// Exact sleeps and thread priority on Windows.
#pragma once

#include "platform/clock_port.h"

namespace nuv::win32 {

// Sleeps on a high-resolution waitable timer (one per thread) where the system
// has them, otherwise with the system timer at 1 ms resolution; long sleeps
// wait on the timer and the last fraction of a millisecond is spun out.
class Win32Clock : public ClockPort {
 public:
  Win32Clock();
  void SleepUntil(Clock::time_point deadline) override;
  // On the timer alone, without the spin.
  void Pause(std::chrono::microseconds length) override;
  void SetCurrentThreadHighestPriority() override;
};

}  // namespace nuv::win32
