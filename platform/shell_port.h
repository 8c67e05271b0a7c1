// The shell actions a button can trigger on the PC.
#pragma once

namespace nuv {

class ShellPort {
 public:
  virtual ~ShellPort() = default;
  // The folder of the computer's drives.
  virtual void OpenDrivesFolder() = 0;
  virtual void LockWorkstation() = 0;
  virtual void StartCalculator() = 0;
  virtual void StartCommandPrompt() = 0;
};

}  // namespace nuv
