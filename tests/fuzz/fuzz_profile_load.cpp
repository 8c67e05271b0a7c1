// Loads a profile from arbitrary config.ini contents: nothing may crash, every
// field must land in its range, and a save and reload must give the same
// profile. Also checks that the INI parser reads back what it writes.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/host/host_ini.h"
#include "settings/config_store.h"

namespace {

using namespace nuv;

#define CHECK(condition)                                      \
  do {                                                        \
    if (!(condition)) {                                       \
      std::fprintf(stderr, "check failed: %s\n", #condition); \
      std::abort();                                           \
    }                                                         \
  } while (0)

bool SameDocument(const IniDocument& a, const IniDocument& b) {
  if (a.sections.size() != b.sections.size()) return false;
  for (size_t s = 0; s < a.sections.size(); ++s) {
    if (a.sections[s].name != b.sections[s].name) return false;
    const auto& ea = a.sections[s].entries;
    const auto& eb = b.sections[s].entries;
    if (ea.size() != eb.size()) return false;
    for (size_t e = 0; e < ea.size(); ++e) {
      if (ea[e].name != eb[e].name || ea[e].value != eb[e].value) return false;
    }
  }
  return true;
}

bool SameStored(const MouseProfile& a, const MouseProfile& b) {
  for (size_t i = 0; i < 7; ++i) {
    if (a.buttons[i] != b.buttons[i]) return false;
  }
  for (size_t j = 0; j < 4; ++j) {
    if (a.dpiValue[j] != b.dpiValue[j] || a.dpiEnabled[j] != b.dpiEnabled[j] ||
        a.dpiKnobKey[j] != b.dpiKnobKey[j] || a.appliedDpiValue[j] != b.appliedDpiValue[j])
      return false;
  }
  return a.wheelStatus == b.wheelStatus && a.macroHoldMode == b.macroHoldMode &&
         a.dpiLevel == b.dpiLevel && a.ledMode == b.ledMode && a.pointerSpeed == b.pointerSpeed &&
         a.wheelSpeed == b.wheelSpeed && a.fireTime == b.fireTime;
}

const std::string& Folder() {
  static const std::string folder = [] {
    auto dir = std::filesystem::temp_directory_path() / ("nuv-fuzz-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    return dir.string();
  }();
  return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);

  const IniDocument doc = IniDocument::Parse(bytes);
  CHECK(SameDocument(doc, IniDocument::Parse(doc.Serialise())));

  const std::string file = Folder() + "/config.ini";
  const std::string copy = Folder() + "/copy.ini";
  {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  std::filesystem::remove(copy);

  HostIni ini;
  MouseProfile profile;
  ConfigStore store(ini, profile);
  store.configPath = Widen(file);
  store.LoadStartValues();
  const int slot = size > 0 ? data[0] % 8 : 1;
  store.LoadProfile(store.configPath, slot, size > 1 && (data[1] & 1));

  CHECK(profile.dpiLevel >= 0 && profile.dpiLevel <= 3);
  for (size_t j = 0; j < 4; ++j) {
    CHECK(profile.dpiValue[j] <= 4 && profile.dpiEnabled[j] <= 1);
    CHECK(profile.dpiKnobKey[j] >= DpiKnobKey(static_cast<int>(j), 0) &&
          profile.dpiKnobKey[j] <= DpiKnobKey(static_cast<int>(j), 4));
  }
  CHECK(profile.ledMode <= 3 && profile.pointerSpeed <= 9 && profile.wheelSpeed <= 9);
  CHECK(profile.fireTime >= 0 && profile.fireTime <= 300);

  store.SaveProfile(Widen(copy), slot);
  MouseProfile reloaded;
  ConfigStore again(ini, reloaded);
  again.LoadProfile(Widen(copy), slot, false);
  CHECK(SameStored(profile, reloaded));
  return 0;
}
