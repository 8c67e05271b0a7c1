#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "app/main_window.h"
#include "platform/file_dialog_filter.h"
#include "platform/host/host_ini.h"
#include "test_support.h"

namespace nuv::test {
namespace {

TEST(KeyboardFilter, ConsumesEscapeAndReturnDownsAndEveryF10Message) {
  struct Case {
    uint32_t message;
    uint64_t key;
    bool consumed;
  };
  const Case cases[] = {
      {wm::kKeyDown, kVkEscape, true},
      {wm::kKeyDown, kVkReturn, true},
      {wm::kKeyUp, kVkEscape, false},
      {wm::kKeyUp, kVkReturn, false},
      {wm::kSysKeyDown, kVkReturn, false},  // Alt+Return is no dialog key
      {wm::kKeyDown, kVkF10, true},
      {wm::kKeyUp, kVkF10, true},
      {wm::kSysKeyDown, kVkF10, true},
      {wm::kSysKeyUp, kVkF10, true},
      {wm::kKeyDown, 'A', false},
      {wm::kKeyDown, 0x19, false},
      {wm::kRButtonUp, kVkEscape, false},  // a mouse message whose wParam happens to be 27
      {0x0102 /* WM_CHAR */, kVkReturn, false},
  };
  for (bool recording : {false, true}) {
    for (bool advanced : {false, true}) {
      for (const Case& c : cases) {
        EXPECT_EQ(FilterKeyboardMessage(c.message, c.key, recording, advanced, {}), c.consumed)
            << c.message << " " << c.key << " recording " << recording << " advanced " << advanced;
      }
    }
  }
}

TEST(KeyboardFilter, RecordingAndContextMenuComeFirst) {
  std::vector<std::string> calls;
  bool recorderGoesOn = true;
  KeyboardFilterHooks hooks;
  hooks.toRecording = [&](uint32_t message, uint64_t key) {
    calls.push_back("rec " + std::to_string(message) + " " + std::to_string(key));
    return recorderGoesOn;
  };
  hooks.macroContextMenu = [&] { calls.push_back("menu"); };

  // While recording, key messages go to the recording and then still the filter.
  EXPECT_TRUE(FilterKeyboardMessage(wm::kKeyDown, kVkEscape, true, true, hooks));
  EXPECT_FALSE(FilterKeyboardMessage(wm::kSysKeyUp, 'B', true, false, hooks));
  // A recording that hands the message on stops the filter: Return reaches the window.
  recorderGoesOn = false;
  EXPECT_FALSE(FilterKeyboardMessage(wm::kKeyDown, kVkReturn, true, true, hooks));
  // Right-button release: the context menu only on the advanced page, not while recording.
  EXPECT_FALSE(FilterKeyboardMessage(wm::kRButtonUp, 0, false, true, hooks));
  EXPECT_FALSE(FilterKeyboardMessage(wm::kRButtonUp, 0, false, false, hooks));
  EXPECT_FALSE(FilterKeyboardMessage(wm::kRButtonUp, 0, true, true, hooks));
  // Key messages without a recording never reach it.
  EXPECT_TRUE(FilterKeyboardMessage(wm::kKeyDown, kVkReturn, false, true, hooks));
  EXPECT_EQ(calls, (std::vector<std::string>{"rec 256 27", "rec 261 66", "rec 256 13", "menu"}));
}

class RecordingTray : public TrayView {
 public:
  void AddTrayIcon() override {
    calls.push_back("add");
    icon = true;
  }
  void DeleteTrayIcon() override {
    calls.push_back("delete");
    icon = false;
  }
  void ShowWindow(int command) override { calls.push_back("show " + std::to_string(command)); }
  void ShowTrayMenu() override { calls.push_back("menu"); }
  void BringToFront() override { calls.push_back("front"); }
  std::vector<std::string> calls;
  bool icon = false;
};

TEST(Tray, HideAndShowSequences) {
  RecordingTray tray;
  HideToTray(tray);
  EXPECT_TRUE(tray.icon);
  ShowFromTray(tray);
  EXPECT_FALSE(tray.icon);
  EXPECT_EQ(tray.calls,
            (std::vector<std::string>{"add", "show 6", "show 0", "show 5", "show 9", "delete"}));
  tray.calls.clear();
  HideToTray(tray);
  ShowForSecondCopy(tray);
  EXPECT_FALSE(tray.icon);
  EXPECT_EQ(tray.calls, (std::vector<std::string>{"add", "show 6", "show 0", "show 5", "show 9",
                                                  "delete", "front"}));
}

TEST(Tray, CallbackActsOnlyOnOurIconsDoubleClickAndRightRelease) {
  struct Case {
    uint64_t icon;
    uint64_t event;
    std::vector<std::string> calls;
  };
  const Case cases[] = {
      {kTrayIconId, wm::kLButtonDblClk, {"delete", "show 5", "show 9"}},
      {kTrayIconId, wm::kRButtonUp, {"menu"}},
      {kTrayIconId, 0x0201 /* left down */, {}},
      {kTrayIconId, 0x0202 /* left up */, {}},
      {kTrayIconId, 0x0204 /* right down */, {}},
      {kTrayIconId, 0x0200 /* move */, {}},
      {154, wm::kLButtonDblClk, {}},
      {0, wm::kRButtonUp, {}},
  };
  for (const Case& c : cases) {
    RecordingTray tray;
    EXPECT_EQ(OnTrayNotify(tray, c.icon, c.event), 0);
    EXPECT_EQ(tray.calls, c.calls) << c.icon << " " << c.event;
  }
}

TEST(Tray, DoubleClickTwiceOnlyDeletesAnIconThatIsGone) {
  RecordingTray tray;
  HideToTray(tray);
  OnTrayNotify(tray, kTrayIconId, wm::kLButtonDblClk);
  OnTrayNotify(tray, kTrayIconId, wm::kLButtonDblClk);
  EXPECT_FALSE(tray.icon);
  EXPECT_EQ(std::count(tray.calls.begin(), tray.calls.end(), "add"), 1);
}

TEST(WindowCommands, SystemAndTrayCommands) {
  EXPECT_EQ(ClassifySystemCommand(0x10), SystemCommandAction::kAbout);
  EXPECT_EQ(ClassifySystemCommand(0x1F), SystemCommandAction::kAbout);  // low bits are the system's
  EXPECT_EQ(ClassifySystemCommand(0x20), SystemCommandAction::kDefault);
  EXPECT_EQ(ClassifySystemCommand(0xF020), SystemCommandAction::kMinimize);
  EXPECT_EQ(ClassifySystemCommand(0xF022), SystemCommandAction::kMinimize);
  EXPECT_EQ(ClassifySystemCommand(0xF060 /* close */), SystemCommandAction::kDefault);
  EXPECT_EQ(ClassifySystemCommand(0xF120 /* restore */), SystemCommandAction::kDefault);
  EXPECT_EQ(ClassifyTrayCommand(32800), TrayCommand::kExit);
  EXPECT_EQ(ClassifyTrayCommand(32838), TrayCommand::kExit);
  EXPECT_EQ(ClassifyTrayCommand(32801), TrayCommand::kShowWindow);
  EXPECT_EQ(ClassifyTrayCommand(32837), TrayCommand::kShowWindow);
  EXPECT_EQ(ClassifyTrayCommand(32802), TrayCommand::kNone);
  EXPECT_EQ(ClassifyTrayCommand(0), TrayCommand::kNone);
}

TEST(TrayIconRetry, ARefusedAddIsRetriedForAMinuteAndStopsWhenItTakes) {
  static_assert(kTrayRetryIntervalMs <= 500 && kTrayRetryAttempts * kTrayRetryIntervalMs == 60000);
  TrayIconRetry retry;
  EXPECT_FALSE(retry.Begin(true));
  ASSERT_TRUE(retry.Begin(false));
  int retries = 1;
  while (retry.Retried(false)) ++retries;
  EXPECT_EQ(retries, kTrayRetryAttempts);  // refused throughout: a minute, then no more
  ASSERT_TRUE(retry.Begin(false));
  EXPECT_FALSE(retry.Retried(true));  // taken
  EXPECT_FALSE(retry.Pending());
}

// Records the steps of the initialisation with what they were given.
class RecordingSteps : public MainWindowSteps {
 public:
  void ClearHandOverFlags() override { calls.push_back("flags"); }
  void StartWorkerThreads() override { calls.push_back("threads"); }
  void AddAboutItemAndIcon() override { calls.push_back("about"); }
  void SetTitle(const Text& title) override { calls.push_back("title " + Narrow(title)); }
  bool LoadPageSkins(const Text& folder, int32_t language) override {
    calls.push_back("skins " + Narrow(folder) + " " + std::to_string(language));
    return skinsPresent;
  }
  void ConstructMacroControls() override { calls.push_back("controls"); }
  bool LoadWarningSkin(const Text&, int32_t) override {
    calls.push_back("warning");
    return true;
  }
  void CreateFonts() override { calls.push_back("fonts"); }
  void CutWindowShape(const Text& mask) override { calls.push_back("shape " + Narrow(mask)); }
  void LoadMacros(const Text& path) override { calls.push_back("macros " + Narrow(path)); }
  void LoadMenus(int32_t language) override {
    calls.push_back("menus " + std::to_string(language));
  }
  void WatchDevices() override { calls.push_back("watch"); }
  uint8_t SearchDevice() override {
    calls.push_back("search");
    return mousePresent;
  }
  bool DeviceComplete() override {
    calls.push_back("complete");
    return mouseComplete;
  }
  void StartDeviceWait(int ms) override { calls.push_back("await " + std::to_string(ms)); }
  void EndDeviceWait() override { calls.push_back("end wait"); }
  void ShowMainWindow() override { calls.push_back("show"); }
  void StayInTray() override { calls.push_back("tray"); }
  void ReportMissingMouse(int32_t language) override {
    calls.push_back("missing " + std::to_string(language));
  }
  void RunCloseSequence() override { calls.push_back("close"); }
  void Wait(int ms) override { calls.push_back("wait " + std::to_string(ms)); }
  void ApplyProfile() override { calls.push_back("apply"); }
  Text CommandLine() override {
    calls.push_back("command line");
    return commandLine;
  }
  bool WindowGone() override {
    // A WM_CLOSE handled inside the step's message box destroyed the window.
    return !closeDuring.empty() && std::any_of(calls.begin(), calls.end(), [&](const auto& c) {
      return c.rfind(closeDuring, 0) == 0;
    });
  }

  std::vector<std::string> calls;
  std::string closeDuring;
  bool skinsPresent = true;
  uint8_t mousePresent = 1;
  bool mouseComplete = true;
  Text commandLine = u"\"C:\\NUV\\NUV_Talv.exe\"";
};

struct InitFixture {
  explicit InitFixture(const std::string& init) {
    folder.Write("config.ini", init);
    session.applicationFolder = folder.folder();
  }
  std::string Folder() const { return Narrow(folder.folder()); }
  ScratchFolder folder;
  HostIni ini;
  MouseProfile profile;
  ConfigStore store{ini, profile};
  MainWindowSession session;
  RecordingSteps steps;
};

TEST(MainWindowInit, StepsInOrderWithTheFilesOfTheLanguage) {
  InitFixture f("[Init]\r\nCurConfig=3\r\nVER_SEL=1\r\n[Config3]\r\nDPI_LEVEL=2\r\n");
  f.steps.commandLine = u"\"C:\\NUV\\NUV_Talv.exe\" -HIDE";
  EXPECT_EQ(InitialiseMainWindow(f.session, f.store, f.steps), InitOutcome::kRunning);
  const std::string skins = f.Folder() + "\\skins";
  EXPECT_EQ(f.steps.calls, (std::vector<std::string>{
                               "flags", "threads", "about", "title QUARVEL 241-7730 GAMING MOUSE",
                               "skins " + skins + " 1", "controls", "warning", "fonts",
                               "shape " + skins + "\\main_mask.jpg",
                               "macros " + f.Folder() + "\\Macro_EN.dat", "menus 1", "command line",
                               "watch", "search", "complete", "wait 5", "apply", "tray"}));
  EXPECT_EQ(f.store.configPath, f.folder.folder() + u"\\config.ini");
  EXPECT_EQ(f.store.currentConfig.load(), 3);
  EXPECT_EQ(f.profile.dpiLevel, 2);  // the profile is loaded before the skins
  EXPECT_EQ(f.session.startHidden.load(), 1);
}

TEST(MainWindowInit, LanguageIsTheLowByteOfVerSelAndAbsentMeansTheSecondLanguage) {
  struct Case {
    const char* init;
    int32_t language;
    const char* macroFile;
  };
  const Case cases[] = {
      {"[Init]\r\nCurConfig=1\r\n", 0, "Macro_CN.dat"},
      {"[Init]\r\nVER_SEL=0\r\n", 0, "Macro_CN.dat"},
      {"[Init]\r\nVER_SEL=256\r\n", 0, "Macro_CN.dat"},
      {"[Init]\r\nVER_SEL=257\r\n", 1, "Macro_EN.dat"},
      {"[Init]\r\nVER_SEL=x\r\n", 0, "Macro_CN.dat"},
  };
  for (const Case& c : cases) {
    InitFixture f(c.init);
    InitialiseMainWindow(f.session, f.store, f.steps);
    EXPECT_EQ(f.session.uiLanguage.load(), c.language) << c.init;
    EXPECT_EQ(f.steps.calls[9], "macros " + f.Folder() + "\\" + c.macroFile) << c.init;
    // One language for the program: the reset's template choice reads the same flag.
    EXPECT_EQ(f.store.languageSelection.load(), c.language) << c.init;
    EXPECT_EQ(f.steps.calls[10], "menus " + std::to_string(c.language)) << c.init;
  }
}

TEST(MainWindowInit, MissingMouseIsReportedAndClosesWithoutApply) {
  InitFixture f("[Init]\r\nVER_SEL=1\r\n");
  f.steps.mousePresent = 0;
  f.steps.commandLine = u"x -hide";
  EXPECT_EQ(InitialiseMainWindow(f.session, f.store, f.steps), InitOutcome::kClosed);
  const std::vector<std::string> tail(f.steps.calls.end() - 3, f.steps.calls.end());
  EXPECT_EQ(tail, (std::vector<std::string>{"search", "missing 1", "close"}));
  EXPECT_EQ(f.session.startHidden.load(), 0);
}

TEST(MainWindowInit, HiddenStartWaitsSilentlyForTheWholeMouse) {
  // The mouse (present, both collections) at the start's search, then at each
  // event of the wait.
  using E = DeviceWaitEvent;
  struct Case {
    std::vector<std::tuple<E, uint8_t, bool>> mouse;
    InitOutcome outcome;
    const char* last;
  };
  const Case cases[] = {
      {{{E::kArrival, 0, false}, {E::kArrival, 1, true}}, InitOutcome::kRunning, "tray"},
      {{{E::kArrival, 1, false}, {E::kArrival, 1, false}, {E::kArrival, 1, true}},
       InitOutcome::kRunning,
       "tray"},
      {{{E::kArrival, 0, false}, {E::kArrival, 0, false}, {E::kTimeUp, 0, false}},
       InitOutcome::kClosed,
       "close"},
      // At the end the start's own rule: the mouse found at all.
      {{{E::kArrival, 1, false}, {E::kTimeUp, 1, false}}, InitOutcome::kRunning, "tray"},
      // A second start ends the wait: shown with the mouse, told without it.
      {{{E::kArrival, 0, false}, {E::kUserAsked, 1, false}}, InitOutcome::kRunning, "show"},
      {{{E::kArrival, 0, false}, {E::kUserAsked, 0, false}}, InitOutcome::kClosed, "close"},
  };
  for (const Case& c : cases) {
    InitFixture f("[Init]\r\nVER_SEL=1\r\n");
    f.steps.commandLine = u"x -HIDE";
    InitOutcome outcome = InitOutcome::kAwaitingDevice;
    for (size_t k = 0; k < c.mouse.size(); ++k) {
      const auto [event, present, complete] = c.mouse[k];
      f.steps.mousePresent = present;
      f.steps.mouseComplete = complete;
      outcome = k == 0 ? InitialiseMainWindow(f.session, f.store, f.steps)
                       : ContinueDeviceWait(f.session, f.steps, event);
      EXPECT_EQ(outcome == InitOutcome::kAwaitingDevice, k + 1 < c.mouse.size()) << k;
    }
    EXPECT_EQ(outcome, c.outcome);
    EXPECT_EQ(f.steps.calls.back(), c.last);
    const auto count = [&f](const std::string& call) {
      return std::count(f.steps.calls.begin(), f.steps.calls.end(), call);
    };
    EXPECT_EQ(count("await " + std::to_string(kDeviceWaitMs)), 1);
    EXPECT_EQ(count("end wait"), 1);
    // Nothing is shown, waiting or after, unless the user asked.
    EXPECT_EQ(count("show"), std::string(c.last) == "show" ? 1 : 0);
    // After the wait an event changes nothing.
    const size_t calls = f.steps.calls.size();
    EXPECT_EQ(ContinueDeviceWait(f.session, f.steps, E::kArrival), InitOutcome::kRunning);
    EXPECT_EQ(f.steps.calls.size(), calls);
  }
}

TEST(MainWindowInit, MissingSkinFileStopsBeforeAnythingTouchesTheClosedWindow) {
  InitFixture f("[Init]\r\nVER_SEL=1\r\n");
  f.steps.skinsPresent = false;
  EXPECT_EQ(InitialiseMainWindow(f.session, f.store, f.steps), InitOutcome::kClosed);
  EXPECT_EQ(f.steps.calls.back().rfind("skins ", 0), 0u);
  EXPECT_EQ(std::count(f.steps.calls.begin(), f.steps.calls.end(), "search"), 0);
}

TEST(MainWindowInit, WindowClosedDuringAStepEndsTheInitialisationThere) {
  // Any step from the skins on may show a message box, whose loop can close
  // the window; what follows must not touch the device or the closed window.
  for (const std::string step :
       {"skins", "controls", "warning", "fonts", "shape", "macros", "menus", "search"}) {
    InitFixture f("[Init]\r\nVER_SEL=1\r\n");
    f.steps.closeDuring = step;
    EXPECT_EQ(InitialiseMainWindow(f.session, f.store, f.steps), InitOutcome::kClosed) << step;
    EXPECT_EQ(f.steps.calls.back().rfind(step, 0), 0u) << step;
  }
}

TEST(MainWindowInit, HiddenStartOnlyWithCapitalHideAfterTheLastDash) {
  for (const auto& [line, hidden] : std::vector<std::pair<Text, int>>{
           {u"NUV_Talv.exe -HIDE", 1}, {u"NUV_Talv.exe -hide", 0}, {u"NUV_Talv.exe", 0}}) {
    InitFixture f("[Init]\r\nVER_SEL=1\r\n");
    f.steps.commandLine = line;
    InitialiseMainWindow(f.session, f.store, f.steps);
    EXPECT_EQ(f.session.startHidden.load(), hidden) << Narrow(line);
    EXPECT_EQ(f.steps.calls.back(), hidden ? "tray" : "show") << Narrow(line);
  }
}

TEST(PageChanges, ThreadsAndMacroControlsFollowThePage) {
  struct Case {
    int from, to;
    bool blinker, colour, create, destroy;
  };
  const Case cases[] = {
      {kPageMain, kPageMain, true, false, false, false},
      {kPageMain, kPageAdvanced, false, false, true, false},
      {kPageMain, kPageColour, false, true, false, false},
      {kPageAdvanced, kPageMain, true, false, false, true},
      {kPageAdvanced, kPageAdvanced, false, false, false, false},
      {kPageAdvanced, kPageColour, false, true, false, true},
      {kPageColour, kPageMain, true, false, false, false},
      {kPageColour, kPageAdvanced, false, false, true, false},
  };
  for (const Case& c : cases) {
    const PageChange p = PlanPageChange(c.from, c.to);
    EXPECT_EQ(p.startBlinker, c.blinker) << c.from << "->" << c.to;
    EXPECT_EQ(p.startColourAnimation, c.colour) << c.from << "->" << c.to;
    EXPECT_EQ(p.createMacroControls, c.create) << c.from << "->" << c.to;
    EXPECT_EQ(p.destroyMacroControls, c.destroy) << c.from << "->" << c.to;
  }
}

TEST(FileDialogFilter, PipesBecomeNullsAndTheListIsAlwaysClosed) {
  using namespace std::string_literals;
  EXPECT_EQ(SystemFileFilter(u"All Files(*.ini)|*.ini||"), u"All Files(*.ini)\0*.ini\0\0"s);
  EXPECT_EQ(SystemFileFilter(u"A|*.a|B|*.b||"), u"A\0*.a\0B\0*.b\0\0"s);
  EXPECT_EQ(SystemFileFilter(u"A|*.a"), u"A\0*.a\0\0"s);
  EXPECT_EQ(SystemFileFilter(u"A|*.a|"), u"A\0*.a\0\0"s);
  EXPECT_EQ(SystemFileFilter(u"|"), u"\0\0"s);
  EXPECT_EQ(SystemFileFilter(u""), u""s);
}

}  // namespace
}  // namespace nuv::test
