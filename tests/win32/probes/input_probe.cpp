// Sees our input as every other program does: through the system's low-level
// keyboard and mouse hooks, in a process of its own. bench/macro_timing.sh
// runs it beside NUV_Talv.exe.
//
//   input_probe.exe <log file> <seconds>
//
// Installs WH_KEYBOARD_LL and WH_MOUSE_LL, and for <seconds> notes every key
// and every mouse button event with the steady clock's count in microseconds
// at the hook's call (the clock of the virtual mouse's trace time stamps) and
// the event's own time stamp in milliseconds. Then writes one line per event:
//   K <virtual key> <D|U> <microseconds> <event ms> <1 if injected> <scan code> <1 if extended>
//   M <button 1..3> <D|U> <microseconds> <event ms> <1 if injected> 0 0
// The log file holds the single line "ready" while the hooks are in place.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cwchar>
#include <vector>

namespace {

struct Event {
  char device;
  unsigned code;
  bool down;
  long long us;
  unsigned long ms;
  bool injected;
  unsigned scanCode = 0;
  bool extended = false;
};

std::vector<Event>* events = nullptr;

long long NowUs() {
  return std::chrono::duration_cast<std::chrono::microseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

LRESULT CALLBACK KeyboardHook(int code, WPARAM message, LPARAM data) {
  const long long now = NowUs();
  if (code == HC_ACTION) {
    const auto* k = reinterpret_cast<const KBDLLHOOKSTRUCT*>(data);
    const bool down = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
    events->push_back({'K', k->vkCode, down, now, k->time, (k->flags & LLKHF_INJECTED) != 0,
                       k->scanCode, (k->flags & LLKHF_EXTENDED) != 0});
  }
  return CallNextHookEx(nullptr, code, message, data);
}

LRESULT CALLBACK MouseHook(int code, WPARAM message, LPARAM data) {
  const long long now = NowUs();
  if (code == HC_ACTION) {
    const auto* m = reinterpret_cast<const MSLLHOOKSTRUCT*>(data);
    unsigned button = 0;
    bool down = false;
    switch (message) {
      case WM_LBUTTONDOWN:
        button = 1, down = true;
        break;
      case WM_LBUTTONUP:
        button = 1;
        break;
      case WM_RBUTTONDOWN:
        button = 2, down = true;
        break;
      case WM_RBUTTONUP:
        button = 2;
        break;
      case WM_MBUTTONDOWN:
        button = 3, down = true;
        break;
      case WM_MBUTTONUP:
        button = 3;
        break;
      default:
        break;
    }
    if (button != 0) {
      events->push_back({'M', button, down, now, m->time, (m->flags & LLMHF_INJECTED) != 0});
    }
  }
  return CallNextHookEx(nullptr, code, message, data);
}

bool WriteLog(const wchar_t* path, const std::vector<Event>& log, bool ready) {
  FILE* out = _wfopen(path, L"wb");
  if (!out) return false;
  if (ready) std::fputs("ready\n", out);
  for (const Event& e : log) {
    std::fprintf(out, "%c %u %c %lld %lu %d %u %d\n", e.device, e.code, e.down ? 'D' : 'U', e.us,
                 e.ms, e.injected ? 1 : 0, e.scanCode, e.extended ? 1 : 0);
  }
  return std::fclose(out) == 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: input_probe <log file> <seconds>\n");
    return 2;
  }
  const wchar_t* log_path = argv[1];
  const int seconds = _wtoi(argv[2]);
  std::vector<Event> log;
  log.reserve(1 << 16);
  events = &log;
  // The hooks are called on this thread, in its message loop: highest
  // priority, so that what the probe notes is the delivery, not its own delay.
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
  HINSTANCE self = GetModuleHandleW(nullptr);
  HHOOK keyboard = SetWindowsHookExW(WH_KEYBOARD_LL, KeyboardHook, self, 0);
  HHOOK mouse = SetWindowsHookExW(WH_MOUSE_LL, MouseHook, self, 0);
  if (!keyboard || !mouse) {
    std::fprintf(stderr, "input_probe: the hooks could not be installed\n");
    return 1;
  }
  WriteLog(log_path, {}, true);
  const UINT_PTR timer = SetTimer(nullptr, 0, static_cast<UINT>(seconds) * 1000, nullptr);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (message.message == WM_TIMER && message.wParam == timer) break;
    DispatchMessageW(&message);
  }
  UnhookWindowsHookEx(keyboard);
  UnhookWindowsHookEx(mouse);
  return WriteLog(log_path, log, false) ? 0 : 1;
}
