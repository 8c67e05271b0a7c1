// Skin values from arbitrary INI file contents: the split keeps every
// character in order, the loaders never crash, and every rectangle they store
// is what the fields say.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/host/host_ini.h"
#include "platform/host/recording_messages.h"
#include "ui/skin_tables.h"

namespace {

using namespace nuv;

void Check(bool ok) {
  if (!ok) std::abort();
}

// The fields joined again by the commas that separated them give the value.
void CheckSplit(TextView value) {
  const SkinEntry fields = SplitSkinValue(value);
  const size_t commas = std::min<size_t>(CountCommas(value), 6);
  Text joined;
  for (size_t i = 0; i <= commas; ++i) {
    if (i > 0) joined += u',';
    joined += fields[i];
  }
  Check(joined == value);
  for (size_t i = commas + 1; i < fields.size(); ++i) Check(fields[i].empty());
  for (size_t i = 0; i < 6; ++i) Check(CountCommas(fields[i]) == 0);
}

const std::filesystem::path& Folder() {
  static const std::filesystem::path folder = [] {
    auto dir =
        std::filesystem::temp_directory_path() / ("nuv-fuzz-skin-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir / "INI_EN");
    return dir;
  }();
  return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  CheckSplit(Widen(bytes));
  Text utf16;
  for (size_t i = 0; i + 1 < size; i += 2)
    utf16.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
  CheckSplit(utf16);

  for (const char* name :
       {"skin_main_en.ini", "skin_advance_en.ini", "skin_color_en.ini", "LBWarning_en.ini"}) {
    std::ofstream out(Folder() / "INI_EN" / name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  HostIni ini;
  RecordingMessages messages;
  int closes = 0;
  SkinSources sources{ini, messages, u"fuzz", nullptr, [&] { ++closes; }};
  const Text folder = Widen(Folder().string());

  MainSkinTable main;
  FunctionNameTable names;
  Check(LoadMainSkin(sources, folder, 1, main, names));
  AdvancedSkinTable advanced;
  MacroControlRects controls;
  Check(LoadAdvancedSkin(sources, folder, 1, advanced, controls));
  ColourSkinTable colour;
  Check(LoadColourSkin(sources, folder, 1, colour));
  WarningSkinTable warning;
  Check(LoadWarningSkin(sources, folder, 1, warning));
  Check(closes == 0);
  for (const auto& shown : messages.All()) Check(shown.text == kSkinEntryMalformedText);

  // Every stored rectangle agrees with its own key read again.
  SkinEntry entry;
  for (int key = 0; key < 100; ++key) {
    Check(ReadSkinEntry(sources, folder + u"\\INI_EN\\skin_main_en.ini", u"BUTTONPOS", key, entry));
    Check(SkinRectOf(entry) == main.rects[static_cast<size_t>(key)]);
    Check(entry[5] == main.captions[static_cast<size_t>(key)]);
    Check(entry[0].size() + entry[5].size() < kSkinValueCapacity);
  }
  const SkinBox box = ToBox(controls.macroEventList);
  Check(box.left == controls.macroEventList.x && box.top == controls.macroEventList.y);
  Check(HitTest(0, 0, main.rects, 90) <= 90 || HitTest(0, 0, main.rects, 90) == kNoSkinHit);
  return 0;
}
