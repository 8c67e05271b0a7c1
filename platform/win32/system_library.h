// A DLL of the system folder, loaded at run time.
//
// The program runs elevated. The loader resolves the import table before any
// of our code runs (so before SetDefaultDllDirectories), and looks for a DLL
// that is not on the system's KnownDLLs list in the application's folder
// first. The import table therefore holds only KnownDLLs, API sets and the
// common controls (redirected by the manifest); any other DLL (hid.dll,
// winmm.dll) is loaded here, from the system folder only, and its functions
// are looked up by name. A DLL or function that is missing gives null: the
// adapter that wanted it then behaves as "no device" or does nothing.
// scripts/check_binary.sh checks the shipped program's import table.
#pragma once

#include <windows.h>

namespace nuv::win32 {

class SystemLibrary {
 public:
  // `name` without a folder, e.g. L"hid.dll".
  explicit SystemLibrary(const wchar_t* name)
      : module_(LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {}
  // Never freed: functions looked up here stay usable by every thread until
  // the process ends, also while its static objects are destroyed.
  SystemLibrary(const SystemLibrary&) = delete;
  SystemLibrary& operator=(const SystemLibrary&) = delete;

  bool loaded() const { return module_ != nullptr; }

  // The function `name` of the type `F` (a pointer to function, e.g.
  // decltype(&HidD_SetFeature)); null when the DLL or the function is missing.
  template <typename F>
  F Function(const char* name) const {
    if (!module_) return nullptr;
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
  }

 private:
  HMODULE module_;
};

}  // namespace nuv::win32
