#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/ini_port.h"
#include "platform/text.h"

namespace nuv {

// The parsed form of a private-profile file, and what the private-profile
// routines make of it: the same parse, lookup, change and text that the
// system's routines give, so that a whole file can be read, changed and
// written in memory and replaced in one step.
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

// A value as the private-profile read copies it into a buffer of `capacity`
// characters: a value enclosed in a matching pair of quotes loses them, then
// the text is cut to capacity - 1.
Text CopyIniValue(TextView value, size_t capacity);

// The INI port over one document in memory, whatever path it is given: a
// profile or macro file that reaches the program as its contents is read and
// made through it, and never opened by the program.
class DocumentIni : public IniPort {
 public:
  DocumentIni() = default;
  explicit DocumentIni(IniDocument doc) : document(std::move(doc)) {}
  Text GetString(const Text& path, const Text& section, const Text& key, size_t capacity) override;
  bool SetString(const Text& path, const Text& section, const Text& key,
                 const Text& value) override;

  IniDocument document;
};

}  // namespace nuv
