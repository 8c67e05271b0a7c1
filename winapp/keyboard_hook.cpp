#include "winapp/keyboard_hook.h"

#include <windows.h>

#include <vector>

#include "platform/fault_barrier.h"
#include "platform/key_codes.h"
#include "platform/win32/win32_input.h"

namespace nuv::win32 {

namespace {

// The hook procedure has no object of its own; the window thread alone
// installs it and runs it.
Win32KeyboardHook* g_hook = nullptr;

// Looks at a held-back Esc when no keystroke comes (a held key may not
// repeat).
constexpr UINT_PTR kLongEscapeTimer = 0x4E55;
constexpr UINT kLongEscapeTick = 100;

void EndRecording(HWND target) {
  KillTimer(target, kLongEscapeTimer);
  PostMessageW(target, Win32KeyboardHook::kEndRecordingMessage, 0, 0);
}

void CALLBACK LongEscapeTick(HWND window, UINT, UINT_PTR timer, DWORD) {
  FaultBarrier([&] {
    if (!g_hook || !g_hook->gate().EscapeHeldBack()) {
      KillTimer(window, timer);
    } else if (g_hook->gate().LongEscape(GetTickCount())) {
      EndRecording(window);
    }
  });
}

LRESULT HandleKeystroke(int code, WPARAM message, LPARAM data) {
  const auto* keystroke = reinterpret_cast<const KBDLLHOOKSTRUCT*>(data);
  // A negative code may come with no keystroke at all.
  if (code < 0 || !keystroke || !g_hook) return CallNextHookEx(nullptr, code, message, data);
  const HWND target = g_hook->target();
  RecordingKeyGate& gate = g_hook->gate();
  const HookDecision decision =
      gate.Decide(code,
                  Keystroke{static_cast<uint32_t>(message), keystroke->vkCode, keystroke->flags,
                            keystroke->time},
                  target && GetForegroundWindow() == target);
  for (const auto& post : {decision.heldBack, decision.post}) {
    if (post && target) {
      PostMessageW(target, post->message, static_cast<WPARAM>(post->key),
                   static_cast<LPARAM>(PostedKeyParam(post->age)));
    }
  }
  if (decision.endRecording && target) {
    EndRecording(target);
  } else if (gate.EscapeHeldBack() && target) {
    SetTimer(target, kLongEscapeTimer, kLongEscapeTick, LongEscapeTick);
  }
  if (decision.passOn) return CallNextHookEx(nullptr, code, message, data);
  return 1;  // the keystroke goes to the recording alone
}

LRESULT CALLBACK KeyboardHook(int code, WPARAM message, LPARAM data) {
  return FaultBarrier([&] { return HandleKeystroke(code, message, data); });
}

}  // namespace

Win32KeyboardHook::~Win32KeyboardHook() {
  RemoveKeyboardHook();
  if (g_hook == this) g_hook = nullptr;
}

bool Win32KeyboardHook::InstallKeyboardHook() {
  g_hook = this;
  gate_.Start();
  if (!hook_) hook_ = SetWindowsHookExW(WH_KEYBOARD_LL, KeyboardHook, GetModuleHandleW(nullptr), 0);
  return hook_ != nullptr;
}

void Win32KeyboardHook::RemoveKeyboardHook() {
  if (hook_) UnhookWindowsHookEx(static_cast<HHOOK>(hook_));
  hook_ = nullptr;
  if (target_) KillTimer(target_, kLongEscapeTimer);
}

void Win32KeyboardHook::ReplayChord() {
  if (hook_) return;  // the recording would take it
  std::vector<INPUT> inputs;
  Win32Input layout;
  for (uint8_t key : gate_.replay()) {
    const KeyCode code = KeyboardCode(layout, key);
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = code.scanCode;
    input.ki.dwFlags = code.flags;  // the port's flag is the system's KEYEVENTF_EXTENDEDKEY
    inputs.push_back(input);
  }
  gate_.Start();  // once
  if (!inputs.empty()) {
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  }
}

}  // namespace nuv::win32
