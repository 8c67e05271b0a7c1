// The program's process-wide state and workers, apart from its windows: the
// working profile and its store, the macro store, the device link and report
// sender, the apply operation, the hand-over flags, the input reader and the
// host action executor, wired to the ports they use. The main window owns one;
// a test or benchmark creates one afresh around host adapters.
#pragma once

#include "actions/host_action_executor.h"
#include "actions/host_handover.h"
#include "app/lifecycle.h"
#include "device/device_link.h"
#include "device/input_reader.h"
#include "macro/macro_store.h"
#include "platform/clock_port.h"
#include "platform/hid_port.h"
#include "platform/ini_port.h"
#include "platform/input_port.h"
#include "platform/shell_port.h"
#include "platform/system_settings_port.h"
#include "settings/config_store.h"
#include "settings/mouse_profile.h"
#include "settings/settings_protocol.h"

namespace nuv {

struct ProgramPorts {
  HidPort& hid;
  IniPort& ini;
  InputPort& input;
  SystemSettingsPort& system;
  ShellPort& shell;
  ClockPort& clock;
};

class ProgramCore {
 public:
  explicit ProgramCore(const ProgramPorts& p)
      : ports(p),
        store(p.ini, profile),
        connection(p.hid, link),
        sender(p.hid, link),
        applier(profile, store, sender, p.system, attention),
        reader(p.hid, link, attention, handover, profile, p.clock),
        executor({profile, store, macros, sender, applier, p.input, p.shell, p.clock, handover}),
        session(link.acting) {}
  ProgramCore(const ProgramCore&) = delete;
  ProgramCore& operator=(const ProgramCore&) = delete;

  ProgramPorts ports;
  MouseProfile profile;
  ConfigStore store;
  MacroStore macros;
  DeviceLink link;
  DeviceConnection connection;
  FeatureReportSender sender;
  AttentionState attention;
  ProfileApplier applier;
  HostHandover handover;
  InputReader reader;
  HostActionExecutor executor;
  // Fed by the main window with the system's power and session events.
  ResumeFilter resume;
  SessionActivity session;
};

}  // namespace nuv
