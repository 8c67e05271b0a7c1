// The low-level keyboard hook of a macro recording: installed exactly while a
// recording runs, it takes every keystroke of the system away from the other
// programs and posts it to the main window (found by its title), whose
// pre-translation step records it.
#pragma once

#include "macro/macro_recorder.h"

namespace nuv::win32 {

class Win32KeyboardHook : public KeyboardHookView {
 public:
  ~Win32KeyboardHook() override { RemoveKeyboardHook(); }
  bool InstallKeyboardHook() override;
  void RemoveKeyboardHook() override;

 private:
  void* hook_ = nullptr;
};

}  // namespace nuv::win32
