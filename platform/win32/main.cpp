// Entry of NUV_Talv.exe: application folder, single instance, common
// controls, then the main dialog's modal run; the process ends with it.
#include <windows.h>
#include <commctrl.h>

#include "app/startup.h"
#include "device/device_link.h"
#include "platform/win32/win32_hid.h"
#include "platform/win32/win32_ini.h"
#include "platform/win32/win32_messages.h"
#include "platform/win32/win32_system.h"
#include "platform/win32/win32_text.h"
#include "res/resource.h"
#include "settings/config_store.h"
#include "settings/settings_protocol.h"

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
DeviceLink g_link;
AttentionState g_attention;

// The device side, made once the application folder is known. Never freed:
// worker threads may still be blocked in the HID port when the process ends.
struct DeviceSide {
  explicit DeviceSide(std::unique_ptr<HidPort> port)
      : hid(std::move(port)),
        connection(*hid, g_link),
        sender(*hid, g_link),
        applier(g_profile, g_store, sender, g_system, g_attention) {}
  std::unique_ptr<HidPort> hid;
  DeviceConnection connection;
  FeatureReportSender sender;
  ProfileApplier applier;
};
DeviceSide* g_device = nullptr;

ShutdownSeams WindowSeams(HWND window) {
  ShutdownSeams seams;
  seams.sendExitCommand = [] { g_device->sender.SendExitCommand(); };
  seams.destroyWindow = [window] { EndDialog(window, IDCANCEL); };
  return seams;
}

INT_PTR CALLBACK MainDialogProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG: {
      SetWindowTextW(window, win32::W(Text(kMainWindowTitle)));
      HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
      SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
      SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
      g_store.configPath = g_application_folder + u"\\config.ini";
      g_store.LoadStartValues();
      g_store.LoadProfile(g_store.configPath, g_store.currentConfig, false);
      g_device->connection.window = reinterpret_cast<WindowId>(window);
      g_device->connection.removalSeams = WindowSeams(window);
      g_device->applier.seams.repaint = [window] { InvalidateRect(window, nullptr, TRUE); };
      g_link.connected = g_device->connection.Search();
      if (!g_link.connected) {
        win32::Win32Messages messages;
        ReportMissingMouse(messages, g_store.languageSelection, win32::ApplicationName());
        RunCloseSequence(g_input, g_system, WindowSeams(window));
        return TRUE;
      }
      Sleep(5);
      g_device->applier.ApplyProfile();
      if (CommandLineAsksHidden(win32::FromW(GetCommandLineW()))) g_start_hidden = 1;
      return TRUE;
    }
    case WM_DEVICECHANGE: {
      // Only arrival and removal carry the record the handler looks at; other
      // events may have no record at all.
      const auto event = static_cast<uint32_t>(wparam);
      std::optional<DeviceBroadcast> broadcast;
      if (event == kDeviceArrival || event == kDeviceRemoveComplete) {
        broadcast = win32::DecodeDeviceChange(lparam);
      }
      g_device->connection.OnDeviceChange(event, broadcast ? &*broadcast : nullptr);
      SetWindowLongPtrW(window, DWLP_MSGRESULT, TRUE);
      return TRUE;
    }
    case WM_CLOSE:
      RunCloseSequence(g_input, g_system, WindowSeams(window));
      return TRUE;
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
  g_device = new DeviceSide(win32::CreateHidPort(g_application_folder));
  DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_NUV_TALV_DIALOG), nullptr, MainDialogProc, 0);
  return 0;
}
