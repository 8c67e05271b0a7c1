// Wake-ups through the system's address wait (WaitOnAddress), which wakes a
// waiting thread in microseconds where a condition variable takes up to a few
// milliseconds.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/wake_port.h"

namespace nuv::win32 {

class Win32Wake : public WakePort {
 public:
  void Signal() override;
  void Wait(std::chrono::microseconds timeout, const std::function<bool()>& ready) override;

 private:
  std::atomic<uint32_t> signals_{0};
};

}  // namespace nuv::win32
