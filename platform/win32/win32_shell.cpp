#include "platform/win32/win32_shell.h"

// windows.h comes first: the other system headers rely on it.
#include "platform/win32/win32_text.h"

#include <userenv.h>

#include <vector>

#include "platform/win32/system_library.h"

namespace nuv::win32 {

namespace {

// A folder that a system call fills into a buffer, or empty when it fails.
template <typename Call>
Text SystemFolder(Call call) {
  std::vector<wchar_t> folder(MAX_PATH + 1);
  UINT n = call(folder.data(), static_cast<UINT>(folder.size()));
  if (n >= folder.size()) {
    folder.resize(n + 1);
    n = call(folder.data(), static_cast<UINT>(folder.size()));
  }
  if (n == 0 || n >= folder.size()) return Text();
  return FromW(folder.data(), n);
}

Text InFolder(const Text& folder, const Text& file_name) {
  return folder.empty() ? Text() : folder + u"\\" + file_name;
}

struct Handle {
  HANDLE h = nullptr;
  Handle() = default;
  explicit Handle(HANDLE handle) : h(handle) {}
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  ~Handle() {
    if (h) CloseHandle(h);
  }
};

// The user a process runs as (its token's), in `buffer`; nothing when the
// token cannot be read.
PSID ProcessUser(HANDLE process, std::vector<unsigned char>& buffer) {
  HANDLE raw = nullptr;
  if (!OpenProcessToken(process, TOKEN_QUERY, &raw)) return nullptr;
  Handle token(raw);
  DWORD size = 0;
  GetTokenInformation(token.h, TokenUser, nullptr, 0, &size);
  if (size == 0) return nullptr;
  buffer.resize(size);
  if (!GetTokenInformation(token.h, TokenUser, buffer.data(), size, &size)) return nullptr;
  return reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid;
}

// A service account's process (csrss owns the desktop window on Windows)
// would hand its children the system's rights: such a process is never taken
// for the user's shell.
bool RunsAsTheUser(HANDLE process) {
  std::vector<unsigned char> buffer;
  PSID user = ProcessUser(process, buffer);
  if (!user) return false;
  for (auto service : {WinLocalSystemSid, WinLocalServiceSid, WinNetworkServiceSid}) {
    if (IsWellKnownSid(user, service)) return false;
  }
  return true;
}

// The environment a program of the user's gets when the user starts it (the
// user's profile folders, temp folder and PATH), made from the shell's token;
// null when it cannot be made. userenv.dll is no KnownDLL, so it is loaded
// from the system folder (see system_library.h).
class UserEnvironment {
 public:
  explicit UserEnvironment(HANDLE shell) {
    static const SystemLibrary userenv(L"userenv.dll");
    static const auto create =
        userenv.Function<decltype(&CreateEnvironmentBlock)>("CreateEnvironmentBlock");
    static const auto destroy =
        userenv.Function<decltype(&DestroyEnvironmentBlock)>("DestroyEnvironmentBlock");
    HANDLE raw = nullptr;
    if (!create || !destroy ||
        !OpenProcessToken(shell, TOKEN_QUERY | TOKEN_DUPLICATE | TOKEN_IMPERSONATE, &raw)) {
      return;
    }
    Handle token(raw);
    // FALSE: none of the elevated process's own variables is taken over.
    void* block = nullptr;
    if (create(&block, token.h, FALSE)) {
      block_ = block;
      destroy_ = destroy;
    }
  }
  UserEnvironment(const UserEnvironment&) = delete;
  UserEnvironment& operator=(const UserEnvironment&) = delete;
  ~UserEnvironment() {
    if (block_) destroy_(block_);
  }
  void* block() const { return block_; }

 private:
  void* block_ = nullptr;
  decltype(&DestroyEnvironmentBlock) destroy_ = nullptr;
};

}  // namespace

HANDLE OpenDesktopShell() {
  DWORD ourSession = 0;
  if (!ProcessIdToSessionId(GetCurrentProcessId(), &ourSession)) return nullptr;
  for (HWND window : {GetShellWindow(), GetDesktopWindow()}) {
    DWORD id = 0;
    if (!window || !GetWindowThreadProcessId(window, &id) || id == 0) continue;
    DWORD session = 0;
    if (id == GetCurrentProcessId() || !ProcessIdToSessionId(id, &session) ||
        session != ourSession) {
      continue;
    }
    HANDLE shell =
        OpenProcess(PROCESS_CREATE_PROCESS | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
    if (!shell) continue;
    if (RunsAsTheUser(shell)) return shell;
    CloseHandle(shell);
  }
  return nullptr;
}

Text SystemProgramPath(const Text& file_name) {
  return InFolder(SystemFolder(GetSystemDirectoryW), file_name);
}

Text WindowsProgramPath(const Text& file_name) {
  return InFolder(SystemFolder(GetSystemWindowsDirectoryW), file_name);
}

Text SystemProgramCommandLine(const Text& path, const Text& arguments) {
  Text command_line = u"\"" + path + u"\"";
  if (!arguments.empty()) command_line += u" " + arguments;
  return command_line;
}

bool StartAsDesktopUser(const Text& path, const Text& arguments) {
  auto started = StartAsDesktopUser(path, [&](PSID) { return std::optional<Text>(arguments); });
  if (!started) return false;
  CloseHandle(started->process);
  return true;
}

std::optional<DesktopUserProcess> StartAsDesktopUser(const Text& path,
                                                     const DesktopUserArguments& arguments) {
  const Text folder = SystemFolder(GetSystemDirectoryW);
  if (path.empty() || folder.empty()) return std::nullopt;
  Handle shell(OpenDesktopShell());
  if (!shell.h) return std::nullopt;
  std::vector<unsigned char> userBuffer;
  PSID user = ProcessUser(shell.h, userBuffer);
  if (!user) return std::nullopt;
  const std::optional<Text> programArguments = arguments(user);
  if (!programArguments) return std::nullopt;

  SIZE_T size = 0;
  InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
  std::vector<unsigned char> attributes(size);
  auto* list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(attributes.data());
  if (size == 0 || !InitializeProcThreadAttributeList(list, 1, 0, &size)) return std::nullopt;
  std::optional<DesktopUserProcess> started;
  if (UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_PARENT_PROCESS, &shell.h,
                                sizeof(shell.h), nullptr, nullptr)) {
    STARTUPINFOEXW startup{};
    startup.StartupInfo.cb = sizeof(startup);
    startup.StartupInfo.dwFlags = STARTF_USESHOWWINDOW;
    startup.StartupInfo.wShowWindow = SW_SHOWNORMAL;
    startup.lpAttributeList = list;
    Text command_line = SystemProgramCommandLine(path, *programArguments);
    PROCESS_INFORMATION process{};
    // The user's environment, not ours: under an administrator's credentials
    // ours names the administrator's profile, temp folder and PATH. Should it
    // not be made, the program still starts, with ours, as it always did.
    const UserEnvironment environment(shell.h);
    const DWORD creation =
        EXTENDED_STARTUPINFO_PRESENT | (environment.block() ? CREATE_UNICODE_ENVIRONMENT : 0u);
    // The program the user asked for comes to the front. Windows keeps the
    // foreground from processes that do not have it, and the window may
    // belong to another process than the one started (the console host, the
    // browser, the shell's own window), so any process may take it until the
    // user's next input. Granted only where Windows lets us have it ourselves.
    AllowSetForegroundWindow(ASFW_ANY);
    // No handle of ours is inherited; the child's token, and so its rights,
    // are the parent's.
    if (CreateProcessW(W(path), const_cast<wchar_t*>(W(command_line)), nullptr, nullptr, FALSE,
                       creation, environment.block(), W(folder), &startup.StartupInfo, &process)) {
      CloseHandle(process.hThread);
      started = DesktopUserProcess{process.hProcess, process.dwProcessId};
    }
  }
  DeleteProcThreadAttributeList(list);
  return started;
}

void OpenAsDesktopUser(const Text& address) {
  // The URL handler runs in a process of the user's, which looks up the
  // user's browser as the user.
  StartAsDesktopUser(SystemProgramPath(u"rundll32.exe"), u"url.dll,FileProtocolHandler " + address);
}

void Win32Shell::OpenDrivesFolder() {
  StartAsDesktopUser(WindowsProgramPath(u"explorer.exe"), kDrivesFolderArguments);
}

void Win32Shell::LockWorkstation() { ::LockWorkStation(); }

void Win32Shell::StartCalculator() { StartAsDesktopUser(SystemProgramPath(u"calc.exe"), Text()); }

void Win32Shell::StartCommandPrompt() {
  StartAsDesktopUser(SystemProgramPath(u"cmd.exe"), kCommandPromptArguments);
}

}  // namespace nuv::win32
