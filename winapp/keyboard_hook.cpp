#include "winapp/keyboard_hook.h"

#include <windows.h>

#include "app/startup.h"
#include "platform/win32/win32_text.h"

namespace nuv::win32 {

namespace {

LRESULT CALLBACK KeyboardHook(int code, WPARAM message, LPARAM data) {
  const auto* keystroke = reinterpret_cast<const KBDLLHOOKSTRUCT*>(data);
  const auto post =
      KeyboardHookPost(code, static_cast<uint32_t>(message), keystroke ? keystroke->vkCode : 0);
  if (post) {
    // Looked up on every keystroke: the hook holds no window of its own.
    if (HWND window = FindWindowW(nullptr, W(Text(kMainWindowTitle)))) {
      PostMessageW(window, post->message, static_cast<WPARAM>(post->key), 0);
    }
  }
  return 1;  // the keystroke goes to no other hook or window
}

}  // namespace

bool Win32KeyboardHook::InstallKeyboardHook() {
  if (!hook_) hook_ = SetWindowsHookExW(WH_KEYBOARD_LL, KeyboardHook, GetModuleHandleW(nullptr), 0);
  return hook_ != nullptr;
}

void Win32KeyboardHook::RemoveKeyboardHook() {
  if (hook_) UnhookWindowsHookEx(static_cast<HHOOK>(hook_));
  hook_ = nullptr;
}

}  // namespace nuv::win32
