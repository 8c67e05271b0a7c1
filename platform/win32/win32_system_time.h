// The system's UTC time of day (GetSystemTime), for the recorder's pauses.
#pragma once

#include "platform/system_time_port.h"

namespace nuv::win32 {

class Win32SystemTime : public SystemTimePort {
 public:
  SystemTimeOfDay Now() override;
};

}  // namespace nuv::win32
