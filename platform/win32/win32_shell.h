// Shell actions on Windows: system programs, folders, the workstation lock.
//
// The program runs elevated; what it starts for the user must not. Every
// program a button or the web-site key starts is made a child of the
// desktop's shell process, so it runs with that process's token (the
// logged-on user's normal rights), never with ours.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>

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

// Full path of a program in the Windows folder (e.g. C:\Windows\explorer.exe).
Text WindowsProgramPath(const Text& file_name);

// The command line of a system program: its quoted path, then the arguments.
Text SystemProgramCommandLine(const Text& path, const Text& arguments);

// The process of the user's desktop shell, opened to be a parent and to read
// its token (PROCESS_CREATE_PROCESS | PROCESS_QUERY_LIMITED_INFORMATION): the
// owner of the shell window (Explorer on Windows), else of the desktop window
// (Explorer under Wine, which has no shell window). Only a process of our
// session that runs as a user, never our own; null when there is none. The
// caller closes it.
HANDLE OpenDesktopShell();

// Starts the program at `path` (a full path in the system or Windows folder)
// as a child of the desktop's shell process, with the shell's token and the
// system folder as its current folder. False, and nothing started, when no
// desktop shell of the user's session is found or it refuses.
bool StartAsDesktopUser(const Text& path, const Text& arguments);

// A program started as the desktop's user for a caller that goes on talking
// to it: its process (the caller closes the handle) and id.
struct DesktopUserProcess {
  HANDLE process = nullptr;
  DWORD id = 0;
};
// As StartAsDesktopUser, for such a caller. `arguments` is asked once the
// shell is known, with the user the new program will run as (the shell
// token's user), and returns its arguments; nothing is started when it
// returns nothing.
using DesktopUserArguments = std::function<std::optional<Text>(PSID user)>;
std::optional<DesktopUserProcess> StartAsDesktopUser(const Text& path,
                                                     const DesktopUserArguments& arguments);

// Opens an internet address in the user's browser, started as the desktop's
// user; nothing opens when there is no desktop shell.
void OpenAsDesktopUser(const Text& address);

// The command prompt starts with /D: it runs no AutoRun command of the
// registry (HKCU\Software\Microsoft\Command Processor\AutoRun is written by
// any program of the user).
constexpr char16_t kCommandPromptArguments[] = u"/D";

// Explorer's arguments for "This PC", the folder of the computer's drives: a
// new window (/n) on the shell's name of that folder.
constexpr char16_t kDrivesFolderArguments[] = u"/n,::{20D04FE0-3AEA-1069-A2D8-08002B30309D}";

}  // namespace nuv::win32
