// The hand-over from the input reader to the host action executor: an action
// code, the action-pending flag raised after it, and the release flag that asks
// a running macro to stop. Only the reader raises the pending flag and only the
// executor lowers it.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

#include "platform/atomic_field.h"

namespace nuv {

class HostHandover {
 public:
  AtomicField<int32_t> actionPending{0};
  AtomicField<uint8_t> actionCode{0};
  AtomicField<int32_t> releaseFlag{0};

  // Reader: the code first, then the flag, so the executor never sees the flag
  // with an old code. Wakes the executor at once instead of at its next poll.
  void RequestAction(uint8_t code) {
    actionCode.store(code, std::memory_order_relaxed);
    actionPending.store(1, std::memory_order_release);
    std::lock_guard lock(mutex_);
    wake_.notify_one();
  }

  // Executor: waits until an action is pending or `timeout` has passed.
  bool WaitForAction(std::chrono::microseconds timeout) {
    std::unique_lock lock(mutex_);
    return wake_.wait_for(lock, timeout,
                          [this] { return actionPending.load(std::memory_order_acquire) != 0; });
  }

  // Executor, when an action has ended: both flags down.
  void Finish() {
    actionPending.store(0, std::memory_order_release);
    releaseFlag.store(0, std::memory_order_release);
  }

 private:
  std::mutex mutex_;
  std::condition_variable wake_;
};

}  // namespace nuv
