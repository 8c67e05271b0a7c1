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

// The command line of a system program: its quoted path, then the arguments.
Text SystemProgramCommandLine(const Text& path, const Text& arguments);

// Opens a document or address with the rights of the desktop's user, through
// the desktop's shell, so that a browser does not run elevated as we do; where
// there is no desktop shell to ask, it opens as we run.
void OpenAsDesktopUser(const Text& target);

// The command prompt starts elevated, with /D: it runs no AutoRun command of
// the registry (HKCU\Software\Microsoft\Command Processor\AutoRun is
// written by any program of the user, elevated or not).
constexpr char16_t kCommandPromptArguments[] = u"/D";

}  // namespace nuv::win32
