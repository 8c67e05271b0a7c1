// Sleeps of the standard library, for the native build.
#pragma once

#include <thread>

#include "platform/clock_port.h"

namespace nuv {

class HostClock : public ClockPort {
 public:
  void SleepUntil(Clock::time_point deadline) override { std::this_thread::sleep_until(deadline); }
};

}  // namespace nuv
