// Shell actions on Windows: system programs, folders, the workstation lock.
#pragma once

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

}  // namespace nuv::win32
