// The config.ini that ships: the first start finds working slots, and every
// reset template is a usable, distinct profile.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "app/program_core.h"
#include "macro/macro_file.h"
#include "platform/host/fake_clock.h"
#include "platform/host/fake_system_settings.h"
#include "platform/host/recording_input.h"
#include "platform/host/recording_messages.h"
#include "platform/host/recording_shell.h"
#include "platform/ini_files.h"
#include "platform/virtual/virtual_mouse.h"
#include "settings/config_store.h"
#include "skin_test_support.h"
#include "test_support.h"

namespace nuv::test {
namespace {

Text ShippedConfigPath() {
  Text folder = ShippedSkinFolder();
  folder.resize(folder.size() - 5);  // "...\skins" -> "...\"
  return folder + u"dist_data\\config.ini";
}

bool Assignable(int32_t code) {
  return (code >= 1 && code <= 6) || (code >= 11 && code <= 19) || (code >= 21 && code <= 26) ||
         (code >= 31 && code <= 52);
}

std::string Describe(const MouseProfile& p) {
  std::string s;
  for (const auto& b : p.buttons) s += std::to_string(b.load()) + ",";
  for (size_t j = 0; j < 4; ++j)
    s += std::to_string(p.dpiValue[j].load()) + std::to_string(p.dpiEnabled[j].load());
  return s + "|" + std::to_string(p.dpiLevel.load()) + std::to_string(p.ledMode.load()) +
         std::to_string(p.pointerSpeed.load()) + std::to_string(p.wheelSpeed.load()) + "," +
         std::to_string(p.fireTime.load());
}

void ExpectUsable(const MouseProfile& p, const std::string& what) {
  bool leftClick = false;
  for (const auto& b : p.buttons) {
    EXPECT_TRUE(Assignable(b.load())) << what << ": code " << b.load();
    leftClick |= b.load() == 1;
  }
  EXPECT_TRUE(leftClick) << what << ": no button keeps the left click";
  EXPECT_EQ(p.dpiEnabled[static_cast<size_t>(p.dpiLevel.load())].load(), 1) << what;
  EXPECT_LE(p.ledMode.load(), 3) << what;
  EXPECT_LE(p.pointerSpeed.load(), 9) << what;
  EXPECT_LE(p.wheelSpeed.load(), 9) << what;
  EXPECT_GT(p.fireTime.load(), 0) << what;
}

TEST(ShippedConfig, FirstStartFindsSlotOneInEnglishAndFilledSlots) {
  for (auto& [name, ini] : IniAdaptersUnderTest()) {
    SCOPED_TRACE(name);
    MouseProfile profile;
    ConfigStore store(*ini, profile);
    store.configPath = ShippedConfigPath();
    store.LoadStartValues();
    EXPECT_EQ(store.currentConfig.load(), 1);
    EXPECT_EQ(store.languageSelection.load(), 1);
    for (int slot = 1; slot <= 5; ++slot) {
      store.LoadProfile(store.configPath, slot, false);
      ExpectUsable(profile, "slot " + std::to_string(slot));
    }
    store.LoadProfile(store.configPath, 1, false);
    EXPECT_EQ(profile.buttons[5].load(), 18) << "slot 1 holds the factory values";
  }
}

TEST(ShippedConfig, ResetTemplatesAreDistinctUsableProfiles) {
  for (auto& [name, ini] : IniAdaptersUnderTest()) {
    SCOPED_TRACE(name);
    MouseProfile profile;
    ConfigStore store(*ini, profile);
    store.configPath = ShippedConfigPath();
    std::set<std::string> seen;
    for (int32_t language : {0, 1}) {
      store.languageSelection = language;
      for (int slot = 2; slot <= 5; ++slot) {
        if (language == 1 && slot != 5) continue;
        store.LoadProfile(store.configPath, slot, true);
        const std::string what = Narrow(ConfigStore::SectionName(slot, true, language));
        ExpectUsable(profile, what);
        EXPECT_TRUE(seen.insert(Describe(profile)).second) << what << " repeats another template";
      }
    }
    EXPECT_EQ(seen.size(), 5u);
  }
}

// Reset (five slots, the default macros, the apply) and an apply each replace
// every file they change once: a reader, a crash or a power cut meets the old
// file or the new one.
TEST(ShippedConfig, ResetAndApplyReplaceEachFileOnce) {
  ScratchFolder dir;
  CountingFiles files;
  dir.Write("config.ini", files.store->Read(ShippedConfigPath()).bytes);
  IniFiles ini(files);
  VirtualMouse mouse;
  RecordingInput input;
  FakeSystemSettings system;
  RecordingShell shell;
  FakeClock clock;
  ProgramCore core({mouse, ini, input, system, shell, clock});
  RecordingMessages messages;
  MacroFiles macros(ini, messages, core.macros);
  const Text macroFile = dir.Path("Macro_EN.dat");
  core.store.configPath = dir.Path("config.ini");
  core.store.LoadStartValues();
  core.store.seams.restoreDefaultMacros = [&] { macros.SaveMacroFile(macroFile); };
  core.store.seams.applyProfile = [&] { core.applier.ApplyProfile(); };
  core.store.Reset();
  EXPECT_EQ(files.replaces[Narrow(core.store.configPath)], 1);
  EXPECT_EQ(files.replaces[Narrow(macroFile)], 1);
  core.applier.ApplyProfile();
  EXPECT_EQ(files.replaces[Narrow(core.store.configPath)], 1) << "nothing changed";
  core.profile.fireTime = 120;
  core.applier.ApplyProfile();
  EXPECT_EQ(files.replaces[Narrow(core.store.configPath)], 2);
  EXPECT_EQ(ini.GetString(core.store.configPath, u"Config6", u"FIRE_TIME", 5), u"120");
}

}  // namespace
}  // namespace nuv::test
