// The program's core around host adapters and the virtual mouse, for tests and
// benchmarks: nothing reaches the real system.
#pragma once

#include "app/program_core.h"
#include "platform/host/fake_clock.h"
#include "platform/host/fake_system_settings.h"
#include "platform/host/host_ini.h"
#include "platform/host/recording_input.h"
#include "platform/host/recording_shell.h"
#include "platform/virtual/virtual_mouse.h"

namespace nuv {

template <typename ClockT = FakeClock>
struct HostProgram {
  explicit HostProgram(VirtualMouseOptions options = {}) : mouse(options) {}

  VirtualMouse mouse;
  HostIni ini;
  RecordingInput input;
  FakeSystemSettings system;
  RecordingShell shell;
  ClockT clock;
  ProgramCore core{{mouse, ini, input, system, shell, clock}};
};

}  // namespace nuv
