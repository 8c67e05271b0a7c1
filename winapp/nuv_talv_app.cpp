#include "winapp/nuv_talv_app.h"

#include <commctrl.h>

#include "app/startup.h"
#include "platform/win32/win32_fault_end.h"
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

bool AdmitSingleInstance() {
  // The name is a named local and the error is read right after the call: a
  // temporary's destructor (a heap free) before GetLastError may reset it.
  const Text name(kSingleInstanceMutexName);
  HANDLE mutex = CreateMutexW(nullptr, FALSE, W(name));
  const DWORD error = GetLastError();
  if (error != ERROR_ALREADY_EXISTS) return true;  // kept until the process ends
  if (HWND first = FindWindowW(nullptr, W(Text(kMainWindowTitle)))) ShowWindow(first, SW_RESTORE);
  if (mutex) CloseHandle(mutex);
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
