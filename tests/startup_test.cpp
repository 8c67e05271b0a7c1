#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/lifecycle.h"
#include "app/startup.h"
#include "platform/host/fake_system_settings.h"
#include "platform/host/recording_input.h"
#include "test_support.h"

namespace nuv::test {
namespace {

TEST(ApplicationFolder, CutBeforeTheLastBackslash) {
  EXPECT_EQ(ApplicationFolderFromModulePath(u"C:\\Program Files\\NUV\\NUV_Talv.exe"),
            u"C:\\Program Files\\NUV");
  EXPECT_EQ(ApplicationFolderFromModulePath(u"C:\\NUV_Talv.exe"), u"C:");
  EXPECT_EQ(ApplicationFolderFromModulePath(u"NUV_Talv.exe"), u"");
  const Text deep = u"C:\\" + Text(300, u'd') + u"\\x\\NUV_Talv.exe";
  EXPECT_EQ(ApplicationFolderFromModulePath(deep), u"C:\\" + Text(300, u'd') + u"\\x");
}

TEST(CommandLine, HiddenStartRule) {
  struct Case {
    const char* line;
    bool hidden;
  };
  const Case cases[] = {
      {"\"C:\\NUV\\NUV_Talv.exe\" -HIDE", true},
      {"\"C:\\NUV\\NUV_Talv.exe\" -hide", false},
      {"\"C:\\NUV\\NUV_Talv.exe\" -HIDEAWAY", true},
      {"\"C:\\NUV\\NUV_Talv.exe\" -HID", false},
      {"\"C:\\NUV\\NUV_Talv.exe\" -HIDE -x", false},
      {"\"C:\\NUV\\NUV_Talv.exe\"", false},
      {"HIDE", true},  // no dash: the first four characters
      {"\"C:\\NUV-Tool\\NUV_Talv.exe\"", false},
      {"-", false},
      {"", false},
  };
  for (const Case& c : cases) EXPECT_EQ(CommandLineAsksHidden(T(c.line)), c.hidden) << c.line;
}

TEST(CommandLine, TestSwitchesAreWholeArgumentsAfterTheProgramPath) {
  struct Case {
    const char* line;
    bool virtualMouse;
    std::optional<int> testPage;
  };
  const Case cases[] = {
      {"\"C:\\NUV\\NUV_Talv.exe\" -VIRTUALMOUSE -HIDE", true, std::nullopt},
      {"C:\\NUV\\NUV_Talv.exe -VIRTUALMOUSE", true, std::nullopt},
      {"\"C:\\NUV\\NUV_Talv.exe\"\t\"-VIRTUALMOUSE\"", true, std::nullopt},
      // The program's path is no argument, whatever its folders are called.
      {"\"C:\\x -VIRTUALMOUSE -TESTPAGE=1\\NUV_Talv.exe\"", false, std::nullopt},
      {"\"C:\\x -VIRTUALMOUSE\\NUV_Talv.exe\" -HIDE", false, std::nullopt},
      {"C:\\x\"dir -VIRTUALMOUSE\"\\NUV_Talv.exe", false, std::nullopt},
      {"-VIRTUALMOUSE", false, std::nullopt},
      // Exactly this spelling, as a whole argument.
      {"NUV_Talv.exe -virtualmouse", false, std::nullopt},
      {"NUV_Talv.exe -VirtualMouse", false, std::nullopt},
      {"NUV_Talv.exe -VIRTUALMOUSE2", false, std::nullopt},
      {"NUV_Talv.exe x-VIRTUALMOUSE", false, std::nullopt},
      {"NUV_Talv.exe \"-VIRTUALMOUSE -HIDE\"", false, std::nullopt},
      {"NUV_Talv.exe \\\"-VIRTUALMOUSE", false, std::nullopt},
      {"NUV_Talv.exe /VIRTUALMOUSE", false, std::nullopt},
      // The page to show at start.
      {"NUV_Talv.exe -TESTPAGE=main", false, 0},
      {"NUV_Talv.exe -VIRTUALMOUSE -TESTPAGE=advanced -HIDE", true, 1},
      {"NUV_Talv.exe -TESTPAGE=colour", false, 2},
      {"NUV_Talv.exe -TESTPAGE=2", false, 2},
      {"NUV_Talv.exe -TESTPAGE=3", false, std::nullopt},
      {"NUV_Talv.exe -TESTPAGE=Advanced", false, std::nullopt},
      {"NUV_Talv.exe -TESTPAGE=", false, std::nullopt},
      {"NUV_Talv.exe -testpage=1", false, std::nullopt},
      {"", false, std::nullopt},
  };
  for (const Case& c : cases) {
    const CommandLineSwitches s = ParseCommandLineSwitches(T(c.line));
    EXPECT_EQ(s.virtualMouse, c.virtualMouse) << c.line;
    EXPECT_EQ(s.testPage, c.testPage) << c.line;
  }
  EXPECT_TRUE(ParseCommandLineSwitches(T("NUV_Talv.exe -TESTPAINTCOUNT -HIDE")).testPaintCount);
  EXPECT_FALSE(ParseCommandLineSwitches(T("NUV_Talv.exe -TESTPAINTCOUNT=1")).testPaintCount);
}

TEST(Shutdown, CloseSequenceInOrder) {
  RecordingInput input;
  FakeSystemSettings system;
  system.pointerSpeed = 16;
  std::vector<std::string> steps;
  ShutdownSeams seams;
  seams.releaseHeld = [&] { steps.push_back("release"); };
  seams.deleteTrayIcon = [&] {
    EXPECT_EQ(input.Events().size(), 7u);
    steps.push_back("tray");
  };
  seams.sendExitCommand = [&] { steps.push_back("exit"); };
  seams.destroyWindow = [&] {
    EXPECT_EQ(system.pointerSpeed, kClosePointerSpeed);
    steps.push_back("destroy");
  };
  RunCloseSequence(input, system, seams);
  EXPECT_EQ(steps, (std::vector<std::string>{"release", "tray", "exit", "destroy"}));
  for (const auto& e : input.Events()) {
    EXPECT_EQ(e, (RecordingInput::Event{
                     RecordingInput::Event::Kind::kKey, 18, 0x38, kKeyEventKeyUp, {}}));
  }
  EXPECT_EQ(system.pointerSpeed, 10);

  // Without a readable pointer speed nothing is set, and the window still goes.
  system.readable = false;
  system.pointerSpeed = 16;
  steps.clear();
  RunCloseSequence(input, system, ShutdownSeams{});
  EXPECT_EQ(system.pointerSpeed, 16);
}

TEST(Shutdown, DeviceRemovalLeavesPointerSpeedAndAlt) {
  AtomicField<uint8_t> connected{1};
  std::vector<std::string> steps;
  ShutdownSeams seams;
  seams.releaseHeld = [&] { steps.push_back("release"); };
  seams.deleteTrayIcon = [&] { steps.push_back("tray"); };
  seams.sendExitCommand = [&] { steps.push_back("exit"); };
  seams.destroyWindow = [&] { steps.push_back("destroy"); };
  RunDeviceRemovalSequence(connected, seams);
  EXPECT_EQ(connected, 0);
  EXPECT_EQ(steps, (std::vector<std::string>{"release", "tray", "destroy"}));
}

TEST(PowerEvents, OneResendPerResumeAndNoneForBatteryChanges) {
  const uint32_t kSleep = kPowerSuspend, kAuto = kPowerResumeAutomatic, kUser = kPowerResumeSuspend,
                 kBattery = kPowerStatusChange;
  const std::pair<std::vector<uint32_t>, int> cases[] = {
      {{kBattery, kBattery, 0x8013, kSleep}, 0},
      {{kSleep, kAuto, kUser}, 1},
      {{kSleep, kUser}, 1},                // no automatic resume
      {{kSleep, kUser, kAuto, kAuto}, 1},  // the other order, one heard twice
      {{kAuto, kUser, kBattery, kSleep, kAuto}, 2},
  };
  for (const auto& [events, expected] : cases) {
    ResumeFilter filter;
    int resends = 0;
    for (uint32_t event : events) resends += filter.IsNewResume(event) ? 1 : 0;
    EXPECT_EQ(resends, expected) << events.size();
  }
}

TEST(Sessions, OnlyTheConsolesSessionActs) {
  using S = SessionStep;
  struct Case {
    bool atConsole;
    std::vector<std::pair<uint32_t, S>> changes;
    uint8_t acting;
  };
  const Case cases[] = {
      {false, {}, 0},
      {true, {{kSessionLock, S::kNone}, {kSessionUnlock, S::kNone}}, 1},
      {true,
       {{kSessionConsoleDisconnect, S::kBecamePassive},
        {kSessionConsoleConnect, S::kResendLastApplied}},
       1},
      {true, {{kSessionRemoteConnect, S::kBecamePassive}, {kSessionRemoteDisconnect, S::kNone}}, 0},
  };
  for (const Case& c : cases) {
    AtomicField<uint8_t> acting{1};
    SessionActivity session(acting);
    session.Start(c.atConsole);
    for (const auto& [change, step] : c.changes) EXPECT_EQ(session.OnSessionChange(change), step);
    EXPECT_EQ(acting, c.acting);
  }
}

TEST(TextHelpers, ParseIntAndConversions) {
  struct Case {
    const char* text;
    int32_t value;
  };
  const Case cases[] = {{"42", 42},
                        {"-7", -7},
                        {"+3", 3},
                        {" 12x", 12},
                        {"x12", 0},
                        {"", 0},
                        {"-", 0},
                        {"99999999999", 2147483647},
                        {"-99999999999", -2147483647 - 1},
                        {"0007", 7}};
  for (const Case& c : cases) EXPECT_EQ(ParseInt(T(c.text)), c.value) << c.text;
  EXPECT_EQ(FormatInt(-15), u"-15");
  EXPECT_EQ(Narrow(Widen("Configuração ✓ 😀")), "Configuração ✓ 😀");
  EXPECT_EQ(Widen("\xFF").size(), 1u);
  EXPECT_TRUE(EqualsIgnoreCase(u"CONFIGURAÇÃO", u"configuração"));
  EXPECT_FALSE(EqualsIgnoreCase(u"Config1", u"Config10"));
}

}  // namespace
}  // namespace nuv::test
