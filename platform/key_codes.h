// The codes a keyboard sends for a key. Games that read raw input or
// DirectInput go by the scan code and the extended flag, not by the virtual
// key, so every key the program injects carries the ones the keyboard itself
// would send.
#pragma once

#include <cstdint>

#include "platform/input_port.h"

namespace nuv {

struct KeyCode {
  uint8_t scanCode = 0;
  uint32_t flags = 0;  // kKeyEventExtendedKey or 0
  bool operator==(const KeyCode&) const = default;
};

// The scan code and extended flag of `virtualKey`. Keys whose codes are the
// same on every keyboard layout (the modifiers, navigation keys, Windows and
// menu keys, Ctrl+Break, Print Screen, Pause, Num Lock, the media and browser
// keys) get them from a table: a layout's mapping may name another key for
// them (Print Screen as Alt+SysRq, Pause by its E1 sequence, which read as
// E0 1D would be right Ctrl) or none. Every other key gets the layout's
// mapping, an E0 or E1 prefix meaning extended.
KeyCode KeyboardCode(InputPort& input, uint8_t virtualKey);

}  // namespace nuv
