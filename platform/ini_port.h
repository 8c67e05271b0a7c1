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
// Unlike the system's routines, the program's own port never rewrites a live
// file key by key: see IniFiles (platform/ini_files.h).
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

  // The writes between BeginBatch and EndBatch on one thread are one user
  // action: each file they change is replaced once, at the end, and reads in
  // between see them. Batches nest; the outermost end writes. EndBatch is
  // false when a file could not be written (it is then unchanged). Ports that
  // write at once ignore batches.
  virtual void BeginBatch() {}
  virtual bool EndBatch() { return true; }
};

// A batch for the life of a scope.
class IniBatch {
 public:
  explicit IniBatch(IniPort& ini) : ini_(ini) { ini_.BeginBatch(); }
  ~IniBatch() { ini_.EndBatch(); }
  IniBatch(const IniBatch&) = delete;
  IniBatch& operator=(const IniBatch&) = delete;

 private:
  IniPort& ini_;
};

}  // namespace nuv
