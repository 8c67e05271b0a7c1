#include "platform/win32/win32_shell.h"

// windows.h comes first: the other system headers rely on it.
#include "platform/win32/win32_text.h"

#include <exdisp.h>
#include <servprov.h>
#include <shellapi.h>
#include <shldisp.h>
#include <shlobj.h>

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

namespace {

// Releases a COM interface when it goes out of scope.
template <typename T>
struct ComPointer {
  T* p = nullptr;
  ComPointer() = default;
  ComPointer(const ComPointer&) = delete;
  ComPointer& operator=(const ComPointer&) = delete;
  ~ComPointer() {
    if (p) p->Release();
  }
  T** operator&() { return &p; }
  T* operator->() const { return p; }
};

// Asks the desktop's shell (Explorer, which runs with the user's normal
// rights) to open `target`, so that what it starts is not elevated as we are.
bool OpenThroughDesktopShell(const wchar_t* target) {
  ComPointer<IShellWindows> windows;
  if (FAILED(CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER,
                              IID_PPV_ARGS(&windows)))) {
    return false;
  }
  VARIANT location{};
  VariantInit(&location);
  VARIANT empty{};
  VariantInit(&empty);
  long desktopWindow = 0;
  ComPointer<IDispatch> desktop;
  if (windows->FindWindowSW(&location, &empty, SWC_DESKTOP, &desktopWindow, SWFO_NEEDDISPATCH,
                            &desktop) != S_OK) {
    return false;
  }
  ComPointer<IServiceProvider> services;
  ComPointer<IShellBrowser> browser;
  ComPointer<IShellView> view;
  ComPointer<IDispatch> background;
  ComPointer<IShellFolderViewDual> folderView;
  ComPointer<IDispatch> application;
  ComPointer<IShellDispatch2> shell;
  if (FAILED(desktop->QueryInterface(IID_PPV_ARGS(&services))) ||
      FAILED(services->QueryService(SID_STopLevelBrowser, IID_PPV_ARGS(&browser))) ||
      FAILED(browser->QueryActiveShellView(&view)) ||
      FAILED(view->GetItemObject(SVGIO_BACKGROUND, IID_PPV_ARGS(&background))) ||
      FAILED(background->QueryInterface(IID_PPV_ARGS(&folderView))) ||
      FAILED(folderView->get_Application(&application)) ||
      FAILED(application->QueryInterface(IID_PPV_ARGS(&shell)))) {
    return false;
  }
  BSTR file = SysAllocString(target);
  if (!file) return false;
  VARIANT operation{};
  operation.vt = VT_BSTR;
  operation.bstrVal = SysAllocString(L"open");
  VARIANT show{};
  show.vt = VT_I4;
  show.lVal = SW_SHOWNORMAL;
  const bool opened =
      operation.bstrVal && SUCCEEDED(shell->ShellExecute(file, empty, empty, operation, show));
  SysFreeString(operation.bstrVal);
  SysFreeString(file);
  return opened;
}

}  // namespace

void OpenAsDesktopUser(const Text& target) {
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  const bool opened = OpenThroughDesktopShell(W(target));
  if (SUCCEEDED(com)) CoUninitialize();
  // Without a desktop shell (another shell, or none yet) it opens as we run.
  if (!opened) ShellExecuteW(nullptr, L"open", W(target), nullptr, nullptr, SW_SHOWNORMAL);
}

void Win32Shell::OpenDrivesFolder() {
  ShellExecuteW(nullptr, nullptr, L"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}", nullptr, nullptr,
                SW_SHOWNORMAL);
}

void Win32Shell::LockWorkstation() { ::LockWorkStation(); }

void Win32Shell::StartCalculator() { StartSystemProgram(u"calc.exe"); }

void Win32Shell::StartCommandPrompt() { StartSystemProgram(u"cmd.exe", kCommandPromptArguments); }

}  // namespace nuv::win32
