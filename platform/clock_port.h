// Time for the worker threads: a monotonic clock and sleeps that keep their
// length (macro pauses and the 2 ms polls are only as exact as these).
#pragma once

#include <chrono>

namespace nuv {

class ClockPort {
 public:
  using Clock = std::chrono::steady_clock;
  virtual ~ClockPort() = default;
  virtual Clock::time_point Now() { return Clock::now(); }
  // Returns at or soon after `deadline`; at once when it has passed.
  virtual void SleepUntil(Clock::time_point deadline) = 0;
  void SleepFor(std::chrono::microseconds length) { SleepUntil(Now() + length); }
  // A pause whose exact end does not matter (the reader's poll): it may end a
  // little late, but it never keeps the processor busy.
  virtual void Pause(std::chrono::microseconds length) { SleepFor(length); }
  // Raises the calling thread to the highest priority (the reader and the
  // executor) or leaves it at normal priority (the animation threads).
  virtual void SetCurrentThreadHighestPriority() {}
};

}  // namespace nuv
