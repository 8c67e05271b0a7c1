// The setup's helper: a small program of ours that the setup and the
// uninstaller unpack into a folder only administrators can write and run
// with their rights, for what their script language cannot do safely.
//
//   setup_helper folder <descriptor> <install folder>
//       Checks every folder from the drive's root down to the install folder
//       (platform/folder_trust.h) and makes the missing ones with the given
//       descriptor. Exit code 0: ready; 10 + the risk: refused, the folder
//       named on standard output; 30: a folder could not be made.
//   setup_helper running <program file>
//       Exit code 1 when a process started from that file runs, else 0.
//   setup_helper close <program file>
//       Closes the program the way its user would: WM_CLOSE to its main
//       window (a window with its title of a process started from that file,
//       never another window with the same title), then waits up to ten
//       seconds for every such process to end. Exit code 0 when none is
//       left, 2 when one still runs.
// Any other command line: exit code 64.
#include <windows.h>

#include <string>

#include "app/startup.h"
#include "platform/win32/win32_folder_trust.h"
#include "platform/win32/win32_process_image.h"
#include "platform/win32/win32_text.h"

namespace {

using namespace nuv;
using namespace nuv::win32;

constexpr int kRefusedBase = 10;
constexpr int kNotMade = 30;
constexpr int kUsage = 64;

// UTF-16 with a byte-order mark, which the setup's output reader recognises.
void Print(const Text& text) {
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  if (!out || out == INVALID_HANDLE_VALUE) return;
  const Text marked = u"\xFEFF" + text;
  DWORD written = 0;
  WriteFile(out, marked.data(), static_cast<DWORD>(marked.size() * sizeof(char16_t)), &written,
            nullptr);
}

int Folder(const Text& descriptor, const Text& installFolder) {
  const InstallPathResult result = PrepareInstallPath(installFolder, descriptor);
  if (result.error != 0) {
    Print(result.folder);
    return kNotMade;
  }
  if (result.verdict.risk == FolderRisk::kNone) return 0;
  Print(result.folder);
  return kRefusedBase + static_cast<int>(result.verdict.risk);
}

int Close(const Text& program) {
  bool asked = false;
  // A copy that is still starting has no window yet: it is looked for again
  // on each round until one has been asked.
  for (int round = 0; round < 40; ++round) {
    if (ProcessesOfImage(program).empty()) return 0;
    if (!asked) {
      if (HWND window = FindWindowOfImage(Text(kMainWindowTitle), program)) {
        DWORD_PTR answer = 0;
        SendMessageTimeoutW(window, WM_CLOSE, 0, 0, SMTO_NORMAL, 5000, &answer);
        asked = true;
      }
    }
    Sleep(250);
  }
  return ProcessesOfImage(program).empty() ? 0 : 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring command = argc > 1 ? argv[1] : L"";
  if (command == L"folder" && argc == 4) return Folder(FromW(argv[2]), FromW(argv[3]));
  if (command == L"running" && argc == 3) return ProcessesOfImage(FromW(argv[2])).empty() ? 0 : 1;
  if (command == L"close" && argc == 3) return Close(FromW(argv[2]));
  return kUsage;
}
