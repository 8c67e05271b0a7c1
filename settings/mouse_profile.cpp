#include "settings/mouse_profile.h"

#include <algorithm>

namespace nuv {

std::optional<uint8_t> DeviceFunctionCode(int32_t code) {
  if (code >= 0 && code <= 5) return static_cast<uint8_t>(code);
  if (code >= 11 && code <= 16) return static_cast<uint8_t>(code - 4);
  if (code >= 21 && code <= 25) return static_cast<uint8_t>(code - 8);
  if (IsHostHandled(code)) return kHostHandledFunction;
  return std::nullopt;
}

bool IsHostHandled(int32_t code) {
  return code == kFnDpiCycle || code == kFnDpiUp || code == kFnDpiDown || code == kFnLedSwitch ||
         (code >= kFnVolumeMute && code <= kFnLastMacro);
}

int32_t DpiStepRole(int32_t code) {
  switch (code) {
    case kFnDpiCycle:
      return 2;
    case kFnDpiUp:
      return 1;
    case kFnDpiDown:
      return -1;
    default:
      return 0;
  }
}

int WindowsPointerSpeed(int index) {
  if (index == 0) return 1;
  if (index >= 1 && index <= 8) return 2 * index;
  return 18;
}

int DpiOfValueIndex(int value_index) {
  if (value_index < 0 || value_index >= kDpiValueCount) return 0;
  return kDpiValueTable[static_cast<size_t>(value_index)];
}

void ToggleDpiLevelEnabled(MouseProfile& p, int level) {
  if (level < 0 || level >= kDpiLevelCount) return;
  auto& enabled = p.dpiEnabled[static_cast<size_t>(level)];
  if (!enabled) {
    enabled = 1;
    return;
  }
  enabled = 0;
  if (p.dpiLevel != level) return;
  // The current level was switched off: move on to the next enabled one.
  for (int step = 0; step < kDpiLevelCount; ++step) {
    const int32_t next = (p.dpiLevel + 1) % kDpiLevelCount;
    p.dpiLevel = next;
    if (p.dpiEnabled[static_cast<size_t>(next)]) return;
  }
  // It was the only one: at least one level always stays enabled.
  p.dpiLevel = level;
  enabled = 1;
}

void SelectDpiLevel(MouseProfile& p, int level) {
  if (level < 0 || level >= kDpiLevelCount) return;
  if (p.dpiEnabled[static_cast<size_t>(level)]) p.dpiLevel = level;
}

void ChooseDpiValue(MouseProfile& p, int knob_key) {
  if (knob_key < DpiKnobKey(0, 0) || knob_key > DpiKnobKey(3, 4)) return;
  const int level = (knob_key - 60) / kDpiValueCount;
  p.dpiValue[static_cast<size_t>(level)] = static_cast<uint8_t>((knob_key - 60) % kDpiValueCount);
  p.dpiKnobKey[static_cast<size_t>(level)] = knob_key;
}

void SetWheelStatus(MouseProfile& p, int32_t status) { p.wheelStatus = status; }

void ToggleMacroHoldMode(MouseProfile& p) { p.macroHoldMode = 1 - p.macroHoldMode; }

void SetPointerSpeed(MouseProfile& p, int index) {
  p.pointerSpeed = static_cast<uint8_t>(std::clamp(index, 0, 9));
}

void SetWheelSpeed(MouseProfile& p, int index) {
  p.wheelSpeed = static_cast<uint8_t>(std::clamp(index, 0, 9));
}

void SetFireTimeFromSlider(MouseProfile& p, int click_x, int slider_left, int slider_width) {
  if (slider_width <= 0 || click_x <= slider_left) {
    p.fireTime = 0;
    return;
  }
  const auto offset = static_cast<uint64_t>(click_x - slider_left);
  const uint64_t value = offset * kFireTimeMax / static_cast<uint64_t>(slider_width);
  p.fireTime = static_cast<int32_t>(std::min<uint64_t>(value, kFireTimeMax));
}

void StepFireTime(MouseProfile& p, int delta) {
  p.fireTime = std::clamp(p.fireTime + delta, 0, kFireTimeMax);
}

void SetLedMode(MouseProfile& p, int mode) {
  p.ledMode = static_cast<uint8_t>(std::clamp(mode, 0, 3));
}

void SetButtonFunction(MouseProfile& p, int button, int32_t code) {
  if (button < 1 || button > kButtonCount) return;
  p.buttons[static_cast<size_t>(button - 1)] = code;
  ApplyPrimaryClickRule(p, button);
}

void ApplyPrimaryClickRule(MouseProfile& p, int button) {
  if (button < 1 || button > kButtonCount) return;
  for (int i = kButtonCount; i >= 1; --i) {
    if (p.buttons[static_cast<size_t>(i - 1)] == kFnPrimaryClick) return;
  }
  const int receiver = button == kButtonCount ? kButtonCount : button + 1;
  p.buttons[static_cast<size_t>(receiver - 1)] = kFnPrimaryClick;
}

void KeepProfileUsable(MouseProfile& p) {
  if (std::find(p.buttons.begin(), p.buttons.end(), kFnPrimaryClick) == p.buttons.end()) {
    p.buttons[0] = kFnPrimaryClick;
  }
  const int32_t level = std::clamp<int32_t>(p.dpiLevel, 0, kDpiLevelCount - 1);
  p.dpiLevel = level;
  for (int step = 0; step < kDpiLevelCount; ++step) {
    const int32_t next = (level + step) % kDpiLevelCount;
    if (p.dpiEnabled[static_cast<size_t>(next)]) {
      p.dpiLevel = next;
      return;
    }
  }
  p.dpiEnabled[static_cast<size_t>(level)] = 1;
}

void ResetToFactory(MouseProfile& p) {
  constexpr std::array<int32_t, kButtonCount> kButtons = {1, 2, 3, 5, 4, 18, 17};
  constexpr std::array<uint8_t, kDpiLevelCount> kValues = {1, 2, 4, 0};
  constexpr std::array<int32_t, kDpiLevelCount> kKnobs = {61, 67, 74, 75};
  for (size_t i = 0; i < kButtons.size(); ++i) p.buttons[i] = kButtons[i];
  p.wheelStatus = 0;
  p.dpiLevel = 0;
  for (size_t j = 0; j < kDpiLevelCount; ++j) {
    p.dpiValue[j] = kValues[j];
    p.appliedDpiValue[j] = kValues[j];
    p.dpiEnabled[j] = 1;
    p.dpiKnobKey[j] = kKnobs[j];
  }
  p.ledMode = 0;
  p.pointerSpeed = 4;
  p.wheelSpeed = 2;
  p.fireTime = 50;
}

bool EditMainPageKey(MouseProfile& p, int key) {
  if (key == 41 || key == 42) {
    SetWheelStatus(p, key - 41);
  } else if (key >= 46 && key <= 49) {
    ToggleDpiLevelEnabled(p, key - 46);
  } else if (key >= 54 && key <= 57) {
    SelectDpiLevel(p, key - 54);
  } else if (key >= 60 && key <= 79) {
    ChooseDpiValue(p, key);
  } else {
    return false;
  }
  return true;
}

bool EditAdvancedPageKey(MouseProfile& p, int key) {
  if (key == 7) {
    ToggleMacroHoldMode(p);
  } else if (key >= 8 && key <= 17) {
    SetPointerSpeed(p, key - 8);
  } else if (key >= 18 && key <= 27) {
    SetWheelSpeed(p, key - 18);
  } else if (key == 31) {
    StepFireTime(p, +1);
  } else if (key == 32) {
    StepFireTime(p, -1);
  } else {
    return false;
  }
  return true;
}

bool EditColourPageKey(MouseProfile& p, int key) {
  if (key < 0 || key > 3) return false;
  SetLedMode(p, key);
  return true;
}

}  // namespace nuv
