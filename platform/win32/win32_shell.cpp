#include "platform/win32/win32_shell.h"

// windows.h comes first: the other system headers rely on it.
#include "platform/win32/win32_text.h"

#include <shellapi.h>

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

Text SystemProgramCommandLine(const Text& path, const Text& arguments) {
  Text command_line = u"\"" + path + u"\"";
  if (!arguments.empty()) command_line += u" " + arguments;
  return command_line;
}

namespace {

// The program runs elevated: a program is only ever started by its full path
// in the system folder, never looked up in the current or application folder.
void StartSystemProgram(const Text& file_name, const Text& arguments = Text()) {
  const Text path = SystemProgramPath(file_name);
  if (path.empty()) return;
  Text command_line = SystemProgramCommandLine(path, arguments);
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

void Win32Shell::StartCommandPrompt() { StartSystemProgram(u"cmd.exe", kCommandPromptArguments); }

}  // namespace nuv::win32
