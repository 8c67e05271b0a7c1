#include "app/lifecycle.h"

namespace nuv {

bool ResumeFilter::IsNewResume(uint32_t powerEvent) {
  switch (powerEvent) {
    case kPowerSuspend:
      answered_ = false;
      return false;
    case kPowerResumeAutomatic:
    case kPowerResumeSuspend:
      if (answered_) return false;
      answered_ = true;
      return true;
    default:
      return false;
  }
}

SessionStep SessionActivity::OnSessionChange(uint32_t change) {
  switch (change) {
    case kSessionConsoleConnect:
      if (acting_) return SessionStep::kNone;
      acting_ = 1;
      return SessionStep::kResendLastApplied;
    case kSessionConsoleDisconnect:
    case kSessionRemoteConnect:
      // A session shown on another PC does not have this PC's mouse.
      if (!acting_) return SessionStep::kNone;
      acting_ = 0;
      return SessionStep::kBecamePassive;
    default:
      // Lock, unlock, sign-in and the end of a remote connection leave the
      // console where it is.
      return SessionStep::kNone;
  }
}

}  // namespace nuv
