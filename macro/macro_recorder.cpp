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

Elapsed ElapsedMs(int64_t lastStamp, const SystemTimeOfDay& now, uint16_t ageMs) {
  const int64_t stamp =
      (MillisecondsOfDay(now) - ageMs + kMillisecondsPerDay) % kMillisecondsPerDay;
  int64_t pause = stamp - lastStamp;
  if (pause < 0) pause += kMillisecondsPerDay;
  return {static_cast<uint16_t>(std::clamp<int64_t>(pause, 0, 65535)), stamp};
}

HookDecision KeyboardHookDecision(int code, uint32_t message, uint32_t virtualKey, uint32_t flags) {
  if (code < 0 || (flags & kInjectedFromLowerIntegrity) != 0) return {std::nullopt, true};
  return {PostedKey{message, virtualKey}, false};
}

// ---- What the hook takes ----

namespace {

bool IsWindowsKey(uint32_t key) { return key == vk::kLeftWindows || key == vk::kRightWindows; }

// Left, right and either-side codes.
constexpr std::initializer_list<uint32_t> kControlKeys = {0x11, 0xA2, 0xA3};
constexpr std::initializer_list<uint32_t> kShiftKeys = {0x10, 0xA0, 0xA1};
constexpr std::initializer_list<uint32_t> kAltKeys = {0x12, 0xA4, 0xA5};

uint16_t AgeMs(uint32_t from, uint32_t to) {
  // Event times wrap after 49.7 days; the difference does not.
  return static_cast<uint16_t>(std::min<uint32_t>(to - from, 65535));
}

}  // namespace

void RecordingKeyGate::Start() { *this = RecordingKeyGate(); }

bool RecordingKeyGate::Down(std::initializer_list<uint32_t> keys) const {
  return std::any_of(keys.begin(), keys.end(), [this](uint32_t k) { return down_[k]; });
}

HookDecision RecordingKeyGate::Decided(const Keystroke& key, HookDecision decision) {
  const uint32_t code = key.virtualKey & 0xFF;
  if (IsPress(key.message)) {
    down_.set(code);
    passed_.set(code, decision.passOn);
  } else {
    down_.reset(code);
    passed_.reset(code);
  }
  ended_ = ended_ || decision.endRecording;
  return decision;
}

HookDecision RecordingKeyGate::Decide(int code, const Keystroke& key, bool mainWindowInFront) {
  HookDecision d = KeyboardHookDecision(code, key.message, key.virtualKey, key.flags);
  if (code < 0) return d;
  if (!d.post) return Decided(key, d);  // injected from below: the system's
  const uint32_t k = key.virtualKey & 0xFF;
  const bool press = IsPress(key.message);
  const HookDecision passOn{std::nullopt, true};
  HookDecision end{std::nullopt, true};
  end.endRecording = true;
  if (ended_ || (!press && passed_[k])) return Decided(key, passOn);
  if (!mainWindowInFront) return Decided(key, end);
  if (press && (IsWindowsKey(k) || Down({vk::kLeftWindows, vk::kRightWindows}))) {
    return Decided(key, end);
  }
  const bool alt = Down(kAltKeys);
  if (press && ((k == vk::kTab && alt) || (k == vk::kEscape && (alt || Down(kControlKeys))))) {
    // The recording took the chord's modifiers from the system: it gets
    // them again, with the chord's key, once the hook is gone.
    replay_.clear();
    for (const auto& side : {kControlKeys, kShiftKeys, kAltKeys}) {
      for (uint32_t m : side) {
        if (down_[m] && !passed_[m]) replay_.push_back(static_cast<uint8_t>(m));
      }
    }
    replay_.push_back(static_cast<uint8_t>(k));
    end.passOn = false;
    return Decided(key, end);
  }
  if (k == vk::kEscape && (press || escapeAt_)) {
    // Held back: a long press is the way out, a short one a key like any.
    HookDecision held{std::nullopt, false};
    if (press && !escapeAt_) escapeAt_ = key.time;
    const uint16_t age = AgeMs(*escapeAt_, key.time);
    if (age >= kLongEscapeMs) {
      held.endRecording = true;
      escapeAt_.reset();
    } else if (!press) {
      held.heldBack = PostedKey{keymsg::kKeyDown, vk::kEscape, age};
      held.post = PostedKey{key.message, k, 0};
      escapeAt_.reset();
    }
    return Decided(key, held);
  }
  if (escapeAt_) {
    // Another key while Esc is down: the Esc was a key of the macro.
    d.heldBack = PostedKey{keymsg::kKeyDown, vk::kEscape, AgeMs(*escapeAt_, key.time)};
    escapeAt_.reset();
  }
  return Decided(key, d);
}

bool RecordingKeyGate::LongEscape(uint32_t now) {
  if (ended_ || !escapeAt_ || AgeMs(*escapeAt_, now) < kLongEscapeMs) return false;
  escapeAt_.reset();
  ended_ = true;
  return true;
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
  const bool settled = SettleHeldKeys();
  editor_.store().Modify(
      recordMacro_, [this](MacroRecord& r) { r.eventCount = static_cast<uint8_t>(nextEvent_); });
  if (settled) editor_.RebuildEventList(recordMacro_);
}

bool MacroRecorder::SettleHeldKeys() {
  if (held_.size() == 0) return false;
  editor_.store().Modify(recordMacro_, [this](MacroRecord& r) {
    // A press that nothing followed started what left the recording.
    while (nextEvent_ > 0 && r.events[nextEvent_ - 1].direction == kKeyDown &&
           held_.Release(r.events[nextEvent_ - 1].key)) {
      const int d = --nextEvent_;
      r.events[d] = {};
      r.SetDelay(d + 1, 0);
      r.SetDelay(d, d > 0 ? kPauseAfterLastRecordedEvent : 0);
    }
    // The others are released where the recording ended, latest first.
    while (held_.size() > 0) {
      const uint8_t key = held_[held_.size() - 1];
      held_.Release(key);
      const int d = nextEvent_++;
      r.events[d] = {key, kKeyUp};
      r.SetDelay(d, kPauseAfterLastRecordedEvent);
      r.SetDelay(d + 1, kPauseAfterLastRecordedEvent);
    }
  });
  return true;
}

bool MacroRecorder::TakeKeyMessage(uint32_t message, uint64_t key, uint64_t param) {
  if (!Recording() || !(IsPress(message) || IsRelease(message))) return true;
  // A key message of the system (repeat count 1 or more) came past the hook
  // (a key it passed on): not the recording's, and the key filter goes on
  // (Escape and Return still close nothing).
  if ((param & 0xFFFF) != 0) return true;
  const auto age = static_cast<uint16_t>(param >> 16);
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
  const Elapsed elapsed = ElapsedMs(lastStamp_, time_.Now(), age);
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
  // Full: the keyboard goes back to the system at once.
  if (nextEvent_ >= kRecordedEventLimit) EndRecording();
  return true;
}

}  // namespace nuv
