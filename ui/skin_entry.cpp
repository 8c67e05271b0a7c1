#include "ui/skin_entry.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace nuv {

size_t CountCommas(TextView value) {
  return static_cast<size_t>(std::count(value.begin(), value.end(), u','));
}

SkinEntry SplitSkinValue(TextView value) {
  SkinEntry fields;
  size_t field = 0;
  size_t start = 0;
  for (size_t i = 0; i < value.size() && field < fields.size() - 1; ++i) {
    if (value[i] != u',') continue;
    fields[field++] = Text(value.substr(start, i - start));
    start = i + 1;
  }
  // The text after the last comma used (or the whole value without commas);
  // for the last field it keeps any further commas.
  fields[field] = Text(value.substr(start));
  return fields;
}

bool ReadSkinEntry(const SkinSources& sources, const Text& path, const Text& section, int key,
                   SkinEntry& out) {
  out = SkinEntry{};
  const bool exists = sources.fileExists ? sources.fileExists(path) : SkinFileExists(path);
  if (!exists) {
    sources.messages.Show(kSkinFileMissingText, sources.messageCaption);
    if (sources.closeWindow) sources.closeWindow();
    return false;
  }
  const Text value = sources.ini.GetString(path, section, FormatInt(key), kSkinValueCapacity);
  if (CountCommas(value) > kSkinEntryMaxCommas) {
    sources.messages.Show(kSkinEntryMalformedText, sources.messageCaption);
  }
  out = SplitSkinValue(value);
  return true;
}

bool SkinFileExists(const Text& path) {
  std::error_code error;
#ifdef _WIN32
  const std::filesystem::path fs_path(path);
#else
  Text slashes = path;
  std::replace(slashes.begin(), slashes.end(), u'\\', u'/');
  const std::filesystem::path fs_path(Narrow(slashes));
#endif
  return std::filesystem::is_regular_file(fs_path, error);
}

}  // namespace nuv
