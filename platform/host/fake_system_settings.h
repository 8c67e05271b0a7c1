// The Windows pointer speed and wheel lines, held in memory for tests.
#pragma once

#include <atomic>

#include "platform/system_settings_port.h"

namespace nuv {

class FakeSystemSettings : public SystemSettingsPort {
 public:
  std::atomic<int> pointerSpeed{10};
  std::atomic<int> wheelLines{3};
  std::atomic<bool> readable{true};
  std::atomic<int> setCalls{0};

  std::optional<int> GetPointerSpeed() override {
    if (!readable) return std::nullopt;
    return pointerSpeed.load();
  }
  bool SetPointerSpeed(int speed) override {
    ++setCalls;
    pointerSpeed = speed;
    return true;
  }
  std::optional<int> GetWheelScrollLines() override {
    if (!readable) return std::nullopt;
    return wheelLines.load();
  }
  bool SetWheelScrollLines(int lines) override {
    ++setCalls;
    wheelLines = lines;
    return true;
  }
};

}  // namespace nuv
