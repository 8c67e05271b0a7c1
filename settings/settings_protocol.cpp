#include "settings/settings_protocol.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace nuv {

uint8_t DpiLedByte(int dpi_value_index, int led) {
  return static_cast<uint8_t>(16 * (8 + dpi_value_index) + led);
}

uint8_t FireTimeParameter(int32_t fire_time) { return static_cast<uint8_t>(fire_time / 8); }

bool FeatureReportSender::BuildAndSend(uint8_t command, uint8_t first, uint8_t second) {
  // The caller holds the lock. A collection that claims more than the buffer
  // holds gets the buffer, never bytes beyond it.
  const size_t length = std::min<size_t>(link_.featureReportLength, report_.size());
  report_.fill(0);
  report_[0] = kFeatureReportId;
  report_[1] = command;
  report_[2] = first;
  report_[3] = second;
  return hid_.SetFeature(link_.writeHandle, std::span<const uint8_t>(report_.data(), length));
}

void FeatureReportSender::Note(uint8_t command, uint8_t first, uint8_t second,
                               bool onlyIfWritable) {
  // The caller holds the lock. A button report is one setting per button.
  const auto same = [&](const MirroredReport& r) {
    return r.command == command && (command != kCommandButtonFunction || r.first == first);
  };
  const MirroredReport report{command, first, second, onlyIfWritable};
  const auto it = std::find_if(mirror_.begin(), mirror_.end(), same);
  if (it != mirror_.end()) {
    *it = report;
  } else if (mirror_.size() < kFeatureReportCapacity) {
    mirror_.push_back(report);
  }
}

bool FeatureReportSender::Send(uint8_t command, uint8_t first, uint8_t second) {
  std::lock_guard lock(mutex_);
  if (closed()) return false;
  Note(command, first, second, false);
  if (!acting()) return false;
  return BuildAndSend(command, first, second);
}

bool FeatureReportSender::SendIfWritable(uint8_t command, uint8_t first, uint8_t second) {
  std::lock_guard lock(mutex_);
  if (closed()) return false;
  Note(command, first, second, true);
  if (!acting() || link_.writeHandle == kInvalidHidHandle) return false;
  return BuildAndSend(command, first, second);
}

void FeatureReportSender::StartMirror() {
  std::lock_guard lock(mutex_);
  mirror_.clear();
}

std::vector<MirroredReport> FeatureReportSender::Mirror() {
  std::lock_guard lock(mutex_);
  return mirror_;
}

void FeatureReportSender::ResendMirror() {
  std::lock_guard lock(mutex_);
  if (closed() || !acting()) return;
  for (const MirroredReport& r : mirror_) {
    if (r.onlyIfWritable && link_.writeHandle == kInvalidHidHandle) continue;
    BuildAndSend(r.command, r.first, r.second);
  }
}

bool FeatureReportSender::SendDpiAndLed(const MouseProfile& profile, int led) {
  // A level outside 0..3 (hand-edited file) has no DPI value: the nearest
  // level is sent instead of an index past the table.
  const int level = std::clamp<int>(profile.dpiLevel, 0, kDpiLevelCount - 1);
  const uint8_t value = profile.appliedDpiValue[static_cast<size_t>(level)];
  return Send(kCommandDpiAndLed, static_cast<uint8_t>(level), DpiLedByte(value, led));
}

void FeatureReportSender::SendExitCommand() {
  std::lock_guard lock(mutex_);
  if (closed()) return;
  closed_.store(true, std::memory_order_release);
  if (acting() && link_.writeHandle != kInvalidHidHandle) BuildAndSend(kCommandExit, 0, 0);
}

void ProfileApplier::SendButtons() {
  for (int i = 1; i <= kButtonCount; ++i) {
    const auto index = static_cast<size_t>(i - 1);
    const int32_t code = profile_.buttons[index];
    profile_.dpiStepRole[index] = DpiStepRole(code);
    // A code that names no function (hand-edited file) tells the mouse nothing.
    const std::optional<uint8_t> function = DeviceFunctionCode(code);
    if (!function) continue;
    sender_.SendIfWritable(kCommandButtonFunction, kDeviceButtonNumber[index], *function);
    if (*function == kHostHandledFunction && attention_.armed) {
      // The mouse reports this button to the program only once it is ready.
      attention_.armed = 0;
      attention_.blinkPhase = 1;
      attention_.button = i;
      if (!attention_.blinkRequested) {
        attention_.blinkRequested = 1;
        if (seams.startBlinker) seams.startBlinker();
      }
    }
  }
}

std::unique_lock<std::mutex> ProfileApplier::LockApplies() {
  std::unique_lock lock(applyMutex_, std::defer_lock);
  if (!seams.whileWaiting) {
    lock.lock();
    return lock;
  }
  while (!lock.try_lock()) {
    seams.whileWaiting();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return lock;
}

void ProfileApplier::EndApplies() {
  const auto lock = LockApplies();
  sender_.SendExitCommand();
}

void ProfileApplier::ResendLastApplied() {
  const auto lock = LockApplies();
  sender_.ResendMirror();
}

void ProfileApplier::ApplyProfile() {
  const auto lock = LockApplies();
  // After the close sequence's exit command: no report, no system setting
  // (the close has set the pointer speed to 10) and no file write.
  if (sender_.closed()) return;
  const Text& path = store_.configPath;
  // CurConfig, the mirror and the slot reach config.ini in one replace.
  const IniBatch batch(store_.ini());
  attention_.armed = 1;
  sender_.StartMirror();
  store_.WriteCurrentConfig(path);
  store_.SaveProfile(path, kMirrorSlot);

  SendButtons();
  sender_.Send(kCommandWheelStatus, static_cast<uint8_t>(profile_.wheelStatus), 0);

  for (size_t j = 0; j < kDpiLevelCount; ++j) profile_.appliedDpiValue[j] = profile_.dpiValue[j];
  profile_.appliedLedMode = profile_.ledMode;
  sender_.SendDpiAndLed(profile_, profile_.appliedLedMode);
  if (seams.repaint) seams.repaint();

  if (system_.GetPointerSpeed()) {
    const int speed = WindowsPointerSpeed(profile_.pointerSpeed);
    system_.SetPointerSpeed(speed);
    profile_.appliedPointerSpeed = static_cast<uint8_t>(speed);
  }
  if (system_.GetWheelScrollLines()) system_.SetWheelScrollLines(profile_.wheelSpeed + 1);

  sender_.Send(kCommandFireTime, FireTimeParameter(profile_.fireTime), 0);
  store_.SaveProfile(path, store_.currentConfig);
}

}  // namespace nuv
