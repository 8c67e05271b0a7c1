// The hand-over from the input reader to the host action executor: an action
// code, the action-pending flag raised after it, and the release flag that asks
// a running macro to stop. Only the reader raises the pending flag and only the
// executor lowers it.
#pragma once

#include <chrono>
#include <cstdint>

#include "platform/atomic_field.h"
#include "platform/wake_port.h"

namespace nuv {

class HostHandover {
 public:
  AtomicField<int32_t> actionPending{0};
  AtomicField<uint8_t> actionCode{0};
  AtomicField<int32_t> releaseFlag{0};

  // The wake-up the executor waits on; the program gives the system's quickest
  // one before the threads start.
  void UseWake(WakePort& wake) { wake_ = &wake; }

  // Reader: the code first, then the flag, so the executor never sees the flag
  // with an old code. Wakes the executor at once instead of at its next poll.
  // A release flag still up at this moment is stale: nothing runs while no
  // action is pending (a release report in hold mode sets it even then), and
  // left up it would stop the new action after its first event.
  void RequestAction(uint8_t code) {
    releaseFlag.store(0, std::memory_order_relaxed);
    actionCode.store(code, std::memory_order_relaxed);
    actionPending.store(1, std::memory_order_release);
    wake_->Signal();
  }

  // Executor: waits until an action is pending or `timeout` has passed.
  bool WaitForAction(std::chrono::microseconds timeout) {
    const auto pending = [this] { return actionPending.load(std::memory_order_acquire) != 0; };
    wake_->Wait(timeout, pending);
    return pending();
  }

  // Executor, when an action has ended: both flags down.
  void Finish() {
    actionPending.store(0, std::memory_order_release);
    releaseFlag.store(0, std::memory_order_release);
  }

 private:
  StdWake ownWake_;
  WakePort* wake_ = &ownWake_;
};

}  // namespace nuv
