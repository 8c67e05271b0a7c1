// The system settings adapter, and the process services of start-up.
#pragma once

#include "platform/system_settings_port.h"
#include "platform/text.h"

namespace nuv::win32 {

class Win32SystemSettings : public SystemSettingsPort {
 public:
  std::optional<int> GetPointerSpeed() override;
  bool SetPointerSpeed(int speed) override;
  std::optional<int> GetWheelScrollLines() override;
  bool SetWheelScrollLines(int lines) override;
};

// Full path of the running executable, however long it is.
Text ModulePath();

}  // namespace nuv::win32
