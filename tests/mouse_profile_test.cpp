#include <gtest/gtest.h>

#include "settings/mouse_profile.h"

namespace nuv {
namespace {

MouseProfile WithLevels(std::array<uint8_t, 4> enabled, int32_t current) {
  MouseProfile p;
  for (size_t i = 0; i < 4; ++i) p.dpiEnabled[i] = enabled[i];
  p.dpiLevel = current;
  return p;
}

TEST(DpiLevelToggle, KeepsAtLeastOneLevelAndMovesOffTheDisabledOne) {
  struct Case {
    const char* name;
    std::array<uint8_t, 4> enabled;
    int32_t current;
    int toggled;
    std::array<uint8_t, 4> enabledAfter;
    int32_t currentAfter;
  };
  const Case cases[] = {
      {"disabled level is enabled", {1, 0, 1, 1}, 0, 1, {1, 1, 1, 1}, 0},
      {"other level is disabled, current stays", {1, 1, 1, 1}, 0, 2, {1, 1, 0, 1}, 0},
      {"current moves to next enabled", {1, 1, 1, 1}, 1, 1, {1, 0, 1, 1}, 2},
      {"current skips a disabled level", {1, 0, 1, 0}, 0, 0, {0, 0, 1, 0}, 2},
      {"current wraps from 3 to 0", {1, 0, 0, 1}, 3, 3, {1, 0, 0, 0}, 0},
      {"only enabled level stays enabled and current", {0, 0, 1, 0}, 2, 2, {0, 0, 1, 0}, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MouseProfile p = WithLevels(c.enabled, c.current);
    ToggleDpiLevelEnabled(p, c.toggled);
    for (size_t i = 0; i < 4; ++i) EXPECT_EQ(p.dpiEnabled[i], c.enabledAfter[i]) << "level " << i;
    EXPECT_EQ(p.dpiLevel, c.currentAfter);
  }
}

TEST(MainPageEdits, KeysChangeTheirFieldsOnly) {
  MouseProfile p = WithLevels({1, 0, 1, 1}, 0);
  EXPECT_TRUE(EditMainPageKey(p, 55));  // level 1 is disabled: nothing
  EXPECT_EQ(p.dpiLevel, 0);
  EXPECT_TRUE(EditMainPageKey(p, 57));
  EXPECT_EQ(p.dpiLevel, 3);
  EXPECT_TRUE(EditMainPageKey(p, 42));
  EXPECT_EQ(p.wheelStatus, 1);
  EXPECT_TRUE(EditMainPageKey(p, 41));
  EXPECT_EQ(p.wheelStatus, 0);
  EXPECT_TRUE(EditMainPageKey(p, 72));  // level 2, value index 2
  EXPECT_EQ(p.dpiValue[2], 2);
  EXPECT_EQ(p.dpiKnobKey[2], 72);
  EXPECT_TRUE(EditMainPageKey(p, 79));
  EXPECT_EQ(p.dpiValue[3], 4);
  EXPECT_EQ(p.dpiKnobKey[3], 79);
  EXPECT_EQ(p.appliedDpiValue[2], 0) << "edits count only after the next apply";
  EXPECT_FALSE(EditMainPageKey(p, 50));
  EXPECT_FALSE(EditMainPageKey(p, 80));
}

TEST(AdvancedPageEdits, SpeedsHoldModeAndFireTimeLimits) {
  MouseProfile p;
  EXPECT_TRUE(EditAdvancedPageKey(p, 7));
  EXPECT_EQ(p.macroHoldMode, 1);
  EXPECT_TRUE(EditAdvancedPageKey(p, 7));
  EXPECT_EQ(p.macroHoldMode, 0);
  EXPECT_TRUE(EditAdvancedPageKey(p, 17));
  EXPECT_EQ(p.pointerSpeed, 9);
  EXPECT_TRUE(EditAdvancedPageKey(p, 18));
  EXPECT_EQ(p.wheelSpeed, 0);

  p.fireTime = 300;
  EditAdvancedPageKey(p, 31);
  EXPECT_EQ(p.fireTime, 300);
  p.fireTime = 0;
  EditAdvancedPageKey(p, 32);
  EXPECT_EQ(p.fireTime, 0);
  EditAdvancedPageKey(p, 31);
  EXPECT_EQ(p.fireTime, 1);

  struct Slider {
    int x;
    int32_t expected;
  };
  for (const Slider s : {Slider{100, 0}, Slider{150, 75}, Slider{299, 298}, Slider{300, 300},
                         Slider{90, 0}, Slider{400, 300}, Slider{101, 1}}) {
    SetFireTimeFromSlider(p, s.x, 100, 200);
    EXPECT_EQ(p.fireTime, s.expected) << "click at " << s.x;
  }
  SetFireTimeFromSlider(p, 150, 100, 0);
  EXPECT_EQ(p.fireTime, 0) << "a bar without width gives 0, not a division by zero";
}

TEST(ColourPageEdits, LedModeFromKey) {
  MouseProfile p;
  EXPECT_TRUE(EditColourPageKey(p, 3));
  EXPECT_EQ(p.ledMode, 3);
  EXPECT_FALSE(EditColourPageKey(p, 4));
  EXPECT_EQ(p.ledMode, 3);
}

TEST(PrimaryClickRule, SomeButtonAlwaysKeepsThePrimaryClick) {
  MouseProfile p;
  ResetToFactory(p);
  SetButtonFunction(p, 1, 2);  // button 1 was the only primary click
  EXPECT_EQ(p.buttons[0], 2);
  EXPECT_EQ(p.buttons[1], 1);

  for (auto& b : p.buttons) b = 3;
  p.buttons[6] = 1;
  SetButtonFunction(p, 7, 5);  // the only one, on button 7: undone
  EXPECT_EQ(p.buttons[6], 1);

  for (auto& b : p.buttons) b = 4;
  p.buttons[2] = 1;
  SetButtonFunction(p, 3, 26);
  EXPECT_EQ(p.buttons[2], 26);
  EXPECT_EQ(p.buttons[3], 1);

  p.buttons[5] = 1;
  SetButtonFunction(p, 4, 11);  // button 6 still clicks: nothing moves
  EXPECT_EQ(p.buttons[3], 11);
  EXPECT_EQ(p.buttons[4], 4);
}

TEST(FactoryReset, ValuesAndHoldModeKept) {
  MouseProfile p;
  p.macroHoldMode = 1;
  p.fireTime = 7;
  p.dpiEnabled[2] = 0;
  p.ledMode = 3;
  ResetToFactory(p);
  const std::array<int32_t, 7> buttons = {1, 2, 3, 5, 4, 18, 17};
  for (size_t i = 0; i < 7; ++i) EXPECT_EQ(p.buttons[i], buttons[i]);
  const std::array<uint8_t, 4> values = {1, 2, 4, 0};
  const std::array<int32_t, 4> knobs = {61, 67, 74, 75};
  for (size_t j = 0; j < 4; ++j) {
    EXPECT_EQ(p.dpiValue[j], values[j]);
    EXPECT_EQ(p.appliedDpiValue[j], values[j]);
    EXPECT_EQ(p.dpiEnabled[j], 1);
    EXPECT_EQ(p.dpiKnobKey[j], knobs[j]);
  }
  EXPECT_EQ(p.wheelStatus, 0);
  EXPECT_EQ(p.dpiLevel, 0);
  EXPECT_EQ(p.ledMode, 0);
  EXPECT_EQ(p.pointerSpeed, 4);
  EXPECT_EQ(p.wheelSpeed, 2);
  EXPECT_EQ(p.fireTime, 50);
  EXPECT_EQ(p.macroHoldMode, 1);
  // Factory levels are 1200, 1600, 2400, 3200.
  EXPECT_EQ(DpiOfValueIndex(p.dpiValue[0]), 1200);
  EXPECT_EQ(DpiOfValueIndex(p.dpiValue[3]), 3200);
}

TEST(FunctionCodes, DeviceCodesRolesAndTables) {
  struct Case {
    int32_t code;
    int expectedDevice;
    int32_t role;
  };  // -1: no report
  const Case cases[] = {
      {0, 0, 0},     {1, 1, 0},     {5, 5, 0},     {6, 0x1F, 2},   {7, -1, 0},       {10, -1, 0},
      {11, 7, 0},    {16, 12, 0},   {17, 0x1F, 1}, {18, 0x1F, -1}, {19, 0x1F, 0},    {20, -1, 0},
      {21, 13, 0},   {25, 17, 0},   {26, 0x1F, 0}, {28, 0x1F, 0},  {31, 0x1F, 0},    {40, 0x1F, 0},
      {41, 0x1F, 0}, {52, 0x1F, 0}, {53, -1, 0},   {-1, -1, 0},    {1000000, -1, 0},
  };
  for (const Case& c : cases) {
    const auto device = DeviceFunctionCode(c.code);
    EXPECT_EQ(device ? int{*device} : -1, c.expectedDevice) << "code " << c.code;
    EXPECT_EQ(DpiStepRole(c.code), c.role) << "code " << c.code;
  }
  const int speeds[] = {1, 2, 4, 6, 8, 10, 12, 14, 16, 18};
  for (int i = 0; i < 10; ++i) EXPECT_EQ(WindowsPointerSpeed(i), speeds[i]);
  EXPECT_EQ(WindowsPointerSpeed(200), 18);
  EXPECT_EQ(DpiOfValueIndex(0), 3200);
  EXPECT_GT(DpiOfValueIndex(0), DpiOfValueIndex(4));
  EXPECT_EQ(kDeviceButtonNumber[3], 5);
  EXPECT_EQ(kDeviceButtonNumber[4], 4);
  EXPECT_EQ(kDeviceButtonNumber[6], 8);
}

}  // namespace
}  // namespace nuv
