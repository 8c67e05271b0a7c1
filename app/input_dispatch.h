// What the pointer does on the main window. The window has no controls of its
// own for clicks: every clickable place is a rectangle of a skin table. Moves
// turn into hover feedback, presses and releases into page changes, edits of
// the working profile and the operations of the shared strip. Only the apply
// key writes to the mouse.
//
// All of it runs on the window thread. The window (CNUV_TalvDlg) hands its
// mouse messages to MainWindowInput and carries out what InputView asks.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "app/main_window.h"
#include "macro/macro_file.h"
#include "platform/file_dialog_wire.h"
#include "settings/config_store.h"
#include "ui/key_focus.h"
#include "ui/page_paint.h"

namespace nuv {

// Keys of the shared strip (main-page keys 0..19, on every page).
namespace strip {
constexpr uint32_t kCancel = 2;
constexpr uint32_t kApply = 3;
constexpr uint32_t kFirstSlot = 4;
constexpr uint32_t kLastSlot = 8;
constexpr uint32_t kTabMain = 9;
constexpr uint32_t kTabAdvanced = 10;
constexpr uint32_t kTabColour = 11;
constexpr uint32_t kMinimise = 12;
constexpr uint32_t kTray = 13;
constexpr uint32_t kImportProfile = 14;
constexpr uint32_t kExportProfile = 15;
constexpr uint32_t kReset = 16;
constexpr uint32_t kSecondLanguage = 17;
constexpr uint32_t kEnglish = 18;
constexpr uint32_t kWebSite = 19;
}  // namespace strip

// Main-page keys of the button labels: key - 24 is the button (1..7).
constexpr uint32_t kFirstButtonLabelKey = 25;
constexpr uint32_t kLastButtonLabelKey = 31;

// Advanced-page keys with an operation of their own.
namespace advanced {
constexpr uint32_t kImportMacros = 0;
constexpr uint32_t kExportMacros = 1;
constexpr uint32_t kNewMacro = 2;
constexpr uint32_t kDeleteMacro = 3;
constexpr uint32_t kRecord = 4;
constexpr uint32_t kSaveMacros = 5;
constexpr uint32_t kRepeatMode = 6;
constexpr uint32_t kFireTimeSlider = 30;
constexpr uint32_t kFireTimeUp = 31;
constexpr uint32_t kFireTimeDown = 32;
}  // namespace advanced

// The maker's web site, opened by strip key 19 with the system's "open"
// action. A reserved name until the maker's address is known: it can never
// lead an administrator's browser to somebody else's server.
constexpr char16_t kWebSiteAddress[] = u"https://www.quarvel.example/";

// The system's standard file dialogs of the strip and the advanced page. All
// start in the application folder, are owned by the main window and hide the
// read-only box.
enum class FileDialogKind { kProfileImport, kProfileExport, kMacroImport, kMacroExport };
struct FileDialogSetup {
  bool save = false;  // save dialogs ask before overwriting
  const char16_t* filter = u"";
  const char16_t* defaultExtension = u"";  // empty: none
};
FileDialogSetup FileDialogFor(FileDialogKind kind);

// What a profile import says of a file that holds no profile (English, the
// second language).
constexpr char16_t kNoProfileText[] = u"This file holds no profile.";
constexpr char16_t kNoProfileTextSecond[] = u"Este arquivo não contém um perfil.";

// The WM_SYSCOMMAND that minimises the window.
constexpr uint32_t kWindowMessageSysCommand = 0x0112;

// What the main window carries out for the input dispatch.
class InputView {
 public:
  virtual ~InputView() = default;
  // The page's repaint rule, erased and drawn at once: on the advanced page
  // only the repaint region (the macro editor's controls are not painted
  // over), elsewhere the whole window.
  virtual void Repaint() = 0;
  // The whole window, drawn when the message queue is next empty.
  virtual void InvalidateAll() = 0;
  // The window system moves the window with the pointer from window point
  // (x, y) (WM_NCLBUTTONDOWN with the caption hit code).
  virtual void DragWindow(int32_t x, int32_t y) = 0;
  // WM_SYSCOMMAND SC_MINIMIZE posted with window point (x, y).
  virtual void PostMinimise(int32_t x, int32_t y) = 0;
  virtual void HideToTray() = 0;

  // Page changes.
  virtual void StartBlinkThread() = 0;
  virtual void StartColourAnimation() = 0;
  virtual void CreateMacroControls() = 0;
  virtual void DestroyMacroControls() = 0;
  virtual void InvalidateRepaintRegion() = 0;
  virtual void UpdateWindow() = 0;
  // The macro list of the advanced page refilled from the store.
  virtual void RefillMacroList() = 0;

  // The standard file dialogs of `kind`, shown with the desktop user's rights
  // by a program of the user's, which reads and writes the chosen file: the
  // program never opens a path the user chose.
  // The open dialog: the chosen file as found; nothing when the dialog was
  // cancelled or failed.
  virtual std::optional<ChosenFile> ImportFile(FileDialogKind kind) = 0;
  // The save dialog: `contents` is given what the chosen file holds now and
  // returns what it is to hold (nothing: the file stays as it is).
  using ExportContents = std::function<std::optional<std::string>(const ChosenFile& existing)>;
  virtual SaveOutcome ExportFile(FileDialogKind kind, const ExportContents& contents) = 0;
  virtual void ApplyProfile() = 0;
  virtual void OpenWebSite() = 0;
  // The language switch of the strip (1 English, 0 the second language).
  virtual void SwitchLanguage(int32_t language) = 0;

  // The function dialog of the button labels.
  virtual bool FunctionDialogOpen() = 0;
  virtual void CloseFunctionDialog() = 0;
  // Button `button` (1..7) gets a function chosen from the dialog opened at
  // window point (x, y) in skin units, just below its label.
  virtual void ChooseButtonFunction(int button, int32_t x, int32_t y) = 0;

  // A message box with the program's caption, owned by the window.
  virtual void ShowMessage(const Text& text) = 0;

  // Ends a macro recording as Stop does, if one runs.
  virtual void EndRecording() = 0;
  // The macro editor's operations (advanced keys 2, 3, 4, 6) and the repeat
  // count that Save (key 5) takes from its box before the file is written.
  virtual void NewMacro() = 0;
  virtual void DeleteMacro() = 0;
  virtual void ToggleRecording() = 0;
  virtual void TakeRepeatCount() = 0;
  virtual void ToggleRepeatMode() = 0;

  // The keyboard focus is now on `focus` (a key of the page shown or one of
  // the macro editor's controls): the window gives a control the system's
  // focus, tells assistive technology and repaints. `pageChanged`: the page
  // shown has other keys now.
  virtual void FocusMoved(KeyRef focus, bool pageChanged) = 0;
};

// Virtual-key codes of the keyboard's way over the face.
constexpr uint32_t kVkTab = 0x09;
constexpr uint32_t kVkSpace = 0x20;
constexpr uint32_t kVkLeft = 0x25;
constexpr uint32_t kVkUp = 0x26;
constexpr uint32_t kVkRight = 0x27;
constexpr uint32_t kVkDown = 0x28;

// The keyboard focus as UiState keeps it (none before the keyboard or a
// click first put it on a key).
std::optional<KeyRef> FocusOf(const UiState& ui);
void SetFocusOf(UiState& ui, KeyRef focus);

// The hover index of each table for window point (x, y): main keys 0..90 on
// the main page and 0..19 (the strip) elsewhere, colour keys 0..4, advanced
// keys 0..33. All three are computed on every page.
struct Hovers {
  uint32_t main = kNoSkinHit;
  uint32_t colour = kNoSkinHit;
  uint32_t advanced = kNoSkinHit;
  bool operator==(const Hovers&) const = default;
};
Hovers HoversAt(const PageSkin& skin, uint8_t page, int32_t x, int32_t y);

struct MainWindowInputTargets {
  UiState& ui;
  const PageSkin& skin;
  MainWindowSession& session;
  MouseProfile& profile;
  ConfigStore& store;
  MacroFiles& macroFiles;
};

class MainWindowInput {
 public:
  MainWindowInput(const MainWindowInputTargets& targets, InputView& view)
      : t_(targets), view_(view) {}

  // WM_MOUSEMOVE: the three hover indices; one repaint when any changed.
  // While a press is held, the held look follows the pointer on and off the
  // pressed key.
  void OnPointerMove(int32_t x, int32_t y);
  // WM_LBUTTONDOWN: held flag, then the press table of the page shown.
  void OnLeftPress(int32_t x, int32_t y);
  // WM_LBUTTONUP: held flag cleared, then the strip's release table on the
  // main hover index, but only when the release falls on the key that the
  // press fell on, and only when that press came since the pointer last
  // entered the window or a dialog last closed. A press dragged off its key
  // and released elsewhere does nothing, as on every button of the system,
  // and so does a release that a file dialog's double click leaves behind
  // over the strip (over Reset, say).
  void OnLeftRelease(int32_t x, int32_t y);

  // WM_MOUSELEAVE: over no element any more; a press whose release happens
  // outside the window is no longer held.
  void OnPointerLeave();
  // A modal dialog or loop that took the pointer has ended (the window's
  // move loop, a file dialog, the warning, a message box): it took the
  // release of any press, so nothing is held and the next release needs a
  // press of its own.
  void ReleasedInDialog();

  // Shows another page: its threads, the macro editor's controls, repaint.
  void GoToPage(uint8_t page);

  // A key-down that the keyboard filter left to the face: Tab and Shift+Tab
  // move the focus, the arrow keys move it within a group (on the fire-time
  // slider they step the time as its - and + keys do), Space and Return
  // activate the focused key. While a macro editor control has the focus
  // only Tab is ours. True when the key was used.
  bool OnKeyDown(uint32_t virtualKey, bool shift, bool repeat, const PaintInputs& face);
  // The focus moved to `focus` by other means (a click on a control, a
  // screen reader's request).
  void TakeFocus(KeyRef focus, bool markShown);
  // `key` does what a press and release on it do, through the same dispatch
  // (a screen reader's default action, Space, Return).
  void Activate(KeyRef key);

  // The reset's macro step: the default macros of the language become the
  // working file's content (the list refilled on the advanced page).
  void RestoreDefaultMacros();

 private:
  // The press table of the page shown, the hover indices already known.
  void Press(int32_t x, int32_t y);
  void PressOnMain(int32_t x, int32_t y);
  void PressOnColour(int32_t x, int32_t y);
  void PressOnAdvanced(int32_t x, int32_t y);
  bool PressOnStripTab(uint32_t key);
  void ChooseFunctionOf(uint32_t key);
  void ImportProfile();
  void ExportProfile();
  void ImportMacros();
  void ExportMacros();
  // The save dialog of `kind` for `contents`; a file chosen but not written
  // is told to the user.
  void ExportTo(FileDialogKind kind, const InputView::ExportContents& contents);
  void SaveMacros();
  // The window's move loop from a press on no key.
  void DragWindow(int32_t x, int32_t y);
  // The key of the page shown under the pointer (a strip key first), if any.
  std::optional<KeyRef> KeyUnderPointer() const;

  MainWindowInputTargets t_;
  InputView& view_;
  // The values of the last move, for change detection.
  Hovers previous_;
  // The pointer left the window and no move has come since.
  bool hoverUnknown_ = false;
  // A press on this window came since the pointer entered or a dialog closed.
  bool pressed_ = false;
  // The key that press fell on (none: the face between the keys).
  std::optional<KeyRef> pressedKey_;
};

}  // namespace nuv
