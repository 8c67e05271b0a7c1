// Shell actions and exact sleeps on Windows.
#pragma once

#include "platform/clock_port.h"
#include "platform/shell_port.h"
#include "platform/text.h"

namespace nuv::win32 {

class Win32Shell : public ShellPort {
 public:
  void OpenDrivesFolder() override;
  void LockWorkstation() override;
  void StartCalculator() override;
  void StartCommandPrompt() override;
};

// Full path of a program in the system folder (e.g. C:\Windows\system32\calc.exe).
Text SystemProgramPath(const Text& file_name);

// Sleeps on a high-resolution waitable timer (one per thread) where the system
// has them, otherwise with the system timer at 1 ms resolution; long sleeps
// wait on the timer and the last fraction of a millisecond is spun out.
class Win32Clock : public ClockPort {
 public:
  Win32Clock();
  void SleepUntil(Clock::time_point deadline) override;
  void SetCurrentThreadHighestPriority() override;
};

}  // namespace nuv::win32
