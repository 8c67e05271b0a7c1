// The low-level keyboard hook of a macro recording: installed exactly while a
// recording runs, it takes every keystroke of the system away from the other
// programs and posts it to the main window, whose pre-translation step
// records it. The window is the one given at installation, not one found by
// its title: any program can make a window of that title, and would then
// read what the user types while recording.
#pragma once

#include <windows.h>

#include "macro/macro_recorder.h"

namespace nuv::win32 {

class Win32KeyboardHook : public KeyboardHookView {
 public:
  // The window the keystrokes go to (the main window).
  void SetTarget(HWND window) { target_ = window; }
  ~Win32KeyboardHook() override { RemoveKeyboardHook(); }
  bool InstallKeyboardHook() override;
  void RemoveKeyboardHook() override;

 private:
  void* hook_ = nullptr;
  HWND target_ = nullptr;
};

}  // namespace nuv::win32
