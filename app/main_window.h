// What the main window decides, apart from the window itself: the order of its
// initialisation, the tray icon and the window's show states, the keyboard
// filter that runs before every message, system commands, the tray menu's
// commands and the hidden start. The Win32 window (CNUV_TalvDlg) turns
// messages into calls on these and carries out what they ask of its views.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "platform/atomic_field.h"
#include "platform/text.h"
#include "settings/config_store.h"

namespace nuv {

// Message numbers and values of the window system that the decisions are about.
namespace wm {
constexpr uint32_t kKeyDown = 0x0100;
constexpr uint32_t kKeyUp = 0x0101;
constexpr uint32_t kSysKeyDown = 0x0104;
constexpr uint32_t kSysKeyUp = 0x0105;
constexpr uint32_t kLButtonDblClk = 0x0203;
constexpr uint32_t kRButtonUp = 0x0205;
constexpr uint32_t kUser = 0x0400;
}  // namespace wm

constexpr uint32_t kVkReturn = 13;
constexpr uint32_t kVkEscape = 27;
constexpr uint32_t kVkF10 = 121;

// The tray icon: its identifier among the window's icons and the message its
// mouse events arrive with.
constexpr uint32_t kTrayIconId = 153;
constexpr uint32_t kTrayCallbackMessage = wm::kUser + 1;
// The registered message with which a second start of the program asks the
// running one to show its window.
constexpr char16_t kShowFromSecondCopyMessage[] = u"NUV_Talv.ShowFromSecondCopy";

// Show commands of the window.
constexpr int kShowHide = 0;
constexpr int kShowShow = 5;
constexpr int kShowMinimize = 6;
constexpr int kShowRestore = 9;

// The About item appended to the system menu, and the minimise command.
constexpr uint32_t kAboutCommand = 0x0010;
constexpr uint32_t kSystemCommandMinimize = 0xF020;

// Tray menu commands in the two languages.
constexpr uint32_t kCommandExitDriver = 32800;
constexpr uint32_t kCommandShowWindow = 32801;
constexpr uint32_t kCommandShowWindowSecond = 32837;
constexpr uint32_t kCommandExitDriverSecond = 32838;

constexpr int kApplyDelayMs = 5;

// ---- Keyboard filter ----

struct KeyboardFilterHooks {
  // The macro recording takes the key message. False: the recording hands the
  // message to normal dispatch at once (nothing below is applied).
  std::function<bool(uint32_t message, uint64_t key)> toRecording;
  // Right button released over the advanced page: the event list's context menu.
  std::function<void()> macroContextMenu;
  // A key-down outside a recording, for the keyboard's way over the face;
  // true when it was used (Return is consumed below all the same).
  std::function<bool(uint64_t key)> toFocus;
};

bool IsKeyMessage(uint32_t message);

// Runs before a message of the window or its controls is dispatched; true when
// the message is consumed: key-downs that move or use the keyboard focus,
// key-downs of Escape and Return (so that neither ends the dialog) and every
// key message of F10 (which would open the system menu).
bool FilterKeyboardMessage(uint32_t message, uint64_t key, bool recording, bool advancedPageShown,
                           const KeyboardFilterHooks& hooks);

// ---- Tray icon and show states ----

// What the window does for the tray.
class TrayView {
 public:
  virtual ~TrayView() = default;
  virtual void AddTrayIcon() = 0;
  virtual void DeleteTrayIcon() = 0;
  virtual void ShowWindow(int command) = 0;
  // The tray menu's first pop-up at the cursor, the window brought to the front.
  virtual void ShowTrayMenu() = 0;
  virtual void BringToFront() = 0;
};

// Icon added, window minimised and hidden.
void HideToTray(TrayView& view);
// Window shown and restored, icon deleted.
void ShowFromTray(TrayView& view);
// A second start of the program: shown as from the tray and brought to the
// front (the second copy, which the user has just started and so may take the
// foreground, has handed that right on).
void ShowForSecondCopy(TrayView& view);
// The tray icon's callback: double-click shows the window, right-button
// release opens the tray menu; other icons and events are ignored. Returns 0.
int64_t OnTrayNotify(TrayView& view, uint64_t iconId, uint64_t mouseMessage);

enum class SystemCommandAction { kAbout, kMinimize, kDefault };
// The low four bits are the system's own and are masked off.
SystemCommandAction ClassifySystemCommand(uint64_t command);

enum class TrayCommand { kNone, kShowWindow, kExit };
TrayCommand ClassifyTrayCommand(uint32_t commandId);

// The tray icon's add, again and again while the system refuses it: at logon
// the start task may run before Explorer has made the taskbar, and its
// broadcast of the new taskbar may already have gone out. A refused add is
// tried again every kTrayRetryIntervalMs for a minute at most.
constexpr int kTrayRetryIntervalMs = 250;
constexpr int kTrayRetryAttempts = 60 * 1000 / kTrayRetryIntervalMs;

class TrayIconRetry {
 public:
  // The window asked for the icon and the system answered: true when the add
  // was refused and the retries begin (those of an earlier add are dropped).
  bool Begin(bool added);
  // The answer to one retry: true while more are due.
  bool Retried(bool added);
  // The icon is no longer wanted (deleted, or the window shown).
  void Stop() { attemptsLeft_ = 0; }
  bool Pending() const { return attemptsLeft_ > 0; }

 private:
  // The close sequence may stop it from another thread.
  std::atomic<int> attemptsLeft_{0};
};

// What the user is told, in the interface language, when a file could not be
// saved: the file is unchanged (every save replaces a whole file in one step).
// An empty path: a file the user chose, whose name the program never sees.
Text SaveFailedText(TextView path, bool english);

// The files that saves replace in the application folder: config.ini and the
// two macro files. A crash during a save may leave a temporary beside one;
// the start removes it.
std::vector<Text> ReplacedFiles(const Text& applicationFolder);

// ---- Initialisation ----

// Values first written by the main window's initialisation.
struct MainWindowSession {
  Text applicationFolder;
  Text skinFolder;
  Text maskPath;
  // Non-zero: English (low byte of VER_SEL).
  AtomicField<int32_t> uiLanguage{1};
  // 1 after a start with "-HIDE": the window is never shown by the start,
  // only when the user asks for it.
  AtomicField<int32_t> startHidden{0};
  // A hidden start waits for a mouse that was not there (window thread only).
  bool awaitingDevice = false;
};

// How long a hidden start waits for a missing mouse: at logon a mouse behind
// a hub, dock or switch may be listed seconds after the program starts.
constexpr int kDeviceWaitMs = 2 * 60 * 1000;

// The steps that need the window or another subsystem, in the order that
// InitialiseMainWindow calls them.
class MainWindowSteps {
 public:
  virtual ~MainWindowSteps() = default;
  virtual void ClearHandOverFlags() = 0;
  // Input reader and host action executor at the highest priority, blink
  // thread at normal priority (its running flag set).
  virtual void StartWorkerThreads() = 0;
  // System menu item "&About NUV_Talv...", program icon as the large icon.
  virtual void AddAboutItemAndIcon() = 0;
  virtual void SetTitle(const Text& title) = 0;
  // Main, colour and advanced layouts in that order. False when a file was
  // missing: the close sequence has run and the window is gone.
  virtual bool LoadPageSkins(const Text& skinFolder, int32_t language) = 0;
  virtual void ConstructMacroControls() = 0;
  virtual bool LoadWarningSkin(const Text& skinFolder, int32_t language) = 0;
  virtual void CreateFonts() = 0;
  // Drawing size, window shape and repaint region from the mask picture.
  virtual void CutWindowShape(const Text& maskPath) = 0;
  // Macro file of the language (it becomes the one working path that Save,
  // reset and the language switch use), then the editor's starting position.
  virtual void LoadMacros(const Text& macroFilePath) = 0;
  virtual void LoadMenus(int32_t language) = 0;
  // From now on the window hears of HID interfaces arriving and going away.
  virtual void WatchDevices() = 0;
  virtual uint8_t SearchDevice() = 0;
  // Both of the mouse's collections were found (the connected flag follows
  // the last interface the search looked at).
  virtual bool DeviceComplete() = 0;
  // The wait for the mouse: an end after `milliseconds` (ContinueDeviceWait
  // with kTimeUp), and that end dropped again.
  virtual void StartDeviceWait(int milliseconds) = 0;
  virtual void EndDeviceWait() = 0;
  virtual void ReportMissingMouse(int32_t language) = 0;
  virtual void RunCloseSequence() = 0;
  virtual void Wait(int milliseconds) = 0;
  virtual void ApplyProfile() = 0;
  virtual Text CommandLine() = 0;
  // The end of a start: the window shown, or (hidden start) only the tray
  // icon added, unless the user has shown the window meanwhile.
  virtual void ShowMainWindow() = 0;
  virtual void StayInTray() = 0;
  // True once the window has been destroyed (a WM_CLOSE answered inside a
  // step's message box runs the close sequence).
  virtual bool WindowGone() = 0;
};

enum class InitOutcome { kRunning, kAwaitingDevice, kClosed };

// The main window's initialisation after the base dialog's: configuration,
// language, profile, skins, controls, fonts, shape, macros, menus, command
// line, device, apply, and the window shown or left in the tray. Ends early
// (kClosed) when a skin file is missing, the mouse is not there, or the
// window was closed during a step; the window has then been closed. A hidden
// start without the whole mouse waits for it instead (kAwaitingDevice),
// silently: nothing is shown.
InitOutcome InitialiseMainWindow(MainWindowSession& session, ConfigStore& store,
                                 MainWindowSteps& steps);

// What ends a hidden start's wait for the mouse: an interface arrived (the
// wait goes on if it was not the whole mouse), or the time is up (then the
// missing-mouse message and the close follow, unless a last search finds
// it). Outside a wait nothing happens (kRunning).
// The user asking for the window during the wait ends it as the time's end
// does, and the start then shows the window.
enum class DeviceWaitEvent { kArrival, kTimeUp, kUserAsked };
InitOutcome ContinueDeviceWait(MainWindowSession& session, MainWindowSteps& steps,
                               DeviceWaitEvent event);

// ---- Page changes ----

constexpr int kPageMain = 0;
constexpr int kPageAdvanced = 1;
constexpr int kPageColour = 2;

// What showing page `to` instead of `from` asks of the window: the blink
// thread runs on the main page, the colour animation on the colour page, and
// the macro editor's controls exist only on the advanced page.
// The macro editor's controls on the advanced page.
constexpr unsigned kMacroNameEditId = 10000;
constexpr unsigned kMacroNameListId = 10001;
constexpr unsigned kMacroEventListId = 10002;
constexpr unsigned kRepeatCountEditId = 10004;

struct PageChange {
  bool startBlinker = false;
  bool startColourAnimation = false;
  bool createMacroControls = false;
  bool destroyMacroControls = false;
};
PageChange PlanPageChange(int from, int to);

}  // namespace nuv
