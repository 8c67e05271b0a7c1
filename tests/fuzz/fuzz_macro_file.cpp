// Loads a macro file of arbitrary contents, as Import does with any file the
// user picks: nothing may crash, no name may run past its field, and saving
// the store and loading that file again must give the same store.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "macro/macro_file.h"
#include "platform/host/host_ini.h"
#include "platform/host/recording_messages.h"

namespace {

using namespace nuv;

void Check(bool ok) {
  if (!ok) std::abort();
}

const std::string& Folder() {
  static const std::string folder = [] {
    auto dir =
        std::filesystem::temp_directory_path() / ("nuv-fuzz-macro-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    return dir.string();
  }();
  return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string file = Folder() + "/import.dat";
  const std::string copy = Folder() + "/export.dat";
  {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  std::filesystem::remove(copy);

  HostIni ini;
  RecordingMessages messages;
  MacroStore first;
  MacroFiles(ini, messages, first).LoadMacroFile(Widen(file));
  Check(messages.All().empty());
  Check(first.Count() >= 0 && first.Count() <= kMacroSlotCount);
  Check(first.currentMacro >= 0 && first.currentMacro < kMacroSlotCount);
  for (int i = 0; i < kMacroSlotCount; ++i) {
    const MacroRecord& r = first.Read(i);
    Check(r.Name().size() <= kMacroNameMaxChars);
    Check(r.EventCount() <= kMacroEventSlots);
    Check(DecodeMacroRecord(EncodeMacroRecord(r)) == r);
  }

  MacroFiles(ini, messages, first).SaveMacroFile(Widen(copy));
  MacroStore second;
  MacroFiles(ini, messages, second).LoadMacroFile(Widen(copy));
  Check(messages.All().empty());
  Check(second.Count() == first.Count());
  Check(second.currentMacro == first.currentMacro);
  for (int i = 0; i < kMacroSlotCount; ++i) Check(second.Read(i) == first.Read(i));
  return 0;
}
