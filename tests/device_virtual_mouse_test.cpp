#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <thread>
#include <vector>

#include "device/device_link.h"
#include "platform/virtual/virtual_mouse.h"
#include "test_support.h"

namespace nuv::test {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<uint8_t>;

Bytes Feature(uint8_t command, uint8_t first, uint8_t second) {
  return {7, command, first, second, 0, 0, 0, 0};
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    lines.push_back(text.substr(start, end - start));
  }
  return lines;
}

// Waits (bounded) for a condition that another thread makes true.
template <typename F>
bool Eventually(F condition) {
  for (int i = 0; i < 400; ++i) {
    if (condition()) return true;
    std::this_thread::sleep_for(5ms);
  }
  return condition();
}

// The program's side of the virtual mouse: the device link, with every
// device-change event handed to its handler as the window would. The mouse
// comes last, so that it goes first: its thread may still be delivering an
// event to the connection when a test ends.
struct Program {
  explicit Program(VirtualMouseOptions options = {})
      : connection(mouse, link),
        mouse(std::move(options), [this](WindowId window, uint32_t event, const Text& path) {
          EXPECT_EQ(window, 42u);
          events.emplace_back(event, path);
          const auto record = EncodeDeviceBroadcast(path);
          const auto broadcast = ParseDeviceBroadcast(record);
          connection.OnDeviceChange(event, &*broadcast);
        }) {
    connection.window = 42;
    connection.WatchInterfaces();
    connection.removalSeams.destroyWindow = [this] { ++destroyed; };
  }
  std::vector<std::pair<uint32_t, Text>> events;
  int destroyed = 0;
  DeviceLink link;
  DeviceConnection connection;
  VirtualMouse mouse;
};

TEST(VirtualMouse, FoundPastAnotherDeviceWithItsTwoCollections) {
  Program p;
  EXPECT_EQ(p.connection.Search(), 1);
  EXPECT_EQ(p.link.devicePath, VirtualMouse::kFeatureCollectionPath);
  EXPECT_EQ(p.link.readCaps.usagePage, 0xFF00);
  EXPECT_EQ(p.link.readCaps.inputReportByteLength, VirtualMouse::kInputReportLength);
  EXPECT_EQ(p.link.writeCaps.usagePage, 0xFF01);
  EXPECT_EQ(p.link.featureReportLength, VirtualMouse::kFeatureReportLength);
  EXPECT_EQ(p.mouse.RegistrationCount(), 1u);
}

TEST(VirtualMouse, TraceOfFeatureReportsAndTheReadyReport) {
  ScratchFolder dir;
  VirtualMouseOptions options;
  options.tracePath = dir.FsPath("trace.txt");
  options.readyDelay = 20ms;
  Program p(options);
  ASSERT_EQ(p.connection.Search(), 1);
  EXPECT_TRUE(p.mouse.SetFeature(p.link.writeHandle, Feature(0x10, 1, 1)));
  EXPECT_TRUE(p.mouse.SetFeature(p.link.writeHandle, Feature(0x10, 6, 0x1F)));
  EXPECT_TRUE(p.mouse.SetFeature(p.link.writeHandle, Feature(0x09, 0, 0x90)));

  // The blocking read returns the ready report once the firmware sends it.
  Bytes buffer(VirtualMouse::kInputReportLength, 0xEE);
  const auto read = p.mouse.ReadInputReport(p.link.readHandle, buffer);
  ASSERT_EQ(read, std::optional<size_t>(8));
  EXPECT_EQ(buffer, (Bytes{6, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(Lines(dir.Read("trace.txt")),
            (std::vector<std::string>{"F 07 10 01 01 00 00 00 00", "F 07 10 06 1F 00 00 00 00",
                                      "F 07 09 00 90 00 00 00 00", "I 06 00 00 00 00 00 00 00"}));

  // A second mouse appends to the same trace.
  {
    VirtualMouse again(options);
    again.SendInputReport(Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 10});  // cut to 8 bytes
  }
  EXPECT_EQ(Lines(dir.Read("trace.txt")).back(), "I 01 02 03 04 05 06 07 08");

  // Time stamps are asked for through the control channel, never by default.
  VirtualMouse timed(options);
  ASSERT_TRUE(timed.ExecuteControlLine("timestamps"));
  timed.SendInputReport(Bytes{5, 0xF8});
  const std::string stamped = Lines(dir.Read("trace.txt")).back();
  EXPECT_TRUE(stamped.starts_with("I 05 F8 00 00 00 00 00 00 @")) << stamped;
  EXPECT_GT(std::stoll(stamped.substr(stamped.find('@') + 1)), 0) << stamped;
}

TEST(VirtualMouse, FirmwareStateFromEveryCommand) {
  Program p;
  ASSERT_EQ(p.connection.Search(), 1);
  const HidHandle w = p.link.writeHandle;
  for (const Bytes& r : {Feature(0x10, 8, 0x1F), Feature(0x10, 9, 3), Feature(0x10, 0, 3),
                         Feature(0x11, 1, 0), Feature(0x09, 2, 0xA3), Feature(0x12, 0x25, 0),
                         Feature(0x55, 1, 1), Bytes{6, 0x11, 7, 0, 0, 0, 0, 0}}) {
    EXPECT_TRUE(p.mouse.SetFeature(w, r));
  }
  VirtualFirmwareState f = p.mouse.Firmware();
  EXPECT_EQ(f.buttonFunction[8], 0x1F);
  EXPECT_FALSE(f.buttonFunction[0]);  // out-of-range numbers are ignored
  EXPECT_EQ(f.wheelStatus, 1);        // not 7: the other report ID is ignored
  EXPECT_EQ(f.dpiLevel, 2);
  EXPECT_EQ(f.dpiLedByte, 0xA3);
  EXPECT_EQ(f.fireTimeUnits, 0x25);
  EXPECT_FALSE(f.exitReceived);
  p.mouse.SetFeature(w, Feature(0x20, 0, 0));
  EXPECT_TRUE(p.mouse.Firmware().exitReceived);

  // Only the feature collection opened for writing takes reports, and only
  // whole ones.
  EXPECT_FALSE(p.mouse.SetFeature(p.link.readHandle, Feature(0x11, 0, 0)));
  const HidHandle query = p.mouse.Open(VirtualMouse::kFeatureCollectionPath, HidAccess::kQuery);
  EXPECT_FALSE(p.mouse.SetFeature(query, Feature(0x11, 0, 0)));
  EXPECT_FALSE(p.mouse.SetFeature(w, Bytes{7, 0x11, 0}));
  EXPECT_FALSE(p.mouse.SetFeature(kNullHidHandle, Feature(0x11, 0, 0)));
  EXPECT_FALSE(p.mouse.SetFeature(kInvalidHidHandle, Feature(0x11, 0, 0)));
  EXPECT_EQ(p.mouse.Firmware().wheelStatus, 1);
}

TEST(VirtualMouse, ButtonReportsOnlyForHostHandledButtons) {
  ScratchFolder dir;
  VirtualMouseOptions options;
  options.tracePath = dir.FsPath("trace.txt");
  options.readyDelay = 1h;  // keep the ready report out of this test
  Program p(options);
  ASSERT_EQ(p.connection.Search(), 1);
  p.mouse.SetFeature(p.link.writeHandle, Feature(0x10, 6, 0x1F));
  p.mouse.SetFeature(p.link.writeHandle, Feature(0x10, 1, 1));
  p.mouse.ReleaseButton();  // nothing is down
  p.mouse.PressButton(1);   // the mouse clicks by itself
  p.mouse.ReleaseButton();
  p.mouse.PressButton(6);
  p.mouse.ReleaseButton();
  p.mouse.PressButton(0);
  p.mouse.PressButton(9);
  const auto lines = Lines(dir.Read("trace.txt"));
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[2], "I 05 F6 00 00 00 00 00 00");
  EXPECT_EQ(lines[3], "I 05 00 00 00 00 00 00 00");

  Bytes buffer(8);
  EXPECT_EQ(p.mouse.ReadInputReport(p.link.readHandle, buffer), std::optional<size_t>(8));
  EXPECT_EQ(buffer[1], 0xF6);
  // The read needs room for a whole report, and a handle opened for reading.
  Bytes small(7);
  EXPECT_FALSE(p.mouse.ReadInputReport(p.link.readHandle, small));
  EXPECT_FALSE(p.mouse.ReadInputReport(p.link.writeHandle, buffer));
  EXPECT_FALSE(p.mouse.ReadInputReport(kNullHidHandle, buffer));
  EXPECT_EQ(p.mouse.ReadInputReport(p.link.readHandle, buffer), std::optional<size_t>(8));
  EXPECT_EQ(buffer[1], 0);

  // Unread reports beyond what the system keeps push the oldest out.
  for (int i = 0; i < 40; ++i) p.mouse.SendInputReport(Bytes{5, static_cast<uint8_t>(i)});
  EXPECT_EQ(p.mouse.ReadInputReport(p.link.readHandle, buffer), std::optional<size_t>(8));
  EXPECT_EQ(buffer[1], 40 - VirtualMouse::kInputQueueLimit);
}

TEST(VirtualMouse, UnplugEndsTheProgramThroughItsRemovalHandler) {
  Program p;
  ASSERT_EQ(p.connection.Search(), 1);
  p.mouse.Unplug();
  ASSERT_EQ(p.events.size(), 2u);  // both interfaces, to the one registration
  EXPECT_EQ(p.events[0], std::make_pair(kDeviceRemoveComplete, VirtualMouse::kInputCollectionPath));
  EXPECT_EQ(p.events[1],
            std::make_pair(kDeviceRemoveComplete, VirtualMouse::kFeatureCollectionPath));
  // The stored path is the feature collection's: one removal matches.
  EXPECT_EQ(p.destroyed, 1);
  EXPECT_EQ(p.link.connected, 0);
  EXPECT_FALSE(p.mouse.plugged());
  EXPECT_EQ(p.mouse.Open(VirtualMouse::kInputCollectionPath, HidAccess::kQuery), kInvalidHidHandle);
  EXPECT_FALSE(p.mouse.SetFeature(p.link.writeHandle, Feature(0x11, 1, 0)));
  p.mouse.Unplug();  // already out: nothing more
  EXPECT_EQ(p.events.size(), 2u);
}

TEST(VirtualMouse, PlugBringsArrivalAndAFreshFirmware) {
  Program p;
  ASSERT_EQ(p.connection.Search(), 1);
  p.mouse.SetFeature(p.link.writeHandle, Feature(0x11, 1, 0));
  const HidHandle old_write = p.link.writeHandle;
  p.connection.removalSeams = {};
  p.mouse.Unplug();
  p.mouse.Plug();
  EXPECT_EQ(p.events.back(), std::make_pair(kDeviceArrival, VirtualMouse::kFeatureCollectionPath));
  EXPECT_EQ(p.mouse.Firmware().wheelStatus, 0);
  // The arrival searched again; the handles of before the unplug stay dead.
  EXPECT_EQ(p.link.connected, 1);
  EXPECT_FALSE(p.mouse.SetFeature(old_write, Feature(0x11, 1, 0)));
  const HidHandle fresh = p.mouse.Open(VirtualMouse::kFeatureCollectionPath, HidAccess::kWrite);
  EXPECT_TRUE(p.mouse.SetFeature(fresh, Feature(0x11, 1, 0)));
}

TEST(VirtualMouse, ControlLines) {
  using Kind = VirtualControlCommand::Kind;
  struct Case {
    const char* line;
    std::optional<Kind> kind;
    int button;
    Bytes bytes;
  };
  const Case cases[] = {
      {"press 6", Kind::kPress, 6, {}},
      {"  PRESS\t8\r", Kind::kPress, 8, {}},
      {"click 1", Kind::kClick, 1, {}},
      {"release", Kind::kRelease, 0, {}},
      {"unplug", Kind::kUnplug, 0, {}},
      {"Plug", Kind::kPlug, 0, {}},
      {"timestamps", Kind::kTimestamps, 0, {}},
      {"report 06 0 ff", Kind::kReport, 0, {6, 0, 0xFF}},
      {"press 0", std::nullopt, 0, {}},
      {"press 9", std::nullopt, 0, {}},
      {"press", std::nullopt, 0, {}},
      {"press 6 7", std::nullopt, 0, {}},
      {"press 6x", std::nullopt, 0, {}},
      {"press -1", std::nullopt, 0, {}},
      {"release now", std::nullopt, 0, {}},
      {"report", std::nullopt, 0, {}},
      {"report 100", std::nullopt, 0, {}},
      {"report 0g", std::nullopt, 0, {}},
      {"# press 6", std::nullopt, 0, {}},
      {"", std::nullopt, 0, {}},
      {"   ", std::nullopt, 0, {}},
      {"explode", std::nullopt, 0, {}},
  };
  for (const Case& c : cases) {
    const auto command = ParseVirtualControlLine(c.line);
    ASSERT_EQ(command.has_value(), c.kind.has_value()) << c.line;
    if (!command) continue;
    EXPECT_EQ(command->kind, *c.kind) << c.line;
    EXPECT_EQ(command->button, c.button) << c.line;
    EXPECT_EQ(command->bytes, c.bytes) << c.line;
  }
  std::string long_report = "report";
  for (size_t i = 0; i <= kMaxControlReportBytes; ++i) long_report += " 01";
  EXPECT_FALSE(ParseVirtualControlLine(long_report));
}

TEST(VirtualMouseConcurrency, ControlFileDrivesTheMouseFromOutside) {
  ScratchFolder dir;
  VirtualMouseOptions options;
  options.controlPath = dir.FsPath("control.txt");
  options.controlPollInterval = 2ms;
  options.readyDelay = 1h;
  // Left from earlier runs: not replayed, but the mouse is where the last plug
  // or unplug left it (overlong and half-written lines count for nothing).
  for (const auto& [left, plugged] : std::vector<std::pair<std::string, bool>>{
           {"unplug\npress 8\n", false},
           {"plug\n" + std::string(300, ' ') + "unplug\nunplug", true}}) {
    dir.Write("control.txt", left);
    Program out(options);
    EXPECT_EQ(out.connection.Search(), plugged ? 1 : 0) << left;
    out.mouse.Plug();  // plugged in while the program runs: the window hears of it
    EXPECT_EQ(out.events.size(), plugged ? 0u : 2u) << left;
  }
  dir.Write("control.txt", "press 8\nunplug\nplug\n");
  Program p(options);
  p.connection.removalSeams = {};
  ASSERT_EQ(p.connection.Search(), 1);
  p.mouse.SetFeature(p.link.writeHandle, Feature(0x10, 8, 0x1F));

  Bytes buffer(8);
  std::optional<size_t> read;
  std::thread reader([&] { read = p.mouse.ReadInputReport(p.link.readHandle, buffer); });
  {
    std::ofstream out(dir.FsPath("control.txt"), std::ios::app | std::ios::binary);
    out << "# the DPI-up button\nbogus\npress 8\n" << std::flush;
  }
  reader.join();
  EXPECT_EQ(read, std::optional<size_t>(8));
  EXPECT_EQ(buffer[1], 0xF8);
  EXPECT_TRUE(p.mouse.plugged());

  // A line without its end waits for it.
  {
    std::ofstream out(dir.FsPath("control.txt"), std::ios::app | std::ios::binary);
    out << "unpl" << std::flush;
  }
  std::this_thread::sleep_for(30ms);
  EXPECT_TRUE(p.mouse.plugged());
  {
    std::ofstream out(dir.FsPath("control.txt"), std::ios::app | std::ios::binary);
    out << "ug\n" << std::flush;
  }
  EXPECT_TRUE(Eventually([&] { return !p.mouse.plugged(); }));
  EXPECT_EQ(p.link.connected, 0);

  // The companion may empty the file and start again.
  dir.Write("control.txt", "plug\n");
  EXPECT_TRUE(Eventually([&] { return p.mouse.plugged(); }));
}

TEST(VirtualMouseConcurrency, WatchedControlFileIsReadWhenTheWatchSaysSoAndNotBefore) {
  ScratchFolder dir;
  std::function<void()> changed;
  VirtualMouseOptions options;
  options.controlPath = dir.FsPath("control.txt");
  options.controlPollInterval = 1ms;  // would be used without the watch
  options.watchedPollInterval = 1h;
  options.watchControl = [&](std::function<void()> c) {
    changed = std::move(c);
    return std::make_unique<FolderWatch>();
  };
  Program p(options);
  p.connection.removalSeams = {};
  ASSERT_EQ(p.connection.Search(), 1);
  ASSERT_TRUE(changed);
  dir.Write("control.txt", "unplug\n");
  std::this_thread::sleep_for(50ms);
  EXPECT_TRUE(p.mouse.plugged()) << "read without a change notice";
  changed();
  EXPECT_TRUE(Eventually([&] { return !p.mouse.plugged(); }));
}

// Readers wait on the mouse's own condition variable or on a wake port.
TEST(VirtualMouseConcurrency, BlockedReadFailsWhenTheMouseGoes) {
  StdWake wake;
  for (WakePort* reader_wake : {static_cast<WakePort*>(nullptr), static_cast<WakePort*>(&wake)}) {
    VirtualMouseOptions options;
    options.readerWake = reader_wake;
    Program p(options);
    ASSERT_EQ(p.connection.Search(), 1);
    p.connection.removalSeams = {};
    Bytes buffer(8);
    std::optional<size_t> read = 99;
    const HidHandle old_read = p.link.readHandle;
    std::thread reader([&] { read = p.mouse.ReadInputReport(old_read, buffer); });
    std::this_thread::sleep_for(10ms);
    p.mouse.Unplug();
    reader.join();
    EXPECT_FALSE(read);
    // Reads on the old handle fail at once from now on, also after a plug.
    p.mouse.Plug();
    EXPECT_FALSE(p.mouse.ReadInputReport(old_read, buffer));
  }
}

TEST(VirtualMouseConcurrency, ReaderGetsEveryPressInOrder) {
  StdWake wake;
  for (WakePort* reader_wake : {static_cast<WakePort*>(nullptr), static_cast<WakePort*>(&wake)}) {
    VirtualMouseOptions options;
    options.readyDelay = 1h;
    options.readerWake = reader_wake;
    Program p(options);
    ASSERT_EQ(p.connection.Search(), 1);
    for (uint8_t n : {1, 2, 3, 4, 5, 6, 8})
      p.mouse.SetFeature(p.link.writeHandle, Feature(0x10, n, 0x1F));
    std::vector<uint8_t> codes;
    std::thread reader([&] {
      Bytes buffer(8);
      while (codes.size() < 20) {
        if (!p.mouse.ReadInputReport(p.link.readHandle, buffer)) break;
        codes.push_back(buffer[1]);
      }
    });
    for (int i = 0; i < 10; ++i) {
      p.mouse.PressButton(i % 2 ? 8 : 3);
      p.mouse.ReleaseButton();
      std::this_thread::sleep_for(1ms);  // slower than the reader: nothing is dropped
    }
    reader.join();
    ASSERT_EQ(codes.size(), 20u);
    for (size_t i = 0; i < codes.size(); i += 2) {
      EXPECT_EQ(codes[i], (i / 2) % 2 ? 0xF8 : 0xF3);
      EXPECT_EQ(codes[i + 1], 0);
    }
  }
}

}  // namespace
}  // namespace nuv::test
