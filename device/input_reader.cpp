#include "device/input_reader.h"

#include <algorithm>

namespace nuv {

void InputReader::Run() {
  clock_.SetCurrentThreadHighestPriority();
  for (;;) ReadOnce();
}

void InputReader::ReadOnce() {
  const HidHandle handle = link_.readHandle;
  bool read_one = false;
  if (handle != kInvalidHidHandle) {
    // The collection's input report length, at most the buffer.
    const size_t length = std::min<size_t>(link_.inputReportLength, buffer_.size());
    buffer_.fill(0);
    if (const auto read = hid_.ReadInputReport(handle, std::span(buffer_.data(), length))) {
      HandleReport(std::span<const uint8_t>(buffer_.data(), std::min(*read, length)));
      read_one = true;
    }
  }
  // A new handle (the mouse found again) is read at once, whatever failed before.
  if (read_one || handle != lastHandle_) {
    pause_ = kReaderPause;
  } else {
    pause_ = std::min<std::chrono::microseconds>(2 * pause_, kReaderIdlePause);
  }
  lastHandle_ = handle;
  clock_.Pause(pause_);
}

void InputReader::HandleReport(std::span<const uint8_t> report) {
  const uint8_t id = report.size() > 0 ? report[0] : 0;
  const uint8_t event = report.size() > 1 ? report[1] : 0;
  if (attention_.armed) {
    // While this copy's session is away from the console, the presses are the
    // other user's, for the copy at the screen.
    if (!link_.acting) return;
    if (event > kPressCodeBase) {
      if (handover_.actionPending.load(std::memory_order_acquire) == 0) {
        handover_.RequestAction(event);
      } else if (profile_.macroHoldMode == 0) {
        handover_.releaseFlag.store(1, std::memory_order_release);
      }
    } else if (event == 0 && profile_.macroHoldMode == 1) {
      handover_.releaseFlag.store(1, std::memory_order_release);
    }
  } else if (id == kReadyReportId && event == 0) {
    attention_.armed = 1;
    attention_.blinkRequested = 0;
    attention_.blinkPhase = 0;
    if (repaint) repaint();
  }
}

}  // namespace nuv
