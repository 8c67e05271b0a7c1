#include "device/device_link.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "platform/host/recording_messages.h"
#include "test_support.h"

namespace nuv::test {
namespace {

// A HID port whose interface list is a table: index -> interface; an index
// without one cannot be read, and the list ends after the last (or at
// listLength). It counts what the search asks of it.
class ScriptedHidPort : public HidPort {
 public:
  struct Interface {
    uint16_t vendor = 0x18F8;
    uint16_t product = 0x0F99;
    uint16_t usagePage = 0xFF00;
    uint16_t usage = 1;
    bool opensForData = true;  // false: opening for read or write fails
  };
  std::map<uint32_t, std::pair<Text, Interface>> interfaces;
  int pathQueries = 0;
  uint32_t highestIndexAsked = 0;
  int registrations = 0;
  std::vector<std::pair<Text, HidAccess>> opens;
  std::map<HidHandle, int> openHandles;  // handle -> times closed
  bool listFails = false;
  std::optional<uint32_t> listLength;
  int lists = 0;

  void Add(uint32_t index, const std::string& path, Interface i) {
    interfaces[index] = {T(path.c_str()), i};
  }

  std::unique_ptr<InterfaceList> ListPresentInterfaces() override {
    ++lists;
    if (listFails) return nullptr;
    struct List : InterfaceList {
      ScriptedHidPort* port;
      ListedInterface At(uint32_t index) override {
        ++port->pathQueries;
        port->highestIndexAsked = std::max(port->highestIndexAsked, index);
        const uint32_t end = port->listLength.value_or(
            port->interfaces.empty() ? 0 : port->interfaces.rbegin()->first + 1);
        if (index >= end) return {true, {}};
        const auto it = port->interfaces.find(index);
        if (it == port->interfaces.end()) return {};
        return {false, it->second.first};
      }
    };
    auto list = std::make_unique<List>();
    list->port = this;
    return list;
  }
  HidHandle Open(const Text& path, HidAccess access) override {
    opens.emplace_back(path, access);
    const Interface* i = Find(path);
    if (!i || (access != HidAccess::kQuery && !i->opensForData)) return kInvalidHidHandle;
    const HidHandle handle = 0x10 + opens.size();
    handles_[handle] = path;
    openHandles[handle] = 0;
    return handle;
  }
  void Close(HidHandle handle) override {
    if (openHandles.count(handle)) ++openHandles[handle];
  }
  std::optional<HidAttributes> Attributes(HidHandle handle) override {
    const Interface* i = ByHandle(handle);
    if (!i) return std::nullopt;
    return HidAttributes{i->vendor, i->product, 1};
  }
  std::optional<HidCaps> Capabilities(HidHandle handle) override {
    const Interface* i = ByHandle(handle);
    if (!i) return std::nullopt;
    HidCaps caps;
    caps.usagePage = i->usagePage;
    caps.usage = i->usage;
    caps.inputReportByteLength = 9;
    caps.featureReportByteLength = 65;
    return caps;
  }
  bool SetFeature(HidHandle, std::span<const uint8_t>) override { return false; }
  std::optional<size_t> ReadInputReport(HidHandle, std::span<uint8_t>) override {
    return std::nullopt;
  }
  void RegisterInterfaceNotifications(WindowId) override { ++registrations; }

  int QueryOpens() const {
    int n = 0;
    for (const auto& [path, access] : opens) n += access == HidAccess::kQuery;
    return n;
  }
  // Query handles are closed once each; data handles stay open.
  int QueryHandlesLeftOpen() const {
    int n = 0;
    size_t k = 0;
    for (const auto& [path, access] : opens) {
      const HidHandle handle = 0x10 + (++k);
      if (access == HidAccess::kQuery && openHandles.count(handle) && openHandles.at(handle) != 1) {
        ++n;
      }
    }
    return n;
  }

 private:
  const Interface* Find(const Text& path) const {
    for (const auto& [index, entry] : interfaces) {
      if (entry.first == path) return &entry.second;
    }
    return nullptr;
  }
  const Interface* ByHandle(HidHandle handle) const {
    const auto it = handles_.find(handle);
    return it == handles_.end() ? nullptr : Find(it->second);
  }
  std::map<HidHandle, Text> handles_;
};

const ScriptedHidPort::Interface kInput{};
const ScriptedHidPort::Interface kFeature{0x18F8, 0x0F99, 0xFF01, 1, true};
const ScriptedHidPort::Interface kKeyboard{0x045E, 0x0750, 0x0001, 6, true};
const ScriptedHidPort::Interface kMouseOtherCollection{0x18F8, 0x0F99, 0x0001, 2, true};

TEST(DeviceSearch, NoInterfacesEndsAtTheEndOfTheList) {
  ScriptedHidPort port;
  DeviceLink link;
  DeviceConnection connection(port, link);
  EXPECT_EQ(connection.Search(), 0);
  EXPECT_EQ(port.pathQueries, 1);
  EXPECT_EQ(port.highestIndexAsked, 0u);
  EXPECT_EQ(link.readHandle, kNullHidHandle);
  EXPECT_EQ(link.writeHandle, kNullHidHandle);
  EXPECT_TRUE(link.devicePath.empty());
  EXPECT_EQ(port.registrations, 0);

  // An interface list that cannot be had finds nothing either.
  ScriptedHidPort broken;
  broken.listFails = true;
  EXPECT_EQ(DeviceConnection(broken, link).Search(), 0);
}

TEST(DeviceSearch, StopsAsSoonAsBothCollectionsAreOpen) {
  ScriptedHidPort port;
  port.Add(0, "kbd", kKeyboard);
  port.Add(3, "\\\\?\\HID#VID_18F8&PID_0F99&Col01", kInput);  // 1 and 2 are gaps
  port.Add(4, "\\\\?\\HID#VID_18F8&PID_0F99&Col02", kFeature);
  port.Add(5, "later", kKeyboard);
  DeviceLink link;
  DeviceConnection connection(port, link);
  connection.window = 77;
  EXPECT_EQ(connection.Search(), 1);
  EXPECT_EQ(port.highestIndexAsked, 4u);
  EXPECT_NE(link.readHandle, kNullHidHandle);
  EXPECT_NE(link.writeHandle, kNullHidHandle);
  EXPECT_NE(link.readHandle, kInvalidHidHandle);
  EXPECT_EQ(link.devicePath, T("\\\\?\\HID#VID_18F8&PID_0F99&Col02"));
  EXPECT_EQ(link.readCaps.usagePage, 0xFF00);
  EXPECT_EQ(link.writeCaps.usagePage, 0xFF01);
  EXPECT_EQ(link.inputReportLength, 9);
  EXPECT_EQ(link.featureReportLength, 65);
  // The search registers nothing; the window's watch registers once.
  EXPECT_EQ(port.registrations, 0);
  connection.WatchInterfaces();
  connection.WatchInterfaces();
  EXPECT_EQ(port.registrations, 1);
  EXPECT_EQ(port.QueryOpens(), 3);
  EXPECT_EQ(port.QueryHandlesLeftOpen(), 0);
  // Each data collection opened once, for its direction.
  std::vector<HidAccess> data;
  for (const auto& [path, access] : port.opens) {
    if (access != HidAccess::kQuery) data.push_back(access);
  }
  EXPECT_EQ(data, (std::vector<HidAccess>{HidAccess::kRead, HidAccess::kWrite}));
}

TEST(DeviceSearch, GoesOnUntilTheListEndsHoweverLong) {
  ScriptedHidPort port;
  for (uint32_t i = 0; i < 40; ++i) port.Add(i, "k" + std::to_string(i), kKeyboard);
  port.Add(250, "in", kInput);  // unreadable indices on the way are passed over
  port.Add(7000, "out", kFeature);
  port.listLength = 7000;  // the feature collection is not listed yet
  DeviceLink link;
  DeviceConnection connection(port, link);
  connection.Search();
  EXPECT_FALSE(connection.Complete());
  EXPECT_EQ(port.highestIndexAsked, 7000u);
  // Listed later: the next search opens it and keeps the handle it had.
  const HidHandle read = link.readHandle;
  port.listLength.reset();
  EXPECT_EQ(connection.Search(), 1);
  EXPECT_TRUE(connection.Complete());
  EXPECT_EQ(link.readHandle, read);
  EXPECT_EQ(std::count_if(port.opens.begin(), port.opens.end(),
                          [](const auto& o) { return o.second == HidAccess::kRead; }),
            1);
}

TEST(DeviceSearch, ResultFollowsTheLastInterfaceWhenTheSearchRunsOn) {
  struct Case {
    const char* name;
    std::vector<ScriptedHidPort::Interface> list;
    uint8_t connected;
    bool readSet, writeSet;
  };
  const Case cases[] = {
      {"only the write collection, then another device", {kFeature, kKeyboard}, 0, false, true},
      {"only the write collection, last", {kKeyboard, kFeature}, 1, false, true},
      {"the mouse's other collection, last", {kInput, kMouseOtherCollection}, 1, true, false},
      {"read collection after the write one", {kFeature, kKeyboard, kInput}, 1, true, true},
  };
  for (const Case& c : cases) {
    ScriptedHidPort port;
    for (size_t i = 0; i < c.list.size(); ++i) {
      port.Add(static_cast<uint32_t>(i), "dev" + std::to_string(i), c.list[i]);
    }
    DeviceLink link;
    EXPECT_EQ(DeviceConnection(port, link).Search(), c.connected) << c.name;
    EXPECT_EQ(link.readHandle != kNullHidHandle, c.readSet) << c.name;
    EXPECT_EQ(link.writeHandle != kNullHidHandle, c.writeSet) << c.name;
    EXPECT_FALSE(link.devicePath.empty()) << c.name;
    EXPECT_EQ(port.QueryHandlesLeftOpen(), 0) << c.name;
  }
}

TEST(DeviceSearch, FailedOpenCountsAsPresentAndHandlesSurviveLaterSearches) {
  ScriptedHidPort port;
  ScriptedHidPort::Interface input = kInput;
  input.opensForData = false;
  port.Add(0, "in", input);
  port.Add(1, "out", kFeature);
  port.Add(2, "unreached", kKeyboard);
  DeviceLink link;
  DeviceConnection connection(port, link);
  EXPECT_EQ(connection.Search(), 1);
  EXPECT_EQ(link.readHandle, kInvalidHidHandle);
  EXPECT_EQ(port.highestIndexAsked, 1u);

  // The mouse is gone from the list: the next search keeps what it had, the
  // connected flag included, since no interface was looked at.
  const HidHandle write = link.writeHandle;
  port.interfaces.clear();
  EXPECT_EQ(connection.Search(), 1);
  EXPECT_EQ(link.writeHandle, write);
  EXPECT_EQ(link.readHandle, kInvalidHidHandle);
  EXPECT_EQ(link.devicePath, T("out"));
}

// The device-change handler, with a search that is counted.
struct ChangeFixture {
  ScriptedHidPort port;
  DeviceLink link;
  DeviceConnection connection{port, link};
  std::vector<std::string> steps;
  ChangeFixture() {
    port.Add(0, "\\\\?\\hid#vid_18f8&pid_0f99&col01", kInput);
    port.Add(1, "\\\\?\\hid#vid_18f8&pid_0f99&col02", kFeature);
    connection.removalSeams.deleteTrayIcon = [this] { steps.push_back("tray"); };
    connection.removalSeams.sendExitCommand = [this] { steps.push_back("exit"); };
    connection.removalSeams.destroyWindow = [this] { steps.push_back("destroy"); };
  }
};

TEST(DeviceChange, ArrivalAndRemovalCases) {
  const std::string stored = "\\\\?\\hid#vid_18f8&pid_0f99&col02";
  struct Case {
    const char* name;
    bool foundBefore;  // a search found the mouse earlier in this run
    uint8_t connected;
    uint32_t event;
    uint32_t deviceType;
    std::string path;
    int searches;  // device searches the event runs
    std::vector<std::string> steps;
    uint8_t connectedAfter;
  };
  const Case cases[] = {
      {"arrival, stored path, not connected", true, 0, kDeviceArrival, 5, stored, 1, {}, 1},
      {"arrival, stored path, connected", true, 1, kDeviceArrival, 5, stored, 0, {}, 1},
      {"arrival before the mouse was ever found", false, 0, kDeviceArrival, 5, stored, 0, {}, 0},
      {"empty path before the mouse was found", false, 0, kDeviceArrival, 5, "", 0, {}, 0},
      {"arrival, other path", true, 0, kDeviceArrival, 5, "\\\\?\\hid#other", 0, {}, 0},
      {"removal, stored path",
       true,
       1,
       kDeviceRemoveComplete,
       5,
       stored,
       0,
       {"tray", "destroy"},
       0},
      {"removal, stored path in capitals",
       true,
       1,
       kDeviceRemoveComplete,
       5,
       "\\\\?\\HID#VID_18F8&PID_0F99&COL02",
       0,
       {"tray", "destroy"},
       0},
      {"removal, other path", true, 1, kDeviceRemoveComplete, 5, "\\\\?\\hid#other", 0, {}, 1},
      {"removal, the mouse's other collection",
       true,
       1,
       kDeviceRemoveComplete,
       5,
       "\\\\?\\hid#vid_18f8&pid_0f99&col01",
       0,
       {},
       1},
      {"removal, not a device interface", true, 1, kDeviceRemoveComplete, 3, stored, 0, {}, 1},
      {"other event, stored path", true, 1, 0x8001, 5, stored, 0, {}, 1},
  };
  for (const Case& c : cases) {
    ChangeFixture f;
    if (c.foundBefore) {
      ASSERT_EQ(f.connection.Search(), 1);
    }
    f.link.connected = c.connected;
    const int lists_before = f.port.lists;
    const DeviceBroadcast broadcast{c.deviceType, T(c.path.c_str())};
    EXPECT_TRUE(f.connection.OnDeviceChange(c.event, &broadcast)) << c.name;
    EXPECT_EQ(f.port.lists - lists_before, c.searches) << c.name;
    EXPECT_EQ(f.steps, c.steps) << c.name;
    EXPECT_EQ(f.link.connected, c.connectedAfter) << c.name;
  }
  // A message without a record changes nothing.
  ChangeFixture f;
  ASSERT_EQ(f.connection.Search(), 1);
  EXPECT_TRUE(f.connection.OnDeviceChange(kDeviceRemoveComplete, nullptr));
  EXPECT_TRUE(f.steps.empty());
}

TEST(DeviceBroadcastRecord, EncodeParseAndDamagedRecords) {
  const Text path = u"\\\\?\\hid#vid_18f8&pid_0f99&col02#7&1\u00e9&0#{4d1e55b2}";
  std::vector<uint8_t> record = EncodeDeviceBroadcast(path);
  ASSERT_EQ(record.size(), kBroadcastPathOffset + 2 * (path.size() + 1));
  EXPECT_EQ(record[0], record.size());  // size field
  EXPECT_EQ(record[4], 5);
  EXPECT_EQ(record[12], 0xB2);  // HID class identifier begins
  auto parsed = ParseDeviceBroadcast(record);
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->deviceType, kDeviceTypeInterface);
  EXPECT_EQ(parsed->path, path);

  // The size field bounds the path even when more bytes follow; no NUL needed.
  std::vector<uint8_t> cut = record;
  cut[0] = static_cast<uint8_t>(kBroadcastPathOffset + 6);
  parsed = ParseDeviceBroadcast(cut);
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->path, path.substr(0, 3));

  // An odd size leaves the half character out.
  cut[0] = static_cast<uint8_t>(kBroadcastPathOffset + 3);
  EXPECT_EQ(ParseDeviceBroadcast(cut)->path, path.substr(0, 1));

  // Size beyond the bytes there are, or below the header: no record.
  std::vector<uint8_t> lying = record;
  lying[1] = 0x10;
  EXPECT_FALSE(ParseDeviceBroadcast(lying));
  lying = record;
  lying[0] = 8;
  EXPECT_FALSE(ParseDeviceBroadcast(lying));
  EXPECT_FALSE(ParseDeviceBroadcast(std::span<const uint8_t>(record.data(), 11)));

  // Another device type: the type, no path.
  std::vector<uint8_t> volume = record;
  volume[4] = 2;
  parsed = ParseDeviceBroadcast(volume);
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->deviceType, 2u);
  EXPECT_TRUE(parsed->path.empty());
}

TEST(MissingMouse, MessageOfEachLanguage) {
  RecordingMessages messages;
  ReportMissingMouse(messages, 1, u"NUV_Talv");
  ReportMissingMouse(messages, 0, u"NUV_Talv");
  ReportMissingMouse(messages, 7, u"NUV_Talv");
  const auto shown = messages.All();
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(Narrow(shown[0].text),
            "Please plug-in\xE3\x80\x90QUARVEL 241-7730\xE3\x80\x91USB Mouse");
  EXPECT_EQ(shown[0].caption, u"NUV_Talv");
  EXPECT_EQ(Narrow(shown[1].text), "Por favor, conecte o mouse ao computador!");
  EXPECT_EQ(shown[2].text, shown[0].text);
}

}  // namespace
}  // namespace nuv::test
