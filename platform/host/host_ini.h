// Our own implementation of the private-profile routines, for the native build
// and its tests. It rereads the file on every call (the files are small and this
// keeps it free of stale caches), and writes the whole file back on a change,
// keeping the file's text encoding (UTF-16LE with byte-order mark, UTF-8 with
// byte-order mark, or plain 8-bit text).
#pragma once

#include "platform/ini_document.h"
#include "platform/ini_port.h"

namespace nuv {

class HostIni : public IniPort {
 public:
  Text GetString(const Text& path, const Text& section, const Text& key, size_t capacity) override;
  bool SetString(const Text& path, const Text& section, const Text& key,
                 const Text& value) override;
};

}  // namespace nuv
