#include "ui/language_switch.h"

#include "app/startup.h"

namespace nuv {

bool SwitchLanguage(int32_t language, const LanguageSwitchTargets& t, LanguageSwitchSteps& steps) {
  const int32_t flag = language != 0 ? 1 : 0;
  t.uiLanguage = flag;
  for (SkinFile file :
       {SkinFile::kMain, SkinFile::kColour, SkinFile::kAdvanced, SkinFile::kWarning}) {
    if (!steps.ReloadSkin(file, flag)) return false;
  }
  // Kept for the next start only once the language's skins loaded: a
  // language whose skin is missing must not end every later start too.
  t.store.languageSelection = flag;
  t.store.WriteLanguageSelection(t.store.configPath);
  steps.ForgetPictures();

  // One working path for the program: Save and reset write where this loads.
  t.macroFiles.workingPath = MacroFiles::WorkingFilePath(t.applicationFolder, flag);
  t.macroFiles.LoadMacroFile(t.macroFiles.workingPath);
  if (t.advancedPageShown) {
    steps.RefillMacroList();
    steps.InvalidateAll();
  }
  steps.ReloadMenus(flag);
  steps.SetTitle(Text(kMainWindowTitle));
  // The new captions at once, on every page.
  steps.Repaint();
  return true;
}

}  // namespace nuv
