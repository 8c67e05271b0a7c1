// config.ini: the five user slots, the mirror of the last apply (slot 6), the
// exchange slot of profile files (slot 7), the factory templates and the two
// start-up values, all through the private-profile routines.
#pragma once

#include <functional>

#include "platform/atomic_field.h"
#include "platform/ini_port.h"
#include "settings/mouse_profile.h"

namespace nuv {

constexpr int kMirrorSlot = 6;
constexpr int kExchangeSlot = 7;

// What the store's user operations hand on to the rest of the program. Empty
// seams do nothing.
struct ConfigStoreSeams {
  std::function<void()> repaint;
  std::function<void()> hideToTray;
  // Reset, after the slots: put back the default macros of the language.
  std::function<void()> restoreDefaultMacros;
  // Reset, last: send the current slot to the mouse (the apply operation).
  std::function<void()> applyProfile;
};

class ConfigStore {
 public:
  ConfigStore(IniPort& ini, MouseProfile& profile) : ini_(ini), profile_(profile) {}

  // Full path of config.ini (application folder + "\\config.ini").
  Text configPath;
  // Current configuration number: 1..5 (a value outside reads as 1).
  AtomicField<int32_t> currentConfig;
  // Language selection (VER_SEL): non-zero for English.
  AtomicField<int32_t> languageSelection{1};
  ConfigStoreSeams seams;

  // Reads CurConfig and VER_SEL of section Init.
  void LoadStartValues();

  // Loads a slot into the working profile, kept usable (KeepProfileUsable).
  void LoadProfile(const Text& path, int slot, bool from_reset);
  // True when the slot's section of the file holds any key of a profile.
  bool HoldsProfile(const Text& path, int slot) const;
  void SaveProfile(const Text& path, int slot) const;
  void SaveDpiLevel(const Text& path, int slot) const;
  void WriteCurrentConfig(const Text& path) const;
  void WriteLanguageSelection(const Text& path) const;

  // The main page's store keys.
  void ChooseSlot(int key);  // keys 4..8
  void Cancel();             // key 2
  // Import and export of a profile file the user chose, through a port over
  // that file's contents (a DocumentIni): the program is handed what the file
  // holds and hands back what it is to hold, and never opens the path.
  // False, and nothing changed, when the file holds no profile.
  bool Import(IniPort& file);
  void Export(IniPort& file);
  void Reset();  // key 16

  static Text SectionName(int slot, bool from_reset, int32_t language_selection);

  // The writes to config.ini of one user action, replacing the file once.
  IniPort& ini() const { return ini_; }

 private:
  int32_t ReadInt(const Text& path, const Text& section, const Text& key, size_t chars) const;
  void WriteInt(const Text& path, const Text& section, const Text& key, int64_t value) const;

  IniPort& ini_;
  MouseProfile& profile_;
};

}  // namespace nuv
