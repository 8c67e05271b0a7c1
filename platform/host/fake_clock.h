// Virtual time for tests: sleeps return at once and move the clock to their
// deadline; every sleep is remembered, and a hook may act during it (as another
// thread would while the sleeper waits).
#pragma once

#include <functional>
#include <mutex>
#include <vector>

#include "platform/clock_port.h"

namespace nuv {

class FakeClock : public ClockPort {
 public:
  Clock::time_point Now() override {
    std::lock_guard lock(mutex_);
    return now_;
  }
  void SleepUntil(Clock::time_point deadline) override {
    {
      std::lock_guard lock(mutex_);
      sleeps_.push_back(deadline > now_ ? deadline - now_ : Clock::duration::zero());
      if (deadline > now_) now_ = deadline;
    }
    if (duringSleep) duringSleep();
  }
  // Lengths of the sleeps so far.
  std::vector<Clock::duration> Sleeps() const {
    std::lock_guard lock(mutex_);
    return sleeps_;
  }
  void Advance(Clock::duration by) {
    std::lock_guard lock(mutex_);
    now_ += by;
  }

  std::function<void()> duringSleep;

 private:
  mutable std::mutex mutex_;
  Clock::time_point now_{};
  std::vector<Clock::duration> sleeps_;
};

}  // namespace nuv
