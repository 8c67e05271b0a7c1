#include "settings/config_store.h"

#include <algorithm>
#include <vector>

namespace nuv {

namespace {

// Read limits of the profile keys: a value longer than this is cut before it is
// parsed.
constexpr size_t kShortValue = 4;
constexpr size_t kDpiValue = 9;

Text Indexed(const char16_t* stem, int n) { return Text(stem) + FormatInt(n); }

}  // namespace

Text ConfigStore::SectionName(int slot, bool from_reset, int32_t language_selection) {
  if (!from_reset) return Indexed(u"Config", slot);
  if (slot == 5 && language_selection == 1) return u"CfgReset_EN5";
  return Indexed(u"CfgReset", slot);
}

int32_t ConfigStore::ReadInt(const Text& path, const Text& section, const Text& key,
                             size_t chars) const {
  return ParseInt(ini_.GetString(path, section, key, chars + 1));
}

void ConfigStore::WriteInt(const Text& path, const Text& section, const Text& key,
                           int64_t value) const {
  ini_.SetString(path, section, key, FormatInt(value));
}

void ConfigStore::LoadStartValues() {
  // A start without config.ini (or a hand-edited one) names no slot: slot 1,
  // never the empty Config0 that a reset would apply.
  const int32_t slot = ReadInt(configPath, u"Init", u"CurConfig", kShortValue);
  currentConfig = slot >= 1 && slot <= 5 ? slot : 1;
  languageSelection = ReadInt(configPath, u"Init", u"VER_SEL", kShortValue);
}

void ConfigStore::LoadProfile(const Text& path, int slot, bool from_reset) {
  const Text section = SectionName(slot, from_reset, languageSelection);
  MouseProfile& p = profile_;
  // A hand-edited file may hold anything: values that index the pages, the
  // tables or the reports are limited to their ranges here; button codes are
  // kept as read (codes without a meaning send nothing to the mouse).
  for (int i = 1; i <= kButtonCount; ++i) {
    p.buttons[static_cast<size_t>(i - 1)] = ReadInt(path, section, Indexed(u"K", i), kShortValue);
  }
  p.wheelStatus = ReadInt(path, section, u"WHEEL_STATUS", kShortValue) != 0 ? 1 : 0;
  p.macroHoldMode = ReadInt(path, section, u"MACRO_MODE2", kShortValue) != 0 ? 1 : 0;
  p.dpiLevel = std::clamp(ReadInt(path, section, u"DPI_LEVEL", kShortValue), 0, kDpiLevelCount - 1);
  for (int j = 1; j <= kDpiLevelCount; ++j) {
    const auto level = static_cast<size_t>(j - 1);
    const auto low_byte =
        static_cast<uint8_t>(ReadInt(path, section, Indexed(u"DPI_SET", j), kDpiValue));
    const auto value = std::min<uint8_t>(low_byte, kDpiValueCount - 1);
    p.dpiValue[level] = value;
    p.appliedDpiValue[level] = value;
    p.dpiKnobKey[level] = DpiKnobKey(j - 1, value);
    p.dpiEnabled[level] = ReadInt(path, section, Indexed(u"DPI_SET_EN", j), kDpiValue) != 0 ? 1 : 0;
  }
  p.ledMode = std::min<uint8_t>(
      static_cast<uint8_t>(ReadInt(path, section, u"LED_STATUS", kShortValue)), 3);
  p.pointerSpeed =
      std::min<uint8_t>(static_cast<uint8_t>(ReadInt(path, section, u"DPI_SPEED", kShortValue)), 9);
  p.wheelSpeed = std::min<uint8_t>(
      static_cast<uint8_t>(ReadInt(path, section, u"WHEEL_SPEED", kShortValue)), 9);
  p.fireTime = std::clamp(ReadInt(path, section, u"FIRE_TIME", kShortValue), 0, kFireTimeMax);
  KeepProfileUsable(p);
}

bool ConfigStore::HoldsProfile(const Text& path, int slot) const {
  const Text section = SectionName(slot, false, languageSelection);
  std::vector<Text> keys = {u"WHEEL_STATUS", u"MACRO_MODE2", u"DPI_LEVEL", u"LED_STATUS",
                            u"DPI_SPEED",    u"WHEEL_SPEED", u"FIRE_TIME"};
  for (int i = 1; i <= kButtonCount; ++i) keys.push_back(Indexed(u"K", i));
  for (int j = 1; j <= kDpiLevelCount; ++j) {
    keys.push_back(Indexed(u"DPI_SET", j));
    keys.push_back(Indexed(u"DPI_SET_EN", j));
  }
  return std::any_of(keys.begin(), keys.end(), [&](const Text& key) {
    return !ini_.GetString(path, section, key, kDpiValue + 1).empty();
  });
}

void ConfigStore::SaveProfile(const Text& path, int slot) const {
  const Text section = SectionName(slot, false, languageSelection);
  const MouseProfile& p = profile_;
  for (int i = 1; i <= kButtonCount; ++i) {
    WriteInt(path, section, Indexed(u"K", i), p.buttons[static_cast<size_t>(i - 1)]);
  }
  WriteInt(path, section, u"DPI_LEVEL", p.dpiLevel);
  WriteInt(path, section, u"WHEEL_STATUS", p.wheelStatus);
  WriteInt(path, section, u"MACRO_MODE2", p.macroHoldMode);
  for (int j = 1; j <= kDpiLevelCount; ++j) {
    const auto level = static_cast<size_t>(j - 1);
    WriteInt(path, section, Indexed(u"DPI_SET", j), p.dpiValue[level]);
    WriteInt(path, section, Indexed(u"DPI_SET_EN", j), p.dpiEnabled[level] ? 1 : 0);
  }
  WriteInt(path, section, u"LED_STATUS", p.ledMode);
  WriteInt(path, section, u"DPI_SPEED", p.pointerSpeed);
  WriteInt(path, section, u"WHEEL_SPEED", p.wheelSpeed);
  WriteInt(path, section, u"FIRE_TIME", p.fireTime);
}

void ConfigStore::SaveDpiLevel(const Text& path, int slot) const {
  WriteInt(path, SectionName(slot, false, languageSelection), u"DPI_LEVEL", profile_.dpiLevel);
}

void ConfigStore::WriteCurrentConfig(const Text& path) const {
  WriteInt(path, u"Init", u"CurConfig", currentConfig);
}

void ConfigStore::WriteLanguageSelection(const Text& path) const {
  WriteInt(path, u"Init", u"VER_SEL", languageSelection);
}

void ConfigStore::ChooseSlot(int key) {
  if (key < 4 || key > 8) return;
  currentConfig = key - 3;
  LoadProfile(configPath, currentConfig, false);
  if (seams.repaint) seams.repaint();
}

void ConfigStore::Cancel() {
  // The working profile returns to what was last applied but keeps the DPI
  // level chosen on the page.
  SaveDpiLevel(configPath, kMirrorSlot);
  LoadProfile(configPath, kMirrorSlot, false);
  if (seams.hideToTray) seams.hideToTray();
  if (seams.repaint) seams.repaint();
}

bool ConfigStore::Import(IniPort& file) {
  // The same reads as from config.ini, through the file's port.
  ConfigStore exchange(file, profile_);
  exchange.languageSelection = languageSelection;
  if (!exchange.HoldsProfile(Text(), kExchangeSlot)) return false;
  exchange.LoadProfile(Text(), kExchangeSlot, false);
  if (seams.repaint) seams.repaint();
  return true;
}

void ConfigStore::Export(IniPort& file) {
  ConfigStore exchange(file, profile_);
  exchange.languageSelection = languageSelection;
  exchange.SaveProfile(Text(), kExchangeSlot);
  if (seams.repaint) seams.repaint();
}

void ConfigStore::Reset() {
  // The five slots, the default macros and the apply are one action: each
  // file is replaced once, with all of it.
  const IniBatch batch(ini_);
  ResetToFactory(profile_);
  SaveProfile(configPath, 1);
  for (int n = 5; n >= 2; --n) {
    LoadProfile(configPath, n, true);
    SaveProfile(configPath, n);
  }
  LoadProfile(configPath, currentConfig, false);
  if (seams.restoreDefaultMacros) seams.restoreDefaultMacros();
  if (seams.applyProfile) seams.applyProfile();
}

}  // namespace nuv
