// Shell actions for tests: counted, never performed.
#pragma once

#include <atomic>

#include "platform/shell_port.h"

namespace nuv {

class RecordingShell : public ShellPort {
 public:
  std::atomic<int> drivesOpened{0};
  std::atomic<int> locks{0};
  std::atomic<int> calculators{0};
  std::atomic<int> commandPrompts{0};

  void OpenDrivesFolder() override { ++drivesOpened; }
  void LockWorkstation() override { ++locks; }
  void StartCalculator() override { ++calculators; }
  void StartCommandPrompt() override { ++commandPrompts; }
};

}  // namespace nuv
