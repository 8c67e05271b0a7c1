// Entry of NUV_Talv.exe. The application folder is computed during static
// construction, before anything else of the program; wWinMain then runs the
// application object, whose initialisation runs the main window modally. The
// process ends when that run ends.
#include <objbase.h>
#include <windows.h>

#include "platform/fault_barrier.h"
#include "winapp/nuv_talv_app.h"

namespace {

using namespace nuv;

// Constructed before the application object, which fills it in.
Text g_application_folder;
win32::CNUV_TalvApp g_app(g_application_folder);

// The other subsystems' parts of the main window.
void WireSubsystems(win32::AppContext&) {}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
  // Elevated: never load a DLL from a folder a normal user can write.
  SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  // The windows' accessible objects reach screen readers in other processes
  // through COM, in this thread's apartment.
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  g_app.wireSubsystems = WireSubsystems;
  return FaultBarrier([] { return g_app.Run(); });
}
