// One barrier at every entry that the system calls into (window and hook
// procedures, thread entries): whatever is thrown there ends the program
// through its fault handler, which runs the safe part of the close sequence,
// instead of being swallowed by the system or ending the process past it
// (host-handled buttons dead on the mouse, keys held down, the pointer speed
// not set back, the keyboard hook left in place).
#pragma once

#include <utility>

namespace nuv {

using FaultHandler = void (*)();

// The handler that EndAfterFault runs (set once by the composition root).
void SetFaultHandler(FaultHandler handler);

// Runs the fault handler and ends the process; without one, aborts.
[[noreturn]] void EndAfterFault();

// Calls `f` inside the barrier.
template <typename F>
decltype(auto) FaultBarrier(F&& f) noexcept {
  try {
    return std::forward<F>(f)();
  } catch (...) {
    EndAfterFault();
  }
}

}  // namespace nuv
