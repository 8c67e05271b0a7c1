#include "platform/ini_document.h"

namespace nuv {

namespace {

// Blanks as the private-profile parser sees them (0x1A is the old end-of-file mark).
bool IsBlank(char16_t c) {
  return c == u' ' || (c >= u'\t' && c <= u'\r') || c == 0x1A || c == 0x85 || c == 0xA0 ||
         c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F ||
         c == 0x205F || c == 0x3000;
}

TextView Trim(TextView s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

bool IsValidUtf8(const std::string& bytes, size_t from) {
  return Narrow(Widen(std::string_view(bytes).substr(from))) ==
         std::string_view(bytes).substr(from);
}

Text DecodeAnsi(const std::string& bytes) {
  // Files without a byte-order mark: UTF-8 when they are valid UTF-8 (ASCII
  // included), otherwise one character per byte.
  if (IsValidUtf8(bytes, 0)) return Widen(bytes);
  Text out;
  out.reserve(bytes.size());
  for (unsigned char b : bytes) out.push_back(b);
  return out;
}

Text DecodeUtf16(const std::string& bytes, size_t from, bool little_endian) {
  Text out;
  out.reserve((bytes.size() - from) / 2);
  for (size_t i = from; i + 1 < bytes.size(); i += 2) {
    const auto lo = static_cast<unsigned char>(bytes[little_endian ? i : i + 1]);
    const auto hi = static_cast<unsigned char>(bytes[little_endian ? i + 1 : i]);
    out.push_back(static_cast<char16_t>(lo | (hi << 8)));
  }
  return out;
}

}  // namespace

IniDocument IniDocument::Parse(const std::string& bytes) {
  IniDocument doc;
  Text text;
  if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    doc.encoding = Encoding::kUtf8Bom;
    text = Widen(std::string_view(bytes).substr(3));
  } else if (bytes.size() >= 2 && bytes.compare(0, 2, "\xFF\xFE") == 0) {
    doc.encoding = Encoding::kUtf16Le;
    text = DecodeUtf16(bytes, 2, true);
  } else if (bytes.size() >= 2 && bytes.compare(0, 2, "\xFE\xFF") == 0) {
    doc.encoding = Encoding::kUtf16Be;
    text = DecodeUtf16(bytes, 2, false);
  } else {
    text = DecodeAnsi(bytes);
  }

  doc.sections.push_back(Section{});
  const TextView all(text);
  size_t pos = 0;
  while (pos < all.size()) {
    size_t end = pos;
    while (end < all.size() && all[end] != u'\n' && all[end] != u'\r') ++end;
    TextView line = Trim(all.substr(pos, end - pos));
    pos = end;
    while (pos < all.size() && (all[pos] == u'\n' || all[pos] == u'\r')) ++pos;
    if (line.empty()) continue;

    if (line.front() == u'[') {
      const size_t close = line.rfind(u']');
      if (close != TextView::npos && close > 0) {
        doc.sections.push_back(Section{Text(line.substr(1, close - 1)), {}});
        continue;
      }
      // A header without its bracket is an ordinary line.
    }
    Entry entry;
    const size_t eq = line.find(u'=');
    if (eq == TextView::npos) {
      entry.name = Text(line);
    } else {
      entry.name = Text(Trim(line.substr(0, eq)));
      entry.value = Text(Trim(line.substr(eq + 1)));
    }
    doc.sections.back().entries.push_back(std::move(entry));
  }
  return doc;
}

std::string IniDocument::Serialise() const {
  Text text;
  for (size_t s = 0; s < sections.size(); ++s) {
    const Section& section = sections[s];
    // sections[0] holds the lines before the first header; every other
    // section keeps its header, even an empty "[]", so nothing merges.
    if (s > 0) {
      text += u'[';
      text += section.name;
      text += u"]\r\n";
    }
    for (const auto& entry : section.entries) {
      text += entry.name;
      if (entry.value) {
        text += u'=';
        text += *entry.value;
      }
      text += u"\r\n";
    }
  }
  std::string out;
  switch (encoding) {
    case Encoding::kUtf16Le:
    case Encoding::kUtf16Be: {
      const bool le = encoding == Encoding::kUtf16Le;
      out += le ? "\xFF\xFE" : "\xFE\xFF";
      for (char16_t c : text) {
        const char lo = static_cast<char>(c & 0xFF);
        const char hi = static_cast<char>(c >> 8);
        out += le ? lo : hi;
        out += le ? hi : lo;
      }
      break;
    }
    case Encoding::kUtf8Bom:
      out = "\xEF\xBB\xBF" + Narrow(text);
      break;
    case Encoding::kAnsi:
      out = Narrow(text);
      break;
  }
  return out;
}

const IniDocument::Entry* IniDocument::Find(TextView section, TextView key) const {
  section = Trim(section);
  key = Trim(key);
  // Only the first section of that name is searched, as the system routines do.
  for (size_t s = 1; s < sections.size(); ++s) {
    if (!EqualsIgnoreCase(sections[s].name, section)) continue;
    for (const auto& entry : sections[s].entries) {
      if (EqualsIgnoreCase(entry.name, key)) return &entry;
    }
    return nullptr;
  }
  return nullptr;
}

bool IniDocument::Set(TextView section, TextView key, TextView value) {
  section = Trim(section);
  key = Trim(key);
  while (!value.empty() && IsBlank(value.front())) value.remove_prefix(1);
  Section* target = nullptr;
  for (size_t s = 1; s < sections.size(); ++s) {
    if (EqualsIgnoreCase(sections[s].name, section)) {
      target = &sections[s];
      break;
    }
  }
  if (target == nullptr) {
    if (sections.empty()) sections.push_back(Section{});
    sections.push_back(Section{Text(section), {}});
    target = &sections.back();
  }
  for (auto& entry : target->entries) {
    if (EqualsIgnoreCase(entry.name, key)) {
      if (entry.value && *entry.value == value) return false;
      entry.value = Text(value);
      return true;
    }
  }
  target->entries.push_back(Entry{Text(key), Text(value)});
  return true;
}

Text CopyIniValue(TextView value, size_t capacity) {
  if (capacity == 0) return Text();
  bool quoted = false;
  if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
      value.back() == value.front()) {
    quoted = true;
    value.remove_prefix(1);
  }
  Text out(value.substr(0, capacity - 1));
  if (quoted && capacity >= value.size() && !out.empty()) out.pop_back();
  return out;
}

Text DocumentIni::GetString(const Text&, const Text& section, const Text& key, size_t capacity) {
  const IniDocument::Entry* entry = document.Find(section, key);
  return entry != nullptr && entry->value ? CopyIniValue(*entry->value, capacity) : Text();
}

bool DocumentIni::SetString(const Text&, const Text& section, const Text& key, const Text& value) {
  document.Set(section, key, value);
  return true;
}

}  // namespace nuv
