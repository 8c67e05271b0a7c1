#include "actions/host_action_executor.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <vector>

namespace nuv {

namespace {

constexpr uint8_t kVkControl = 0x11;
constexpr uint8_t kVkMute = 0xAD;
constexpr uint8_t kVkF4 = 0x73;
constexpr uint8_t kLedOff = 3;

}  // namespace

void HostActionExecutor::Run() {
  d_.clock.SetCurrentThreadHighestPriority();
  d_.input.PrepareCallingThread();
  for (;;) {
    d_.handover.WaitForAction(std::chrono::duration_cast<std::chrono::microseconds>(kExecutorWait));
    RunOnce();
  }
}

bool HostActionExecutor::RunOnce() {
  if (d_.handover.actionPending.load(std::memory_order_acquire) == 0) return false;
  const uint8_t code = d_.handover.actionCode.load(std::memory_order_relaxed);
  for (int i = 1; i <= kButtonCount; ++i) {
    if (code == 0xF0 + kDeviceButtonNumber[static_cast<size_t>(i - 1)]) PerformButton(i);
  }
  d_.handover.Finish();
  return true;
}

void HostActionExecutor::PerformButton(int button) {
  // Another user's copy acts for the screen's session; this one stays still.
  if (button < 1 || button > kButtonCount || !d_.sender.acting()) return;
  const auto index = static_cast<size_t>(button - 1);
  const int32_t role = d_.profile.dpiStepRole[index];
  if (role != 0) {
    StepDpi(role);
    return;
  }
  const int32_t code = d_.profile.buttons[index];
  if (code >= kFnFirstMacro && code - kFnFirstMacro < d_.macros.Count()) {
    PlayMacro(code - kFnFirstMacro);
    return;
  }
  switch (code) {
    case kFnLedSwitch:
      SwitchLed();
      break;
    case kFnVolumeMute:
      // Down and up: a key-down alone leaves the system believing it held.
      TapKey(kVkMute);
      break;
    case kFnCopy:
      Shortcut(kVkControl, 'C', true);
      break;
    case kFnPaste:
      Shortcut(kVkControl, 'V', true);
      break;
    case kFnSelectAll:
      Shortcut(kVkControl, 'A', true);
      break;
    case kFnUndo:
      Shortcut(kVkControl, 'Z', true);
      break;
    case kFnCloseWindow:
      Shortcut(kVkMenu, kVkF4, false);
      break;
    case kFnOpenDrives:
      d_.shell.OpenDrivesFolder();
      break;
    case kFnLockWorkstation:
      d_.shell.LockWorkstation();
      break;
    case kFnCalculator:
      d_.shell.StartCalculator();
      break;
    case kFnCommandPrompt:
      d_.shell.StartCommandPrompt();
      break;
    case kFnNextProfile:
      NextProfile();
      break;
    default:
      break;
  }
}

void HostActionExecutor::StepDpi(int32_t role) {
  MouseProfile& p = d_.profile;
  const int current = std::clamp<int32_t>(p.dpiLevel, 0, kDpiLevelCount - 1);
  auto enabled = [&p](int level) { return p.dpiEnabled[static_cast<size_t>(level)] != 0; };
  int next = current;
  if (role < 0) {
    for (int l = current - 1; l >= 0; --l) {
      if (enabled(l)) {
        next = l;
        break;
      }
    }
  } else if (role == 1) {
    for (int l = current + 1; l < kDpiLevelCount; ++l) {
      if (enabled(l)) {
        next = l;
        break;
      }
    }
  } else {
    // Cycle; with no level enabled (only a hand-edited file does that) the
    // level stays after four steps.
    for (int step = 1; step <= kDpiLevelCount; ++step) {
      const int l = (current + step) % kDpiLevelCount;
      if (enabled(l)) {
        next = l;
        break;
      }
    }
  }
  p.dpiLevel = next;
  // Sent even when the level did not change.
  d_.sender.SendDpiAndLed(p, p.ledOverride == kLedOff ? kLedOff : p.appliedLedMode.load());
  if (repaint) repaint();
  d_.store.SaveDpiLevel(d_.store.configPath, d_.store.currentConfig);
}

void HostActionExecutor::SwitchLed() {
  MouseProfile& p = d_.profile;
  p.ledOverride = p.ledOverride == kLedOff ? p.appliedLedMode.load() : kLedOff;
  d_.sender.SendDpiAndLed(p, p.ledOverride);
  if (repaint) repaint();
}

void HostActionExecutor::Shortcut(uint8_t modifier, uint8_t key, bool hold) {
  const KeyCode modifierCode = KeyboardCode(d_.input, modifier);
  const KeyCode keyCode = KeyboardCode(d_.input, key);
  SendKey(modifier, modifierCode, 0);
  SendKey(key, keyCode, 0);
  if (hold) d_.clock.SleepFor(kShortcutHold);
  SendKey(key, keyCode, kKeyEventKeyUp);
  SendKey(modifier, modifierCode, kKeyEventKeyUp);
}

void HostActionExecutor::TapKey(uint8_t virtualKey) {
  const KeyCode code = KeyboardCode(d_.input, virtualKey);
  SendKey(virtualKey, code, 0);
  SendKey(virtualKey, code, kKeyEventKeyUp);
}

void HostActionExecutor::NextProfile() {
  const int32_t current = d_.store.currentConfig;
  d_.store.currentConfig = current >= 5 ? 1 : current + 1;
  d_.store.LoadProfile(d_.store.configPath, d_.store.currentConfig, false);
  d_.applier.ApplyProfile();
  if (repaint) repaint();
}

void HostActionExecutor::ReleaseHeldKeys() {
  held_.TakeAll(
      [this](uint8_t vk, uint8_t scan, uint32_t flags) { d_.input.KeyEvent(vk, scan, flags); },
      [this](uint32_t flags) { d_.input.MouseEvent(flags); });
}

void HostActionExecutor::SendKey(uint8_t virtualKey, KeyCode code, uint32_t upFlag) {
  const uint32_t flags = code.flags | upFlag;
  held_.NoteKeyEvent(virtualKey, code.scanCode, flags);
  d_.input.KeyEvent(virtualKey, code.scanCode, flags);
}

void HostActionExecutor::SendMouse(uint32_t flags) {
  held_.NoteMouseEvent(flags);
  d_.input.MouseEvent(flags);
}

void HostActionExecutor::PlayEvent(MacroEvent event, KeyCode code) {
  const uint8_t key = event.key;
  if (event.direction != kKeyDown && event.direction != kKeyUp) return;
  const bool down = event.direction == kKeyDown;
  if (key < kLeftButtonKey) {
    SendKey(key, code, down ? 0 : kKeyEventKeyUp);
  } else if (key == kLeftButtonKey) {
    SendMouse(down ? kMouseEventLeftDown : kMouseEventLeftUp);
  } else if (key == kRightButtonKey) {
    SendMouse(down ? kMouseEventRightDown : kMouseEventRightUp);
  } else {
    SendMouse(down ? kMouseEventMiddleDown : kMouseEventMiddleUp);
  }
}

void HostActionExecutor::PlayMacro(int slot) {
  // A copy taken now: an edit or a file load during playback cannot tear it.
  const MacroRecord macro = d_.macros.Snapshot(slot);
  int repetitions = 1;
  if (d_.profile.macroHoldMode == 1)
    repetitions = kHoldRepetitions;
  else if (macro.repeatMode != 0)
    repetitions = macro.RepeatCount();

  // Everything but the injection is prepared before the first event: the
  // first keyboard-layout lookup can take milliseconds, which would otherwise
  // delay the first event and shorten the pause after it.
  const int events = macro.EventCount();
  std::array<KeyCode, kMacroEventSlots> codes{};
  for (int k = 0; k < events; ++k) {
    const uint8_t key = macro.Event(k).key;
    if (key < kLeftButtonKey) codes[static_cast<size_t>(k)] = KeyboardCode(d_.input, key);
  }
  // The session leaving the console ends a playback as its button's release does.
  auto released = [this] {
    return d_.handover.releaseFlag.load(std::memory_order_acquire) == 1 || !d_.sender.acting();
  };
  // Keys and buttons this playback holds down, in the order pressed.
  std::vector<uint8_t> held;
  auto track = [&held](MacroEvent e) {
    if (e.direction == kKeyDown) {
      held.push_back(e.key);
    } else if (e.direction == kKeyUp) {
      const auto it = std::find(held.rbegin(), held.rend(), e.key);
      if (it != held.rend()) held.erase(std::next(it).base());
    }
  };
  // Ended early by the release flag: what it pressed must not stay down in
  // the whole system, so it is released, the latest first.
  auto releaseHeld = [&] {
    for (auto it = held.rbegin(); it != held.rend(); ++it) {
      PlayEvent({*it, kKeyUp}, *it < kLeftButtonKey ? KeyboardCode(d_.input, *it) : KeyCode{});
    }
  };
  // Pauses are kept against deadlines, so the time spent sending an event
  // (the system runs every low-level hook before the send returns) does not
  // add up over the macro. An event sent late (the thread was held up) moves
  // the rest of the schedule back: the pause after it is kept whole, counted
  // from the moment its sending began, so a key is never held shorter than
  // recorded. The first send after the executor has waited is the slow one
  // (milliseconds, before other programs' hooks see the event): the schedule
  // starts when it has returned, so the first pause is not cut short either.
  auto due = d_.clock.Now();
  for (int r = 0; r < repetitions; ++r) {
    for (int k = 0; k < events; ++k) {
      const MacroEvent event = macro.Event(k);
      const auto sending = d_.clock.Now();
      PlayEvent(event, codes[static_cast<size_t>(k)]);
      track(event);
      const auto from = r == 0 && k == 0 ? d_.clock.Now() : sending;
      due = std::max(due, from) + std::chrono::milliseconds(macro.PauseAfter(k));
      d_.clock.SleepUntil(due);
      if (released()) return releaseHeld();
    }
    if (released()) return releaseHeld();
  }
}

}  // namespace nuv
