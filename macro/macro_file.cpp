#include "macro/macro_file.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "platform/ini_document.h"

namespace nuv {

size_t MacroGroupOffset(size_t group) {
  constexpr size_t kHeaderGroups = 44;
  if (group < kHeaderGroups) return group;
  const size_t k = (group - kHeaderGroups) / 4;
  switch ((group - kHeaderGroups) % 4) {
    case 0:
      return 44 + 2 * k;  // key code of event slot k
    case 1:
      return 45 + 2 * k;  // its direction
    case 2:
      return 554 + 2 * k;  // delay word k + 1, low byte
    default:
      return 555 + 2 * k;  // and high byte
  }
}

Text EncodeMacroRecord(const MacroRecord& record) {
  const auto bytes = record.Bytes();
  Text value;
  value.reserve(kMacroValueDigits);
  for (size_t group = 0; group < kMacroRecordSize; ++group) {
    const uint8_t b = bytes[MacroGroupOffset(group)];
    value += static_cast<char16_t>(u'0' + b / 100);
    value += static_cast<char16_t>(u'0' + b / 10 % 10);
    value += static_cast<char16_t>(u'0' + b % 10);
  }
  return value;
}

MacroRecord DecodeMacroRecord(TextView value) {
  std::array<uint8_t, kMacroRecordSize> bytes{};
  for (size_t group = 0; group < kMacroRecordSize; ++group) {
    const size_t at = 3 * group;
    const TextView digits = at < value.size() ? value.substr(at, 3) : TextView();
    // The low 8 bits of whatever the group says, negative numbers included.
    bytes[MacroGroupOffset(group)] = static_cast<uint8_t>(static_cast<uint32_t>(ParseInt(digits)));
  }
  return MacroRecord::FromBytes(bytes);
}

bool CanOpenForReading(const Text& path) {
#ifdef _WIN32
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
#else
  Text local = path;
  std::replace(local.begin(), local.end(), u'\\', u'/');
  std::ifstream in(std::filesystem::path(Narrow(local)), std::ios::binary);
#endif
  return static_cast<bool>(in);
}

Text MacroFiles::WorkingFilePath(const Text& app_folder, int32_t ui_language) {
  return app_folder + (ui_language != 0 ? u"\\Macro_EN.dat" : u"\\Macro_CN.dat");
}

Text MacroFiles::DefaultFilePath(const Text& skin_folder, int32_t ui_language) {
  return skin_folder + (ui_language != 0 ? u"\\INI_EN\\defMacro.dat" : u"\\INI_CN\\defMacro.dat");
}

void MacroFiles::LoadMacroFile(const Text& path) {
  // A missing file is reported and then read like an empty one.
  if (!CanOpenForReading(path)) messages_.Show(kMissingFileText, caption);
  Read(ini_, path);
}

void MacroFiles::ImportMacroFile(const std::string* contents) {
  if (!contents) messages_.Show(kMissingFileText, caption);
  DocumentIni file(IniDocument::Parse(contents ? *contents : std::string()));
  Read(file, Text());
}

std::string MacroFiles::ExportMacroFile(const std::string& existing) {
  DocumentIni file(IniDocument::Parse(existing));
  Write(file, Text());
  return file.document.Serialise();
}

void MacroFiles::Read(IniPort& ini, const Text& path) {
  const int count =
      std::clamp(ParseInt(ini.GetString(path, kSection, kCountKey, 3)), 0, kMacroSlotCount);
  std::array<MacroRecord, kMacroSlotCount> records{};
  for (int i = 0; i < count; ++i) {
    records[static_cast<size_t>(i)] =
        DecodeMacroRecord(ini.GetString(path, kSection, FormatInt(i), kMacroValueDigits + 1));
  }
  store_.Assign(count, records.data());
  store_.currentMacro = count > 0 ? count - 1 : 0;
}

void MacroFiles::SaveMacroFile(const Text& path) { Write(ini_, path); }

void MacroFiles::Write(IniPort& ini, const Text& path) {
  const int count = store_.Count();
  // The count and the records are one file, replaced once.
  const IniBatch batch(ini);
  ini.SetString(path, kSection, kCountKey, FormatInt(count));
  for (int i = 0; i < count; ++i)
    ini.SetString(path, kSection, FormatInt(i), EncodeMacroRecord(store_.Snapshot(i)));
}

}  // namespace nuv
