// Macro recording: between Record and Stop (advanced key 4) a system-wide
// low-level keyboard hook takes every keystroke away from the rest of the
// system and posts it to the main window, whose pre-translation step hands it
// to TakeKeyMessage. Each press and release becomes an event of the macro
// being recorded, the time since the previous one the pause before it.
//
// Everything runs on the window thread: the hook only posts.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <utility>

#include "macro/macro_editor.h"
#include "platform/system_time_port.h"

namespace nuv {

constexpr int kRecordedEventLimit = 216;
constexpr int kRecordedPressLimit = 108;
constexpr int kHeldKeyLimit = 9;
constexpr uint16_t kPauseAfterLastRecordedEvent = 30;

// Key messages as the hook posts them (WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN,
// WM_SYSKEYUP).
namespace keymsg {
constexpr uint32_t kKeyDown = 0x0100;
constexpr uint32_t kKeyUp = 0x0101;
constexpr uint32_t kSysKeyDown = 0x0104;
constexpr uint32_t kSysKeyUp = 0x0105;
}  // namespace keymsg

// Milliseconds since midnight of a system time.
int64_t MillisecondsOfDay(const SystemTimeOfDay& time);

struct Elapsed {
  uint16_t pause;  // ms since the previous stamp, at most 65535
  int64_t stamp;   // the new previous stamp
};
// The pause between `lastStamp` and `now`, both times of day: a time earlier
// than the stamp means midnight passed in between.
Elapsed ElapsedMs(int64_t lastStamp, const SystemTimeOfDay& now);

// What the recording's keyboard hook does with a keystroke.
struct PostedKey {
  uint32_t message;
  uint64_t key;  // the virtual-key code; lParam is 0
};
struct HookDecision {
  std::optional<PostedKey> post;  // to the main window, for the recording
  bool passOn;                    // to the next hook, and so to the programs
};

// The low-level flag of a keystroke that a process of a lower integrity level
// injected (LLKHF_LOWER_IL_INJECTED).
constexpr uint32_t kInjectedFromLowerIntegrity = 0x02;

// A negative hook code is the system's own business and is passed on unseen.
// A keystroke that a program of the user's normal rights injected is passed
// on and never recorded: the recording is played back with the program's
// administrator rights. Every other keystroke, typed or injected at our level
// or above (the on-screen keyboard, assistive tools), goes to the recording
// and to no other program.
HookDecision KeyboardHookDecision(int code, uint32_t message, uint32_t virtualKey, uint32_t flags);

// Keys pressed during the recording and not yet released, in press order.
// Room for nine: a tenth press is refused (see TakeKeyMessage).
class HeldKeys {
 public:
  bool Full() const { return length_ == kHeldKeyLimit; }
  int size() const { return length_; }
  bool Press(uint8_t key);
  // Removes the first entry of `key`; false when it is not held.
  bool Release(uint8_t key);
  void Clear();
  uint8_t operator[](int i) const { return keys_[static_cast<size_t>(i)]; }

 private:
  std::array<uint8_t, kHeldKeyLimit> keys_{};
  int length_ = 0;
};

// The hook, as the window installs and removes it.
class KeyboardHookView {
 public:
  virtual ~KeyboardHookView() = default;
  // False when the system refused the hook: the recording then runs without
  // receiving keys.
  virtual bool InstallKeyboardHook() = 0;
  virtual void RemoveKeyboardHook() = 0;
};

class MacroRecorder {
 public:
  MacroRecorder(MacroEditor& editor, KeyboardHookView& hook, SystemTimePort& time)
      : editor_(editor), hook_(hook), time_(time) {}

  bool Recording() const { return editor_.state().recording; }

  // Record / Stop (advanced key 4). Record empties the selected macro but for
  // its name and installs the hook; Stop fixes the event count and removes
  // the hook, whatever the macro list holds by then.
  void ToggleRecording();
  // Ends a recording as Stop does, if one runs: the window calls it whenever
  // the recording would no longer be seen (the window hidden or minimised,
  // another page, another language, macros imported or deleted, the close),
  // so that the hook never keeps the keyboard from the user.
  void EndRecording();

  // A key message while recording. True: the recording took it (the window's
  // key filter goes on); false: it goes to the window's normal handling.
  bool TakeKeyMessage(uint32_t message, uint64_t key);

  int RecordMacro() const { return recordMacro_; }
  int NextEvent() const { return nextEvent_; }
  const HeldKeys& heldKeys() const { return held_; }

 private:
  MacroEditor& editor_;
  KeyboardHookView& hook_;
  SystemTimePort& time_;

  bool hookInstalled_ = false;
  int recordMacro_ = 0;
  int nextEvent_ = 0;
  HeldKeys held_;
  // Kept across recordings, as the system keeps its key repeat and its clock.
  std::pair<uint32_t, uint64_t> lastKeyMessage_{0, 0};
  int64_t lastStamp_ = 0;
};

}  // namespace nuv
