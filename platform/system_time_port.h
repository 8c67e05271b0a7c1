// The system's UTC time of day (GetSystemTime's fields), from which the macro
// recorder measures the pauses between keystrokes.
#pragma once

#include <cstdint>

namespace nuv {

struct SystemTimeOfDay {
  uint16_t hour = 0;
  uint16_t minute = 0;
  uint16_t second = 0;
  uint16_t milliseconds = 0;
};

class SystemTimePort {
 public:
  virtual ~SystemTimePort() = default;
  virtual SystemTimeOfDay Now() = 0;
};

}  // namespace nuv
