#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "macro/macro_editor.h"
#include "macro/macro_file.h"
#include "macro/macro_recorder.h"
#include "platform/host/host_ini.h"
#include "platform/host/recording_messages.h"
#include "res/menu_ids.h"
#include "test_support.h"

namespace nuv::test {
namespace {

class FakeList : public EditableListView {
 public:
  void AddLine(const Text& text) override { lines.push_back(text); }
  void DeleteAllLines() override {
    lines.clear();
    selection = -1;
  }
  int LineCount() const override { return static_cast<int>(lines.size()); }
  void SelectLine(int line) override { selection = line < LineCount() ? line : -1; }
  int Selection() const override { return selection; }
  Text LineText(int line) const override {
    return line >= 0 && line < LineCount() ? lines[static_cast<size_t>(line)] : Text();
  }
  void DeleteLine(int line) override {
    if (line >= 0 && line < LineCount()) lines.erase(lines.begin() + line);
  }
  void Focus() override {}
  void BeginEdit() override { ++edits; }
  std::vector<Text> lines;
  int selection = -1;
  int edits = 0;
};

class FakeBox : public TextBoxView {
 public:
  Text GetText() const override { return text; }
  void SetText(const Text& t) override { text = t; }
  void SetEnabled(bool e) override { enabled = e; }
  Text text;
  bool enabled = true;
};

class FakeHook : public KeyboardHookView {
 public:
  bool InstallKeyboardHook() override { return installed = true; }
  void RemoveKeyboardHook() override { installed = false; }
  bool installed = false;
};

class FakeTime : public SystemTimePort {
 public:
  SystemTimeOfDay Now() override {
    const int64_t ms = now % 86'400'000;
    return {static_cast<uint16_t>(ms / 3'600'000), static_cast<uint16_t>(ms / 60'000 % 60),
            static_cast<uint16_t>(ms / 1000 % 60), static_cast<uint16_t>(ms % 1000)};
  }
  int64_t now = 1'000'000;
};

MacroRecord WithEvents(const char16_t* name, std::vector<MacroEvent> events) {
  MacroRecord r = MacroRecord::Named(name);
  for (size_t k = 0; k < events.size(); ++k) {
    r.events[k] = events[k];
    r.SetDelay(static_cast<int>(k) + 1, static_cast<uint16_t>(100 * (k + 1)));
  }
  r.eventCount = static_cast<uint8_t>(events.size());
  return r;
}

struct Editor {
  Editor() {
    store.Write(0, WithEvents(u"Four", {{65, 1}, {65, 2}, {66, 1}, {66, 2}}));
    store.SetCount(1);
    editor.RefillMacroList();
  }
  // A right-click on line `line` of a list with lines 10 pixels high.
  bool RightClick(int line) {
    return editor.EventListRightClick({0, 0, 100, 100, 0, 10, 5, line * 10 + 5});
  }
  MacroStore store;
  MacroEditorState state;
  FakeList macroList, eventList;
  FakeBox nameBox, repeatBox;
  RecordingMessages messages;
  MacroEditor editor{store, state, {macroList, eventList, nameBox, repeatBox}, messages};
};

TEST(MacroEditor, InsertAndDeleteKeepThePausesWhereTheyBelong) {
  Editor e;
  // Line 3 (the pause before event 2), Add Backward, left button down: the
  // new event 2 keeps the pause before it and gets 30 after it.
  ASSERT_TRUE(e.RightClick(3));
  e.editor.RunMenuCommand(ID_ADD_BACKWARD_LEFT_DOWN_EN);
  const MacroRecord& r = e.store.Read(0);
  ASSERT_EQ(r.EventCount(), 5);
  EXPECT_EQ(r.events[2], (MacroEvent{kLeftButtonKey, kKeyDown}));
  EXPECT_EQ(r.events[3], (MacroEvent{66, 1}));
  EXPECT_EQ(r.Delay(2), 200);
  EXPECT_EQ(r.Delay(3), 30);
  EXPECT_EQ(r.Delay(4), 300);
  EXPECT_EQ(e.state.selectedLine, 5);
  // Line 4, Add Forward (second language's identifier), middle button up.
  ASSERT_TRUE(e.RightClick(4));
  e.editor.RunMenuCommand(ID_ADD_FORWARD_MID_UP_CN);
  EXPECT_EQ(e.store.Read(0).events[2], (MacroEvent{242, kKeyUp}));
  EXPECT_EQ(e.store.Read(0).events[3], (MacroEvent{kLeftButtonKey, kKeyDown}));
  // Delete on a delay line removes the event above it and the pause after it.
  ASSERT_TRUE(e.RightClick(5));  // the pause before event 3: deletes event 2
  e.editor.RunMenuCommand(ID_MACRO_DELETE_EN);
  EXPECT_EQ(e.store.Read(0).EventCount(), 5);
  EXPECT_EQ(e.store.Read(0).events[2], (MacroEvent{kLeftButtonKey, kKeyDown}));
  EXPECT_EQ(e.state.selectedLine, 3);
  EXPECT_EQ(e.eventList.LineCount(), 9);
  // Below the last line no menu opens; a full macro overflows.
  EXPECT_FALSE(e.RightClick(9));
  e.store.Modify(0, [](MacroRecord& m) { m.eventCount = kMacroEventSlots; });
  ASSERT_TRUE(e.RightClick(0));
  e.editor.RunMenuCommand(ID_ADD_FORWARD_LEFT_UP_EN);
  EXPECT_EQ(e.store.Read(0).EventCount(), kMacroEventSlots);
  ASSERT_EQ(e.messages.All().size(), 1u);
  EXPECT_EQ(e.messages.All()[0].text, u"Overflow!!!");
}

TEST(MacroEditor, EmptyMacroGetsOneEventAndModifyDelayOnlyOnPauseLines) {
  Editor e;
  e.store.Write(0, MacroRecord::Named(u"Empty"));
  e.editor.RefillMacroList();
  ASSERT_TRUE(e.RightClick(0));
  e.editor.RunMenuCommand(ID_ADD_BACKWARD_RIGHT_DOWN_EN);
  EXPECT_EQ(e.store.Read(0).EventCount(), 1);
  EXPECT_EQ(e.eventList.LineCount(), 1);
  Editor f;
  for (int line : {0, 1, 2, 3, 6}) {
    f.RightClick(line);
    f.editor.RunMenuCommand(ID_MACRO_MODIFY_DELAY_EN);
  }
  EXPECT_EQ(f.eventList.edits, 2);  // lines 1 and 3
}

TEST(MacroEditor, TypedPausesAndRepeatCountsAreLimited) {
  struct Case {
    const char16_t* typed;
    uint16_t pause;
  };
  for (const Case& c : {Case{u"    120ms", 120},
                        {u"abc", 0},
                        {u"70000", 65535},
                        {u"-1", 0},
                        {u"250", 250},
                        {u"12ms34", 12}}) {
    Editor e;
    e.RightClick(3);
    e.eventList.lines[3] = c.typed;  // what the in-place edit left on the line
    e.editor.DelayEdited();
    EXPECT_EQ(e.store.Read(0).Delay(2), c.pause) << Narrow(c.typed);
    EXPECT_EQ(Narrow(e.eventList.lines[3]), "    " + std::to_string(c.pause) + "ms");
  }
  struct Count {
    const char16_t* typed;
    uint16_t stored;
    const char16_t* shown;
  };
  for (const Count& c : {Count{u"0", 1, u"1"}, {u"99999", 65535, u"65535"}, {u"12", 12, u"12"}}) {
    Editor e;
    e.repeatBox.text = c.typed;
    e.editor.TakeRepeatCount();
    EXPECT_EQ(e.store.Read(0).RepeatCount(), c.stored) << Narrow(c.typed);
    EXPECT_EQ(e.repeatBox.text, c.shown);
  }
}

TEST(MacroEditor, NewAndDeleteMacros) {
  Editor e;
  e.nameBox.text = u"Four";  // exists: selected, nothing made
  e.editor.NewMacro();
  EXPECT_EQ(e.store.Count(), 1);
  // A long name keeps 19 units and never half a surrogate pair.
  e.nameBox.text = u"abcdefghijklmnopqr\U0001F600xyz";
  e.editor.NewMacro();
  ASSERT_EQ(e.store.Count(), 2);
  EXPECT_EQ(e.store.Read(1).Name(), u"abcdefghijklmnopqr");
  e.nameBox.text = u"";
  e.editor.NewMacro();
  EXPECT_EQ(e.store.Count(), 2);
  // Deleting the only macro leaves empty boxes and a disabled repeat count.
  Editor only;
  only.editor.DeleteMacro();
  EXPECT_EQ(only.store.Count(), 0);
  EXPECT_EQ(only.macroList.LineCount(), 0);
  EXPECT_EQ(only.nameBox.text, u"");
  EXPECT_EQ(only.repeatBox.text, u"1");
  EXPECT_FALSE(only.repeatBox.enabled);
}

struct Recording : Editor {
  Recording() { recorder.ToggleRecording(); }
  void Key(uint32_t message, uint64_t key, int64_t afterMs) {
    time.now += afterMs;
    recorder.TakeKeyMessage(message, key);
  }
  FakeHook hook;
  FakeTime time;
  MacroRecorder recorder{editor, hook, time};
};

TEST(MacroRecorder, FiltersLimitsAndPauses) {
  Recording r;
  EXPECT_TRUE(r.hook.installed);
  r.Key(keymsg::kKeyDown, 160, 0);   // left Shift
  r.Key(keymsg::kKeyDown, 160, 50);  // repeating: filtered
  r.Key(keymsg::kKeyUp, 90, 10);     // Z was never pressed: ignored
  r.Key(keymsg::kKeyDown, 65, 250);
  r.Key(keymsg::kKeyUp, 65, 70'000);  // a pause above 65.535 s
  r.Key(keymsg::kKeyUp, 160, 300);
  r.recorder.ToggleRecording();
  EXPECT_FALSE(r.hook.installed);
  const MacroRecord& m = r.store.Read(0);
  ASSERT_EQ(m.EventCount(), 4);
  EXPECT_EQ(m.Name(), u"Four");
  EXPECT_EQ(m.events[1], (MacroEvent{65, kKeyDown}));
  EXPECT_EQ(m.Delay(0), 0);
  EXPECT_EQ(m.Delay(1), 310);  // from the first press, the filtered ones included
  EXPECT_EQ(m.Delay(2), 65535);
  EXPECT_EQ(m.Delay(3), 300);
  EXPECT_EQ(m.Delay(4), 30);
  EXPECT_EQ(r.eventList.LineCount(), 7);

  // Ten keys held: the tenth press and its release are left out.
  Recording held;
  for (uint64_t key = 65; key < 75; ++key) held.Key(keymsg::kKeyDown, key, 1);
  for (uint64_t key = 65; key < 75; ++key) held.Key(keymsg::kKeyUp, key, 1);
  held.recorder.ToggleRecording();
  EXPECT_EQ(held.store.Read(0).EventCount(), 18);

  // 108 presses at most, 216 events at most.
  Recording many;
  for (int i = 0; i < 150; ++i) {
    many.Key(keymsg::kKeyDown, 65 + i % 2, 1);
    many.Key(keymsg::kKeyUp, 65 + i % 2, 1);
  }
  // Full: the recording ended by itself and the keyboard is the system's.
  EXPECT_FALSE(many.recorder.Recording());
  EXPECT_FALSE(many.hook.installed);
  EXPECT_EQ(many.store.Read(0).EventCount(), 216);
  EXPECT_EQ(many.state.counters.downCount, 108);

  // Only what the hook posted (a system message has a repeat count); a
  // held-back Esc keeps its timing. Keys held at the end: a press nothing
  // followed (a chord's start) is dropped, the others are released there.
  Recording r2;
  r2.Key(keymsg::kKeyDown, 162, 0);  // left Ctrl
  r2.recorder.TakeKeyMessage(keymsg::kKeyUp, 162, 0xC0000001);
  r2.time.now += 1000;
  r2.recorder.TakeKeyMessage(keymsg::kKeyDown, 27, PostedKeyParam(600));
  r2.Key(keymsg::kKeyUp, 27, 0);
  r2.Key(keymsg::kKeyDown, 164, 10);  // left Alt, then Alt+Tab
  r2.recorder.EndRecording();
  const MacroRecord& c = r2.store.Read(0);
  ASSERT_EQ(c.EventCount(), 4);
  EXPECT_EQ(c.Delay(1), 400);
  EXPECT_EQ(c.Delay(2), 600);
  EXPECT_EQ(c.events[1], (MacroEvent{27, kKeyDown}));
  EXPECT_EQ(c.events[3], (MacroEvent{162, kKeyUp}));
  EXPECT_EQ(r2.eventList.LineCount(), 7);
}

TEST(MacroRecorder, TheGateTakesOnlyWhatIsTypedIntoTheWindow) {
  constexpr uint32_t kDown = keymsg::kKeyDown, kUp = keymsg::kKeyUp, kEsc = vk::kEscape;
  struct Step {
    uint32_t message, key = 0, time = 0;
    bool front = true;
    const char* decision = "";  // posted ("D<key>[+age]", "U<key>"), pass, end, replay
  };
  const Step steps[] = {
      {kDown, 'A', 0, true, "D65"},           // typed into the window: recorded
      {kDown, kEsc, 100, true, ""},           // Esc held back, its repeats too
      {kUp, kEsc, 700, true, "D27+600 U27"},  // short: recorded as typed
      {kDown, kEsc, 800, true, ""},
      {kDown, 'C', 900, true, "D27+100 D67"},  // another key: Esc was a key
      {kDown, 162, 2100, true, "D162"},
      {kDown, 160, 2100, true, "D160"},
      {kDown, kEsc, 2200, true, "end 162 160 27"},  // Ctrl+Shift+Esc: the system's
      {kUp, kEsc, 2300, true, "pass"},              // all passes after the end
      {0},
      {kDown, 164, 0, true, "D164"},
      {kDown, vk::kTab, 0, true, "end 164 9"},  // Alt+Tab
      {0},
      {kDown, vk::kLeftWindows, 0, true, "pass end"},
      {0},
      {kDown, 'B', 0, false, "pass end"},  // another window in front
  };
  RecordingKeyGate gate;
  for (const Step& s : steps) {
    if (s.message == 0) {
      gate.Start();
      continue;
    }
    const HookDecision d = gate.Decide(0, {s.message, s.key, 0, s.time}, s.front);
    std::string got;
    const auto add = [&](const std::string& word) { got += (got.empty() ? "" : " ") + word; };
    for (const auto& p : {d.heldBack, d.post}) {
      if (p)
        add((p->message == kDown ? "D" : "U") + std::to_string(p->key) +
            (p->age ? "+" + std::to_string(p->age) : ""));
    }
    if (d.passOn) add("pass");
    if (d.endRecording) add("end");
    for (uint8_t k : d.endRecording ? gate.replay() : std::vector<uint8_t>{}) {
      add(std::to_string(k));
    }
    EXPECT_EQ(got, s.decision) << s.key << " at " << s.time;
  }
  // Held a second, by its repeats (the time wrapped) or by the window's timer.
  gate.Start();
  gate.Decide(0, {kDown, kEsc, 0, 4'294'967'000u}, true);
  EXPECT_TRUE(gate.Decide(0, {kDown, kEsc, 0, 704}, true).endRecording);
  gate.Start();
  gate.Decide(0, {kDown, kEsc, 0, 500}, true);
  EXPECT_FALSE(gate.LongEscape(1499));
  EXPECT_TRUE(gate.LongEscape(1500));
  EXPECT_FALSE(gate.LongEscape(1600));
}

TEST(MacroRecorder, TheHookRecordsOnlyWhatTheUserTypes) {
  constexpr uint32_t kInjected = 0x10;  // LLKHF_INJECTED
  struct Case {
    int code;
    uint32_t flags;
    bool recorded;  // posted to the window and kept from the other programs
  };
  for (const Case c : {Case{0, 0, true},          // typed
                       Case{0, kInjected, true},  // our level or above
                       Case{0, kInjected | kInjectedFromLowerIntegrity, false},  // a user's program
                       Case{-1, 0, false}, Case{-1, kInjected, false}}) {
    const HookDecision d = KeyboardHookDecision(c.code, keymsg::kKeyDown, 'A', c.flags);
    EXPECT_EQ(d.post.has_value(), c.recorded) << c.code << " " << c.flags;
    EXPECT_EQ(d.passOn, !c.recorded) << c.code << " " << c.flags;
    if (d.post) {
      EXPECT_EQ(d.post->key, uint64_t{'A'});
    }
  }
}

TEST(MacroRecorder, ElapsedAcrossMidnightAndNoRecordingWithoutMacros) {
  const Elapsed e = ElapsedMs(86'399'900, {0, 0, 0, 50});
  EXPECT_EQ(e.pause, 150);
  EXPECT_EQ(ElapsedMs(0, {23, 0, 0, 0}).pause, 65535);
  Editor none;
  none.store.SetCount(0);
  none.editor.RefillMacroList();
  FakeHook hook;
  FakeTime time;
  MacroRecorder recorder{none.editor, hook, time};
  recorder.ToggleRecording();
  EXPECT_FALSE(recorder.Recording());
  EXPECT_FALSE(hook.installed);

  // Stop removes the hook even when the list emptied meanwhile, and whatever
  // hides the recording ends it as Stop does.
  Recording emptied;
  emptied.store.SetCount(0);
  emptied.editor.RefillMacroList();
  emptied.recorder.ToggleRecording();
  EXPECT_FALSE(emptied.hook.installed);
  EXPECT_FALSE(emptied.recorder.Recording());
  Recording hidden;
  hidden.Key(keymsg::kKeyDown, 65, 1);
  hidden.Key(keymsg::kKeyUp, 65, 1);
  hidden.recorder.EndRecording();
  hidden.recorder.EndRecording();
  EXPECT_FALSE(hidden.hook.installed);
  EXPECT_FALSE(hidden.recorder.Recording());
  EXPECT_EQ(hidden.store.Read(0).EventCount(), 2);
}

TEST(MacroEditor, RandomEditingAlwaysSavesAndLoadsBackEqual) {
  ScratchFolder dir;
  HostIni ini;
  std::mt19937 random(7);
  const uint32_t commands[] = {ID_ADD_FORWARD_LEFT_DOWN_EN, ID_ADD_BACKWARD_RIGHT_UP_CN,
                               ID_MACRO_DELETE_EN, ID_MACRO_DELETE_CN};
  for (int round = 0; round < 20; ++round) {
    Editor e;
    for (int step = 0; step < 300; ++step) {
      e.RightClick(static_cast<int>(random() % 40));
      switch (random() % 4) {
        case 0:
          e.eventList.lines.resize(std::max<size_t>(e.eventList.lines.size(), 40), u"-5ms");
          e.editor.DelayEdited();
          break;
        case 1:
          e.nameBox.text = Text(random() % 30, u'n');
          e.editor.NewMacro();
          break;
        default:
          e.editor.RunMenuCommand(commands[random() % 4]);
          break;
      }
    }
    MacroFiles files{ini, e.messages, e.store};
    const Text path = dir.Path("round.dat");
    files.SaveMacroFile(path);
    MacroStore loaded;
    MacroFiles reader{ini, e.messages, loaded};
    reader.LoadMacroFile(path);
    ASSERT_EQ(loaded.Count(), e.store.Count());
    for (int i = 0; i < e.store.Count(); ++i) {
      EXPECT_EQ(loaded.Read(i), e.store.Read(i)) << round << " " << i;
      EXPECT_LE(e.store.Read(i).EventCount(), kMacroEventSlots);
    }
  }
}

}  // namespace
}  // namespace nuv::test
