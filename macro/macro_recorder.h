// Macro recording: between Record and Stop (advanced key 4) a low-level
// keyboard hook takes the keystrokes typed into the main window away from the
// rest of the system and posts them to that window, whose pre-translation
// step hands them to TakeKeyMessage. Each press and release becomes an event
// of the macro being recorded, the time since the previous one the pause
// before it. What the hook takes and what ends a recording is decided by
// RecordingKeyGate.
//
// Everything runs on the window thread: the hook only posts.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <utility>
#include <vector>

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
// The pause between `lastStamp` and a key that happened `ageMs` before `now`,
// both times of day: a time earlier than the stamp means midnight passed in
// between.
Elapsed ElapsedMs(int64_t lastStamp, const SystemTimeOfDay& now, uint16_t ageMs = 0);

// What the recording's keyboard hook does with a keystroke.
struct PostedKey {
  uint32_t message;
  uint64_t key;      // the virtual-key code
  uint16_t age = 0;  // ms between the keystroke and its posting (a held-back Esc)
};
struct HookDecision {
  std::optional<PostedKey> post;  // to the main window, for the recording
  bool passOn;                    // to the next hook, and so to the programs
  // An Esc press held back until now, posted before `post`.
  std::optional<PostedKey> heldBack{};
  // The recording is to end as Stop ends it (posted to the window).
  bool endRecording = false;
};

// The lParam of a key message the hook posts: the key's age in the high word
// and a repeat count of 0, which no key message of the system has, so that
// the recorder takes only what its own hook saw.
constexpr uint64_t PostedKeyParam(uint16_t age) { return uint64_t{age} << 16; }

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

// A keystroke as the low-level hook sees it.
struct Keystroke {
  uint32_t message;     // WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN or WM_SYSKEYUP
  uint32_t virtualKey;  // left and right modifiers by their own codes
  uint32_t flags;       // LLKHF_*
  uint32_t time;        // the system's event time, ms (it wraps)
};

// Virtual-key codes the recording's hook treats apart.
namespace vk {
constexpr uint32_t kTab = 0x09;
constexpr uint32_t kEscape = 0x1B;
constexpr uint32_t kLeftWindows = 0x5B;
constexpr uint32_t kRightWindows = 0x5C;
}  // namespace vk

// Holding Esc this long ends a recording.
constexpr uint32_t kLongEscapeMs = 1000;

// What the recording's hook takes. A keystroke is recorded, and kept from
// every other program, only while the main window is the foreground window;
// the system's own keys are never recorded and always reach the system, and
// the user can always get out without a pointer:
// - another window in front (a click elsewhere, a notification, a program
//   that took the focus): the key passes on and the recording ends;
// - the Windows key, alone or in a chord: passes on, the recording ends;
// - Alt+Tab, Ctrl+Esc, Ctrl+Shift+Esc (and Alt+Esc): the recording ends and
//   the chord is pressed again for the system, whose modifiers the recording
//   had taken (replay);
// - Esc is held back until its release: a short Esc is recorded as typed,
//   with its own timing; one held for a second ends the recording and is not
//   recorded;
// - once the end is asked for, every keystroke passes on until the hook is
//   gone, and so does the release of every press that passed on.
// Negative hook codes and keys injected from a lower integrity level are
// passed on unseen and unrecorded (KeyboardHookDecision).
class RecordingKeyGate {
 public:
  // A recording starts: nothing held back, passed on or asked for.
  void Start();
  HookDecision Decide(int code, const Keystroke& key, bool mainWindowInFront);
  // The window's timer while an Esc is held back: true (once) when it has
  // been held a second by `now`, which ends the recording.
  bool LongEscape(uint32_t now);
  bool EscapeHeldBack() const { return escapeAt_.has_value(); }
  // The keys to press for the system once the recording ended on a chord:
  // the modifiers the recording took, then the chord's key.
  const std::vector<uint8_t>& replay() const { return replay_; }

 private:
  HookDecision Decided(const Keystroke& key, HookDecision decision);
  bool Down(std::initializer_list<uint32_t> keys) const;

  std::bitset<256> down_;    // keys down, as the hook saw them
  std::bitset<256> passed_;  // keys whose press went on: their releases follow it
  std::optional<uint32_t> escapeAt_;
  bool ended_ = false;
  std::vector<uint8_t> replay_;
};

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
  // the recording would no longer be seen (the window hidden, minimised or
  // no longer in front, another page, another language, macros imported or
  // deleted, the close, the hook's end), so that the hook never keeps the
  // keyboard from the user. A macro never presses a key it does not release:
  // presses still held at its end are dropped when nothing followed them
  // (the start of a chord that left the window), else released there.
  void EndRecording();

  // A key message while recording, with its lParam. True: the window's key
  // filter goes on (the recording took it, or it was not the recording's);
  // false: it goes to the window's normal handling. Only what the hook posted
  // is recorded. A recording that
  // reaches the event limit ends, and the keyboard is the system's again.
  bool TakeKeyMessage(uint32_t message, uint64_t key, uint64_t param = PostedKeyParam(0));

  int RecordMacro() const { return recordMacro_; }
  int NextEvent() const { return nextEvent_; }
  const HeldKeys& heldKeys() const { return held_; }

 private:
  // The end's rule for keys still held (see EndRecording); true when the
  // events changed.
  bool SettleHeldKeys();

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
