// Host-side timing, as a user feels it:
//   1. press to action: from the virtual mouse making a press report available
//      to the first synthetic input event of the action (Ctrl down of Ctrl+C),
//      through the real reader and executor threads;
//   2. macro timing: a macro of 200 events with pauses of 1, 5 and 30 ms played
//      by the executor; the error of every played interval against its pause
//      and the drift of the whole macro.
// Run natively:        build/native/bench/host_actions_bench [presses]
// Run under Wine:      wine build/win/bench/host_actions_bench.exe [presses]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "tests/host_program.h"
#ifdef _WIN32
#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_wake.h"
using PlatformClock = nuv::win32::Win32Clock;
using PlatformWake = nuv::win32::Win32Wake;
constexpr const char* kPlatform = "Windows build (Win32Clock: high-resolution waitable timer)";
#else
#include "platform/host/host_clock.h"
using PlatformClock = nuv::HostClock;
using PlatformWake = nuv::StdWake;
constexpr const char* kPlatform = "native build (std::this_thread::sleep_until)";
#endif

namespace {

using namespace nuv;
using std::chrono::duration;
using std::chrono::steady_clock;
using Ms = duration<double, std::milli>;

void PrintFigures(const char* what, std::vector<double> values, const char* unit) {
  if (values.empty()) return;
  std::sort(values.begin(), values.end());
  auto at = [&](double q) {
    return values[std::min(values.size() - 1, static_cast<size_t>(q * (values.size() - 1) + 0.5))];
  };
  std::printf("  %-34s n=%-5zu p50=%8.3f  p99=%8.3f  max=%8.3f %s\n", what, values.size(), at(0.5),
              at(0.99), values.back(), unit);
}

struct Program {
  Program() : host(VirtualMouseOptions{{}, {}, std::chrono::milliseconds(1), {}, &wake}) {
    core.store.configPath =
        Widen((std::filesystem::temp_directory_path() / "nuv-bench.ini").string());
    ResetToFactory(core.profile);
    core.connection.Search();
    core.handover.UseWake(wake);
  }
  PlatformWake wake;  // before the mouse, which wakes its reader through it
  HostProgram<PlatformClock> host;
  ProgramCore& core = host.core;
  VirtualMouse& mouse = host.mouse;
  RecordingInput& input = host.input;
  MouseProfile& profile = core.profile;
  MacroStore& macros = core.macros;
  AttentionState& attention = core.attention;
  ProfileApplier& applier = core.applier;
  HostHandover& handover = core.handover;
  InputReader& reader = core.reader;
  HostActionExecutor& executor = core.executor;
};

void PressToAction(Program& p, int presses) {
  p.profile.buttons[0] = kFnCopy;  // mouse button 1
  p.applier.ApplyProfile();
  while (!p.attention.armed) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  std::vector<double> latencies;
  for (int i = 0; i < presses; ++i) {
    p.input.Clear();
    const auto pressed = steady_clock::now();
    p.mouse.PressButton(1);
    // The latency comes from the event's own time stamp, so this thread can
    // look rarely; polling it finely (sub-millisecond sleeps spin under Wine)
    // would take the processor from the threads being measured.
    while (p.input.Events().empty()) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    latencies.push_back(Ms(p.input.Events().front().at - pressed).count());
    while (p.handover.actionPending || p.input.Events().size() < 4) {
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    p.mouse.ReleaseButton();
    std::this_thread::sleep_for(std::chrono::milliseconds(3));
  }
  std::printf("press to action (reader and executor threads, virtual mouse, Ctrl+C):\n");
  PrintFigures("press report -> Ctrl down", latencies, "ms");
}

void MacroTiming(Program& p) {
  MacroRecord m = MacroRecord::Named(u"Timing");
  const uint16_t pauses[] = {1, 5, 30};
  m.eventCount = 200;
  for (int k = 0; k < 200; ++k) {
    m.events[k] = {static_cast<uint8_t>('A' + k % 26), static_cast<uint8_t>(k % 2 ? 2 : 1)};
    m.SetDelay(k + 1, pauses[k % 3]);
  }
  p.macros.Write(0, m);
  p.macros.SetCount(1);
  p.input.Clear();
  p.executor.PlayMacro(0);
  const auto events = p.input.Events();
  std::vector<double> errors[3];
  std::vector<double> all;
  double programmed = 0;
  for (size_t k = 1; k < events.size(); ++k) {
    const double pause = m.PauseAfter(static_cast<int>(k - 1));
    const double played = Ms(events[k].at - events[k - 1].at).count();
    errors[(k - 1) % 3].push_back(played - pause);
    all.push_back(std::abs(played - pause));
    programmed += pause;
  }
  const double drift = Ms(events.back().at - events.front().at).count() - programmed;
  std::printf("macro timing (200 events, pauses 1/5/30 ms, executor playing on this thread):\n");
  PrintFigures("interval error, 1 ms pauses", errors[0], "ms");
  PrintFigures("interval error, 5 ms pauses", errors[1], "ms");
  PrintFigures("interval error, 30 ms pauses", errors[2], "ms");
  PrintFigures("|interval error|, all", all, "ms");
  std::printf("  drift of the whole macro: %.3f ms over %.0f ms programmed\n", drift, programmed);
}

}  // namespace

int main(int argc, char** argv) {
  const int presses = argc > 1 ? std::max(1, std::atoi(argv[1])) : 300;
  std::printf("host_actions_bench: %s\n", kPlatform);
  Program program;
  std::thread([&] { program.reader.Run(); }).detach();
  std::thread([&] { program.executor.Run(); }).detach();
  PressToAction(program, presses);
  MacroTiming(program);
  std::fflush(stdout);
  std::_Exit(0);  // the worker threads never end, as in the program
}
