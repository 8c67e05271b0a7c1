// The two Windows settings that belong to a profile: pointer speed and wheel
// scroll lines. Setters save to the user profile and broadcast the change.
#pragma once

#include <optional>

namespace nuv {

class SystemSettingsPort {
 public:
  virtual ~SystemSettingsPort() = default;
  virtual std::optional<int> GetPointerSpeed() = 0;
  virtual bool SetPointerSpeed(int speed) = 0;
  virtual std::optional<int> GetWheelScrollLines() = 0;
  virtual bool SetWheelScrollLines(int lines) = 0;
};

}  // namespace nuv
