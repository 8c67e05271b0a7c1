// Entry of NUV_Talv.exe: application folder, single instance, common
// controls, then the main dialog's modal run; the process ends with it.
#include <windows.h>
#include <commctrl.h>

#include "app/startup.h"
#include "platform/win32/win32_ini.h"
#include "platform/win32/win32_system.h"
#include "platform/win32/win32_text.h"
#include "res/resource.h"
#include "settings/config_store.h"

namespace {

using namespace nuv;

// Computed during static construction, before anything else of the program.
const Text g_application_folder = ApplicationFolderFromModulePath(win32::ModulePath());

win32::Win32Ini g_ini;
win32::Win32Input g_input;
win32::Win32SystemSettings g_system;
MouseProfile g_profile;
ConfigStore g_store(g_ini, g_profile);
int g_start_hidden = 0;

INT_PTR CALLBACK MainDialogProc(HWND window, UINT message, WPARAM, LPARAM) {
  switch (message) {
    case WM_INITDIALOG: {
      SetWindowTextW(window, win32::W(Text(kMainWindowTitle)));
      HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
      SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
      SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
      g_store.configPath = g_application_folder + u"\\config.ini";
      g_store.LoadStartValues();
      g_store.LoadProfile(g_store.configPath, g_store.currentConfig, false);
      if (CommandLineAsksHidden(win32::FromW(GetCommandLineW()))) g_start_hidden = 1;
      return TRUE;
    }
    case WM_CLOSE: {
      ShutdownSeams seams;
      seams.destroyWindow = [window] { EndDialog(window, IDCANCEL); };
      RunCloseSequence(g_input, g_system, seams);
      return TRUE;
    }
    default:
      return FALSE;
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
  // Elevated: never load a DLL from a folder a normal user can write.
  SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (!win32::AdmitSingleInstance()) return 0;
  INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), 0xFF};
  InitCommonControlsEx(&controls);
  DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_NUV_TALV_DIALOG), nullptr, MainDialogProc, 0);
  return 0;
}
