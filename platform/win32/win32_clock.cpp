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

// One timer per thread; null where high-resolution timers are refused.
HANDLE ThreadTimer() {
  thread_local HANDLE timer = CreateWaitableTimerExW(
      nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION, TIMER_ALL_ACCESS);
  return timer;
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
  constexpr auto kSpin = microseconds(600);
  for (;;) {
    const auto left = deadline - Clock::now();
    if (left <= nanoseconds::zero()) return;
    if (left <= kSpin) {
      while (Clock::now() < deadline) std::this_thread::yield();
      return;
    }
    const auto wait = duration_cast<nanoseconds>(left - kSpin);
    if (HANDLE timer = ThreadTimer()) {
      LARGE_INTEGER due;
      due.QuadPart = -static_cast<LONGLONG>(wait.count() / 100);  // relative, 100 ns units
      if (SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE)) {
        WaitForSingleObject(timer, INFINITE);
        continue;
      }
    }
    Sleep(static_cast<DWORD>(duration_cast<milliseconds>(wait).count()));
  }
}

void Win32Clock::SetCurrentThreadHighestPriority() {
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_HIGHEST);
}

}  // namespace nuv::win32
