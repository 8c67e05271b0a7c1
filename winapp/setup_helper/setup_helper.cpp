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
//       Exit code 1 when a process started from that file runs, in any
//       session, else 0.
//   setup_helper close <program file>
//       Ends every process started from that file, in every session
//       (platform/copy_closing.h): one of this session is closed the way its
//       user would, WM_CLOSE to its main window (a window with its title of a
//       process started from that file, never another window with the same
//       title), and ended if it has not gone after ten seconds; one of
//       another session, which no window message reaches, is ended at once.
//       Exit code 0 when none is left, 2 when one still runs.
// Any other command line: exit code 64.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/startup.h"
#include "platform/copy_closing.h"
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

std::optional<uint32_t> SessionOf(DWORD processId) {
  DWORD session = 0;
  if (!ProcessIdToSessionId(processId, &session)) return std::nullopt;
  return session;
}

// Ends the process `processId` if it still is one started from `program`:
// the file is checked on the handle that ends it, so an id that a process of
// anyone else has taken over in between is left alone.
void EndCopy(DWORD processId, const Text& program) {
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE | SYNCHRONIZE,
                               FALSE, processId);
  if (!process) return;
  if (SameImagePath(ProcessImagePath(process), program)) {
    TerminateProcess(process, 1);
    WaitForSingleObject(process, 2000);
  }
  CloseHandle(process);
}

int Close(const Text& program) {
  const std::optional<uint32_t> ownSession = SessionOf(GetCurrentProcessId());
  const ULONGLONG start = GetTickCount64();
  std::set<DWORD> asked;
  // Rounds until none is left; a copy ended is awaited a few seconds more.
  while (GetTickCount64() - start < kCopyCloseGraceMs + 5000) {
    const std::vector<DWORD> copies = ProcessesOfImage(program);
    if (copies.empty()) return 0;
    HWND window = FindWindowOfImage(Text(kMainWindowTitle), program);
    DWORD windowProcess = 0;
    if (window) GetWindowThreadProcessId(window, &windowProcess);
    const auto elapsed = static_cast<int64_t>(GetTickCount64() - start);
    for (DWORD id : copies) {
      const RunningCopy copy{SessionOf(id), window && windowProcess == id, asked.count(id) > 0};
      switch (NextCopyStep(copy, ownSession, elapsed)) {
        case CopyStep::kAsk: {
          asked.insert(id);
          DWORD_PTR answer = 0;
          SendMessageTimeoutW(window, WM_CLOSE, 0, 0, SMTO_NORMAL, 5000, &answer);
          break;
        }
        case CopyStep::kEnd:
          EndCopy(id, program);
          break;
        case CopyStep::kWait:
          break;
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
