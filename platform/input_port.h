// Synthetic keyboard and mouse-button input, as the system's keybd_event and
// mouse_event take it.
#pragma once

#include <cstdint>

namespace nuv {

constexpr uint32_t kKeyEventExtendedKey = 0x0001;
constexpr uint32_t kKeyEventKeyUp = 0x0002;

constexpr uint32_t kMouseEventLeftDown = 0x0002;
constexpr uint32_t kMouseEventLeftUp = 0x0004;
constexpr uint32_t kMouseEventRightDown = 0x0008;
constexpr uint32_t kMouseEventRightUp = 0x0010;
constexpr uint32_t kMouseEventMiddleDown = 0x0020;
constexpr uint32_t kMouseEventMiddleUp = 0x0040;

constexpr uint8_t kVkMenu = 18;  // Alt

class InputPort {
 public:
  virtual ~InputPort() = default;
  virtual void KeyEvent(uint8_t virtual_key, uint8_t scan_code, uint32_t flags) = 0;
  virtual void MouseEvent(uint32_t flags) = 0;
  // Scan code of a virtual key in the keyboard layout, with an E0 or E1
  // prefix in the high byte for a key the keyboard sends extended
  // (MapVirtualKeyW with MAPVK_VK_TO_VSC_EX); 0 for a key it has none for.
  virtual uint32_t MapVirtualKeyToScanCode(uint32_t virtual_key) = 0;
  // Whatever the system sets up on a thread's first synthetic event (its
  // input queue, the keyboard layout's tables), done ahead on the calling
  // thread, so that the first macro does not wait for it. Sends nothing.
  virtual void PrepareCallingThread() {}
};

}  // namespace nuv
