// The keyboard's way over the shipped skin: the reading order, Tab's stops,
// the groups of the arrow keys and the names a screen reader hears.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/host/recording_messages.h"
#include "skin_test_support.h"
#include "test_support.h"
#include "ui/key_focus.h"

namespace nuv::test {
namespace {

class KeyFocus : public ::testing::Test {
 protected:
  void Load(int32_t lang) {
    RecordingMessages messages;
    auto adapters = IniAdaptersUnderTest();
    SkinSources sources{*adapters.front().second, messages, u"NUV_Talv", nullptr, nullptr};
    ASSERT_TRUE(LoadPageSkin(sources, ShippedSkinFolder(), lang, skin));
    language = lang;
    for (size_t l = 0; l < kDpiLevelCount; ++l) {
      profile.dpiEnabled[l] = 1;
      profile.dpiKnobKey[l] = DpiKnobKey(static_cast<int>(l), 2);
    }
    for (size_t b = 0; b < kButtonCount; ++b) profile.buttons[b] = static_cast<int32_t>(b + 1);
  }
  PaintInputs Face() {
    return {.ui = ui,
            .skin = skin,
            .language = language,
            .configNumber = 2,
            .profile = profile,
            .macros = macros,
            .counters = {},
            .attention = attention};
  }
  std::string Name(KeyRef ref) {
    const auto order = FocusOrder(skin, ui.page);
    const FocusStop* stop = FindStop(order, ref);
    return stop ? Narrow(DescribeKey(Face(), ref, stop->rect).name) : "(not on the page)";
  }
  // The names of the stops Tab visits from the page's tab, once round.
  std::vector<std::string> TabRound() {
    const auto order = FocusOrder(skin, ui.page);
    std::optional<KeyRef> focus = MoveFocus(Face(), order, std::nullopt, FocusKey::kTab);
    const KeyRef first = *focus;
    std::vector<std::string> names;
    do {
      names.push_back(Name(*focus));
      focus = MoveFocus(Face(), order, focus, FocusKey::kTab);
    } while (*focus != first && names.size() < 100);
    return names;
  }

  PageSkin skin;
  int32_t language = 1;
  UiState ui;
  MouseProfile profile;
  MacroStore macros;
  AttentionState attention;
};

TEST_F(KeyFocus, TabVisitsEachPageInReadingOrderOnceAGroup) {
  Load(1);
  struct PageCase {
    uint8_t page;
    std::vector<std::string> stops;
  };
  // The strip's top row and tabs, the page's columns left to right, the
  // strip's bottom row; a group once, at its key that is on.
  const std::vector<std::string> top = {"English", "Web site", "Minimise", "Close"};
  const std::vector<std::string> bottom = {"Import", "Export", "Reset", "Cancel", "Apply"};
  const PageCase pages[] = {
      {kMainPage,
       {"Main", "Profile 2", "Button 1: Left Click", "Button 2: Right Click",
        "Button 3: Middle Click", "Button 4: Back", "Button 5: Forward", "Button 6: DPI Cycle",
        "Button 7: Mouse Functions", "DPI level 1 on", "DPI level 1 active", "1600 DPI",
        "DPI level 2 on", "1600 DPI", "DPI level 3 on", "1600 DPI", "DPI level 4 on", "1600 DPI",
        "Standard"}},
      {kColourPage, {"Lighting", "Profile 2", "Slow colour cycle"}},
      {kAdvancedPage,
       {"Advanced", "Profile 2", "Macros", "Macro name", "Events", "New", "Delete", "Record",
        "Save", "Repeat", "Repeat count", "Import macros", "Export macros", "Pointer speed 1",
        "Scroll lines 1", "Repeat while held", "Shorter fire time", "Fire time",
        "Longer fire time"}},
  };
  for (const PageCase& c : pages) {
    SCOPED_TRACE(c.page);
    ui.page = c.page;
    std::vector<std::string> expected = c.stops;
    expected.insert(expected.end(), bottom.begin(), bottom.end());
    expected.insert(expected.end(), top.begin(), top.end());
    EXPECT_EQ(TabRound(), expected);
  }
}

TEST_F(KeyFocus, ArrowsMoveWithinTheGroupOnly) {
  Load(1);
  struct Case {
    uint8_t page;
    KeyRef from;
    FocusKey key;
    KeyRef to;
  };
  const Case cases[] = {
      {kMainPage, {KeyTable::kMain, 4}, FocusKey::kNext, {KeyTable::kMain, 5}},
      {kMainPage, {KeyTable::kMain, 4}, FocusKey::kPrevious, {KeyTable::kMain, 8}},  // wraps
      {kMainPage, {KeyTable::kMain, 61}, FocusKey::kNext, {KeyTable::kMain, 62}},
      {kMainPage, {KeyTable::kMain, 64}, FocusKey::kNext, {KeyTable::kMain, 60}},  // 3200 last
      {kMainPage, {KeyTable::kMain, 54}, FocusKey::kNext, {KeyTable::kMain, 55}},  // a column
      {kMainPage, {KeyTable::kMain, 3}, FocusKey::kNext, {KeyTable::kMain, 3}},    // no group
      {kColourPage, {KeyTable::kColour, 3}, FocusKey::kNext, {KeyTable::kColour, 0}},
      {kAdvancedPage, {KeyTable::kAdvanced, 17}, FocusKey::kNext, {KeyTable::kAdvanced, 8}},
      // A key of another page: the page's own tab.
      {kColourPage, {KeyTable::kMain, 61}, FocusKey::kNext, {KeyTable::kMain, 11}},
  };
  for (const Case& c : cases) {
    ui.page = c.page;
    const auto order = FocusOrder(skin, c.page);
    EXPECT_EQ(MoveFocus(Face(), order, c.from, c.key), c.to) << c.from.key;
  }
}

TEST_F(KeyFocus, KeysAreNamedInTheInterfaceLanguageWithRolesAndStates) {
  struct Case {
    int32_t language;
    uint8_t page;
    KeyRef key;
    const char* name;
    AccessibleRole role;
    uint32_t state;  // besides focusable
  };
  using enum AccessibleRole;
  namespace s = access_state;
  const Case cases[] = {
      {1, kMainPage, {KeyTable::kMain, 9}, "Main", kPageTab, s::kSelected | s::kPressed},
      {1, kMainPage, {KeyTable::kMain, 6}, "Profile 3", kRadioButton, s::kNone},
      {1, kMainPage, {KeyTable::kMain, 47}, "DPI level 2 on", kCheckBox, s::kChecked},
      {1, kMainPage, {KeyTable::kMain, 56}, "DPI level 3 active", kRadioButton, s::kNone},
      {0, kMainPage, {KeyTable::kMain, 56}, "Nível de DPI 3 atual", kRadioButton, s::kUnavailable},
      {1, kMainPage, {KeyTable::kMain, 62}, "1600 DPI", kRadioButton, s::kChecked},
      {1, kMainPage, {KeyTable::kMain, 25}, "Button 1: Left Click", kPushButton, s::kHasPopup},
      {1, kAdvancedPage, {KeyTable::kAdvanced, 30}, "Fire time", kSlider, s::kNone},
      {1, kAdvancedPage, {KeyTable::kControl, control_key::kEventList}, "Events", kList, s::kNone},
      {0, kMainPage, {KeyTable::kMain, 13}, "Fechar", kPushButton, s::kNone},
      {0, kMainPage, {KeyTable::kMain, 3}, "Aplicar", kPushButton, s::kNone},
      {0, kMainPage, {KeyTable::kMain, 48}, "Nível de DPI 3 ligado", kCheckBox, s::kNone},
      {0, kColourPage, {KeyTable::kColour, 3}, "Desligado", kRadioButton, s::kNone},
  };
  for (const Case& c : cases) {
    Load(c.language);
    profile.dpiEnabled[2] = static_cast<uint8_t>(c.language);  // level 3 off in Portuguese
    ui.page = c.page;
    SCOPED_TRACE(c.name);
    const auto order = FocusOrder(skin, c.page);
    const FocusStop* stop = FindStop(order, c.key);
    ASSERT_NE(stop, nullptr);
    const AccessibleItem item = DescribeKey(Face(), c.key, stop->rect);
    EXPECT_EQ(Narrow(item.name), c.name);
    EXPECT_EQ(item.role, c.role);
    EXPECT_EQ(item.state, c.state | s::kFocusable);
  }
}

}  // namespace
}  // namespace nuv::test
