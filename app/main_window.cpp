#include "app/main_window.h"

#include <string_view>

#include "app/startup.h"
#include "macro/macro_file.h"
#include "ui/skin_tables.h"

namespace nuv {

bool IsKeyMessage(uint32_t message) {
  return message == wm::kKeyDown || message == wm::kKeyUp || message == wm::kSysKeyDown ||
         message == wm::kSysKeyUp;
}

bool FilterKeyboardMessage(uint32_t message, uint64_t key, bool recording, bool advancedPageShown,
                           const KeyboardFilterHooks& hooks) {
  if (recording && IsKeyMessage(message)) {
    if (hooks.toRecording && !hooks.toRecording(message, key)) return false;
  } else if (!recording && advancedPageShown && message == wm::kRButtonUp) {
    if (hooks.macroContextMenu) hooks.macroContextMenu();
  } else if (!recording && message == wm::kKeyDown && hooks.toFocus && hooks.toFocus(key)) {
    return true;
  }
  if (message == wm::kKeyDown && (key == kVkEscape || key == kVkReturn)) return true;
  // F10 alone arrives as a system key; every kind is taken so that no half of
  // a press reaches the window.
  return IsKeyMessage(message) && key == kVkF10;
}

void HideToTray(TrayView& view) {
  view.AddTrayIcon();
  view.ShowWindow(kShowMinimize);
  view.ShowWindow(kShowHide);
}

void ShowFromTray(TrayView& view) {
  view.ShowWindow(kShowShow);
  view.ShowWindow(kShowRestore);
  view.DeleteTrayIcon();
}

void ShowForSecondCopy(TrayView& view) {
  ShowFromTray(view);
  view.BringToFront();
}

int64_t OnTrayNotify(TrayView& view, uint64_t iconId, uint64_t mouseMessage) {
  if (iconId != kTrayIconId) return 0;
  if (mouseMessage == wm::kLButtonDblClk) {
    view.DeleteTrayIcon();
    view.ShowWindow(kShowShow);
    view.ShowWindow(kShowRestore);
  } else if (mouseMessage == wm::kRButtonUp) {
    view.ShowTrayMenu();
  }
  return 0;
}

SystemCommandAction ClassifySystemCommand(uint64_t command) {
  const uint64_t masked = command & 0xFFF0;
  if (masked == kAboutCommand) return SystemCommandAction::kAbout;
  if (masked == kSystemCommandMinimize) return SystemCommandAction::kMinimize;
  return SystemCommandAction::kDefault;
}

TrayCommand ClassifyTrayCommand(uint32_t commandId) {
  switch (commandId) {
    case kCommandShowWindow:
    case kCommandShowWindowSecond:
      return TrayCommand::kShowWindow;
    case kCommandExitDriver:
    case kCommandExitDriverSecond:
      return TrayCommand::kExit;
    default:
      return TrayCommand::kNone;
  }
}

bool TrayIconRetry::Begin(bool added) {
  attemptsLeft_ = added ? 0 : kTrayRetryAttempts;
  return !added;
}

bool TrayIconRetry::Retried(bool added) {
  if (added || attemptsLeft_ <= 0) {
    attemptsLeft_ = 0;
    return false;
  }
  return --attemptsLeft_ > 0;
}

namespace {

// The search's answer: with `whole`, only both collections count, since a
// mouse still arriving is listed one collection at a time.
bool FoundMouse(MainWindowSteps& steps, bool whole) {
  return steps.SearchDevice() != 0 && (!whole || steps.DeviceComplete());
}

InitOutcome MissingMouse(MainWindowSession& session, MainWindowSteps& steps) {
  steps.ReportMissingMouse(session.uiLanguage);
  steps.RunCloseSequence();
  return InitOutcome::kClosed;
}

InitOutcome FinishStart(MainWindowSession& session, MainWindowSteps& steps) {
  if (steps.WindowGone()) return InitOutcome::kClosed;
  steps.Wait(kApplyDelayMs);
  steps.ApplyProfile();
  if (session.startHidden == 1) {
    steps.StayInTray();
  } else {
    steps.ShowMainWindow();
  }
  return InitOutcome::kRunning;
}

}  // namespace

InitOutcome InitialiseMainWindow(MainWindowSession& session, ConfigStore& store,
                                 MainWindowSteps& steps) {
  steps.ClearHandOverFlags();
  steps.StartWorkerThreads();
  steps.AddAboutItemAndIcon();

  store.configPath = session.applicationFolder + u"\\config.ini";
  store.LoadStartValues();
  // The flag is the low byte of VER_SEL; the store keeps the same value, so
  // that the pages and the reset's template choice never disagree.
  session.uiLanguage = static_cast<uint8_t>(store.languageSelection.load());
  store.languageSelection = session.uiLanguage.load();
  const int32_t language = session.uiLanguage;
  store.LoadProfile(store.configPath, store.currentConfig, false);
  steps.SetTitle(Text(kMainWindowTitle));

  session.skinFolder = SkinFolderFor(session.applicationFolder);
  // From here on a step may show a message box (a malformed skin entry, a
  // missing macro file) whose loop can answer a WM_CLOSE: the close sequence
  // has then run and the window is gone, and nothing after it may run, least
  // of all the device search and the apply.
  const auto closed = [&steps] { return steps.WindowGone(); };
  if (!steps.LoadPageSkins(session.skinFolder, language) || closed()) return InitOutcome::kClosed;
  steps.ConstructMacroControls();
  if (closed()) return InitOutcome::kClosed;
  if (!steps.LoadWarningSkin(session.skinFolder, language) || closed()) {
    return InitOutcome::kClosed;
  }
  steps.CreateFonts();
  if (closed()) return InitOutcome::kClosed;

  session.maskPath = session.skinFolder + u"\\main_mask.jpg";
  steps.CutWindowShape(session.maskPath);
  if (closed()) return InitOutcome::kClosed;

  steps.LoadMacros(MacroFiles::WorkingFilePath(session.applicationFolder, language));
  if (closed()) return InitOutcome::kClosed;
  steps.LoadMenus(language);
  if (closed()) return InitOutcome::kClosed;

  const bool hidden = CommandLineAsksHidden(steps.CommandLine());
  session.startHidden = hidden ? 1 : 0;
  // Before the search, so that no arrival during it goes unheard.
  steps.WatchDevices();
  if (FoundMouse(steps, hidden)) return FinishStart(session, steps);
  if (closed()) return InitOutcome::kClosed;
  if (!hidden) return MissingMouse(session, steps);
  session.awaitingDevice = true;
  steps.StartDeviceWait(kDeviceWaitMs);
  return InitOutcome::kAwaitingDevice;
}

InitOutcome ContinueDeviceWait(MainWindowSession& session, MainWindowSteps& steps,
                               DeviceWaitEvent event) {
  if (!session.awaitingDevice) return InitOutcome::kRunning;
  // The user asked for the window (a second start): this is no silent logon
  // start any more, and it ends as a shown start without the mouse does.
  if (event == DeviceWaitEvent::kUserAsked) session.startHidden = 0;
  const bool timeUp = event != DeviceWaitEvent::kArrival;
  // At the end of the wait the start's own rule holds: the mouse found at all.
  const bool found = FoundMouse(steps, !timeUp);
  if (steps.WindowGone()) return InitOutcome::kClosed;
  if (!found && !timeUp) return InitOutcome::kAwaitingDevice;
  session.awaitingDevice = false;
  steps.EndDeviceWait();
  return found ? FinishStart(session, steps) : MissingMouse(session, steps);
}

Text SaveFailedText(TextView path, bool english) {
  const size_t slash = path.find_last_of(u"\\/");
  Text name(slash == TextView::npos ? path : path.substr(slash + 1));
  if (!name.empty()) name.insert(0, u" ");
  return english ? u"The file" + name + u" could not be saved. It has not been changed."
                 : u"Não foi possível gravar o arquivo" + name + u". Ele não foi alterado.";
}

std::vector<Text> ReplacedFiles(const Text& applicationFolder) {
  return {applicationFolder + u"\\config.ini", MacroFiles::WorkingFilePath(applicationFolder, 1),
          MacroFiles::WorkingFilePath(applicationFolder, 0)};
}

PageChange PlanPageChange(int from, int to) {
  PageChange change;
  change.startBlinker = to == kPageMain;
  change.startColourAnimation = to == kPageColour;
  change.createMacroControls = to == kPageAdvanced && from != kPageAdvanced;
  change.destroyMacroControls = from == kPageAdvanced && to != kPageAdvanced;
  return change;
}

}  // namespace nuv
