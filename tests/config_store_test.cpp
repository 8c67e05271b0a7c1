#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ini_document.h"
#include "settings/config_store.h"
#include "test_support.h"

namespace nuv::test {
namespace {

// Runs against every INI adapter of the build: under Windows the store is
// also checked against the system's own private-profile routines.
class ConfigStoreTest : public testing::TestWithParam<size_t> {
 protected:
  ConfigStoreTest()
      : adapters(IniAdaptersUnderTest()), ini(*adapters[GetParam()].second), store(ini, profile) {
    store.configPath = dir.Path("config.ini");
  }

  std::string Get(const char* section, const char* key) {
    return Narrow(ini.GetString(store.configPath, T(section), T(key), 64));
  }
  void Put(const char* section, const char* key, const char* value) {
    ini.SetString(store.configPath, T(section), T(key), T(value));
  }

  ScratchFolder dir;
  std::vector<std::pair<std::string, std::unique_ptr<IniPort>>> adapters;
  IniPort& ini;
  MouseProfile profile;
  ConfigStore store;
};

TEST_P(ConfigStoreTest, SlotOfAbsentKeysLoadsAsZerosKeptUsable) {
  ResetToFactory(profile);
  store.LoadProfile(store.configPath, 3, false);
  // Zeros, but the mouse keeps a primary click on button 1 and one DPI level.
  for (size_t i = 0; i < 7; ++i) EXPECT_EQ(profile.buttons[i], i == 0 ? kFnPrimaryClick : 0);
  EXPECT_EQ(profile.dpiLevel, 0);
  for (size_t j = 0; j < 4; ++j) {
    EXPECT_EQ(profile.dpiEnabled[j], j == 0 ? 1 : 0);
    EXPECT_EQ(profile.dpiValue[j], 0);
    EXPECT_EQ(profile.dpiKnobKey[j], 60 + 5 * static_cast<int>(j));
  }
  EXPECT_EQ(profile.ledMode, 0);
  EXPECT_EQ(profile.pointerSpeed, 0);
  EXPECT_EQ(WindowsPointerSpeed(profile.pointerSpeed), 1);
  EXPECT_EQ(profile.wheelSpeed, 0);
  EXPECT_EQ(profile.fireTime, 0);
}

TEST_P(ConfigStoreTest, SaveWritesEveryKeyInOrderAsDecimal) {
  ResetToFactory(profile);
  profile.dpiValue[3] = 4;
  profile.pointerSpeed = 9;
  store.SaveProfile(store.configPath, 2);
  const std::string file = dir.Read("config.ini");
  const char* keys[] = {"[Config2]",     "K1=1",           "K2=2",          "K3=3",
                        "K4=5",          "K5=4",           "K6=18",         "K7=17",
                        "DPI_LEVEL=0",   "WHEEL_STATUS=0", "MACRO_MODE2=0", "DPI_SET1=1",
                        "DPI_SET_EN1=1", "DPI_SET2=2",     "DPI_SET_EN2=1", "DPI_SET3=4",
                        "DPI_SET_EN3=1", "DPI_SET4=4",     "DPI_SET_EN4=1", "LED_STATUS=0",
                        "DPI_SPEED=9",   "WHEEL_SPEED=2",  "FIRE_TIME=50"};
  size_t at = 0;
  for (const char* key : keys) {
    const size_t found = file.find(std::string(key) + "\r\n", at);
    ASSERT_NE(found, std::string::npos) << key << " in order in\n" << file;
    at = found;
  }
}

TEST_P(ConfigStoreTest, HandEditedValuesAreCutParsedAndLimited) {
  struct Case {
    const char* key;
    const char* text;
  };
  const Case edits[] = {
      {"K1", "12345"},                // cut to 4 characters: 1234, kept as read
      {"K2", "abc"},                  // no digits: 0
      {"K3", "-7"},                   // kept: sends nothing for the button
      {"DPI_LEVEL", "9"},             // limited to 3
      {"DPI_SET1", "258"},            // low byte 2
      {"DPI_SET2", "261"},            // low byte 5: limited to 4
      {"DPI_SET3", "1234567890123"},  // cut to 9 characters, low byte of 123456789 (0x15): 4
      {"DPI_SET_EN1", "7"},           // any non-zero enables
      {"DPI_SET_EN2", "x"},
      {"LED_STATUS", "9"},
      {"DPI_SPEED", "-1"},  // low byte 255: limited to 9 (Windows speed 18 either way)
      {"WHEEL_SPEED", "12"},
      {"FIRE_TIME", "9999"},
      {"WHEEL_STATUS", "5"},
      {"MACRO_MODE2", "-3"},
  };
  for (const Case& e : edits) Put("Config1", e.key, e.text);
  Put("Config1", "K7", "1");           // the primary click, elsewhere
  Put("Config1", "DPI_SET_EN4", "1");  // the current level is on
  store.LoadProfile(store.configPath, 1, false);
  EXPECT_EQ(profile.buttons[0], 1234);
  EXPECT_EQ(profile.buttons[1], 0);
  EXPECT_EQ(profile.buttons[2], -7);
  EXPECT_EQ(profile.dpiLevel, 3);
  EXPECT_EQ(profile.dpiValue[0], 2);
  EXPECT_EQ(profile.appliedDpiValue[0], 2);
  EXPECT_EQ(profile.dpiKnobKey[0], 62);
  EXPECT_EQ(profile.dpiValue[1], 4);
  EXPECT_EQ(profile.dpiKnobKey[1], 69);
  EXPECT_EQ(profile.dpiValue[2], 4);
  EXPECT_EQ(profile.dpiEnabled[0], 1);
  EXPECT_EQ(profile.dpiEnabled[1], 0);
  EXPECT_EQ(profile.ledMode, 3);
  EXPECT_EQ(profile.pointerSpeed, 9);
  EXPECT_EQ(profile.wheelSpeed, 9);
  EXPECT_EQ(profile.fireTime, 300);
  EXPECT_EQ(profile.wheelStatus, 1);
  EXPECT_EQ(profile.macroHoldMode, 1);
}

TEST_P(ConfigStoreTest, ExportThenImportGivesTheSameProfile) {
  ResetToFactory(profile);
  SetButtonFunction(profile, 3, 41);
  profile.dpiLevel = 2;
  ChooseDpiValue(profile, 78);  // level 3, value 3: edited, not applied
  profile.ledMode = 2;
  profile.fireTime = 123;
  // The export is made in memory from what the chosen file holds: the same
  // bytes the private-profile routines leave when they write into that file.
  const std::string existing = "[Other]\r\nA=1\r\n[Config7]\r\nK3=9\r\nOLD=1\r\n";
  dir.Write("exchange.ini", existing);
  store.SaveProfile(dir.Path("exchange.ini"), kExchangeSlot);
  DocumentIni file(IniDocument::Parse(existing));
  store.Export(file);
  EXPECT_EQ(file.document.Serialise(), dir.Read("exchange.ini"));

  MouseProfile before = profile;
  ResetToFactory(profile);
  DocumentIni imported(IniDocument::Parse(dir.Read("exchange.ini")));
  EXPECT_TRUE(store.Import(imported));
  for (size_t i = 0; i < 7; ++i) EXPECT_EQ(profile.buttons[i], before.buttons[i]);
  for (size_t j = 0; j < 4; ++j) {
    EXPECT_EQ(profile.dpiValue[j], before.dpiValue[j]);
    EXPECT_EQ(profile.dpiEnabled[j], before.dpiEnabled[j]);
    EXPECT_EQ(profile.dpiKnobKey[j], before.dpiKnobKey[j]);
  }
  EXPECT_EQ(profile.appliedDpiValue[3], 3) << "applied values become the edited ones";
  EXPECT_EQ(profile.dpiLevel, 2);
  EXPECT_EQ(profile.ledMode, 2);
  EXPECT_EQ(profile.fireTime, 123);
  EXPECT_FALSE(dir.Exists("config.ini")) << "import and export leave config.ini alone";
}

TEST_P(ConfigStoreTest, ResetFillsSlotsFromFactoryAndTemplates) {
  // Templates as an installation ships them: slot 5 differs between the languages.
  for (int n = 2; n <= 5; ++n) {
    const std::string section = "CfgReset" + std::to_string(n);
    Put(section.c_str(), "K1", "1");
    Put(section.c_str(), "FIRE_TIME", std::to_string(10 * n).c_str());
  }
  Put("CfgReset_EN5", "K1", "1");
  Put("CfgReset_EN5", "FIRE_TIME", "99");
  Put("Config3", "FIRE_TIME", "7");

  std::vector<std::string> calls;
  store.seams.restoreDefaultMacros = [&] { calls.push_back("macros"); };
  store.seams.applyProfile = [&] {
    calls.push_back("apply fire " + std::to_string(profile.fireTime));
  };
  for (int language : {1, 0}) {
    SCOPED_TRACE(language);
    calls.clear();
    store.languageSelection = language;
    store.currentConfig = 3;
    store.Reset();
    EXPECT_EQ(Get("Config1", "FIRE_TIME"), "50");
    EXPECT_EQ(Get("Config1", "K7"), "17");
    EXPECT_EQ(Get("Config2", "FIRE_TIME"), "20");
    EXPECT_EQ(Get("Config3", "FIRE_TIME"), "30");
    EXPECT_EQ(Get("Config4", "FIRE_TIME"), "40");
    EXPECT_EQ(Get("Config5", "FIRE_TIME"), language == 1 ? "99" : "50");
    EXPECT_EQ(Get("Config2", "DPI_SET_EN2"), "0") << "template keys that are missing are zeros";
    const std::vector<std::string> expected = {"macros", "apply fire 30"};
    EXPECT_EQ(calls, expected);
  }
}

TEST_P(ConfigStoreTest, TemplateSectionNames) {
  EXPECT_EQ(ConfigStore::SectionName(5, true, 1), u"CfgReset_EN5");
  EXPECT_EQ(ConfigStore::SectionName(5, true, 0), u"CfgReset5");
  EXPECT_EQ(ConfigStore::SectionName(5, true, 2), u"CfgReset5");
  EXPECT_EQ(ConfigStore::SectionName(4, true, 1), u"CfgReset4");
  EXPECT_EQ(ConfigStore::SectionName(5, false, 1), u"Config5");
  EXPECT_EQ(ConfigStore::SectionName(0, false, 1), u"Config0");
}

TEST_P(ConfigStoreTest, CancelKeepsTheDpiLevelAndDropsOtherChanges) {
  ResetToFactory(profile);
  store.SaveProfile(store.configPath, kMirrorSlot);  // what the last apply sent
  profile.dpiLevel = 3;
  profile.fireTime = 200;
  SetButtonFunction(profile, 2, 26);
  int hidden = 0, repaints = 0;
  store.seams.hideToTray = [&] { ++hidden; };
  store.seams.repaint = [&] { ++repaints; };
  store.Cancel();
  EXPECT_EQ(profile.dpiLevel, 3);
  EXPECT_EQ(profile.fireTime, 50);
  EXPECT_EQ(profile.buttons[1], 2);
  EXPECT_EQ(Get("Config6", "DPI_LEVEL"), "3");
  EXPECT_EQ(hidden, 1);
  EXPECT_EQ(repaints, 1);
}

TEST_P(ConfigStoreTest, ChoosingASlotLoadsItWithoutWritingCurConfig) {
  Put("Config4", "FIRE_TIME", "88");
  store.currentConfig = 1;
  store.ChooseSlot(7);
  EXPECT_EQ(store.currentConfig, 4);
  EXPECT_EQ(profile.fireTime, 88);
  EXPECT_EQ(Get("Init", "CurConfig"), "");
  store.ChooseSlot(9);
  EXPECT_EQ(store.currentConfig, 4);

  store.WriteCurrentConfig(store.configPath);
  EXPECT_EQ(Get("Init", "CurConfig"), "4");
  profile.dpiLevel = 2;
  store.SaveDpiLevel(store.configPath, 4);
  EXPECT_EQ(Get("Config4", "DPI_LEVEL"), "2");
  EXPECT_EQ(Get("Config4", "FIRE_TIME"), "88");
}

TEST_P(ConfigStoreTest, StartValuesComeFromInit) {
  store.LoadStartValues();
  EXPECT_EQ(store.currentConfig, 1);  // no slot named: slot 1, never Config0
  EXPECT_EQ(store.languageSelection, 0);
  Put("Init", "CurConfig", "2");
  Put("Init", "VER_SEL", "1");
  store.LoadStartValues();
  EXPECT_EQ(store.currentConfig, 2);
  EXPECT_EQ(store.languageSelection, 1);
  Put("Init", "CurConfig", "6");
  store.LoadStartValues();
  EXPECT_EQ(store.currentConfig, 1);
}

INSTANTIATE_TEST_SUITE_P(Adapters, ConfigStoreTest,
                         testing::Range<size_t>(0, IniAdaptersUnderTest().size()),
                         [](const testing::TestParamInfo<size_t>& info) {
                           return IniAdaptersUnderTest()[info.param].first;
                         });

}  // namespace
}  // namespace nuv::test
