// The INI port over the system's private-profile routines.
#pragma once

#include "platform/ini_port.h"

namespace nuv::win32 {

class Win32Ini : public IniPort {
 public:
  Text GetString(const Text& path, const Text& section, const Text& key, size_t capacity) override;
  bool SetString(const Text& path, const Text& section, const Text& key,
                 const Text& value) override;
};

}  // namespace nuv::win32
