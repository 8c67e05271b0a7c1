#include "macro/macro_store.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "test_support.h"

namespace nuv::test {
namespace {

MacroRecord WithEvents(const char* name, std::vector<MacroEvent> events,
                       std::vector<uint16_t> delays = {}) {
  MacroRecord r = MacroRecord::Named(T(name));
  r.eventCount = static_cast<uint8_t>(events.size());
  for (size_t k = 0; k < events.size(); ++k) r.events[k] = events[k];
  for (size_t j = 0; j < delays.size(); ++j) r.SetDelay(static_cast<int>(j), delays[j]);
  return r;
}

TEST(MacroRecordTest, NamesNeverReachPastTheNameField) {
  struct Case {
    Text input;
    Text stored;
  };
  const Text nineteen = u"abcdefghijklmnopqrs";
  const Case cases[] = {
      {u"Go", u"Go"},
      {nineteen, nineteen},
      {nineteen + u"tuvwxyz", nineteen},
      // A character outside the basic plane is not cut in half.
      {Text(18, u'x') + u"\U0001F600", Text(18, u'x')},
      {Text(17, u'x') + u"\U0001F600", Text(17, u'x') + u"\U0001F600"},
      {Text(u"ab\0cd", 5), u"ab"},
      {u"", u""},
  };
  for (const Case& c : cases) {
    MacroRecord r{};
    std::fill(std::begin(r.name), std::end(r.name), u'#');
    r.repeatMode = 7;
    r.SetName(c.input);
    EXPECT_EQ(r.Name(), c.stored) << Narrow(c.input);
    EXPECT_EQ(r.name[19], u'\0') << "the terminator always fits";
    for (size_t i = c.stored.size(); i < 20; ++i) EXPECT_EQ(r.name[i], u'\0');
    EXPECT_EQ(r.repeatMode, 7) << "byte 40 is not touched";
  }

  // Bytes loaded from a file may fill all 20 units; the name still stops at 19.
  MacroRecord full{};
  std::fill(std::begin(full.name), std::end(full.name), u'z');
  EXPECT_EQ(full.Name(), Text(19, u'z'));
}

TEST(MacroRecordTest, FieldsLieAtTheirBytes) {
  MacroRecord r = MacroRecord::Named(u"Go");
  r.SetRepeatCount(0x1234);
  r.eventCount = 2;
  r.events[1] = {241, kKeyUp};
  r.SetDelay(2, 0xABCD);
  r.SetDelay(255, 0x0102);
  const auto b = r.Bytes();
  EXPECT_EQ(b[0], 'G');
  EXPECT_EQ(b[2], 'o');
  EXPECT_EQ(b[41], 0x34);
  EXPECT_EQ(b[42], 0x12);
  EXPECT_EQ(b[43], 2);
  EXPECT_EQ(b[46], 241);
  EXPECT_EQ(b[47], kKeyUp);
  EXPECT_EQ(b[556], 0xCD);
  EXPECT_EQ(b[557], 0xAB);
  EXPECT_EQ(b[1062], 0x02);
  EXPECT_EQ(b[1063], 0x01);
  EXPECT_EQ(r.PauseAfter(1), 0xABCD);
  EXPECT_EQ(MacroRecord::FromBytes(b), r);
}

TEST(MacroRecordTest, DamagedCountsAndIndicesStayInsideTheRecord) {
  MacroRecord r{};
  r.eventCount = 255;  // possible in a hand-edited file
  EXPECT_EQ(r.EventCount(), kMacroEventSlots);
  EXPECT_EQ(r.Event(254), MacroEvent{});
  EXPECT_EQ(r.Event(-1), MacroEvent{});
  EXPECT_EQ(r.Delay(256), 0);
  EXPECT_EQ(r.Delay(-1), 0);
  const auto before = r.Bytes();
  r.SetDelay(256, 5);
  r.SetDelay(-1, 5);
  EXPECT_EQ(r.Bytes(), before);
}

TEST(MacroStoreTest, SlotsOutsideTheStoreAreNeverTouched) {
  MacroStore store;
  EXPECT_EQ(store.Count(), 0);
  for (int slot : {-1, 12, 99}) {
    store.Write(slot, MacroRecord::Named(u"x"));
    store.Modify(slot, [](MacroRecord& r) { r.eventCount = 3; });
    EXPECT_EQ(store.Read(slot), MacroRecord{});
    EXPECT_EQ(store.Snapshot(slot), MacroRecord{});
  }
  for (int slot = 0; slot < kMacroSlotCount; ++slot) EXPECT_EQ(store.Read(slot), MacroRecord{});

  store.SetCount(13);
  EXPECT_EQ(store.Count(), 12);
  store.SetCount(-1);
  EXPECT_EQ(store.Count(), 0);
}

TEST(MacroStoreTest, WritesAssignAndMoveDown) {
  MacroStore store;
  std::vector<MacroRecord> records;
  for (const char* name : {"a", "b", "c", "d"}) records.push_back(MacroRecord::Named(T(name)));
  store.Write(5, MacroRecord::Named(u"kept"));
  store.Assign(4, records.data());
  EXPECT_EQ(store.Count(), 4);
  EXPECT_EQ(store.Read(3).Name(), u"d");
  EXPECT_EQ(store.Read(5).Name(), u"kept") << "records beyond the count stay";

  store.Modify(1, [](MacroRecord& r) { r.repeatMode = 1; });
  EXPECT_EQ(store.Snapshot(1).repeatMode, 1);

  store.MoveDown(1);  // deleting "b"
  EXPECT_EQ(store.Read(0).Name(), u"a");
  EXPECT_EQ(store.Read(1).Name(), u"c");
  EXPECT_EQ(store.Read(2).Name(), u"d");
  EXPECT_EQ(store.Read(3).Name(), u"d") << "the last slot is left for the caller to reset";
  EXPECT_EQ(store.Read(5).Name(), u"kept");

  store.Modify(3, [](MacroRecord& r) {
    r.repeatMode = 1;
    r.SetRepeatCount(500);
    r.eventCount = 9;
    r.ResetPlayback();
  });
  const auto b = store.Read(3).Bytes();
  EXPECT_EQ((std::vector<uint8_t>(b.begin() + 40, b.begin() + 44)),
            (std::vector<uint8_t>{0, 1, 0, 0}));
  EXPECT_EQ(store.Read(3).Name(), u"d");
}

// The executor copies a record while the window thread edits it: every copy
// must be one whole version, never a mix of two.
TEST(MacroStoreConcurrencyTest, SnapshotsAreNeverTorn) {
  MacroStore store;
  store.SetCount(1);
  std::atomic<bool> done{false};
  std::atomic<int> torn{0};
  std::atomic<int> copies{0};
  std::thread executor([&] {
    while (!done.load()) {
      const MacroRecord r = store.Snapshot(0);
      const uint8_t v = r.eventCount;
      for (int k = 0; k < kMacroEventSlots; ++k) {
        if (r.events[k].key != v || r.Delay(k + 1) != v) {
          ++torn;
          break;
        }
      }
      ++copies;
    }
  });
  for (int round = 0; round < 2000 || copies.load() < 100; ++round) {
    const auto v = static_cast<uint8_t>(round % 200);
    store.Modify(0, [v](MacroRecord& r) {
      r.eventCount = v;
      for (int k = 0; k < kMacroEventSlots; ++k) {
        r.events[k] = {v, kKeyDown};
        r.SetDelay(k + 1, v);
      }
    });
  }
  done = true;
  executor.join();
  EXPECT_EQ(torn.load(), 0);
}

TEST(EventKeyNameTest, EdgeCodes) {
  struct Case {
    int code;
    int32_t language;
    const char* name;
  };
  const Case cases[] = {
      {65, 1, "A"},
      {90, 1, "Z"},
      {49, 1, "1"},
      {48, 0, "0"},
      {96, 1, "NUMPAD0"},
      {222, 1, " ' "},
      {220, 1, "\\|"},
      {173, 1, "Not Available"},
      {173, 0, "不可录制"},
      {0, 1, "Not Available"},
      {7, 1, "Not Available"},
      {22, 1, "Not Available"},
      {26, 1, "Not Available"},
      {94, 1, "Not Available"},
      {243, 1, "Not Available"},
      {255, 0, "不可录制"},
      {-1, 1, "Not Available"},
      {256, 1, "Not Available"},
      {240, 0, "Left_Key"},
      {242, 1, "Middle_Key"},
      {21, 1, "KANA"},
      {25, 1, "HANJA"},
      {135, 1, "F24"},
  };
  for (const Case& c : cases) EXPECT_EQ(Narrow(EventKeyName(c.code, c.language)), c.name) << c.code;
}

TEST(EventKeyNameTest, EveryNamedCodeInCodeOrder) {
  std::vector<std::string> expected = {
      "BACK",    "TAB",        "CLEAR", "RETURN", "SHIFT", "CONTROL", "MENU",     "PAUSE",
      "CAPITAL", "KANA",       "JUNJA", "FINAL",  "HANJA", "ESCAPE",  "CONVERT",  "NONCONVERT",
      "ACCEPT",  "MODECHANGE", "SPACE", "PRIOR",  "NEXT",  "END",     "HOME",     "LEFT",
      "UP",      "RIGHT",      "DOWN",  "SELECT", "PRINT", "EXECUTE", "SNAPSHOT", "INSERT",
      "DELETE",  "HELP",       "LWIN",  "RWIN",   "APPS",  "SLEEP"};
  for (int i = 0; i <= 9; ++i) expected.push_back("NUMPAD" + std::to_string(i));
  for (const char* n : {"MULTIPLY", "ADD", "SEPARATOR", "SUBTRACT", "DECIMAL", "DIVIDE"})
    expected.push_back(n);
  for (int i = 1; i <= 24; ++i) expected.push_back("F" + std::to_string(i));
  for (const char* n :
       {"NUMLOCK", "SCROLL", "LSHIFT", "RSHIFT",   "LCONTROL",  "RCONTROL",  "LMENU", "RMENU",
        ";:",      "+",      ",",      "-",        ".",         "/?",        "`~",    "[{",
        "\\|",     "]}",     " ' ",    "Left_Key", "Right_Key", "Middle_Key"})
    expected.push_back(n);

  std::vector<std::string> named;
  for (int code = 0; code < 256; ++code) {
    if ((code >= 'A' && code <= 'Z') || (code >= '0' && code <= '9')) continue;
    const std::string english = Narrow(EventKeyName(code, 1));
    const std::string second = Narrow(EventKeyName(code, 0));
    if (english == "Not Available") {
      EXPECT_EQ(second, "不可录制") << code;
      continue;
    }
    EXPECT_EQ(english, second) << "names do not depend on the language: " << code;
    named.push_back(english);
  }
  EXPECT_EQ(named, expected);
}

TEST(EventKeyNameTest, EventTextCarriesTheDirection) {
  EXPECT_EQ(EventText({240, kKeyUp}, 1), u"[↑]Left_Key");
  EXPECT_EQ(EventText({65, kKeyDown}, 1), u"[↓]A");
  EXPECT_EQ(EventText({65, 0}, 1), u"A");
  EXPECT_EQ(EventText({65, 3}, 1), u"A");
  EXPECT_EQ(DelayLineText(65535), u"    65535ms");
  EXPECT_EQ(DelayLineText(0), u"    0ms");
}

class FakeEventList : public EventListView {
 public:
  void AddLine(const Text& text) override { lines.push_back(Narrow(text)); }
  void DeleteAllLines() override { lines.clear(); }
  int LineCount() const override { return static_cast<int>(lines.size()); }
  void SelectLine(int line) override { selected.push_back(line); }
  std::vector<std::string> lines;
  std::vector<int> selected;
};

TEST(EventListTest, LinesFollowTheLayout) {
  FakeEventList view;
  EventCounters counters;
  int repaints = 0;
  EventListContext list{view, counters, 1, false, 2, [&] { ++repaints; }};
  const MacroRecord r = WithEvents("m", {{65, kKeyDown}, {65, kKeyUp}, {240, kKeyDown}, {9, 0}},
                                   {999, 120, 65535, 7, 30});
  for (int k = 0; k < r.EventCount(); ++k) AppendEventLines(r, k, list);
  const std::vector<std::string> expected = {"[↓]A",        "    120ms", "[↑]A", "    65535ms",
                                             "[↓]Left_Key", "    7ms",   "TAB"};
  EXPECT_EQ(view.lines, expected);
  EXPECT_EQ(static_cast<int>(view.lines.size()), EventListLayout::LineCount(4));
  for (int line = 0; line < 7; ++line) {
    EXPECT_EQ(EventListLayout::IsDelayLine(line), view.lines[line].rfind("    ", 0) == 0) << line;
    if (!EventListLayout::IsDelayLine(line)) {
      EXPECT_EQ(EventListLayout::EventLine(EventListLayout::EventOfLine(line)), line);
    }
  }
  EXPECT_EQ(EventListLayout::DelayLineBefore(2), 3);
  EXPECT_EQ(EventListLayout::EventOfLine(3), 1);
  EXPECT_EQ(counters.downCount, 2);
  EXPECT_EQ(counters.upCount, 1);
  EXPECT_EQ(repaints, 4);
  EXPECT_EQ(view.selected, (std::vector<int>{2, 2, 2, 2})) << "the editor's remembered line";

  ClearEventList(list);
  EXPECT_TRUE(view.lines.empty());
  EXPECT_EQ(counters.downCount + counters.upCount, 0);
}

TEST(EventListTest, RecordingFollowsTheNewestLine) {
  FakeEventList view;
  EventCounters counters;
  MacroStore store;
  store.Write(3, WithEvents("r", {{160, kKeyDown}, {160, kKeyUp}}, {0, 15}));
  EventListContext list{view, counters, 0, true, 0, {}};
  AppendEventLines(store, 3, 0, list);
  AppendEventLines(store, 3, 1, list);
  EXPECT_EQ(view.lines, (std::vector<std::string>{"[↓]LSHIFT", "    15ms", "[↑]LSHIFT"}));
  EXPECT_EQ(view.selected, (std::vector<int>{0, 2}));

  // One event: one line, no delay line. Out-of-range slots and events add nothing.
  FakeEventList one;
  EventListContext single{one, counters, 1, false, 0, {}};
  AppendEventLines(WithEvents("s", {{13, kKeyDown}}), 0, single);
  AppendEventLines(store, 12, 0, single);
  AppendEventLines(store, 3, 254, single);
  AppendEventLines(store, 3, -1, single);
  EXPECT_EQ(one.lines, (std::vector<std::string>{"[↓]RETURN"}));
}

}  // namespace
}  // namespace nuv::test
