#include "macro/macro_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "platform/host/recording_messages.h"
#include "test_support.h"

namespace nuv::test {
namespace {

std::vector<std::string> Groups(const Text& value) {
  std::vector<std::string> groups;
  const std::string s = Narrow(value);
  for (size_t at = 0; at < s.size(); at += 3) groups.push_back(s.substr(at, 3));
  return groups;
}

MacroRecord Sample(const char* name, int events, uint8_t salt) {
  MacroRecord r = MacroRecord::Named(Widen(name));
  r.repeatMode = salt & 1;
  r.SetRepeatCount(static_cast<uint16_t>(salt * 257 + 1));
  r.eventCount = static_cast<uint8_t>(events);
  for (int k = 0; k < events; ++k) {
    r.events[k] = {static_cast<uint8_t>(k % 2 ? 240 + k % 3 : 'A' + (k + salt) % 26),
                   static_cast<uint8_t>(k % 2 ? kKeyUp : kKeyDown)};
    r.SetDelay(k + 1, static_cast<uint16_t>(1000 * salt + 37 * k + 1));
  }
  return r;
}

TEST(MacroFileCodecTest, GoEncodesToItsGroups) {
  const std::vector<std::string> groups = Groups(EncodeMacroRecord(MacroRecord::Named(u"Go")));
  ASSERT_EQ(groups.size(), 1064u);
  std::vector<std::string> expected(1064, "000");
  expected[0] = "071";
  expected[2] = "111";
  expected[41] = "001";
  EXPECT_EQ(groups, expected);
}

TEST(MacroFileCodecTest, GroupsTakeEventsWithThePauseAfterThem) {
  MacroRecord r{};
  r.events[0] = {240, kKeyDown};
  r.events[253] = {65, kKeyUp};
  r.SetDelay(0, 0x0102);    // word 0: the last group's "event" bytes
  r.SetDelay(1, 0x0304);    // after event 0
  r.SetDelay(254, 0x0506);  // after event 253
  r.SetDelay(255, 0x0708);
  const std::vector<std::string> g = Groups(EncodeMacroRecord(r));
  const std::vector<std::string> first = {g[44], g[45], g[46], g[47]};
  EXPECT_EQ(first, (std::vector<std::string>{"240", "001", "004", "003"}));
  const size_t slot253 = 44 + 4 * 253;
  EXPECT_EQ(std::vector<std::string>(g.begin() + slot253, g.begin() + slot253 + 4),
            (std::vector<std::string>{"065", "002", "006", "005"}));
  EXPECT_EQ(std::vector<std::string>(g.end() - 4, g.end()),
            (std::vector<std::string>{"002", "001", "008", "007"}));

  std::set<size_t> offsets;
  for (size_t j = 0; j < kMacroRecordSize; ++j) offsets.insert(MacroGroupOffset(j));
  EXPECT_EQ(offsets.size(), kMacroRecordSize) << "every byte exactly once";
  EXPECT_EQ(*offsets.rbegin(), kMacroRecordSize - 1);
}

TEST(MacroFileCodecTest, ShortOrDamagedValues) {
  struct Case {
    std::string value;
    std::vector<uint8_t> firstBytes;
  };
  const Case cases[] = {
      {"", {0, 0, 0}},
      {"071000111", {71, 0, 111}},
      {"07100011", {71, 0, 11}},  // a short last group
      {"0710001", {71, 0, 1}},
      {"999-01 12", {231, 255, 12}},  // low 8 bits; sign and blanks as a number reads them
      {"abc1x2", {0, 1, 0}},          // no digits at the start of a group give 0
      {"256512768", {0, 0, 0}},
  };
  for (const Case& c : cases) {
    const auto bytes = DecodeMacroRecord(Widen(c.value)).Bytes();
    for (size_t i = 0; i < c.firstBytes.size(); ++i)
      EXPECT_EQ(bytes[i], c.firstBytes[i]) << c.value;
    for (size_t i = c.firstBytes.size(); i < bytes.size(); ++i) ASSERT_EQ(bytes[i], 0) << c.value;
  }
  // More than 3192 characters: the rest is not read.
  const Text longValue = EncodeMacroRecord(MacroRecord::Named(u"Go")) + u"255255";
  EXPECT_EQ(DecodeMacroRecord(longValue), MacroRecord::Named(u"Go"));
}

TEST(MacroFileCodecTest, FilesOfEachLanguage) {
  EXPECT_EQ(MacroFiles::WorkingFilePath(u"C:\\App", 1), u"C:\\App\\Macro_EN.dat");
  EXPECT_EQ(MacroFiles::WorkingFilePath(u"C:\\App", 2), u"C:\\App\\Macro_EN.dat");
  EXPECT_EQ(MacroFiles::WorkingFilePath(u"C:\\App", 0), u"C:\\App\\Macro_CN.dat");
  EXPECT_EQ(MacroFiles::DefaultFilePath(u"S", 1), u"S\\INI_EN\\defMacro.dat");
  EXPECT_EQ(MacroFiles::DefaultFilePath(u"S", 0), u"S\\INI_CN\\defMacro.dat");
}

// Files through every INI adapter of this build: the host one, and on Windows
// the system's own private-profile routines as well.
class MacroFileTest : public testing::TestWithParam<size_t> {
 protected:
  void SetUp() override {
    adapters = IniAdaptersUnderTest();
    ASSERT_LT(GetParam(), adapters.size());
    SCOPED_TRACE(adapters[GetParam()].first);
    files = std::make_unique<MacroFiles>(ini(), messages, store);
    files->caption = u"NUV_Talv";
  }
  IniPort& ini() { return *adapters[GetParam()].second; }
  std::string Get(const Text& path, const char* key) {
    return Narrow(ini().GetString(path, u"Macros", Widen(key), 4000));
  }

  ScratchFolder dir;
  std::vector<std::pair<std::string, std::unique_ptr<IniPort>>> adapters;
  RecordingMessages messages;
  MacroStore store;
  std::unique_ptr<MacroFiles> files;
};

TEST_P(MacroFileTest, ThreeMacrosSaveAndLoadByteForByte) {
  const MacroRecord saved[] = {Sample("Go", 1, 0), Sample("Tiro Rápido", 254, 3),
                               Sample("\xF0\x9F\x98\x80 wide", 7, 255)};
  for (int i = 0; i < 3; ++i) store.Write(i, saved[i]);
  store.SetCount(3);
  const Text path = dir.Path("Macro_EN.dat");
  files->SaveMacroFile(path);

  // The file as the program writes it, the same on every adapter.
  std::string expected = "[Macros]\r\nmacroNum=3\r\n";
  for (int i = 0; i < 3; ++i)
    expected += std::to_string(i) + "=" + Narrow(EncodeMacroRecord(saved[i])) + "\r\n";
  EXPECT_EQ(dir.Read("Macro_EN.dat"), expected);

  MacroStore loaded;
  MacroFiles reader(ini(), messages, loaded);
  reader.LoadMacroFile(path);
  EXPECT_TRUE(messages.All().empty());
  ASSERT_EQ(loaded.Count(), 3);
  EXPECT_EQ(loaded.currentMacro, 2);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(loaded.Read(i).Bytes(), saved[i].Bytes()) << i;
  EXPECT_EQ(loaded.Read(1).PauseAfter(253), 3000 + 37 * 253 + 1)
      << "the pause after the last event";
}

TEST_P(MacroFileTest, EmptyFilesGiveAnEmptyList) {
  const MacroRecord kept = Sample("kept", 3, 9);
  const char* contents[] = {"[Macros]\r\nmacroNum=0\r\n0=071000111\r\n",
                            "[Other]\r\nmacroNum=4\r\n", "", "[Macros]\r\nmacroNum=-3\r\n",
                            "[Macros]\r\nmacroNum=x2\r\n"};
  for (const char* content : contents) {
    store.Write(0, kept);
    store.SetCount(5);
    store.currentMacro = 4;
    dir.Write("m.dat", content);
    files->LoadMacroFile(dir.Path("m.dat"));
    EXPECT_EQ(store.Count(), 0) << content;
    EXPECT_EQ(store.currentMacro, 0) << content;
    EXPECT_EQ(store.Read(0), kept) << "records are left as they were";
  }
  EXPECT_TRUE(messages.All().empty());
}

TEST_P(MacroFileTest, MissingFileIsReportedAndLoadsNothing) {
  store.Write(0, Sample("kept", 2, 1));
  store.SetCount(1);
  files->LoadMacroFile(dir.Path("absent.dat"));
  ASSERT_EQ(messages.All().size(), 1u);
  EXPECT_EQ(messages.All()[0].text, u"找不到配置文件");
  EXPECT_EQ(messages.All()[0].caption, u"NUV_Talv");
  EXPECT_EQ(store.Count(), 0);
  EXPECT_EQ(store.Read(0), Sample("kept", 2, 1));
  EXPECT_FALSE(dir.Exists("absent.dat")) << "loading writes nothing";

  // An imported file that could not be read: the same.
  store.SetCount(1);
  files->ImportMacroFile(nullptr);
  EXPECT_EQ(messages.All().size(), 2u);
  EXPECT_EQ(store.Count(), 0);
}

TEST_P(MacroFileTest, SavingFewerMacrosLeavesOldKeysThatLoadsIgnore) {
  for (int i = 0; i < 7; ++i) store.Write(i, Sample(("m" + std::to_string(i)).c_str(), i + 1, 1));
  store.SetCount(7);
  const Text path = dir.Path("seven.dat");
  files->SaveMacroFile(path);
  store.Write(0, Sample("changed", 2, 2));
  store.SetCount(5);
  // An export is made in memory from the chosen file's contents: the bytes
  // the private-profile routines leave in that file.
  const std::string exported = files->ExportMacroFile(dir.Read("seven.dat"));
  files->SaveMacroFile(path);
  EXPECT_EQ(exported, dir.Read("seven.dat"));
  EXPECT_EQ(Get(path, "macroNum"), "5");
  EXPECT_EQ(Get(path, "5").size(), kMacroValueDigits);
  EXPECT_EQ(Get(path, "6").size(), kMacroValueDigits);

  MacroStore loaded;
  const MacroRecord marker = Sample("marker", 1, 4);
  loaded.Write(5, marker);
  loaded.Write(6, marker);
  MacroFiles(ini(), messages, loaded).LoadMacroFile(path);
  EXPECT_EQ(loaded.Count(), 5);
  EXPECT_EQ(loaded.Read(0).Name(), u"changed");
  EXPECT_EQ(loaded.Read(4).Name(), u"m4");
  EXPECT_EQ(loaded.Read(5), marker);
  EXPECT_EQ(loaded.Read(6), marker);
}

TEST_P(MacroFileTest, CountsBeyondTheStoreAreLimited) {
  struct Case {
    const char* macroNum;
    int count;
  };
  // The count is read through three characters: at most two digits.
  const Case cases[] = {{"13", 12}, {"99", 12}, {"100", 10}, {"123456", 12}, {"7", 7}};
  std::string records;
  for (int i = 0; i < 14; ++i) {
    const std::string value = Narrow(EncodeMacroRecord(Sample("r", 2, static_cast<uint8_t>(i))));
    records += std::to_string(i) + "=" + value + "\r\n";
  }
  for (const Case& c : cases) {
    dir.Write("big.dat", std::string("[Macros]\r\nmacroNum=") + c.macroNum + "\r\n" + records);
    files->LoadMacroFile(dir.Path("big.dat"));
    EXPECT_EQ(store.Count(), c.count) << c.macroNum;
    EXPECT_EQ(store.currentMacro, c.count - 1);
    EXPECT_EQ(store.Read(c.count - 1), Sample("r", 2, static_cast<uint8_t>(c.count - 1)));
  }
}

TEST_P(MacroFileTest, DamagedRecordsLoadSafely) {
  // Names that fill all 40 bytes, an event count of 255, groups above 255,
  // a record cut short and a missing record key.
  std::string full;
  for (int i = 0; i < 20; ++i) full += "065000";
  full +=
      "001"
      "000"
      "001"
      "255";
  dir.Write("bad.dat", "[Macros]\r\nmacroNum=3\r\n0=" + full + "\r\n1=999071-01\r\n");
  files->LoadMacroFile(dir.Path("bad.dat"));
  ASSERT_EQ(store.Count(), 3);
  EXPECT_EQ(store.Read(0).Name(), Text(19, u'A'));
  EXPECT_EQ(store.Read(0).EventCount(), 254);
  EXPECT_EQ(store.Read(0).RepeatCount(), 256);
  EXPECT_EQ(store.Read(1).name[0], 231 | 71 << 8);
  EXPECT_EQ(store.Read(1).name[1], 255);
  EXPECT_EQ(store.Read(2), MacroRecord{});

  // Saving keeps such bytes exactly.
  files->SaveMacroFile(dir.Path("again.dat"));
  MacroStore again;
  MacroFiles(ini(), messages, again).LoadMacroFile(dir.Path("again.dat"));
  for (int i = 0; i < 3; ++i) EXPECT_EQ(again.Read(i), store.Read(i));
}

std::string AdapterName(const testing::TestParamInfo<size_t>& info) {
  return IniAdaptersUnderTest()[info.param].first;
}

INSTANTIATE_TEST_SUITE_P(Adapters, MacroFileTest,
                         testing::Range<size_t>(0, IniAdaptersUnderTest().size()), AdapterName);

// ---- The default macro files that ship with the program ----

// The source tree, found from this file's own path; under Wine the Linux
// root is drive Z:.
Text SourceRoot() {
  std::string root = std::filesystem::path(__FILE__).parent_path().parent_path().generic_string();
#ifdef _WIN32
  if (!root.empty() && root.front() == '/') root = "Z:" + root;
  for (char& c : root) {
    if (c == '/') c = '\\';
  }
#endif
  return Widen(root);
}

std::string ReadBytes(const Text& path) {
#ifdef _WIN32
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
#else
  Text local = path;
  for (auto& c : local) {
    if (c == u'\\') c = u'/';
  }
  std::ifstream in(Narrow(local), std::ios::binary);
#endif
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST_P(MacroFileTest, ShippedDefaultsAreValid) {
  const Text root = SourceRoot();
  std::vector<std::vector<Text>> names;
  for (int32_t language : {1, 0}) {
    const Text defaults = MacroFiles::DefaultFilePath(root + u"\\skins", language);
    const Text working = MacroFiles::WorkingFilePath(root + u"\\dist_data", language);
    SCOPED_TRACE(Narrow(defaults));
    files->LoadMacroFile(defaults);
    ASSERT_TRUE(messages.All().empty()) << "file not found under " << Narrow(root);
    ASSERT_GT(store.Count(), 0);
    names.emplace_back();
    for (int i = 0; i < store.Count(); ++i) {
      const MacroRecord& r = store.Read(i);
      SCOPED_TRACE(Narrow(r.Name()));
      EXPECT_FALSE(r.Name().empty());
      EXPECT_EQ(r.name[r.Name().size()], u'\0');
      names.back().push_back(r.Name());
      EXPECT_LE(r.repeatMode, 1);
      EXPECT_GE(r.RepeatCount(), 1);
      ASSERT_GT(r.eventCount, 0);
      ASSERT_LE(r.eventCount, kMacroEventSlots);
      int held = 0;
      for (int k = 0; k < r.EventCount(); ++k) {
        const MacroEvent e = r.Event(k);
        EXPECT_NE(EventKeyName(e.key, 1), u"Not Available");
        ASSERT_TRUE(e.direction == kKeyDown || e.direction == kKeyUp);
        held += e.direction == kKeyDown ? 1 : -1;
        EXPECT_GE(held, 0) << "a release without its press";
        EXPECT_GT(r.PauseAfter(k), 0);
      }
      EXPECT_EQ(held, 0) << "every key is released again";
      for (int k = r.EventCount(); k < kMacroEventSlots; ++k) EXPECT_EQ(r.Event(k), MacroEvent{});
    }
    EXPECT_EQ(std::set<Text>(names.back().begin(), names.back().end()).size(), names.back().size())
        << "names are unique";

    // The file is what the program itself would save, and the working file
    // that ships beside the program starts as a copy of it.
    files->SaveMacroFile(dir.Path("resaved.dat"));
    const std::string shipped = ReadBytes(defaults);
    EXPECT_EQ(dir.Read("resaved.dat"), shipped);
    EXPECT_EQ(ReadBytes(working), shipped);
    std::filesystem::remove(dir.FsPath("resaved.dat"));
  }
  ASSERT_EQ(names.size(), 2u);
  EXPECT_EQ(names[0].size(), names[1].size());
  EXPECT_NE(names[0], names[1]) << "each language names its macros in its own words";
}

}  // namespace
}  // namespace nuv::test
