// Private-profile (INI) access, the only way the system reads and writes its
// configuration, macro and skin files.
//
// Semantics every adapter keeps (those of the Windows private-profile routines):
// - GetString reads through a buffer of `capacity` characters, so it returns at
//   most capacity - 1 characters;
// - an absent file, section or key reads as the empty text;
// - section and key names compare without regard to case;
// - SetString creates the file and the section when they are missing, replaces
//   an existing key's value in place, and appends a new key to its section.
#pragma once

#include <cstddef>

#include "platform/text.h"

namespace nuv {

class IniPort {
 public:
  virtual ~IniPort() = default;
  virtual Text GetString(const Text& path, const Text& section, const Text& key,
                         size_t capacity) = 0;
  // Returns false when the file could not be written.
  virtual bool SetString(const Text& path, const Text& section, const Text& key,
                         const Text& value) = 0;
};

}  // namespace nuv
