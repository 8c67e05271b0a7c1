// The two language buttons of the strip: everything that depends on the
// interface language is loaded again (skin tables, decoded pictures, the
// language's working macro file, both menus, the title), and the choice is
// kept in config.ini for the next start. The profile, the page, the hover
// state and the device link stay as they are.
#pragma once

#include <cstdint>

#include "macro/macro_file.h"
#include "platform/atomic_field.h"
#include "settings/config_store.h"
#include "ui/skin_tables.h"

namespace nuv {

// What the main window does for a switch, in the order SwitchLanguage calls it.
class LanguageSwitchSteps {
 public:
  virtual ~LanguageSwitchSteps() = default;
  // One skin INI file of `language` into its table. False when the file was
  // missing: its message and the close sequence have run, the window is gone.
  virtual bool ReloadSkin(SkinFile file, int32_t language) = 0;
  // Drops the decoded pictures, so that a changed skin is seen.
  virtual void ForgetPictures() = 0;
  // The advanced page's macro list from the store, and the whole window.
  virtual void RefillMacroList() = 0;
  virtual void InvalidateAll() = 0;
  // Both menus released and loaded in `language`, their records counted anew.
  virtual void ReloadMenus(int32_t language) = 0;
  virtual void SetTitle(const Text& title) = 0;
  virtual void Repaint() = 0;
};

struct LanguageSwitchTargets {
  // The interface language (non-zero English), as the pages read it.
  AtomicField<int32_t>& uiLanguage;
  // Its stored copy (VER_SEL) and config.ini.
  ConfigStore& store;
  MacroFiles& macroFiles;
  const Text& applicationFolder;
  bool advancedPageShown = false;
};

// Switches to English (`language` non-zero) or the second language. Runs in
// full even when the language is already active. The macros in memory are
// replaced by the new language's working file without being saved first.
// Returns false when a skin file was missing (the program is closing, and
// VER_SEL keeps the language that worked).
bool SwitchLanguage(int32_t language, const LanguageSwitchTargets& targets,
                    LanguageSwitchSteps& steps);

}  // namespace nuv
