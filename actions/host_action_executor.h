// The worker that performs on the PC the functions of the buttons that the
// mouse reports instead of performing them: DPI steps and the LED switch (sent
// back to the mouse), shortcuts, the mute key, shell actions, the profile
// switch, and macro playback.
#pragma once

#include <chrono>
#include <functional>

#include "actions/host_handover.h"
#include "macro/macro_store.h"
#include "platform/clock_port.h"
#include "platform/held_inputs.h"
#include "platform/input_port.h"
#include "platform/key_codes.h"
#include "platform/shell_port.h"
#include "settings/config_store.h"
#include "settings/mouse_profile.h"
#include "settings/settings_protocol.h"

namespace nuv {

// Repetitions of a macro played while its button is held (macro hold mode 1).
constexpr int kHoldRepetitions = 100000;
// Pause between the letter's down and up in the Ctrl shortcuts.
constexpr auto kShortcutHold = std::chrono::milliseconds(20);
// The executor blocks until the reader wakes it with an action; this timeout
// is only a safety net, long enough to cost nothing while idle.
constexpr auto kExecutorWait = std::chrono::minutes(1);

struct ExecutorDependencies {
  MouseProfile& profile;
  ConfigStore& store;
  MacroStore& macros;
  FeatureReportSender& sender;
  ProfileApplier& applier;
  InputPort& input;
  ShellPort& shell;
  ClockPort& clock;
  HostHandover& handover;
};

class HostActionExecutor {
 public:
  explicit HostActionExecutor(const ExecutorDependencies& deps) : d_(deps) {}

  std::function<void()> repaint;

  // The thread procedure: highest priority, never returns.
  [[noreturn]] void Run();
  // One pass of the loop: performs the pending action, if any, then lowers both
  // flags. Returns whether an action was pending.
  bool RunOnce();

  // The function of button i (1..7) as the profile has it now.
  void PerformButton(int button);
  void PlayMacro(int slot);

  // Releases every key and button that a playback or shortcut holds down now
  // (any thread: the close after a fault runs it while a playback may be cut
  // off), each once.
  void ReleaseHeldKeys();
  // What the executor's input holds down now, for the hard ending after a
  // fault, which sends the releases without this object.
  HeldInputs& Held() { return held_; }

 private:
  void StepDpi(int32_t role);
  void SwitchLed();
  void Shortcut(uint8_t modifier, uint8_t key, bool hold);
  void NextProfile();
  void PlayEvent(MacroEvent event, KeyCode code);
  // Every key and button event that can hold something down goes through
  // these two, which note it in `held_` before it is sent.
  void SendKey(uint8_t virtualKey, KeyCode code, uint32_t upFlag);
  // Down and up, with the codes the keyboard sends for the key.
  void TapKey(uint8_t virtualKey);
  void SendMouse(uint32_t flags);

  ExecutorDependencies d_;
  HeldInputs held_;
};

}  // namespace nuv
