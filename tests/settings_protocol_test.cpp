#include "settings/settings_protocol.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "platform/host/fake_system_settings.h"
#include "platform/host/host_ini.h"
#include "platform/virtual/virtual_mouse.h"
#include "test_support.h"

namespace nuv::test {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Report(uint8_t command, uint8_t first, uint8_t second) {
  Bytes r(VirtualMouse::kFeatureReportLength, 0);
  r[0] = 7;
  r[1] = command;
  r[2] = first;
  r[3] = second;
  return r;
}

// The program's side wired to the virtual mouse, as at start-up.
class ApplyTest : public testing::Test {
 protected:
  ApplyTest()
      : connection(mouse, link),
        sender(mouse, link),
        store(ini, profile),
        applier(profile, store, sender, system, attention) {
    store.configPath = dir.Path("config.ini");
    store.currentConfig = 2;
    ResetToFactory(profile);
    applier.seams.startBlinker = [this] { steps.push_back("blinker"); };
    applier.seams.repaint = [this] {
      steps.push_back("repaint after " + std::to_string(mouse.ReceivedFeatureReports().size()));
      setCallsAtRepaint = system.setCalls;
    };
  }

  std::string Get(const char* section, const char* key) {
    return Narrow(ini.GetString(store.configPath, T(section), T(key), 64));
  }

  ScratchFolder dir;
  VirtualMouse mouse;
  DeviceLink link;
  DeviceConnection connection;
  FeatureReportSender sender;
  HostIni ini;
  MouseProfile profile;
  ConfigStore store;
  FakeSystemSettings system;
  AttentionState attention;
  ProfileApplier applier;
  std::vector<std::string> steps;
  int setCallsAtRepaint = -1;
};

TEST_F(ApplyTest, FactoryProfileOnTheWire) {
  ASSERT_EQ(connection.Search(), 1);
  applier.ApplyProfile();
  const std::vector<Bytes> expected = {
      Report(0x10, 1, 1),    Report(0x10, 2, 2),    Report(0x10, 3, 3),    Report(0x10, 5, 5),
      Report(0x10, 4, 4),    Report(0x10, 6, 0x1F), Report(0x10, 8, 0x1F), Report(0x11, 0, 0),
      Report(0x09, 0, 0x90), Report(0x12, 6, 0),
  };
  EXPECT_EQ(mouse.ReceivedFeatureReports(), expected);
  const VirtualFirmwareState firmware = mouse.Firmware();
  EXPECT_EQ(firmware.buttonFunction[8], 0x1F);
  EXPECT_EQ(firmware.dpiLedByte, 0x90);
  EXPECT_EQ(firmware.fireTimeUnits, 6);

  // Buttons 6 and 7 are host-handled: 6 gets the attention, once.
  EXPECT_EQ(attention.armed, 0);
  EXPECT_EQ(attention.button, 6);
  EXPECT_EQ(attention.blinkPhase, 1);
  EXPECT_EQ(attention.blinkRequested, 1);
  // The repaint comes after the DPI report, before the Windows settings.
  EXPECT_EQ(steps, (std::vector<std::string>{"blinker", "repaint after 9"}));
  EXPECT_EQ(setCallsAtRepaint, 0);
  EXPECT_EQ(profile.dpiStepRole[5], -1);
  EXPECT_EQ(profile.dpiStepRole[6], 1);
  EXPECT_EQ(profile.dpiStepRole[0], 0);

  // Pointer speed index 4 -> 8, wheel speed 2 -> 3 lines.
  EXPECT_EQ(system.pointerSpeed, 8);
  EXPECT_EQ(profile.appliedPointerSpeed, 8);
  EXPECT_EQ(system.wheelLines, 3);
  EXPECT_EQ(Get("Init", "CurConfig"), "2");
  EXPECT_EQ(Get("Config6", "K7"), "17");
  EXPECT_EQ(Get("Config2", "FIRE_TIME"), "50");
}

TEST_F(ApplyTest, AttentionStaysArmedWithoutHostHandledButtons) {
  ASSERT_EQ(connection.Search(), 1);
  profile.buttons[5] = 11;  // device function 7
  profile.buttons[6] = 25;  // device function 17
  attention.armed = 0;      // waiting for a ready report from an earlier apply
  applier.ApplyProfile();
  EXPECT_EQ(attention.armed, 1);
  EXPECT_EQ(attention.button, 0);
  EXPECT_EQ(mouse.ReceivedFeatureReports()[5], Report(0x10, 6, 7));
  EXPECT_EQ(mouse.ReceivedFeatureReports()[6], Report(0x10, 8, 17));
  EXPECT_EQ(steps, (std::vector<std::string>{"repaint after 9"}));
}

TEST_F(ApplyTest, BlinkerIsNotStartedAgainUntilTheReadyReport) {
  ASSERT_EQ(connection.Search(), 1);
  applier.ApplyProfile();
  applier.ApplyProfile();  // no ready report in between
  EXPECT_EQ(std::count(steps.begin(), steps.end(), "blinker"), 1);
  attention.blinkRequested = 0;  // what the input reader does on the ready report
  profile.buttons[0] = 40;       // button 1 host-handled: it is the first now
  applier.ApplyProfile();
  EXPECT_EQ(std::count(steps.begin(), steps.end(), "blinker"), 2);
  EXPECT_EQ(attention.button, 1);
}

TEST_F(ApplyTest, ParametersOfTheLaterReports) {
  ASSERT_EQ(connection.Search(), 1);
  struct Case {
    int32_t fireTime;
    uint8_t fireByte;
    uint8_t pointerIndex;
    int windowsSpeed;
  };
  const Case cases[] = {{7, 0, 9, 18}, {300, 0x25, 0, 1}, {8, 1, 5, 10}, {0, 0, 1, 2}};
  for (const Case& c : cases) {
    profile.fireTime = c.fireTime;
    profile.pointerSpeed = c.pointerIndex;
    applier.ApplyProfile();
    EXPECT_EQ(mouse.ReceivedFeatureReports().back(), Report(0x12, c.fireByte, 0)) << c.fireTime;
    EXPECT_EQ(system.pointerSpeed, c.windowsSpeed) << int{c.pointerIndex};
  }
}

TEST_F(ApplyTest, DpiReportUsesTheValuesJustEditedAndTheLedMode) {
  ASSERT_EQ(connection.Search(), 1);
  ChooseDpiValue(profile, DpiKnobKey(2, 3));  // level 2 gets value index 3
  profile.dpiLevel = 2;
  SetLedMode(profile, 2);
  applier.ApplyProfile();
  EXPECT_EQ(mouse.ReceivedFeatureReports()[8], Report(0x09, 2, 0xB2));
  EXPECT_EQ(profile.appliedDpiValue[2], 3);
  EXPECT_EQ(profile.appliedLedMode, 2);
}

TEST_F(ApplyTest, OddProfileValuesSendNothingUndefined) {
  ASSERT_EQ(connection.Search(), 1);
  profile.buttons[1] = 9;    // names no function
  profile.buttons[2] = -4;   // negative
  profile.buttons[3] = 900;  // beyond the table
  profile.dpiLevel = 7;      // only a hand edit gets here
  applier.ApplyProfile();
  const auto received = mouse.ReceivedFeatureReports();
  ASSERT_EQ(received.size(), 7u);  // three button reports fewer
  EXPECT_EQ(received[0], Report(0x10, 1, 1));
  EXPECT_EQ(received[1], Report(0x10, 4, 4));
  EXPECT_EQ(received[5], Report(0x09, 3, 0x80));  // level 3 (value index 0)
  EXPECT_EQ(profile.dpiStepRole[1], 0);
}

TEST_F(ApplyTest, WithoutTheMouseTheFileAndWindowsSettingsAreStillWritten) {
  // No search: null handles.
  system.pointerSpeed = 3;
  system.wheelLines = 9;
  applier.ApplyProfile();
  EXPECT_TRUE(mouse.ReceivedFeatureReports().empty());
  EXPECT_EQ(Get("Init", "CurConfig"), "2");
  EXPECT_EQ(Get("Config6", "K6"), "18");
  EXPECT_EQ(Get("Config2", "K6"), "18");
  EXPECT_EQ(system.pointerSpeed, 8);
  EXPECT_EQ(system.wheelLines, 3);
  EXPECT_EQ(attention.armed, 0);  // the buttons were still judged

  // Windows settings that cannot be read are left alone.
  FakeSystemSettings locked;
  locked.readable = false;
  ProfileApplier other(profile, store, sender, locked, attention);
  other.ApplyProfile();
  EXPECT_EQ(locked.setCalls, 0);
}

TEST_F(ApplyTest, MouseGoneAfterTheSearchFailsQuietly) {
  ASSERT_EQ(connection.Search(), 1);
  mouse.Unplug();
  applier.ApplyProfile();
  EXPECT_TRUE(mouse.ReceivedFeatureReports().empty());
  EXPECT_EQ(Get("Config2", "DPI_LEVEL"), "0");
}

TEST_F(ApplyTest, AfterTheExitCommandNothingIsSentSetOrWritten) {
  ASSERT_EQ(connection.Search(), 1);
  applier.ApplyProfile();
  applier.EndApplies();
  const auto atClose = mouse.ReceivedFeatureReports();
  EXPECT_EQ(atClose.back(), Report(0x20, 0, 0));
  const int setCalls = system.setCalls;

  // A power event or a profile switch on a worker that outlived the close.
  store.currentConfig = 4;
  applier.ApplyProfile();
  sender.SendDpiAndLed(profile, 3);
  EXPECT_FALSE(sender.SendIfWritable(kCommandButtonFunction, 1, 1));
  applier.EndApplies();
  EXPECT_EQ(mouse.ReceivedFeatureReports(), atClose);
  EXPECT_EQ(system.setCalls.load(), setCalls);
  EXPECT_EQ(Get("Init", "CurConfig"), "2");
}

// After a resume or the session's return: what the mouse was told, again,
// and nothing of the unapplied edits, the files, Windows or the attention.
TEST_F(ApplyTest, ResendIsWhatTheMouseWasToldAndNothingElse) {
  ASSERT_EQ(connection.Search(), 1);
  applier.ApplyProfile();
  std::vector<Bytes> expected = mouse.ReceivedFeatureReports();
  const auto resent = [this] {
    const auto all = mouse.ReceivedFeatureReports();
    applier.ResendLastApplied();
    const auto now = mouse.ReceivedFeatureReports();
    return std::vector<Bytes>(now.begin() + static_cast<std::ptrdiff_t>(all.size()), now.end());
  };
  attention.armed = 1;  // the ready report came
  profile.fireTime = 200;
  const int setCalls = system.setCalls;
  EXPECT_EQ(resent(), expected);
  EXPECT_EQ(attention.armed, 1);
  EXPECT_EQ(system.setCalls.load(), setCalls);
  EXPECT_EQ(Get("Config2", "FIRE_TIME"), "50");
  // A DPI step since is what the mouse holds, in the apply's DPI report's place.
  profile.dpiLevel = 2;
  sender.SendDpiAndLed(profile, 3);
  expected[8] = Report(0x09, 2, DpiLedByte(profile.appliedDpiValue[2], 3));
  EXPECT_EQ(resent(), expected);
  // Away from the console: applied and mirrored, not sent; no exit command.
  link.acting = 0;
  const size_t before = mouse.ReceivedFeatureReports().size();
  applier.ApplyProfile();
  applier.EndApplies();
  EXPECT_EQ(mouse.ReceivedFeatureReports().size(), before);
  EXPECT_EQ(sender.Mirror().back().first, 25);  // 200 ms / 8
}

TEST(FeatureReportBytes, DpiLedByteAndFireTime) {
  struct Case {
    int index, led;
    uint8_t byte;
  };
  const Case cases[] = {{0, 0, 0x80}, {1, 0, 0x90}, {4, 3, 0xC3}, {2, 1, 0xA1}, {3, 2, 0xB2}};
  for (const Case& c : cases) EXPECT_EQ(DpiLedByte(c.index, c.led), c.byte);
  EXPECT_EQ(FireTimeParameter(7), 0);
  EXPECT_EQ(FireTimeParameter(300), 0x25);
  EXPECT_EQ(FireTimeParameter(2047), 255);
  EXPECT_EQ(FireTimeParameter(2048), 0);  // low byte
}

// A port that records what it was asked to send.
class RecordingHidPort : public HidPort {
 public:
  std::vector<std::pair<HidHandle, Bytes>> sent;
  std::unique_ptr<InterfaceList> ListPresentInterfaces() override { return nullptr; }
  HidHandle Open(const Text&, HidAccess) override { return kInvalidHidHandle; }
  void Close(HidHandle) override {}
  std::optional<HidAttributes> Attributes(HidHandle) override { return std::nullopt; }
  std::optional<HidCaps> Capabilities(HidHandle) override { return std::nullopt; }
  bool SetFeature(HidHandle handle, std::span<const uint8_t> report) override {
    sent.emplace_back(handle, Bytes(report.begin(), report.end()));
    return true;
  }
  std::optional<size_t> ReadInputReport(HidHandle, std::span<uint8_t>) override {
    return std::nullopt;
  }
  void RegisterInterfaceNotifications(WindowId) override {}
};

TEST(FeatureReportSender, LengthHandleAndExitCommand) {
  RecordingHidPort port;
  DeviceLink link;
  FeatureReportSender sender(port, link);
  link.writeHandle = 0x40;
  link.featureReportLength = 5000;  // more than the buffer: the buffer is sent
  sender.Send(kCommandWheelStatus, 1, 0);
  ASSERT_EQ(port.sent.size(), 1u);
  EXPECT_EQ(port.sent[0].second.size(), kFeatureReportCapacity);
  EXPECT_EQ(port.sent[0].second[2], 1);

  link.featureReportLength = 12;
  sender.SendExitCommand();
  EXPECT_EQ(port.sent[1].second, (Bytes{7, 0x20, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));

  // Opening the write collection failed: the exit and button reports are
  // skipped, the others go to the system, which refuses them.
  FeatureReportSender unopened(port, link);
  link.writeHandle = kInvalidHidHandle;
  EXPECT_FALSE(unopened.SendIfWritable(kCommandButtonFunction, 1, 1));
  unopened.Send(kCommandFireTime, 6, 0);
  EXPECT_EQ(port.sent.back().first, kInvalidHidHandle);
  unopened.SendExitCommand();
  EXPECT_EQ(port.sent.size(), 3u);
}

TEST(ApplyConcurrency, TwoAppliesAtOnceSendWholeSequences) {
  // The window thread (power event) and the executor (profile switch); the
  // mouse takes a while over each report, as a real one does.
  struct SlowPort : RecordingHidPort {
    bool SetFeature(HidHandle handle, std::span<const uint8_t> report) override {
      std::this_thread::sleep_for(std::chrono::microseconds(50));
      return RecordingHidPort::SetFeature(handle, report);
    }
  } port;
  ScratchFolder dir;
  DeviceLink link;
  link.writeHandle = 0x40;
  link.featureReportLength = 8;
  FeatureReportSender sender(port, link);
  HostIni ini;
  MouseProfile profile;
  ResetToFactory(profile);
  ConfigStore store(ini, profile);
  store.configPath = dir.Path("config.ini");
  FakeSystemSettings system;
  AttentionState attention;
  ProfileApplier applier(profile, store, sender, system, attention);
  constexpr int kRounds = 30;
  std::thread executor([&] {
    for (int i = 0; i < kRounds; ++i) applier.ApplyProfile();
  });
  for (int i = 0; i < kRounds; ++i) applier.ApplyProfile();
  executor.join();
  ASSERT_EQ(port.sent.size(), 2u * kRounds * 10);
  for (size_t i = 0; i < port.sent.size(); ++i) {
    ASSERT_EQ(port.sent[i].second, port.sent[i % 10].second) << "report " << i;
  }
}

TEST(FeatureReportSenderConcurrency, EveryReportArrivesAsItWasBuilt) {
  VirtualMouse mouse;
  DeviceLink link;
  DeviceConnection connection(mouse, link);
  ASSERT_EQ(connection.Search(), 1);
  FeatureReportSender sender(mouse, link);
  MouseProfile profile;
  ResetToFactory(profile);
  constexpr int kRounds = 400;
  // The window thread's reports and the executor's DPI steps at once.
  std::thread executor([&] {
    for (int i = 0; i < kRounds; ++i) sender.SendDpiAndLed(profile, 3);
  });
  for (int i = 0; i < kRounds; ++i) sender.Send(kCommandFireTime, static_cast<uint8_t>(i), 0);
  executor.join();
  const auto received = mouse.ReceivedFeatureReports();
  ASSERT_EQ(received.size(), 2u * kRounds);
  int fire = 0;
  for (const Bytes& r : received) {
    if (r[1] == kCommandDpiAndLed) {
      EXPECT_EQ(r, Report(0x09, 0, 0x93));
    } else {
      EXPECT_EQ(r, Report(0x12, static_cast<uint8_t>(fire++), 0));
    }
  }
}

}  // namespace
}  // namespace nuv::test
