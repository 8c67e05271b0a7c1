// Our own implementation of the private-profile routines, for the native build
// and its tests. It rereads the file on every call (the files are small and this
// keeps it free of stale caches), and writes the whole file back on a change,
// keeping the file's text encoding (UTF-16LE with byte-order mark, UTF-8 with
// byte-order mark, or plain 8-bit text).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/ini_port.h"

namespace nuv {

class HostIni : public IniPort {
 public:
  Text GetString(const Text& path, const Text& section, const Text& key, size_t capacity) override;
  bool SetString(const Text& path, const Text& section, const Text& key,
                 const Text& value) override;
};

// The parsed form of a profile file; exposed for the fuzz target and tests.
struct IniDocument {
  enum class Encoding { kAnsi, kUtf8Bom, kUtf16Le, kUtf16Be };
  struct Entry {
    Text name;
    std::optional<Text> value;  // a line without '=' has no value
  };
  struct Section {
    Text name;
    std::vector<Entry> entries;
  };
  Encoding encoding = Encoding::kAnsi;
  std::vector<Section> sections;  // sections[0] holds lines before any header

  static IniDocument Parse(const std::string& bytes);
  std::string Serialise() const;
  const Entry* Find(TextView section, TextView key) const;
  // Returns true when the document changed.
  bool Set(TextView section, TextView key, TextView value);
};

}  // namespace nuv
