#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "app/input_dispatch.h"
#include "platform/host/host_ini.h"
#include "platform/host/recording_messages.h"
#include "test_support.h"
#include "ui/language_switch.h"

namespace nuv::test {
namespace {

// Records what the dispatch asks of the window, one line per call.
class RecordingView : public InputView {
 public:
  void Repaint() override { calls.push_back("repaint"); }
  void InvalidateAll() override { calls.push_back("invalidate"); }
  void DragWindow(int32_t x, int32_t y) override { Add("drag", x, y); }
  void PostMinimise(int32_t x, int32_t y) override { Add("minimise", x, y); }
  void HideToTray() override { calls.push_back("tray"); }
  void StartBlinkThread() override { calls.push_back("blink"); }
  void StartColourAnimation() override { calls.push_back("colour animation"); }
  void CreateMacroControls() override { calls.push_back("create controls"); }
  void DestroyMacroControls() override { calls.push_back("destroy controls"); }
  void InvalidateRepaintRegion() override { calls.push_back("invalidate region"); }
  void UpdateWindow() override { calls.push_back("update"); }
  void RefillMacroList() override { calls.push_back("refill"); }
  std::optional<ChosenFile> ImportFile(FileDialogKind kind) override {
    calls.push_back("dialog " + std::to_string(static_cast<int>(kind)));
    return chosen;
  }
  SaveOutcome ExportFile(FileDialogKind kind, const ExportContents& contents) override {
    calls.push_back("dialog " + std::to_string(static_cast<int>(kind)));
    written = chosen ? contents(*chosen) : std::nullopt;
    if (!chosen) return SaveOutcome::kNotChosen;
    return written ? SaveOutcome::kWritten : SaveOutcome::kFailed;
  }
  void ApplyProfile() override { calls.push_back("apply"); }
  void OpenWebSite() override { calls.push_back("web"); }
  void SwitchLanguage(int32_t language) override { Add("language", language); }
  bool FunctionDialogOpen() override { return dialogOpen; }
  void CloseFunctionDialog() override {
    calls.push_back("close dialog");
    dialogOpen = false;
  }
  void ChooseButtonFunction(int button, int32_t x, int32_t y) override {
    Add("function", button, x, y);
  }
  void ShowMessage(const Text& text) override { calls.push_back("message " + Narrow(text)); }
  void EndRecording() override { calls.push_back("end recording"); }
  void NewMacro() override { calls.push_back("new"); }
  void DeleteMacro() override { calls.push_back("delete"); }
  void ToggleRecording() override { calls.push_back("record"); }
  void TakeRepeatCount() override { calls.push_back("repeat count"); }
  void ToggleRepeatMode() override { calls.push_back("repeat mode"); }
  // Kept apart: the press tables' call lists stay as they were.
  void FocusMoved(KeyRef focus, bool pageChanged) override {
    focusCalls.push_back((pageChanged ? "page " : "") +
                         std::to_string(static_cast<int>(focus.table)) + ":" +
                         std::to_string(focus.key));
  }

  template <typename... Args>
  void Add(const char* name, Args... values) {
    std::string line = name;
    ((line += " " + std::to_string(values)), ...);
    calls.push_back(line);
  }

  std::vector<std::string> calls;
  std::vector<std::string> focusCalls;
  std::optional<ChosenFile> chosen;
  std::optional<std::string> written;
  bool dialogOpen = false;
};

// Main key k at (10k, 0), colour key k at (10k, 100), advanced key k at
// (10k, 200), each 10 by 10; the fire-time bar is 300 wide. Main key 30 also
// covers advanced key 0's place, so the page decides which counts.
PageSkin TestSkin() {
  PageSkin skin;
  for (int32_t k = 0; k < static_cast<int32_t>(kMainSkinKeys); ++k) {
    skin.main.rects[static_cast<size_t>(k)] = {10 * k, 0, 10, 10};
  }
  for (int32_t k = 0; k < static_cast<int32_t>(kColourSkinKeys); ++k) {
    skin.colour.rects[static_cast<size_t>(k)] = {10 * k, 100, 10, 10};
  }
  for (int32_t k = 0; k < static_cast<int32_t>(kAdvancedSkinKeys); ++k) {
    skin.advanced.rects[static_cast<size_t>(k)] = {10 * k, 200, 10, 10};
  }
  skin.advanced.rects[30] = {400, 300, 300, 10};
  skin.main.rects[30] = {0, 200, 10, 10};
  return skin;
}

struct Fixture {
  Fixture() {
    store.configPath = dir.Path("config.ini");
    session.applicationFolder = dir.folder();
    session.skinFolder = dir.folder() + u"\\skins";
    files.workingPath = dir.Path("Macro_EN.dat");
    ResetToFactory(profile);
    store.SaveProfile(store.configPath, 6);
    store.seams.repaint = [this] { view.calls.push_back("store repaint"); };
    store.seams.hideToTray = [this] { view.calls.push_back("tray"); };
    store.seams.applyProfile = [this] { view.calls.push_back("apply"); };
    store.seams.restoreDefaultMacros = [this] { input.RestoreDefaultMacros(); };
  }
  void Hover(uint8_t page, uint32_t main, uint32_t colour = kNoSkinHit,
             uint32_t advanced = kNoSkinHit) {
    ui.page = page;
    ui.mainHover = main;
    ui.colourHover = colour;
    ui.advancedHover = advanced;
  }
  // A press on the strip's key `main`, then its release there.
  void ReleaseOver(uint32_t main, uint32_t colour = kNoSkinHit, uint32_t advanced = kNoSkinHit) {
    Hover(ui.page, main, colour, advanced);
    input.OnLeftPress(7, 8);
    view.calls.clear();
    Hover(ui.page, main, colour, advanced);
    input.OnLeftRelease(7, 8);
  }

  // What the keyboard's handling reads of the face.
  PaintInputs Face() {
    return {.ui = ui,
            .skin = skin,
            .profile = profile,
            .macros = macros,
            .counters = {},
            .attention = attention};
  }

  ScratchFolder dir;
  HostIni ini;
  RecordingMessages messages;
  MacroStore macros;
  MacroFiles files{ini, messages, macros};
  MouseProfile profile;
  ConfigStore store{ini, profile};
  MainWindowSession session;
  UiState ui;
  PageSkin skin = TestSkin();
  RecordingView view;
  AttentionState attention;
  MainWindowInput input{{ui, skin, session, profile, store, files}, view};
};

using Calls = std::vector<std::string>;

TEST(MainWindowHover, OffTheMainPageOnlyTheStripCountsAndTheLowestKeyWins) {
  const PageSkin skin = TestSkin();
  struct Case {
    uint8_t page;
    int32_t x, y;
    Hovers expected;
  };
  const Case cases[] = {
      {kMainPage, 295, 5, {29, kNoSkinHit, kNoSkinHit}},
      {kAdvancedPage, 295, 5, {kNoSkinHit, kNoSkinHit, kNoSkinHit}},  // key 29 of the main page
      {kColourPage, 195, 5, {19, kNoSkinHit, kNoSkinHit}},            // the strip's last key
      {kColourPage, 205, 5, {kNoSkinHit, kNoSkinHit, kNoSkinHit}},
      {kMainPage, 5, 205, {30, kNoSkinHit, 0}},  // main 30 over advanced 0
      {kAdvancedPage, 5, 205, {kNoSkinHit, kNoSkinHit, 0}},
      {kMainPage, 905, 5, {90, kNoSkinHit, kNoSkinHit}},  // the last main key tried
      {kMainPage, 915, 5, {kNoSkinHit, kNoSkinHit, kNoSkinHit}},
      {kColourPage, 45, 105, {kNoSkinHit, 4, kNoSkinHit}},
      {kColourPage, 55, 105, {kNoSkinHit, kNoSkinHit, kNoSkinHit}},  // colour keys end at 4
      {kAdvancedPage, 335, 205, {kNoSkinHit, kNoSkinHit, 33}},
      {kAdvancedPage, 345, 205, {kNoSkinHit, kNoSkinHit, kNoSkinHit}},
      {kAdvancedPage, 10, 9, {1, kNoSkinHit, kNoSkinHit}},           // left inclusive
      {kAdvancedPage, 9, 10, {kNoSkinHit, kNoSkinHit, kNoSkinHit}},  // bottom exclusive
  };
  for (const Case& c : cases) {
    EXPECT_EQ(HoversAt(skin, c.page, c.x, c.y), c.expected)
        << int(c.page) << " " << c.x << "," << c.y;
  }
}

TEST(MainWindowHover, RepaintsOnlyWhenAnIndexChanges) {
  Fixture f;
  f.input.OnPointerMove(5, 5);    // main 0
  f.input.OnPointerMove(6, 6);    // still main 0
  f.input.OnPointerMove(15, 5);   // main 1
  f.input.OnPointerMove(5, 205);  // main 30 and advanced 0 at once: one repaint
  f.input.OnPointerMove(999, 999);
  f.input.OnPointerMove(998, 999);
  EXPECT_EQ(f.view.calls, (Calls{"repaint", "repaint", "repaint", "repaint"}));
  EXPECT_EQ(f.ui.mainHover, kNoSkinHit);
  f.view.calls.clear();
  f.input.OnPointerLeave();  // nothing hovered or held: nothing to show
  EXPECT_TRUE(f.view.calls.empty());
  // Back without a move (a modal dialog had the pointer): the press looks
  // where it is instead of dragging the window.
  f.input.OnPointerMove(255, 5);
  f.input.OnPointerLeave();
  f.view.calls.clear();
  f.input.OnLeftPress(255, 5);
  EXPECT_EQ(f.view.calls, (Calls{"repaint", "invalidate", "function 1 250 10", "invalidate"}));
}

TEST(MainWindowPress, TablesOfTheThreePages) {
  struct Case {
    const char* what;
    uint8_t page;
    uint32_t main, colour, advanced;
    Calls calls;
    uint8_t pageAfter;
  };
  const uint32_t none = kNoSkinHit;
  const Calls toAdvanced = {"invalidate region", "create controls", "update", "refill", "update"};
  auto with = [](Calls first, const Calls& rest) {
    first.insert(first.end(), rest.begin(), rest.end());
    return first;
  };
  const Case cases[] = {
      {"main: tab 10", kMainPage, 10, none, none, with({"invalidate"}, toAdvanced), kAdvancedPage},
      {"main: tab 11",
       kMainPage,
       11,
       none,
       none,
       {"invalidate", "colour animation", "repaint"},
       kColourPage},
      {"main: tab 9", kMainPage, 9, none, none, {"invalidate"}, kMainPage},
      {"main: label of button 3",
       kMainPage,
       27,
       none,
       none,
       {"invalidate", "function 3 270 10", "invalidate"},
       kMainPage},
      {"main: nothing, drag", kMainPage, none, none, none, {"drag 7 8"}, kMainPage},
      {"main: a hidden page's key, drag", kMainPage, none, none, 5, {"drag 7 8"}, kMainPage},
      {"main: release-only key", kMainPage, 3, none, none, {"invalidate"}, kMainPage},
      {"colour: tab 9", kColourPage, 9, none, none, {"invalidate", "blink", "repaint"}, kMainPage},
      {"colour: tab 10", kColourPage, 10, none, none, with({"invalidate"}, toAdvanced),
       kAdvancedPage},
      {"colour: tab 11", kColourPage, 11, none, none, {"invalidate"}, kColourPage},
      {"colour: nothing, drag", kColourPage, none, none, none, {"drag 7 8"}, kColourPage},
      {"colour: strip key, no drag", kColourPage, 3, none, none, {"invalidate"}, kColourPage},
      {"colour: key 4", kColourPage, none, 4, none, {"invalidate"}, kColourPage},
      {"advanced: tab 9",
       kAdvancedPage,
       9,
       none,
       none,
       {"invalidate", "end recording", "destroy controls", "blink", "repaint"},
       kMainPage},
      {"advanced: tab 11",
       kAdvancedPage,
       11,
       none,
       none,
       {"invalidate", "end recording", "destroy controls", "colour animation", "repaint"},
       kColourPage},
      {"advanced: tab 10", kAdvancedPage, 10, none, none, {"invalidate"}, kAdvancedPage},
      {"advanced: import cancelled",
       kAdvancedPage,
       none,
       none,
       0,
       {"invalidate", "dialog 2", "invalidate"},
       kAdvancedPage},
      {"advanced: export cancelled",
       kAdvancedPage,
       none,
       none,
       1,
       {"invalidate", "dialog 3", "invalidate"},
       kAdvancedPage},
      {"advanced: new", kAdvancedPage, none, none, 2, {"invalidate", "new"}, kAdvancedPage},
      {"advanced: delete", kAdvancedPage, none, none, 3, {"invalidate", "delete"}, kAdvancedPage},
      {"advanced: record", kAdvancedPage, none, none, 4, {"invalidate", "record"}, kAdvancedPage},
      {"advanced: save",
       kAdvancedPage,
       none,
       none,
       5,
       {"invalidate", "repeat count"},
       kAdvancedPage},
      {"advanced: repeat mode",
       kAdvancedPage,
       none,
       none,
       6,
       {"invalidate", "repeat mode"},
       kAdvancedPage},
      {"advanced: fire time +1",
       kAdvancedPage,
       none,
       none,
       31,
       {"invalidate", "repaint"},
       kAdvancedPage},
      {"advanced: no action", kAdvancedPage, none, none, 28, {"invalidate"}, kAdvancedPage},
      {"advanced: nothing, drag", kAdvancedPage, none, none, none, {"drag 7 8"}, kAdvancedPage},
      {"advanced: strip key, no drag",
       kAdvancedPage,
       16,
       none,
       none,
       {"invalidate"},
       kAdvancedPage},
  };
  for (const Case& c : cases) {
    Fixture f;
    f.Hover(c.page, c.main, c.colour, c.advanced);
    f.input.OnLeftPress(7, 8);
    EXPECT_EQ(f.view.calls, c.calls) << c.what;
    EXPECT_EQ(f.ui.page, c.pageAfter) << c.what;
    // Held over a key of the page shown, until a dialog takes the release.
    const bool overShownKey = c.main != none || (c.page == kColourPage && c.colour != none) ||
                              (c.page == kAdvancedPage && c.advanced != none);
    const bool dialogTookRelease = c.advanced <= 1 || (c.main >= 25 && c.main <= 31);
    EXPECT_EQ(f.ui.held, overShownKey && !dialogTookRelease ? 1 : 0) << c.what;
  }
}

TEST(MainWindowPress, FireTimeBySliderAndSteps) {
  // The slider: (x - 400) * 300 / 300 with integer division; the steps stop
  // at 0 and 300.
  for (const auto& [x, expected] : {std::pair{400, 0}, {523, 123}, {699, 299}}) {
    Fixture f;
    f.Hover(kAdvancedPage, kNoSkinHit, kNoSkinHit, 30);
    f.input.OnLeftPress(x, 305);
    EXPECT_EQ(f.profile.fireTime, expected) << x;
  }
  Fixture f;
  f.Hover(kAdvancedPage, kNoSkinHit, kNoSkinHit, 32);
  for (int i = 0; i < 60; ++i) f.input.OnLeftPress(0, 0);
  EXPECT_EQ(f.profile.fireTime, 0);
  f.Hover(kAdvancedPage, kNoSkinHit, kNoSkinHit, 31);
  for (int i = 0; i < 310; ++i) f.input.OnLeftPress(0, 0);
  EXPECT_EQ(f.profile.fireTime, kFireTimeMax);
}

TEST(MainWindowPress, AnOpenFunctionDialogClosesFirst) {
  Fixture f;
  f.view.dialogOpen = true;
  f.Hover(kMainPage, 25);
  f.input.OnLeftPress(0, 0);
  EXPECT_EQ(f.view.calls, (Calls{"invalidate", "close dialog", "function 1 250 10", "invalidate"}));
}

TEST(MainWindowRelease, TheStripActsOnTheKeyUnderThePointer) {
  struct Case {
    uint32_t key;
    Calls calls;
  };
  const Case cases[] = {
      {0, {"invalidate"}},
      {1, {"invalidate"}},
      {2, {"invalidate", "tray", "store repaint"}},
      {3, {"invalidate", "apply"}},
      {6, {"invalidate", "store repaint"}},
      {9, {"invalidate"}},
      {12, {"invalidate", "minimise 7 8"}},
      {13, {"invalidate", "tray"}},
      {14, {"invalidate", "dialog 0"}},
      {15, {"invalidate", "dialog 1"}},
      {17, {"invalidate", "language 0"}},
      {18, {"invalidate", "language 1"}},
      {19, {"invalidate", "web"}},
      {25, {"invalidate"}},
      {kNoSkinHit, {"invalidate"}},
  };
  for (uint8_t page : {kMainPage, kAdvancedPage, kColourPage}) {
    for (const Case& c : cases) {
      Fixture f;
      f.ui.page = page;
      f.ReleaseOver(c.key, 2, 3);  // whatever the other tables say
      EXPECT_EQ(f.view.calls, c.calls) << "key " << c.key << " page " << int(page);
      EXPECT_EQ(f.ui.held, 0);
      const bool hoverDropped = c.key == 2 || c.key == 12 || c.key == 13;
      EXPECT_EQ(f.ui.mainHover, hoverDropped ? kNoSkinHit : c.key) << c.key;
    }
  }
  // A release without a press on the window since the pointer came in or a
  // dialog closed (a file dialog's double click ends over the strip) does
  // nothing, Reset included.
  Fixture f;
  f.Hover(kMainPage, strip::kReset);
  f.input.OnLeftRelease(7, 8);
  f.ReleaseOver(strip::kApply);
  f.Hover(kMainPage, strip::kApply);
  f.input.OnLeftRelease(7, 8);
  f.input.OnPointerMove(0, 0);
  f.input.OnLeftPress(0, 0);
  f.input.OnPointerLeave();
  f.Hover(kMainPage, strip::kApply);
  f.input.OnLeftRelease(7, 8);
  // Only the one release after a press applied; Reset would have applied too.
  EXPECT_EQ(std::count(f.view.calls.begin(), f.view.calls.end(), "apply"), 1);
}

TEST(MainWindowRelease, OnlyTheKeyPressedActsAndLooksHeld) {
  // Main key k at (10k + 5, 5), advanced key 5 at (55, 205); Reset at (165, 5).
  struct Drag {
    uint8_t page;
    int32_t pressX, pressY, releaseX, releaseY;
    bool acts;
  };
  for (const Drag d : {Drag{kMainPage, 65, 5, 165, 5, false},          // slot 3 onto Reset
                       Drag{kMainPage, 35, 5, 35, 5, true},            // Apply, off and back on
                       Drag{kAdvancedPage, 55, 205, 35, 5, false}}) {  // Save onto Apply
    Fixture f;
    f.ui.page = d.page;
    std::vector<int> held;
    for (const auto& [x, y] : {std::pair{d.pressX, d.pressY},
                               {165, 5},
                               {d.pressX, d.pressY},
                               {d.releaseX, d.releaseY}}) {
      f.input.OnPointerMove(x, y);
      if (held.empty()) f.input.OnLeftPress(x, y);
      held.push_back(f.ui.held);
    }
    f.input.OnLeftRelease(d.releaseX, d.releaseY);
    EXPECT_EQ(held, (std::vector<int>{1, 0, 1, d.acts})) << d.pressX;
    EXPECT_EQ(std::count(f.view.calls.begin(), f.view.calls.end(), "apply"), d.acts);
    EXPECT_EQ(std::count(f.view.calls.begin(), f.view.calls.end(), "store repaint"), 0);
  }
}

TEST(MainWindowRelease, SlotsCancelAndProfileFiles) {
  Fixture f;
  f.ini.SetString(f.store.configPath, u"Config4", u"FIRE_TIME", u"222");
  f.ReleaseOver(7);  // slot 4
  EXPECT_EQ(f.store.currentConfig, 4);
  EXPECT_EQ(f.profile.fireTime, 222);

  // Cancel: back to the applied mirror (fire time 50) with the page's DPI level.
  f.profile.dpiLevel = 2;
  f.ReleaseOver(2);
  EXPECT_EQ(f.profile.fireTime, 50);
  EXPECT_EQ(f.profile.dpiLevel, 2);

  // Export into a file the user chose, then import of a hand-written file
  // whose missing keys read as 0 and whose values are limited as on load:
  // only contents pass, the program opens no file of the user's.
  f.view.chosen = ChosenFile{ChosenFile::State::kRead, "[Other]\r\nA=1\r\n"};
  f.ReleaseOver(15);
  ASSERT_TRUE(f.view.written);
  EXPECT_EQ(f.view.written->rfind("[Other]\r\nA=1\r\n[Config7]\r\nK1=1\r\n", 0), 0u);
  EXPECT_NE(f.view.written->find("\r\nFIRE_TIME=50\r\n"), std::string::npos);
  f.view.chosen = ChosenFile{ChosenFile::State::kUnreadable, ""};
  f.ReleaseOver(15);
  EXPECT_FALSE(f.view.written) << "a file not read whole is not replaced";
  EXPECT_EQ(f.view.calls.back(), "message The file could not be saved. It has not been changed.");
  f.view.chosen =
      ChosenFile{ChosenFile::State::kRead, "[Config7]\r\nFIRE_TIME=999\r\nLED_STATUS=2\r\n"};
  f.ReleaseOver(14);
  EXPECT_EQ(f.profile.fireTime, kFireTimeMax);
  EXPECT_EQ(f.profile.ledMode, 2);
  EXPECT_EQ(f.profile.buttons[0], kFnPrimaryClick);  // a profile never loses its left click
  EXPECT_EQ(f.store.currentConfig, 4);               // nothing stored, nothing applied
  EXPECT_EQ(std::count(f.view.calls.begin(), f.view.calls.end(), "apply"), 0);

  // A file that holds no profile (config.ini itself, a file that could not
  // be read) changes nothing and says so.
  for (const ChosenFile& file : {ChosenFile{ChosenFile::State::kRead, f.dir.Read("config.ini")},
                                 ChosenFile{ChosenFile::State::kUnreadable, ""}}) {
    f.view.chosen = file;
    f.ReleaseOver(14);
    EXPECT_EQ(f.view.calls.back(), "message This file holds no profile.");
    EXPECT_EQ(f.profile.fireTime, kFireTimeMax);
  }
}

TEST(MainWindowRelease, ResetRestoresTheDefaultMacrosThenApplies) {
  Fixture f;
  f.session.uiLanguage = 1;
  std::filesystem::create_directories(f.dir.FsPath("skins") / "INI_EN");
  MacroStore defaults;
  defaults.Write(0, MacroRecord::Named(u"Default"));
  defaults.SetCount(1);
  MacroFiles writer{f.ini, f.messages, defaults};
  writer.SaveMacroFile(MacroFiles::DefaultFilePath(f.session.skinFolder, 1));
  f.ui.page = kAdvancedPage;
  f.ReleaseOver(16);
  EXPECT_EQ(f.view.calls, (Calls{"invalidate", "end recording", "refill", "repaint", "apply"}));
  EXPECT_EQ(f.macros.Count(), 1);
  EXPECT_EQ(f.macros.Read(0).Name(), u"Default");
  MacroStore reread;
  MacroFiles reader{f.ini, f.messages, reread};
  reader.LoadMacroFile(f.files.workingPath);
  EXPECT_EQ(reread.Count(), 1);
}

// Records the language switch's steps.
class RecordingSwitch : public LanguageSwitchSteps {
 public:
  bool ReloadSkin(SkinFile file, int32_t language) override {
    calls.push_back("skin " + std::to_string(static_cast<int>(file)) + " " +
                    std::to_string(language));
    return file != missing;
  }
  void ForgetPictures() override { calls.push_back("pictures"); }
  void RefillMacroList() override { calls.push_back("refill"); }
  void InvalidateAll() override { calls.push_back("invalidate"); }
  void ReloadMenus(int32_t language) override {
    calls.push_back("menus " + std::to_string(language));
  }
  void SetTitle(const Text& title) override { calls.push_back("title " + Narrow(title)); }
  void Repaint() override { calls.push_back("repaint"); }
  std::vector<std::string> calls;
  std::optional<SkinFile> missing;
};

// Space on a focused key does what a press and release over it do, through
// the same dispatch; the arrows step the fire-time slider as its - and + do.
TEST(MainWindowKeyboard, SpaceDoesWhatTheClickDoes) {
  struct Case {
    uint8_t page;
    KeyRef key;
  };
  const Case cases[] = {
      {kMainPage, {KeyTable::kMain, 47}},         {kMainPage, {KeyTable::kMain, 62}},
      {kMainPage, {KeyTable::kMain, 5}},          {kMainPage, {KeyTable::kMain, 10}},
      {kMainPage, {KeyTable::kMain, 3}},          {kMainPage, {KeyTable::kMain, 27}},
      {kColourPage, {KeyTable::kColour, 2}},      {kAdvancedPage, {KeyTable::kAdvanced, 7}},
      {kAdvancedPage, {KeyTable::kAdvanced, 31}}, {kAdvancedPage, {KeyTable::kMain, 9}},
  };
  const auto state = [](Fixture& f) {
    const MouseProfile& p = f.profile;
    return std::vector<int>{f.ui.page, f.store.currentConfig, p.dpiEnabled[1], p.dpiKnobKey[0],
                            p.ledMode, p.macroHoldMode,       p.fireTime};
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key.key);
    Fixture clicked;
    clicked.Hover(c.page, c.key.table == KeyTable::kMain ? c.key.key : kNoSkinHit,
                  c.key.table == KeyTable::kColour ? c.key.key : kNoSkinHit,
                  c.key.table == KeyTable::kAdvanced ? c.key.key : kNoSkinHit);
    clicked.input.OnLeftPress(1, 1);
    clicked.input.OnLeftRelease(1, 1);

    Fixture typed;
    typed.ui.page = c.page;
    SetFocusOf(typed.ui, c.key);
    const PaintInputs face = typed.Face();
    EXPECT_TRUE(typed.input.OnKeyDown(kVkSpace, false, false, face));
    // A held Space repeats its key-down: nothing more happens.
    const std::vector<int> once = state(typed);
    EXPECT_TRUE(typed.input.OnKeyDown(kVkSpace, false, true, face));
    EXPECT_EQ(state(typed), once);
    ASSERT_FALSE(typed.view.calls.empty());
    EXPECT_EQ(typed.view.calls.back(), "repaint");  // the hover given back to the pointer
    typed.view.calls.pop_back();
    EXPECT_EQ(typed.view.calls, clicked.view.calls);
    EXPECT_EQ(once, state(clicked));
    EXPECT_EQ(typed.ui.mainHover, kNoSkinHit);
  }

  Fixture f;
  f.ui.page = kAdvancedPage;
  SetFocusOf(f.ui, {KeyTable::kAdvanced, advanced::kFireTimeSlider});
  f.profile.fireTime = 50;
  const PaintInputs face = f.Face();
  f.input.OnKeyDown(kVkRight, false, false, face);
  f.input.OnKeyDown(kVkRight, false, true, face);
  f.input.OnKeyDown(kVkLeft, false, false, face);
  EXPECT_EQ(f.profile.fireTime, 51);
  EXPECT_EQ(FocusOf(f.ui), (KeyRef{KeyTable::kAdvanced, advanced::kFireTimeSlider}));
}

TEST(LanguageSwitch, ReloadsInOrderAndStoresTheChoiceAtOnce) {
  const std::string main = std::to_string(static_cast<int>(SkinFile::kMain));
  const std::string colour = std::to_string(static_cast<int>(SkinFile::kColour));
  const std::string advanced = std::to_string(static_cast<int>(SkinFile::kAdvanced));
  const std::string warning = std::to_string(static_cast<int>(SkinFile::kWarning));
  for (int32_t language : {0, 1, 7}) {
    for (bool advancedShown : {false, true}) {
      Fixture f;
      f.dir.Write("Macro_CN.dat", "[Macros]\r\nmacroNum=0\r\n");
      f.dir.Write("Macro_EN.dat", "[Macros]\r\nmacroNum=0\r\n");
      RecordingSwitch steps;
      const LanguageSwitchTargets targets{f.session.uiLanguage, f.store, f.files,
                                          f.session.applicationFolder, advancedShown};
      ASSERT_TRUE(SwitchLanguage(language, targets, steps));
      const std::string flag = language ? "1" : "0";
      Calls expected = {"skin " + main + " " + flag, "skin " + colour + " " + flag,
                        "skin " + advanced + " " + flag, "skin " + warning + " " + flag,
                        "pictures"};
      if (advancedShown) expected.insert(expected.end(), {"refill", "invalidate"});
      expected.insert(expected.end(),
                      {"menus " + flag, "title QUARVEL 241-7730 GAMING MOUSE", "repaint"});
      EXPECT_EQ(steps.calls, expected);
      EXPECT_EQ(Narrow(f.ini.GetString(f.store.configPath, u"Init", u"VER_SEL", 8)), flag);
      EXPECT_EQ(f.session.uiLanguage.load(), language ? 1 : 0);
      EXPECT_EQ(f.store.languageSelection.load(), language ? 1 : 0);
      EXPECT_EQ(f.files.workingPath, f.dir.Path(language ? "Macro_EN.dat" : "Macro_CN.dat"));
    }
  }
  // A missing skin file ends the switch there: the program is closing, and
  // the next start comes up in the language that worked.
  Fixture f;
  f.store.WriteLanguageSelection(f.store.configPath);
  RecordingSwitch steps;
  steps.missing = SkinFile::kAdvanced;
  EXPECT_FALSE(SwitchLanguage(
      0, {f.session.uiLanguage, f.store, f.files, f.session.applicationFolder, true}, steps));
  EXPECT_EQ(steps.calls.size(), 3u);
  EXPECT_EQ(Narrow(f.ini.GetString(f.store.configPath, u"Init", u"VER_SEL", 8)), "1");
}

}  // namespace
}  // namespace nuv::test
