// The config.ini that ships: the first start finds working slots, and every
// reset template is a usable, distinct profile.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

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

}  // namespace
}  // namespace nuv::test
