// What the program does when the PC sleeps and wakes and when the user's
// session comes and goes from the console: the decisions only; the main
// window feeds them the system's events and carries out what they say.
#pragma once

#include <cstdint>

#include "platform/atomic_field.h"

namespace nuv {

// Power events the program tells apart (WM_POWERBROADCAST's event codes).
constexpr uint32_t kPowerSuspend = 0x4;
constexpr uint32_t kPowerResumeSuspend = 0x7;
constexpr uint32_t kPowerStatusChange = 0xA;
constexpr uint32_t kPowerResumeAutomatic = 0x12;

// One answer per resume. Every resume brings an automatic-resume event, and a
// resume-suspend one as well when the user woke the PC; either may come first
// to a window, and a window registered for modern standby may hear one twice.
// The first after a suspend (or after start) is the resume; the rest of that
// resume, and every other power event (battery, AC, display), asks nothing.
class ResumeFilter {
 public:
  // True when the mouse should get its settings again now.
  bool IsNewResume(uint32_t powerEvent);

 private:
  bool answered_ = false;
};

// Session changes (WM_WTSSESSION_CHANGE's codes) for this program's session.
constexpr uint32_t kSessionConsoleConnect = 0x1;
constexpr uint32_t kSessionConsoleDisconnect = 0x2;
constexpr uint32_t kSessionRemoteConnect = 0x3;
constexpr uint32_t kSessionRemoteDisconnect = 0x4;
constexpr uint32_t kSessionLock = 0x7;
constexpr uint32_t kSessionUnlock = 0x8;

enum class SessionStep {
  kNone,
  // This copy has stopped acting: what its playback holds is to be released.
  kBecamePassive,
  // This copy acts again: the mouse is to get its last applied profile.
  kResendLastApplied,
};

// With several users signed in, each runs a copy in their own session; only
// the copy whose session is attached to the console (the one at the screen,
// with the mouse) acts. A locked console session is still the console's.
class SessionActivity {
 public:
  explicit SessionActivity(AtomicField<uint8_t>& acting) : acting_(acting) {}

  // At start: whether the console's session is this program's.
  void Start(bool attachedToConsole) { acting_ = attachedToConsole ? 1 : 0; }
  SessionStep OnSessionChange(uint32_t change);

 private:
  AtomicField<uint8_t>& acting_;
};

}  // namespace nuv
