// Win32 adapters of the small ports: system settings and synthetic input, and
// the process services of start-up.
#pragma once

#include "platform/input_port.h"
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

class Win32Input : public InputPort {
 public:
  void KeyEvent(uint8_t virtual_key, uint8_t scan_code, uint32_t flags) override;
  void MouseEvent(uint32_t flags) override;
  uint32_t MapVirtualKeyToScanCode(uint32_t virtual_key) override;
};

// Full path of the running executable, however long it is.
Text ModulePath();

// Admits the first copy of the program. A later copy restores the first
// copy's window (found by its title) and gets false.
bool AdmitSingleInstance();

}  // namespace nuv::win32
