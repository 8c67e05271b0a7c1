// A wake-up from one thread to another that waits with a timeout: the input
// reader wakes the host action executor the moment it hands over an action,
// instead of letting it find the action at its next poll.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>

namespace nuv {

class WakePort {
 public:
  virtual ~WakePort() = default;
  // Wakes every thread in Wait; each checks its own condition, so one port
  // may serve several waiters.
  virtual void Signal() = 0;
  // Returns when `ready()` holds (checked first and after every wake-up) or
  // `timeout` has passed.
  virtual void Wait(std::chrono::microseconds timeout, const std::function<bool()>& ready) = 0;
};

// The standard library's condition variable: good on Linux; on Windows the
// system's own address wait is much quicker (win32/win32_wake.h).
class StdWake : public WakePort {
 public:
  void Signal() override {
    { std::lock_guard lock(mutex_); }
    wake_.notify_all();
  }
  void Wait(std::chrono::microseconds timeout, const std::function<bool()>& ready) override {
    std::unique_lock lock(mutex_);
    wake_.wait_for(lock, timeout, ready);
  }

 private:
  std::mutex mutex_;
  std::condition_variable wake_;
};

}  // namespace nuv
