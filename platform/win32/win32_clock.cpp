#include "platform/win32/win32_clock.h"

#include <windows.h>

#include <mmsystem.h>

#include <thread>

#include "platform/win32/system_library.h"

namespace nuv::win32 {

namespace {

#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

// One timer per thread, closed when the thread ends (animation threads come
// and go with every page change, apply and power event); null where
// high-resolution timers are refused.
class ThreadTimerHolder {
 public:
  ThreadTimerHolder()
      : timer_(CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION,
                                      TIMER_ALL_ACCESS)) {}
  ~ThreadTimerHolder() {
    if (timer_) CloseHandle(timer_);
  }
  ThreadTimerHolder(const ThreadTimerHolder&) = delete;
  ThreadTimerHolder& operator=(const ThreadTimerHolder&) = delete;
  HANDLE get() const { return timer_; }

 private:
  HANDLE timer_;
};

HANDLE ThreadTimer() {
  thread_local ThreadTimerHolder timer;
  return timer.get();
}

// Waits `wait` on the thread's timer; false when there is none.
bool WaitOnTimer(std::chrono::nanoseconds wait) {
  HANDLE timer = ThreadTimer();
  if (!timer) return false;
  LARGE_INTEGER due;
  due.QuadPart = -static_cast<LONGLONG>(wait.count() / 100);  // relative, 100 ns units
  if (!SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE)) return false;
  WaitForSingleObject(timer, INFINITE);
  return true;
}

}  // namespace

Win32Clock::Win32Clock() {
  // Without high-resolution timers, 1 ms system timer resolution keeps the
  // 2 ms polls and the macro pauses close to what they say.
  HANDLE probe = CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION,
                                        TIMER_ALL_ACCESS);
  if (probe)
    CloseHandle(probe);
  else if (auto begin = SystemLibrary(L"winmm.dll")  // no KnownDLL: see system_library.h
                            .Function<decltype(&timeBeginPeriod)>("timeBeginPeriod"))
    begin(1);  // winmm stays loaded: the library object never frees it
}

void Win32Clock::SleepUntil(Clock::time_point deadline) {
  using namespace std::chrono;
  constexpr auto kSpin = microseconds(1500);
  for (;;) {
    const auto left = deadline - Clock::now();
    if (left <= nanoseconds::zero()) return;
    if (left <= kSpin) {
      // A yield here can hand the core to another thread for a whole time
      // slice (milliseconds); the last moment is spun out instead.
      while (Clock::now() < deadline) YieldProcessor();
      return;
    }
    const auto wait = duration_cast<nanoseconds>(left - kSpin);
    if (WaitOnTimer(wait)) continue;
    Sleep(static_cast<DWORD>(duration_cast<milliseconds>(wait).count()));
  }
}

void Win32Clock::Pause(std::chrono::microseconds length) {
  using namespace std::chrono;
  if (length <= microseconds::zero()) return;
  if (!WaitOnTimer(length)) Sleep(static_cast<DWORD>(ceil<milliseconds>(length).count()));
}

void Win32Clock::SetCurrentThreadHighestPriority() {
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_HIGHEST);
}

}  // namespace nuv::win32
