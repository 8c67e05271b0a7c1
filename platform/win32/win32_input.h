// Synthetic keyboard and mouse input on Windows.
#pragma once

#include "platform/input_port.h"

namespace nuv::win32 {

class Win32Input : public InputPort {
 public:
  void KeyEvent(uint8_t virtual_key, uint8_t scan_code, uint32_t flags) override;
  void MouseEvent(uint32_t flags) override;
  uint32_t MapVirtualKeyToScanCode(uint32_t virtual_key) override;
  void PrepareCallingThread() override;
};

}  // namespace nuv::win32
