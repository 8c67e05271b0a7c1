// How the program ends after a fault. Two endings, by what the fault leaves:
//
// A C++ exception caught by a barrier (platform/fault_barrier.h) leaves the
// process sound. The closer of the window that is open (FaultCloser) runs the
// safe part of the close sequence on a thread of its own (the faulting thread
// may hold a lock the closer needs), for at most three seconds; then the hard
// ending's steps run and the process ends with exit code 3.
//
// A hard fault leaves a process whose heap, locks and objects may be
// corrupted: a processor exception (access violation, illegal instruction,
// ...) in the program's own code, seen first by a vectored handler before any
// frame or the system's callback wrappers can swallow it; one elsewhere that
// nothing handles (the unhandled-exception filter); a failed stack canary or
// checked copy (the link routes __stack_chk_fail and __chk_fail here, instead
// of the runtime's message through the C library and `ud2`); abort(). Its
// ending runs on the faulting thread and touches none of that: it lets go of
// the keys and buttons that the executor's input holds down (read lock-free
// from HeldInputs and sent straight to the system, no call through an object),
// sets the pointer speed back (no broadcast, which would call into our own
// windows), and ends the process at once with the fault's code: no device
// I/O, no lock, no thread, no allocation.
#pragma once

#include <functional>

namespace nuv {
class HeldInputs;
}

namespace nuv::win32 {

// Once for the process, before the worker threads start: the barriers'
// handler, the vectored handler, the unhandled-exception filter and the
// abort signal. `held` lives as long as the process (the executor's, in the
// never-destroyed application context); `pointerSpeed` is what the close
// sequence sets.
void InstallFaultEnd(HeldInputs& held, int pointerSpeed);

// The close sequence that the ending after a C++ exception runs, for as long
// as this object lives (one at a time). Its destruction waits for a closer
// under way; after it the ending runs none, so a closer never outlives what
// it works on, while worker threads may still fault.
class FaultCloser {
 public:
  explicit FaultCloser(std::function<void()> closer);
  ~FaultCloser();
  FaultCloser(const FaultCloser&) = delete;
  FaultCloser& operator=(const FaultCloser&) = delete;

 private:
  std::function<void()> closer_;
};

// Exit code after a C++ exception or abort().
constexpr unsigned kFaultExitCode = 3;
// Exit code after a failed stack canary or checked copy, the code with which
// Windows reports its own fail-fast ending. A processor exception ends with
// its exception code (0xC0000005 for an access violation).
constexpr unsigned kCheckFailedExitCode = 0xC0000409;

// The test switch -TESTFAULT: throws (`kind` 0), makes an access violation
// (1) or fails a stack canary check (2) on the calling thread.
[[noreturn]] void RaiseTestFault(unsigned kind);

}  // namespace nuv::win32
