// The working profile of the mouse: seven button functions, DPI levels, LED,
// wheel, fire time and the PC-side pointer and wheel settings, with the rules
// the pages use to edit it.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "platform/atomic_field.h"

namespace nuv {

constexpr int kButtonCount = 7;
constexpr int kDpiLevelCount = 4;
constexpr int kDpiValueCount = 5;
constexpr int32_t kFireTimeMax = 300;
constexpr uint8_t kHostHandledFunction = 0x1F;

// Mouse button number of profile button i (index 0 = button 1); 4 and 5 are crossed.
constexpr std::array<uint8_t, kButtonCount> kDeviceButtonNumber = {1, 2, 3, 5, 4, 6, 8};
// DPI shown for a DPI value index; index 0 is the highest.
constexpr std::array<int, kDpiValueCount> kDpiValueTable = {3200, 1200, 1600, 2000, 2400};

// ButtonFunction codes with a meaning of their own on the PC side.
enum ButtonFunction : int32_t {
  kFnPrimaryClick = 1,
  kFnDpiCycle = 6,
  kFnDpiUp = 17,
  kFnDpiDown = 18,
  kFnLedSwitch = 19,
  kFnVolumeMute = 26,
  kFnCopy = 31,
  kFnPaste = 32,
  kFnSelectAll = 33,
  kFnUndo = 34,
  kFnCloseWindow = 35,
  kFnOpenDrives = 36,
  kFnLockWorkstation = 37,
  kFnCalculator = 38,
  kFnCommandPrompt = 39,
  kFnNextProfile = 40,
  kFnFirstMacro = 41,
  kFnLastMacro = 52,
};

// What the mouse is told for a function code: the device function code it
// performs itself, 0x1F when the PC performs it, nothing for codes that name no
// function (group headings, unused codes, values from a hand-edited file).
std::optional<uint8_t> DeviceFunctionCode(int32_t code);
bool IsHostHandled(int32_t code);

// DPI step role of a function code: 2 cycles, 1 steps up, -1 steps down, 0 none.
int32_t DpiStepRole(int32_t code);

// Windows pointer speed (1..20 scale) for a pointer speed index.
int WindowsPointerSpeed(int pointer_speed_index);

// DPI shown for a value index; 0 for an index outside the table.
int DpiOfValueIndex(int value_index);

// Skin key of the knob that shows value index v of DPI level l.
constexpr int32_t DpiKnobKey(int level, int value_index) { return 60 + 5 * level + value_index; }

struct MouseProfile {
  // Stored fields.
  std::array<AtomicField<int32_t>, kButtonCount> buttons;  // index 0 = button 1
  AtomicField<int32_t> wheelStatus;
  AtomicField<int32_t> macroHoldMode;  // MACRO_MODE2
  AtomicField<int32_t> dpiLevel;
  std::array<AtomicField<uint8_t>, kDpiLevelCount> dpiValue;
  std::array<AtomicField<uint8_t>, kDpiLevelCount> dpiEnabled;
  AtomicField<uint8_t> ledMode;
  AtomicField<uint8_t> pointerSpeed;
  AtomicField<uint8_t> wheelSpeed;
  AtomicField<int32_t> fireTime;

  // Applied copies and derived values, never stored.
  std::array<AtomicField<uint8_t>, kDpiLevelCount> appliedDpiValue;
  AtomicField<uint8_t> appliedLedMode;
  AtomicField<uint8_t> ledOverride;
  std::array<AtomicField<int32_t>, kButtonCount> dpiStepRole;
  std::array<AtomicField<int32_t>, kDpiLevelCount> dpiKnobKey;
  AtomicField<uint8_t> appliedPointerSpeed;
};

// Edits of the pages. Nothing is sent or stored until the next apply.
void ToggleDpiLevelEnabled(MouseProfile& p, int level);
void SelectDpiLevel(MouseProfile& p, int level);
// Knob keys 60..79: level (key - 60) / 5 takes value index (key - 60) % 5.
void ChooseDpiValue(MouseProfile& p, int knob_key);
void SetWheelStatus(MouseProfile& p, int32_t status);
void ToggleMacroHoldMode(MouseProfile& p);
void SetPointerSpeed(MouseProfile& p, int index);
void SetWheelSpeed(MouseProfile& p, int index);
// Slider bar click: (x - left) * 300 / width, unsigned division; clicks left of
// the bar give 0 and right of it 300.
void SetFireTimeFromSlider(MouseProfile& p, int click_x, int slider_left, int slider_width);
void StepFireTime(MouseProfile& p, int delta);
void SetLedMode(MouseProfile& p, int mode);

// Gives button b (1..7) a function and then keeps a primary click on the mouse.
void SetButtonFunction(MouseProfile& p, int button, int32_t code);
// If no button has code 1 any more, button b + 1 gets it (button 7 itself when b is 7).
void ApplyPrimaryClickRule(MouseProfile& p, int button);

// A loaded profile is one the mouse can be used with: without a button of
// the primary click, button 1 gets it; a current DPI level that is off moves
// to the next level that is on (the current one is switched on when none is).
void KeepProfileUsable(MouseProfile& p);

// Factory values; the macro hold mode keeps its value.
void ResetToFactory(MouseProfile& p);

// Main page: the edit a click on skin key `key` makes, if any (keys 41, 42,
// 46..49, 54..57, 60..79). Returns whether the key is one of them.
bool EditMainPageKey(MouseProfile& p, int key);
// Advanced page keys 7, 8..17, 18..27, 31, 32 (the slider bar 30 needs the click).
bool EditAdvancedPageKey(MouseProfile& p, int key);
// Colour page keys 0..3.
bool EditColourPageKey(MouseProfile& p, int key);

}  // namespace nuv
