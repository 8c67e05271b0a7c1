// What the system knows of processes and windows, for the end-to-end checks
// that look at the program from outside:
//   system_probe processes        one line per process: "id name <- parent name"
//   system_probe owner <title>    the same line for the process of the shown
//                                 top-level window with that title
//   system_probe post <message> [wParam]
//                                 posts the registered window message to the
//                                 program's main window (wParam 0 if not given)
//   system_probe send <number> [wParam]
//                                 sends the plain window message <number>
//                                 (decimal or 0x…) to the program's main
//                                 window, as the system sends its power and
//                                 session messages, and prints the answer
//   system_probe release <x> <y>  sends the main window a pointer move to
//                                 client point (x, y) and a left-button release
//                                 there, with no press before it (X drops a
//                                 release of a button that is not down)
//   system_probe squat            what any program of the user can do first:
//                                 holds the single-instance mutex's old name
//                                 and a hidden window with the program's
//                                 title that ignores WM_CLOSE, for two minutes
// Exit code 1 when the system refuses the question.
#include <windows.h>

#include <tlhelp32.h>

#include <cstdio>
#include <map>
#include <string>

namespace {

// One line per process, or only the line of process `only` (when not 0).
int Processes(DWORD only = 0) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return 1;
  std::map<DWORD, std::wstring> names;
  std::map<DWORD, DWORD> parents;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32FirstW(snapshot, &entry); more;
       more = Process32NextW(snapshot, &entry)) {
    names[entry.th32ProcessID] = entry.szExeFile;
    parents[entry.th32ProcessID] = entry.th32ParentProcessID;
  }
  CloseHandle(snapshot);
  for (const auto& [id, name] : names) {
    if (only != 0 && id != only) continue;
    const auto parent = names.find(parents[id]);
    std::printf("%lu %ls <- %ls\n", static_cast<unsigned long>(id), name.c_str(),
                parent == names.end() ? L"-" : parent->second.c_str());
  }
  return 0;
}

LRESULT CALLBACK Squatter(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_CLOSE) return 0;
  return DefWindowProcW(window, message, w, l);
}

int Squat() {
  CreateMutexW(nullptr, FALSE, L"CNUV_TalvApp");
  WNDCLASSW type{};
  type.lpfnWndProc = Squatter;
  type.hInstance = GetModuleHandleW(nullptr);
  type.lpszClassName = L"NuvSquatter";
  RegisterClassW(&type);
  if (!CreateWindowExW(0, type.lpszClassName, L"QUARVEL 241-7730 GAMING MOUSE", WS_OVERLAPPEDWINDOW,
                       0, 0, 100, 100, nullptr, nullptr, type.hInstance, nullptr)) {
    return 1;
  }
  SetTimer(nullptr, 0, 120000, nullptr);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0 && message.message != WM_TIMER) {
    DispatchMessageW(&message);
  }
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 2 && std::wstring(argv[1]) == L"processes") return Processes();
  if (argc == 3 && std::wstring(argv[1]) == L"owner") {
    HWND window = FindWindowW(nullptr, argv[2]);
    while (window && !IsWindowVisible(window))
      window = FindWindowExW(nullptr, window, nullptr, argv[2]);
    DWORD id = 0;
    if (!window || !GetWindowThreadProcessId(window, &id)) return 1;
    return Processes(id);
  }
  if (argc == 2 && std::wstring(argv[1]) == L"squat") return Squat();
  if (argc == 4 && std::wstring(argv[1]) == L"release") {
    HWND window = FindWindowW(nullptr, L"QUARVEL 241-7730 GAMING MOUSE");
    if (!window) return 1;
    const LPARAM point = MAKELPARAM(_wtoi(argv[2]), _wtoi(argv[3]));
    SendMessageW(window, WM_MOUSEMOVE, 0, point);
    SendMessageW(window, WM_LBUTTONUP, 0, point);
    return 0;
  }
  if ((argc == 3 || argc == 4) && std::wstring(argv[1]) == L"post") {
    HWND window = FindWindowW(nullptr, L"QUARVEL 241-7730 GAMING MOUSE");
    const WPARAM value = argc == 4 ? static_cast<WPARAM>(_wtoi(argv[3])) : 0;
    return window && PostMessageW(window, RegisterWindowMessageW(argv[2]), value, 0) ? 0 : 1;
  }
  if ((argc == 3 || argc == 4) && std::wstring(argv[1]) == L"send") {
    HWND window = FindWindowW(nullptr, L"QUARVEL 241-7730 GAMING MOUSE");
    const auto message = static_cast<UINT>(wcstoul(argv[2], nullptr, 0));
    const WPARAM value = argc == 4 ? static_cast<WPARAM>(wcstoul(argv[3], nullptr, 0)) : 0;
    DWORD_PTR answer = 0;
    if (!window || !SendMessageTimeoutW(window, message, value, 0, SMTO_NORMAL, 10000, &answer)) {
      return 1;
    }
    std::printf("%llu\n", static_cast<unsigned long long>(answer));
    return 0;
  }
  std::fprintf(stderr,
               "usage: system_probe processes | owner <title> | squat | post <message> [wParam] | "
               "send <number> [wParam] | release <x> <y>\n");
  return 2;
}
