// How the setup and the uninstaller end the running copies of the program
// before they replace or remove its files: each copy is asked the way its
// user would ask it, where a window of ours can reach it, and ended where it
// cannot or does not end in time.
//
// The copies are found by the file they were started from, in every session
// (fast user switching, a silent deployment running as SYSTEM in session 0);
// the decision is made here, portably, and the Windows side only finds them,
// asks and ends.
#pragma once

#include <cstdint>
#include <optional>

namespace nuv {

// How long a copy that can be asked has to end (a copy still starting has no
// window yet and gets the same time to make one).
constexpr int64_t kCopyCloseGraceMs = 10000;

struct RunningCopy {
  // Its session; absent when the system would not say.
  std::optional<uint32_t> session;
  bool windowFound = false;  // its main window, on the desktop of the caller
  bool asked = false;        // has been asked to close
};

enum class CopyStep {
  kWait,  // leave it: it has been asked, or may still make its window
  kAsk,   // send its main window WM_CLOSE, which runs its close sequence
  kEnd,   // end the process
};

// What to do now with `copy`, `elapsedMs` after the closing began, for a
// caller in `ownSession`. A window in another session cannot be reached by
// any message from here (nor can one whose session is unknown): such a copy
// is ended at once rather than waited for in vain.
CopyStep NextCopyStep(const RunningCopy& copy, std::optional<uint32_t> ownSession,
                      int64_t elapsedMs);

}  // namespace nuv
