#include "winapp/keyboard_hook.h"

#include <windows.h>

#include "platform/fault_barrier.h"

namespace nuv::win32 {

namespace {

// The hook procedure has no object of its own; the window thread alone
// installs it and runs it.
HWND g_target = nullptr;

LRESULT HandleKeystroke(int code, WPARAM message, LPARAM data) {
  const auto* keystroke = reinterpret_cast<const KBDLLHOOKSTRUCT*>(data);
  // A negative code may come with no keystroke at all.
  const HookDecision decision = code < 0 || !keystroke
                                    ? HookDecision{std::nullopt, true}
                                    : KeyboardHookDecision(code, static_cast<uint32_t>(message),
                                                           keystroke->vkCode, keystroke->flags);
  if (decision.post && g_target) {
    PostMessageW(g_target, decision.post->message, static_cast<WPARAM>(decision.post->key), 0);
  }
  if (decision.passOn) return CallNextHookEx(nullptr, code, message, data);
  return 1;  // the keystroke goes to the recording alone
}

LRESULT CALLBACK KeyboardHook(int code, WPARAM message, LPARAM data) {
  return FaultBarrier([&] { return HandleKeystroke(code, message, data); });
}

}  // namespace

bool Win32KeyboardHook::InstallKeyboardHook() {
  g_target = target_;
  if (!hook_) hook_ = SetWindowsHookExW(WH_KEYBOARD_LL, KeyboardHook, GetModuleHandleW(nullptr), 0);
  return hook_ != nullptr;
}

void Win32KeyboardHook::RemoveKeyboardHook() {
  if (hook_) UnhookWindowsHookEx(static_cast<HHOOK>(hook_));
  hook_ = nullptr;
}

}  // namespace nuv::win32
