// The low-level keyboard hook of a macro recording: installed exactly while a
// recording runs, it takes the keystrokes typed into the main window away
// from the other programs and posts them to that window, whose
// pre-translation step records them. What it takes and when the recording
// ends is decided by RecordingKeyGate; the hook carries it out. The window is
// the one given at installation, not one found by its title: any program can
// make a window of that title, and would then read what the user types while
// recording.
#pragma once

#include <windows.h>

#include "macro/macro_recorder.h"

namespace nuv::win32 {

class Win32KeyboardHook : public KeyboardHookView {
 public:
  // Posted to the window when the recording is to end as Stop ends it (the
  // window no longer in front, a system key, a long Esc).
  static constexpr UINT kEndRecordingMessage = WM_APP + 0x57;

  // The window the keystrokes go to (the main window).
  void SetTarget(HWND window) { target_ = window; }
  ~Win32KeyboardHook() override;
  bool InstallKeyboardHook() override;
  void RemoveKeyboardHook() override;
  // After the hook is gone: presses the chord that ended the recording for
  // the system (its modifiers were the recording's), once.
  void ReplayChord();

  RecordingKeyGate& gate() { return gate_; }
  HWND target() const { return target_; }

 private:
  void* hook_ = nullptr;
  HWND target_ = nullptr;
  RecordingKeyGate gate_;
};

}  // namespace nuv::win32
