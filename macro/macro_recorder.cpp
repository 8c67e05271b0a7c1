#include "macro/macro_recorder.h"

#include <algorithm>

namespace nuv {

namespace {

constexpr int64_t kMillisecondsPerDay = 86'400'000;

bool IsPress(uint32_t message) {
  return message == keymsg::kKeyDown || message == keymsg::kSysKeyDown;
}

bool IsRelease(uint32_t message) {
  return message == keymsg::kKeyUp || message == keymsg::kSysKeyUp;
}

}  // namespace

int64_t MillisecondsOfDay(const SystemTimeOfDay& time) {
  return ((int64_t{time.hour} * 60 + time.minute) * 60 + time.second) * 1000 + time.milliseconds;
}

Elapsed ElapsedMs(int64_t lastStamp, const SystemTimeOfDay& now) {
  const int64_t stamp = MillisecondsOfDay(now);
  int64_t pause = stamp - lastStamp;
  if (pause < 0) pause += kMillisecondsPerDay;
  return {static_cast<uint16_t>(std::clamp<int64_t>(pause, 0, 65535)), stamp};
}

HookDecision KeyboardHookDecision(int code, uint32_t message, uint32_t virtualKey, uint32_t flags) {
  if (code < 0 || (flags & kInjectedFromLowerIntegrity) != 0) return {std::nullopt, true};
  return {PostedKey{message, virtualKey}, false};
}

// ---- Held keys ----

bool HeldKeys::Press(uint8_t key) {
  if (Full()) return false;
  keys_[static_cast<size_t>(length_++)] = key;
  return true;
}

bool HeldKeys::Release(uint8_t key) {
  const auto end = keys_.begin() + length_;
  const auto found = std::find(keys_.begin(), end, key);
  if (found == end) return false;
  std::copy(found + 1, end, found);
  keys_[static_cast<size_t>(--length_)] = 0;
  return true;
}

void HeldKeys::Clear() {
  keys_.fill(0);
  length_ = 0;
}

// ---- Recorder ----

void MacroRecorder::ToggleRecording() {
  const MacroEditorViews& views = editor_.views();
  MacroEditorState& state = editor_.state();
  MacroStore& store = editor_.store();
  views.eventList.Focus();
  if (state.recording) return EndRecording();
  if (views.macroList.LineCount() == 0) return;
  state.recording = true;
  const int macro = std::max(views.macroList.Selection(), 0);

  held_.Clear();
  if (!hookInstalled_) hookInstalled_ = hook_.InstallKeyboardHook();
  recordMacro_ = macro;
  state.counters = {};
  nextEvent_ = 0;
  // The macro starts afresh under its name: no events, no pauses, play once.
  store.Write(macro, MacroRecord::Named(views.macroList.LineText(macro)));
  store.currentMacro = macro;
  views.repeatBox.SetText(u"1");
  views.repeatBox.SetEnabled(false);
  views.eventList.DeleteAllLines();
}

void MacroRecorder::EndRecording() {
  // The hook goes first: nothing below may leave it in place.
  if (hookInstalled_) hook_.RemoveKeyboardHook();
  hookInstalled_ = false;
  MacroEditorState& state = editor_.state();
  if (!state.recording) return;
  state.recording = false;
  editor_.store().Modify(
      recordMacro_, [this](MacroRecord& r) { r.eventCount = static_cast<uint8_t>(nextEvent_); });
}

bool MacroRecorder::TakeKeyMessage(uint32_t message, uint64_t key) {
  if (!Recording() || !(IsPress(message) || IsRelease(message))) return true;
  const std::pair<uint32_t, uint64_t> keyMessage{message, key};
  // The same message again is a key held down and repeating.
  if (keyMessage == lastKeyMessage_ || nextEvent_ >= kRecordedEventLimit) {
    lastKeyMessage_ = keyMessage;
    return true;
  }
  const bool press = IsPress(message);
  if (press && editor_.state().counters.downCount >= kRecordedPressLimit) return false;
  const uint8_t code = static_cast<uint8_t>(key & 0xFF);
  // Codes from 240 up stand for mouse buttons in a macro, and 0 for no key: a
  // keyboard key with such a code cannot be stored as itself.
  if (code == 0 || code >= kLeftButtonKey) return false;
  if (press) {
    // Nine held keys: the tenth press is refused like a press beyond the
    // press limit, and its release, not being held, is ignored as well, so
    // the macro never presses a key it does not release.
    if (!held_.Press(code)) return false;
  } else if (!held_.Release(code)) {
    return false;  // its press was not recorded
  }

  const int d = nextEvent_;
  const Elapsed elapsed = ElapsedMs(lastStamp_, time_.Now());
  lastStamp_ = elapsed.stamp;
  editor_.store().Modify(recordMacro_, [&](MacroRecord& r) {
    r.events[d] = {code, press ? kKeyDown : kKeyUp};
    // The first event has no pause before it; its measurement only sets the
    // stamp. The pause after the newest event stays until another follows.
    if (d > 0) {
      r.SetDelay(d, elapsed.pause);
      r.SetDelay(d + 1, kPauseAfterLastRecordedEvent);
    }
  });
  EventListContext list = editor_.ListContext();
  AppendEventLines(editor_.store(), recordMacro_, d, list);
  nextEvent_ = d + 1;
  lastKeyMessage_ = keyMessage;
  return true;
}

}  // namespace nuv
