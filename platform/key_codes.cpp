#include "platform/key_codes.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace nuv {

namespace {

struct FixedKey {
  uint8_t virtualKey;
  uint16_t code;  // with the keyboard's E0 prefix where it sends one
};

// The code with the keyboard's E0 prefix where it sends one. Right Shift has
// none.
constexpr std::array<FixedKey, 45> kFixedKeys = {{
    {0x03, 0xE046},  // Ctrl+Break
    {0x13, 0x0045},  // Pause, as the system reports the keyboard's E1 1D 45
    {0x21, 0xE049},  // Page Up
    {0x22, 0xE051},  // Page Down
    {0x23, 0xE04F},  // End
    {0x24, 0xE047},  // Home
    {0x25, 0xE04B},  // arrows
    {0x26, 0xE048},
    {0x27, 0xE04D},
    {0x28, 0xE050},
    {0x2C, 0xE037},  // Print Screen
    {0x2D, 0xE052},  // Insert
    {0x2E, 0xE053},  // Delete
    {0x5B, 0xE05B},  // left Windows
    {0x5C, 0xE05C},  // right Windows
    {0x5D, 0xE05D},  // menu key
    {0x5F, 0xE05F},  // Sleep
    {0x6F, 0xE035},  // numeric pad divide
    {0x90, 0xE045},  // Num Lock
    {0xA3, 0xE01D},  // right Ctrl
    {0xA5, 0xE038},  // right Alt
    {0xA6, 0xE06A},  // browser Back
    {0xA7, 0xE069},  // browser Forward
    {0xA8, 0xE067},  // browser Refresh
    {0xA9, 0xE068},  // browser Stop
    {0xAA, 0xE065},  // browser Search
    {0xAB, 0xE066},  // browser Favourites
    {0xAC, 0xE032},  // browser Home
    {0xAD, 0xE020},  // Mute
    {0xAE, 0xE02E},  // Volume Down
    {0xAF, 0xE030},  // Volume Up
    {0xB0, 0xE019},  // next track
    {0xB1, 0xE010},  // previous track
    {0xB2, 0xE024},  // Stop
    {0xB3, 0xE022},  // Play/Pause
    {0xB4, 0xE06C},  // Mail
    {0xB5, 0xE06D},  // media select
    {0xB6, 0xE06B},  // application 1
    {0xB7, 0xE021},  // application 2
    // Shift, Ctrl and Alt without a side are the keyboard's left ones.
    {0x10, 0x002A},
    {0x11, 0x001D},
    {0x12, 0x0038},
    {0xA0, 0x002A},
    {0xA1, 0x0036},  // right Shift: no prefix
    {0xA2, 0x001D},
}};

const FixedKey* FindFixed(uint8_t virtualKey) {
  const auto* it =
      std::find_if(std::begin(kFixedKeys), std::end(kFixedKeys),
                   [virtualKey](const FixedKey& k) { return k.virtualKey == virtualKey; });
  return it == std::end(kFixedKeys) ? nullptr : it;
}

KeyCode FromPrefixed(uint32_t code) {
  const uint32_t prefix = (code >> 8) & 0xFF;
  return {static_cast<uint8_t>(code & 0xFF),
          prefix == 0xE0 || prefix == 0xE1 ? kKeyEventExtendedKey : 0u};
}

}  // namespace

KeyCode KeyboardCode(InputPort& input, uint8_t virtualKey) {
  if (const FixedKey* fixed = FindFixed(virtualKey)) return FromPrefixed(fixed->code);
  return FromPrefixed(input.MapVirtualKeyToScanCode(virtualKey));
}

}  // namespace nuv
