#include "winapp/nuv_talv_app.h"

#include <commctrl.h>
#include <sddl.h>

#include "app/startup.h"
#include "platform/win32/win32_fault_end.h"
#include "platform/win32/win32_process_image.h"
#include "platform/win32/win32_system.h"
#include "platform/win32/win32_text.h"
#include "winapp/hid_choice.h"
#include "winapp/nuv_talv_dlg.h"

namespace nuv::win32 {

AppContext::AppContext(const Text& folder, const CommandLineSwitches& commandLine)
    : applicationFolder(folder),
      switches(commandLine),
      hid(CreateHidPort(folder, commandLine.virtualMouse, &hidReaderWake)),
      core(ProgramPorts{*hid, ini, input, system, shell, clock}) {
  core.handover.UseWake(wake);
  session.applicationFolder = folder;
  for (const Text& file : ReplacedFiles(folder)) files.RemoveStaleTemporary(file);
  macroFiles.caption = ApplicationName();
}

namespace {

enum class Claim { kFirst, kLater, kUnavailable };

// The single-instance mutex lives in a private namespace whose boundary holds
// the Administrators group and whose descriptor lets only administrators and
// the system in: a program without administrator rights can neither create
// the namespace first nor open it, so it cannot make a start of ours believe
// it is a later copy. One namespace per session, as the session's named
// mutex was before.
Claim ClaimInPrivateNamespace() {
  DWORD session = 0;
  ProcessIdToSessionId(GetCurrentProcessId(), &session);
  const Text boundaryName = u"NUV_Talv." + FormatInt(session);
  HANDLE boundary = CreateBoundaryDescriptorW(W(boundaryName), 0);
  if (!boundary) return Claim::kUnavailable;  // Wine 8 has no private namespaces
  BYTE admins[SECURITY_MAX_SID_SIZE];
  DWORD sidSize = sizeof(admins);
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  HANDLE space = nullptr;
  if (CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, admins, &sidSize) &&
      AddSIDToBoundaryDescriptor(&boundary, admins) &&
      ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;;GA;;;BA)(A;;GA;;;SY)",
                                                           SDDL_REVISION_1, &descriptor, nullptr)) {
    SECURITY_ATTRIBUTES attributes{sizeof(attributes), descriptor, FALSE};
    space = CreatePrivateNamespaceW(&attributes, boundary, L"NUV_Talv");
    if (!space && GetLastError() == ERROR_ALREADY_EXISTS) {
      space = OpenPrivateNamespaceW(boundary, L"NUV_Talv");
    }
    LocalFree(descriptor);
  }
  DeleteBoundaryDescriptor(boundary);
  if (!space) return Claim::kUnavailable;
  const Text name = Text(u"NUV_Talv\\") + kSingleInstanceMutexName;
  // The error is read right after the call: a temporary's destructor (a heap
  // free) before GetLastError may reset it.
  HANDLE mutex = CreateMutexW(nullptr, FALSE, W(name));
  const DWORD error = GetLastError();
  if (mutex && error != ERROR_ALREADY_EXISTS) return Claim::kFirst;  // both kept to the end
  if (mutex) CloseHandle(mutex);
  ClosePrivateNamespace(space, 0);
  return mutex ? Claim::kLater : Claim::kUnavailable;
}

// Without a private namespace (Wine; a copy started without administrator
// rights) the session's named mutex decides, but a name that is taken counts
// only when it was taken here or a process started from our own file runs:
// any program can create the name.
Claim ClaimByImage(const Text& ownImage) {
  static bool claimedHere = false;
  const Text name(kSingleInstanceMutexName);
  HANDLE mutex = CreateMutexW(nullptr, FALSE, W(name));
  const DWORD error = GetLastError();
  if (error != ERROR_ALREADY_EXISTS || (!claimedHere && ProcessesOfImage(ownImage).empty())) {
    claimedHere = true;
    return Claim::kFirst;  // a mutex made here is kept until the process ends
  }
  if (mutex) CloseHandle(mutex);
  return Claim::kLater;
}

}  // namespace

bool AdmitSingleInstance() {
  const Text ownImage = ModulePath();
  Claim claim = ClaimInPrivateNamespace();
  if (claim == Claim::kUnavailable) claim = ClaimByImage(ownImage);
  if (claim == Claim::kFirst) return true;
  // The first copy's window: one of a process started from our file, whatever
  // other windows carry the same title.
  if (HWND first = FindWindowOfImage(Text(kMainWindowTitle), ownImage)) {
    // The user has just started this copy, so it may take the foreground:
    // it hands that on to the first, which shows its window as from the
    // tray and brings it to the front itself. A window restored from here
    // would stay behind others or only flash.
    DWORD firstProcess = 0;
    GetWindowThreadProcessId(first, &firstProcess);
    if (firstProcess != 0) AllowSetForegroundWindow(firstProcess);
    PostMessageW(first, RegisterWindowMessageW(W(kShowFromSecondCopyMessage)), 0, 0);
  }
  return false;
}

CNUV_TalvApp::CNUV_TalvApp(Text& applicationFolder) : applicationFolder_(applicationFolder) {
  applicationFolder_ = ApplicationFolderFromModulePath(ModulePath());
}

bool CNUV_TalvApp::InitInstance() {
  if (!AdmitSingleInstance()) return false;
  INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), 0xFF};
  InitCommonControlsEx(&controls);
  // Never deleted (see AppContext).
  auto* context =
      new AppContext(applicationFolder_, ParseCommandLineSwitches(FromW(GetCommandLineW())));
  // Before any worker starts: what a hard fault lets go of is the executor's.
  InstallFaultEnd(context->core.executor.Held(), kClosePointerSpeed);
  if (wireSubsystems) wireSubsystems(*context);
  {
    CNUV_TalvDlg dialog(*context);
    dialog.DoModal();
  }
  SetMainWindow(nullptr);
  return false;
}

}  // namespace nuv::win32
