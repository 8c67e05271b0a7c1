#include "platform/win32/win32_shell.h"

// windows.h comes first: the other system headers rely on it.
#include "platform/win32/win32_text.h"

#include <mmsystem.h>
#include <shellapi.h>

#include <thread>
#include <vector>

namespace nuv::win32 {

Text SystemProgramPath(const Text& file_name) {
  std::vector<wchar_t> folder(MAX_PATH + 1);
  UINT n = GetSystemDirectoryW(folder.data(), static_cast<UINT>(folder.size()));
  if (n >= folder.size()) {
    folder.resize(n + 1);
    n = GetSystemDirectoryW(folder.data(), static_cast<UINT>(folder.size()));
  }
  if (n == 0 || n >= folder.size()) return Text();
  return FromW(folder.data(), n) + u"\\" + file_name;
}

namespace {

// The program runs elevated: a program is only ever started by its full path
// in the system folder, never looked up in the current or application folder.
void StartSystemProgram(const Text& file_name) {
  const Text path = SystemProgramPath(file_name);
  if (path.empty()) return;
  Text command_line = u"\"" + path + u"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOW;
  PROCESS_INFORMATION process{};
  if (CreateProcessW(W(path), const_cast<wchar_t*>(W(command_line)), nullptr, nullptr, FALSE, 0,
                     nullptr, nullptr, &startup, &process)) {
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
}

}  // namespace

void Win32Shell::OpenDrivesFolder() {
  ShellExecuteW(nullptr, nullptr, L"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}", nullptr, nullptr,
                SW_SHOWNORMAL);
}

void Win32Shell::LockWorkstation() { ::LockWorkStation(); }

void Win32Shell::StartCalculator() { StartSystemProgram(u"calc.exe"); }

void Win32Shell::StartCommandPrompt() { StartSystemProgram(u"cmd.exe"); }

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
  if (probe) CloseHandle(probe);
  else timeBeginPeriod(1);
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
