// The input reader's hand-over and the host action executor, wired to the
// virtual mouse as the program wires them, with recorded input and shell.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/host/host_clock.h"
#include "test_support.h"
#include "tests/host_program.h"

namespace nuv::test {
namespace {

using Event = RecordingInput::Event;
using Kind = RecordingInput::Event::Kind;

Event Key(uint8_t vk, uint8_t scan, uint32_t flags) { return {Kind::kKey, vk, scan, flags, {}}; }
Event Mouse(uint32_t flags) { return {Kind::kMouse, 0, 0, flags, {}}; }

class HostActionsTest : public testing::Test {
 protected:
  HostActionsTest() {
    store.configPath = dir.Path("config.ini");
    store.currentConfig = 2;
    ResetToFactory(profile);
    program.core.connection.Search();
    reader.repaint = [this] { ++repaints; };
    executor.repaint = [this] { ++repaints; };
  }

  // What the mouse sends for a press of profile button i.
  static std::vector<uint8_t> PressOf(int button) {
    return {5, static_cast<uint8_t>(0xF0 + kDeviceButtonNumber[static_cast<size_t>(button - 1)])};
  }

  // Gives button i a function as an apply would, then performs a press of it.
  void Press(int button, int32_t code) {
    profile.buttons[static_cast<size_t>(button - 1)] = code;
    profile.dpiStepRole[static_cast<size_t>(button - 1)] = DpiStepRole(code);
    handover.RequestAction(PressOf(button)[1]);
    ASSERT_TRUE(executor.RunOnce());
  }

  std::vector<uint8_t> LastReport() {
    const auto all = mouse.ReceivedFeatureReports();
    return all.empty() ? std::vector<uint8_t>{} : all.back();
  }
  std::vector<uint8_t> DpiReport(uint8_t level, uint8_t value, uint8_t led) {
    std::vector<uint8_t> r(VirtualMouse::kFeatureReportLength, 0);
    r[0] = 7, r[1] = 0x09, r[2] = level, r[3] = DpiLedByte(value, led);
    return r;
  }
  void SetLevels(std::array<uint8_t, 4> enabled, int32_t current) {
    for (size_t i = 0; i < 4; ++i) profile.dpiEnabled[i] = enabled[i];
    profile.dpiLevel = current;
  }
  std::string Get(const char* section, const char* key) {
    return Narrow(ini.GetString(store.configPath, T(section), T(key), 64));
  }

  ScratchFolder dir;
  HostProgram<> program;
  VirtualMouse& mouse = program.mouse;
  HostIni& ini = program.ini;
  RecordingInput& input = program.input;
  RecordingShell& shell = program.shell;
  FakeClock& clock = program.clock;
  MouseProfile& profile = program.core.profile;
  ConfigStore& store = program.core.store;
  MacroStore& macros = program.core.macros;
  AttentionState& attention = program.core.attention;
  ProfileApplier& applier = program.core.applier;
  HostHandover& handover = program.core.handover;
  InputReader& reader = program.core.reader;
  HostActionExecutor& executor = program.core.executor;
  int repaints = 0;
};

TEST_F(HostActionsTest, ReaderHandOverFollowsAttentionAndHoldMode) {
  struct Step {
    const char* what;
    std::vector<uint8_t> report;
    int32_t pending, release;
  };
  struct Case {
    const char* name;
    uint8_t armed;
    int32_t holdMode;
    std::vector<Step> steps;
    uint8_t acting = 1;
  };
  const Case cases[] = {
      {"press while disarmed starts nothing", 0, 0, {{"press", {5, 0xF1}, 0, 0}}},
      {"two presses, hold mode 0: the second asks to stop",
       1,
       0,
       {{"first", {5, 0xF4}, 1, 0}, {"second", {5, 0xF4}, 1, 1}}},
      {"release with hold mode 0 changes nothing", 1, 0, {{"release", {5, 0}, 0, 0}}},
      {"release with hold mode 1 asks to stop", 1, 1, {{"release", {5, 0}, 0, 1}}},
      {"codes of 240 and below are ignored",
       1,
       1,
       {{"240", {5, 0xF0}, 0, 0}, {"100", {5, 100}, 0, 0}, {"1", {5, 1}, 0, 0}}},
      {"ready report while armed is a release", 1, 1, {{"ready", {6, 0}, 0, 1}}},
      {"second press with hold mode 1 does not stop",
       1,
       1,
       {{"first", {5, 0xF3}, 1, 0}, {"second", {5, 0xF8}, 1, 0}}},
      {"a copy away from the console leaves presses to the one at it",
       1,
       1,
       {{"press", {5, 0xF1}, 0, 0}, {"release", {5, 0}, 0, 0}},
       0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    attention.armed = c.armed;
    profile.macroHoldMode = c.holdMode;
    program.core.link.acting = c.acting;
    handover.Finish();
    for (const Step& s : c.steps) {
      reader.HandleReport(s.report);
      EXPECT_EQ(handover.actionPending, s.pending) << s.what;
      EXPECT_EQ(handover.releaseFlag, s.release) << s.what;
    }
  }
  // The first press's code stays while it is pending.
  program.core.link.acting = 1;
  attention.armed = 1;
  handover.Finish();
  reader.HandleReport(std::vector<uint8_t>{5, 0xF6});
  reader.HandleReport(std::vector<uint8_t>{5, 0xF8});
  EXPECT_EQ(handover.actionCode, 0xF6);
}

TEST_F(HostActionsTest, ReadyReportRearmsAndTheNextPressStarts) {
  attention.armed = 0;
  attention.blinkRequested = 1;
  attention.blinkPhase = 1;
  reader.HandleReport(std::vector<uint8_t>{5, 0xF8});
  EXPECT_EQ(handover.actionPending, 0);
  reader.HandleReport(std::vector<uint8_t>{6, 0});
  EXPECT_EQ(attention.armed, 1);
  EXPECT_EQ(attention.blinkRequested, 0);
  EXPECT_EQ(attention.blinkPhase, 0);
  EXPECT_EQ(repaints, 1);
  reader.HandleReport(std::vector<uint8_t>{5, 0xF8});
  EXPECT_EQ(handover.actionPending, 1);
  // After the executor has finished, a third press starts again.
  executor.RunOnce();
  EXPECT_EQ(handover.actionPending, 0);
  reader.HandleReport(std::vector<uint8_t>{5, 0xF8});
  EXPECT_EQ(handover.actionPending, 1);
}

TEST_F(HostActionsTest, ReaderReadsTheMouseThroughTheHidPort) {
  applier.ApplyProfile();  // buttons 6 and 7 are host-handled: disarmed until ready
  EXPECT_EQ(attention.armed, 0);
  // The virtual mouse sends its ready report a moment after the apply.
  for (int i = 0; i < 200 && !attention.armed; ++i) reader.ReadOnce();
  ASSERT_EQ(attention.armed, 1);
  mouse.PressButton(8);  // profile button 7: DPI up
  reader.ReadOnce();
  EXPECT_EQ(handover.actionPending, 1);
  EXPECT_EQ(handover.actionCode, 0xF8);
  EXPECT_TRUE(executor.RunOnce());
  EXPECT_EQ(profile.dpiLevel, 1);
}

TEST_F(HostActionsTest, ReaderBacksOffWhileReadsFailAndReadsANewHandleAtOnce) {
  using std::chrono::milliseconds;
  DeviceLink lost;  // no collection open: every read fails at once
  InputReader idle(mouse, lost, attention, handover, profile, clock);
  for (int i = 0; i < 11; ++i) idle.ReadOnce();
  std::vector<ClockPort::Clock::duration> expected;
  for (int ms : {4, 8, 16, 32, 64, 128, 256, 512, 1000, 1000, 1000}) {
    expected.push_back(milliseconds(ms));
  }
  EXPECT_EQ(clock.Sleeps(), expected);

  lost.readHandle = program.core.link.readHandle.load();
  lost.inputReportLength = program.core.link.inputReportLength.load();
  mouse.SendInputReport(std::vector<uint8_t>{5, 0xF8});
  idle.ReadOnce();
  EXPECT_EQ(clock.Sleeps().back(), milliseconds(2));
  EXPECT_EQ(handover.actionPending, 1);
}

TEST_F(HostActionsTest, DpiStepsResendTheLevelAndSaveIt) {
  struct Case {
    const char* name;
    std::array<uint8_t, 4> enabled;
    int32_t current;
    int32_t code;
    int32_t expected;
  };
  const Case cases[] = {
      {"down at level 0 stays", {1, 1, 1, 1}, 0, kFnDpiDown, 0},
      {"up at level 3 stays", {1, 1, 1, 1}, 3, kFnDpiUp, 3},
      {"cycle wraps to 0", {1, 0, 1, 0}, 2, kFnDpiCycle, 0},
      {"up finds nothing above 2", {1, 0, 1, 0}, 2, kFnDpiUp, 2},
      {"down skips a disabled level", {1, 0, 1, 0}, 2, kFnDpiDown, 0},
      {"cycle skips disabled levels", {1, 0, 0, 1}, 0, kFnDpiCycle, 3},
      {"cycle with nothing enabled stays", {0, 0, 0, 0}, 1, kFnDpiCycle, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetLevels(c.enabled, c.current);
    const size_t before = mouse.ReceivedFeatureReports().size();
    Press(6, c.code);
    EXPECT_EQ(profile.dpiLevel, c.expected);
    EXPECT_EQ(mouse.ReceivedFeatureReports().size(), before + 1);
    EXPECT_EQ(LastReport(), DpiReport(static_cast<uint8_t>(c.expected),
                                      profile.appliedDpiValue[static_cast<size_t>(c.expected)], 0));
    EXPECT_EQ(Get("Config2", "DPI_LEVEL"), std::to_string(c.expected));
    EXPECT_EQ(handover.actionPending, 0);
  }
}

TEST_F(HostActionsTest, LedSwitchAndItsOverrideSurvivingAnApply) {
  profile.ledMode = 2;
  applier.ApplyProfile();
  profile.ledOverride = profile.appliedLedMode;
  Press(3, kFnLedSwitch);
  EXPECT_EQ(profile.ledOverride, 3);
  EXPECT_EQ(LastReport(), DpiReport(0, 1, 3));
  Press(3, kFnLedSwitch);
  EXPECT_EQ(profile.ledOverride, 2);
  EXPECT_EQ(LastReport(), DpiReport(0, 1, 2));

  Press(3, kFnLedSwitch);  // off again
  applier.ApplyProfile();  // sends the LED mode, but the override stays
  EXPECT_EQ(LastReport()[1], kCommandFireTime);
  EXPECT_EQ(profile.ledOverride, 3);
  Press(7, kFnDpiUp);
  EXPECT_EQ(LastReport(), DpiReport(1, 2, 3));
}

TEST_F(HostActionsTest, ProfileSwitchWrapsLoadsAndApplies) {
  for (int slot = 1; slot <= 5; ++slot) {
    ini.SetString(store.configPath, u"Config" + FormatInt(slot), u"FIRE_TIME",
                  FormatInt(100 + slot));
  }
  struct Case {
    int32_t from, to;
  };
  for (const Case c : {Case{5, 1}, Case{0, 1}, Case{3, 4}, Case{9, 1}}) {
    store.currentConfig = c.from;
    Press(1, kFnNextProfile);
    EXPECT_EQ(store.currentConfig, c.to);
    EXPECT_EQ(profile.fireTime, 100 + c.to);
    EXPECT_EQ(Get("Init", "CurConfig"), std::to_string(c.to)) << "applied";
    EXPECT_EQ(LastReport()[1], kCommandFireTime);
  }
}

TEST_F(HostActionsTest, ShortcutsMuteAndShell) {
  // Ctrl and Alt carry the keyboard's codes too, as games read them.
  Press(1, kFnCopy);
  EXPECT_EQ(input.Events(),
            (std::vector<Event>{Key(0x11, 0x1D, 0), Key('C', 'C', 0), Key('C', 'C', kKeyEventKeyUp),
                                Key(0x11, 0x1D, kKeyEventKeyUp)}));
  EXPECT_EQ(clock.Sleeps(), std::vector<ClockPort::Clock::duration>{std::chrono::milliseconds(20)});

  input.Clear();
  Press(1, kFnCloseWindow);
  EXPECT_EQ(input.Events(),
            (std::vector<Event>{Key(0x12, 0x38, 0), Key(0x73, 0x73, 0),
                                Key(0x73, 0x73, kKeyEventKeyUp), Key(0x12, 0x38, kKeyEventKeyUp)}));
  EXPECT_EQ(clock.Sleeps().size(), 1u) << "no pause in Alt+F4";

  input.Clear();
  Press(1, kFnVolumeMute);
  EXPECT_EQ(input.Events(),
            (std::vector<Event>{Key(0xAD, 0x20, kKeyEventExtendedKey),
                                Key(0xAD, 0x20, kKeyEventExtendedKey | kKeyEventKeyUp)}))
      << "down and up: nothing stays held";

  for (int32_t code : {kFnOpenDrives, kFnLockWorkstation, kFnCalculator, kFnCommandPrompt}) {
    Press(1, code);
  }
  EXPECT_EQ(shell.drivesOpened, 1);
  EXPECT_EQ(shell.locks, 1);
  EXPECT_EQ(shell.calculators, 1);
  EXPECT_EQ(shell.commandPrompts, 1);

  input.Clear();
  for (int32_t code : {0, 2, 20, 27, 41, 52, 53, -5}) Press(1, code);  // no macros stored
  EXPECT_TRUE(input.Events().empty());
}

MacroRecord Recorded() {
  MacroRecord m = MacroRecord::Named(u"Mixed");
  const std::vector<MacroEvent> events = {
      {0xA0, 1}, {'A', 1},  {'A', 2},  {0xA0, 2}, {0x27, 1}, {0x27, 2}, {0x2C, 1},
      {0x13, 1}, {0x5B, 1}, {0x5B, 2}, {0xA1, 1}, {0x5C, 1}, {0x03, 1}, {0xAD, 2},
      {0xB3, 1}, {0xA5, 1}, {0x90, 1}, {0xC1, 1}, {240, 1},  {240, 2},  {241, 1},
      {241, 2},  {242, 1},  {243, 2},  {'B', 0},
  };
  m.eventCount = static_cast<uint8_t>(events.size());
  for (size_t k = 0; k < events.size(); ++k) {
    m.events[k] = events[k];
    m.SetDelay(static_cast<int>(k) + 1, static_cast<uint16_t>(10 * (k + 1)));
  }
  return m;
}

// Each key with the scan code and extended flag the keyboard sends for it:
// the layout's for a character ('A' is 0x41 in the stand-in layout, 0xC1 an
// extended key of the layout), fixed ones for the keys that are the same on
// every keyboard.
TEST_F(HostActionsTest, MacroPlaysEventsWithFlagsScanCodesAndPauses) {
  macros.Write(0, Recorded());
  macros.SetCount(1);
  input.extendedInLayout = {0xC1};
  Press(2, kFnFirstMacro);
  constexpr uint32_t kExt = kKeyEventExtendedKey, kUp = kKeyEventKeyUp;
  const std::vector<Event> expected = {
      Key(0xA0, 0x2A, 0),           Key('A', 0x41, 0),
      Key('A', 0x41, kUp),          Key(0xA0, 0x2A, kUp),
      Key(0x27, 0x4D, kExt),        Key(0x27, 0x4D, kExt | kUp),
      Key(0x2C, 0x37, kExt),        Key(0x13, 0x45, 0),  // Pause: not E1 1D, which is right Ctrl
      Key(0x5B, 0x5B, kExt),        Key(0x5B, 0x5B, kExt | kUp),
      Key(0xA1, 0x36, 0),           Key(0x5C, 0x5C, kExt),  // right Shift is not extended
      Key(0x03, 0x46, kExt),        Key(0xAD, 0x20, kExt | kUp),
      Key(0xB3, 0x22, kExt),        Key(0xA5, 0x38, kExt),
      Key(0x90, 0x45, kExt),        Key(0xC1, 0x41, kExt),
      Mouse(kMouseEventLeftDown),   Mouse(kMouseEventLeftUp),
      Mouse(kMouseEventRightDown),  Mouse(kMouseEventRightUp),
      Mouse(kMouseEventMiddleDown), Mouse(kMouseEventMiddleUp),
  };
  EXPECT_EQ(input.Events(), expected);
  const auto sleeps = clock.Sleeps();
  ASSERT_EQ(sleeps.size(), 25u) << "one pause after every event, direction 0 included";
  for (size_t k = 0; k < sleeps.size(); ++k) {
    EXPECT_EQ(sleeps[k], std::chrono::milliseconds(10 * (k + 1)));
  }
}

TEST_F(HostActionsTest, MacroRepetitionsAndEarlyStop) {
  MacroRecord m = MacroRecord::Named(u"Tap");
  m.eventCount = 2;
  m.events[0] = {'X', 1};
  m.events[1] = {'X', 2};
  m.SetDelay(1, 5);
  m.SetDelay(2, 5);

  struct Case {
    const char* name;
    uint8_t repeatMode;
    uint16_t repeatCount;
    int32_t holdMode;
    int releaseAfterSleeps;  // 0: never
    size_t expectedEvents;
  };
  const Case cases[] = {
      {"play once", 0, 7, 0, 0, 2},
      {"repeat count", 1, 3, 0, 0, 6},
      {"repeat mode with count 0 plays nothing", 1, 0, 0, 0, 0},
      // Both end after an X down, which the early end releases.
      {"hold mode repeats until release", 1, 0, 1, 9, 10},
      {"a second press stops after the current event", 1, 50, 0, 3, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    m.repeatMode = c.repeatMode;
    m.SetRepeatCount(c.repeatCount);
    macros.Write(4, m);
    macros.SetCount(5);
    profile.macroHoldMode = c.holdMode;
    input.Clear();
    int sleeps = 0;
    clock.duringSleep = [&] {
      if (++sleeps == c.releaseAfterSleeps) handover.releaseFlag = 1;
    };
    Press(5, kFnFirstMacro + 4);
    EXPECT_EQ(input.Events().size(), c.expectedEvents);
    EXPECT_EQ(handover.releaseFlag, 0) << "cleared when the action ends";
  }
  clock.duringSleep = nullptr;

  // A macro code past the macro count plays nothing.
  macros.SetCount(4);
  input.Clear();
  Press(5, kFnFirstMacro + 4);
  EXPECT_TRUE(input.Events().empty());
}

// When each event is sent, on the fake clock, counted from the first.
TEST_F(HostActionsTest, PausesCountFromWhenEachSendBeganAndALateEventKeepsThePauseAfterIt) {
  using std::chrono::milliseconds;
  MacroRecord m = MacroRecord::Named(u"Timed");
  m.eventCount = 3;
  m.events[0] = {'X', 1};
  m.events[1] = {'X', 2};
  m.events[2] = {'Y', 1};
  for (int k = 1; k <= 3; ++k) m.SetDelay(k, static_cast<uint16_t>(k == 2 ? 100 : 50));
  macros.Write(0, m);
  macros.SetCount(1);
  struct Case {
    const char* name;
    int sendMs;     // what every send costs
    int lateSleep;  // this sleep (1-based) wakes late ...
    int lateMs;     // ... by this much
    std::vector<int> sentAt;
  };
  const Case cases[] = {
      {"sends cost nothing", 0, 0, 0, {0, 50, 150}},
      // The first send's cost starts the schedule; later ones do not add up.
      {"the cost of a send does not add up", 3, 0, 0, {0, 53, 153}},
      {"a late wake moves the rest back, the pause after it whole", 1, 1, 20, {0, 71, 171}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<ClockPort::Clock::time_point> sent;
    input.duringEvent = [&] {
      sent.push_back(clock.Now());
      clock.Advance(milliseconds(c.sendMs));
    };
    int sleeps = 0;
    clock.duringSleep = [&] {
      if (++sleeps == c.lateSleep) clock.Advance(milliseconds(c.lateMs));
    };
    Press(1, kFnFirstMacro);
    std::vector<int> at;
    for (const auto& t : sent) {
      at.push_back(
          static_cast<int>(std::chrono::duration_cast<milliseconds>(t - sent.front()).count()));
    }
    EXPECT_EQ(at, c.sentAt);
  }
  input.duringEvent = nullptr;
  clock.duringSleep = nullptr;
}

TEST_F(HostActionsTest, AReleaseWhileNothingRunsDoesNotStopTheNextMacro) {
  MacroRecord m = MacroRecord::Named(u"Tap");
  m.eventCount = 2;
  m.events[0] = {'X', 1};
  m.events[1] = {'X', 2};
  m.repeatMode = 1;
  m.SetRepeatCount(1);
  macros.Write(0, m);
  macros.SetCount(1);
  // Hold mode: every release report raises the release flag, running or not.
  profile.macroHoldMode = 1;
  const std::vector<uint8_t> release = {5, 0};
  reader.HandleReport(release);
  profile.macroHoldMode = 0;
  Press(1, kFnFirstMacro);
  EXPECT_EQ(input.Events().size(), 2u) << "X down and X up: the key is not left down";
}

TEST_F(HostActionsTest, AnEarlyEndReleasesWhatThePlaybackHolds) {
  MacroRecord m = MacroRecord::Named(u"Chord");
  const MacroEvent events[] = {{'A', 1}, {kLeftButtonKey, 1}, {'B', 1}, {'B', 2},
                               {'A', 2}, {kLeftButtonKey, 2}};
  m.eventCount = 6;
  for (int k = 0; k < 6; ++k) m.events[k] = events[k];
  macros.Write(0, m);
  macros.SetCount(1);
  int sleeps = 0;
  clock.duringSleep = [&] {
    if (++sleeps == 4) handover.releaseFlag = 1;  // after B up
  };
  Press(1, kFnFirstMacro);
  clock.duringSleep = nullptr;
  const auto scan = [this](uint8_t vk) {
    return static_cast<uint8_t>(input.MapVirtualKeyToScanCode(vk));
  };
  EXPECT_EQ(input.Events(), (std::vector<Event>{
                                Key('A', scan('A'), 0),
                                Mouse(kMouseEventLeftDown),
                                Key('B', scan('B'), 0),
                                Key('B', scan('B'), kKeyEventKeyUp),
                                Mouse(kMouseEventLeftUp),  // still held: latest first
                                Key('A', scan('A'), kKeyEventKeyUp),
                            }));
}

// The close after a fault runs on another thread while the executor may hold
// keys: each held key and button is let go once, as it was pressed (scan code,
// extended flag), whether a playback or a shortcut holds it.
TEST_F(HostActionsTest, TheCloseAfterAFaultLetsGoOfEachHeldKeyOnce) {
  MacroRecord m = MacroRecord::Named(u"Held");
  const MacroEvent events[] = {{0x2E, 1}, {kLeftButtonKey, 1}, {'B', 1}, {'B', 1}, {'B', 2}};
  m.eventCount = 5;
  for (int k = 0; k < 5; ++k) m.events[k] = events[k];
  macros.Write(0, m);
  macros.SetCount(1);
  const auto scan = [this](uint8_t vk) {
    return static_cast<uint8_t>(input.MapVirtualKeyToScanCode(vk));
  };
  struct Case {
    int32_t function;
    int faultAtSleep;
    std::vector<Event> released;
  };
  const Case cases[] = {
      {kFnFirstMacro,
       5,
       {Key(0x2E, 0x53, kKeyEventExtendedKey | kKeyEventKeyUp), Key('B', scan('B'), kKeyEventKeyUp),
        Mouse(kMouseEventLeftUp)}},
      {kFnCopy, 1, {Key(0x11, 0x1D, kKeyEventKeyUp), Key('C', scan('C'), kKeyEventKeyUp)}},
  };
  for (const Case& c : cases) {
    std::vector<Event> released;
    size_t again = 1;
    int sleeps = 0;
    clock.duringSleep = [&] {
      if (++sleeps != c.faultAtSleep) return;
      input.Clear();
      executor.ReleaseHeldKeys();
      released = input.Events();
      executor.ReleaseHeldKeys();
      again = input.Events().size() - released.size();
    };
    Press(1, c.function);
    EXPECT_EQ(released, c.released) << c.function;
    EXPECT_EQ(again, 0u) << c.function;
  }
  clock.duringSleep = nullptr;
}

TEST_F(HostActionsTest, AwayFromTheConsoleNothingIsPerformedAndAPlaybackEnds) {
  MacroRecord m = MacroRecord::Named(u"Long");
  m.eventCount = 2;
  m.events[0] = {'A', 1};
  m.events[1] = {'A', 2};
  macros.Write(0, m);
  macros.SetCount(1);
  clock.duringSleep = [this] { program.core.link.acting = 0; };
  Press(1, kFnFirstMacro);
  const auto scan = static_cast<uint8_t>(input.MapVirtualKeyToScanCode('A'));
  EXPECT_EQ(input.Events(),
            (std::vector<Event>{Key('A', scan, 0), Key('A', scan, kKeyEventKeyUp)}));
  const size_t reports = mouse.ReceivedFeatureReports().size();
  for (const int32_t code : {kFnCalculator, kFnCopy, kFnDpiUp, kFnFirstMacro}) Press(2, code);
  EXPECT_EQ(shell.calculators, 0);
  EXPECT_EQ(input.Events().size(), 2u);
  EXPECT_EQ(mouse.ReceivedFeatureReports().size(), reports);
}

TEST_F(HostActionsTest, PlaybackUsesTheRecordAsItWasWhenItStarted) {
  MacroRecord m = MacroRecord::Named(u"Long");
  m.eventCount = 4;
  for (int k = 0; k < 4; ++k) m.events[k] = {static_cast<uint8_t>('A' + k), 1};
  macros.Write(0, m);
  macros.SetCount(1);
  clock.duringSleep = [&] { macros.Write(0, MacroRecord::Named(u"Replaced")); };
  Press(1, kFnFirstMacro);
  EXPECT_EQ(input.Events().size(), 4u);
}

// The reader, the executor and a thread that edits the profile and the macros
// run together against the virtual mouse; run under ThreadSanitizer.
TEST(HostActionsConcurrency, ReaderExecutorAndEditsTogether) {
  ScratchFolder dir;
  HostProgram<HostClock> program(VirtualMouseOptions{{}, {}, std::chrono::milliseconds(1), {}});
  VirtualMouse& mouse = program.mouse;
  ProgramCore& core = program.core;
  MouseProfile& profile = core.profile;
  MacroStore& macros = core.macros;
  ASSERT_EQ(core.connection.Search(), 1);
  core.store.configPath = dir.Path("config.ini");
  core.store.currentConfig = 1;
  ResetToFactory(profile);
  MacroRecord tap = MacroRecord::Named(u"Tap");
  tap.eventCount = 2;
  tap.events[0] = {'Q', 1};
  tap.events[1] = {'Q', 2};
  tap.SetDelay(1, 1);
  macros.Write(0, tap);
  macros.SetCount(1);
  InputReader& reader = core.reader;
  HostActionExecutor& executor = core.executor;
  HostHandover& handover = core.handover;
  ProfileApplier& applier = core.applier;
  profile.buttons[5] = kFnFirstMacro;  // mouse button 6
  profile.buttons[6] = kFnDpiCycle;    // mouse button 8
  profile.buttons[2] = kFnLedSwitch;   // mouse button 3
  applier.ApplyProfile();

  std::atomic<bool> stop{false};
  std::thread reading([&] {
    while (!stop) reader.ReadOnce();
  });
  std::thread executing([&] {
    while (!stop) {
      handover.WaitForAction(std::chrono::milliseconds(2));
      executor.RunOnce();
    }
  });
  std::thread editing([&] {
    for (int i = 0; !stop; ++i) {
      ToggleDpiLevelEnabled(profile, i % 4);
      macros.Write(0, i % 2 ? tap : MacroRecord::Named(u"Other"));
      profile.macroHoldMode = i % 3 == 0;
      std::this_thread::sleep_for(std::chrono::microseconds(300));
    }
  });
  for (int i = 0; i < 150; ++i) {
    mouse.PressButton(i % 3 == 0 ? 6 : i % 3 == 1 ? 8 : 3);
    std::this_thread::sleep_for(std::chrono::microseconds(700));
    mouse.ReleaseButton();
    std::this_thread::sleep_for(std::chrono::microseconds(700));
  }
  stop = true;
  mouse.Unplug();  // a reader blocked in a read returns
  reading.join();
  executing.join();
  editing.join();
  EXPECT_GE(profile.dpiLevel, 0);
  EXPECT_LE(profile.dpiLevel, 3);
}

}  // namespace
}  // namespace nuv::test
