// The main window: a borderless dialog shaped and painted by the skin, and
// its About box. Thin: the decisions are in app/main_window.h; this class
// turns messages into calls on them and carries out what they ask.
#pragma once

#include <memory>
#include <optional>
#include <span>

#include "app/input_dispatch.h"
#include "app/main_window.h"

#include "macro/macro_editor.h"
#include "macro/macro_recorder.h"
#include "platform/win32/gdi_handle.h"
#include "platform/win32/win32_accessible.h"
#include "platform/win32/win32_fault_end.h"
#include "platform/win32/win32_lifecycle_notifications.h"
#include "platform/win32/win32_system_time.h"
#include "platform/win32/wnd_controls.h"
#include "platform/win32/wnd_dialog.h"
#include "ui/key_focus.h"
#include "ui/language_switch.h"
#include "ui/skin_shape.h"
#include "ui/skin_tables.h"
#include "winapp/function_dialogs.h"
#include "winapp/keyboard_hook.h"
#include "winapp/macro_controls.h"
#include "winapp/main_window_paint.h"
#include "winapp/nuv_talv_app.h"

namespace nuv::win32 {

// Invalidates the whole window with erase; safe from any thread.
std::function<void()> RepaintOf(HWND window);
// The animation threads, one of each at a time, never joined.
void StartBlinkThread(AppContext& context);
void StartColourAnimationThread(AppContext& context);

class CAboutDlg : public Dialog {
 public:
  CAboutDlg();
};

class CNUV_TalvDlg : public Dialog,
                     private MainWindowSteps,
                     private TrayView,
                     private InputView,
                     private LanguageSwitchSteps {
 public:
  explicit CNUV_TalvDlg(AppContext& context);
  ~CNUV_TalvDlg() override;

  bool OnMessage(WndMessage& m) override;
  // The keyboard filter, then the dialog's own pre-translation.
  bool PreTranslateMessage(MSG& msg) override;

  // Skin tables, filled by the layout loaders.
  PageSkin skin;
  WarningSkinTable warningTable;

  // Size of the face (the mask picture) and the repaint region of the
  // advanced page.
  int drawWidth = 0;
  int drawHeight = 0;
  RegionHandle repaintRegion;
  // The font of the interface language (null before the fonts are made).
  HFONT TextFont() const;

  // The macro editor's controls; their windows exist while the advanced page
  // is shown.
  MacroTextBox repeatCountEdit;
  MacroTextBox macroNameEdit;
  MacroNameList macroNameList;
  CEditableListBox macroEventList;

  // The close sequence: Alt released, tray icon deleted, exit command to the
  // mouse, pointer speed 10, window destroyed.
  void Close();
  void HideToTray() override { nuv::HideToTray(*this); }
  // The macro editor's four controls at their skin rectangles, and away again.
  void CreateMacroControls() override;
  void DestroyMacroControls() override;
  // Shows another page: threads, controls, repaint.
  void GoToPage(int page) { input_.GoToPage(static_cast<uint8_t>(page)); }
  // Redraws at once: on the advanced page only the repaint region, so that
  // the macro editor's controls are not painted over; elsewhere everything.
  void Repaint() override;

  void ShowFromTray() { nuv::ShowFromTray(*this); }

 protected:
  BOOL OnInitDialog() override;
  // IDOK and IDCANCEL never end the main window; only the close sequence does.
  void OnOK() override {}
  void OnCancel() override {}

 private:
  bool OnEraseBackground(WndMessage& m);
  bool OnPaint(WndMessage& m);
  bool OnSystemCommand(WndMessage& m);
  bool OnQueryDragIcon(WndMessage& m);
  bool OnPowerBroadcast(WndMessage& m);
  // Sign-out, restart and shutdown: yes to the question, then the close
  // sequence before Windows ends the process.
  bool OnQueryEndSession(WndMessage& m);
  bool OnEndSession(WndMessage& m);
  // This session attached to or detached from the console.
  bool OnSessionChange(WndMessage& m);
  bool OnControlColour(WndMessage& m);
  bool OnTrayNotify(WndMessage& m);
  bool OnShowWindowCommand(WndMessage& m);
  bool OnExitCommand(WndMessage& m);
  bool OnClose(WndMessage& m);
  bool OnDeviceChange(WndMessage& m);
  // The tray icon's retries and the end of the wait for the mouse.
  bool OnTimer(WndMessage& m);
  static constexpr UINT_PTR kTrayRetryTimer = 0x4E56;
  static constexpr UINT_PTR kDeviceWaitTimer = 0x4E57;
  // An interface arrived while the start waits for the mouse: the search and
  // the apply run from the window's own queue, not inside the system's
  // notice (whose sender waits for the answer).
  static constexpr UINT kDeviceArrivedMessage = WM_APP + 0x59;
  bool OnDeviceArrived(WndMessage& m);
  bool OnMacroSelected(WndMessage& m);
  bool OnMacroNameChanged(WndMessage& m);
  bool OnMacroMenuCommand(WndMessage& m);
  bool OnDelayEdited(WndMessage& m);
  // The right button released over the advanced page: the event list's
  // context menu, when the click was on one of its lines.
  void OpenMacroContextMenu();
  // Hidden or minimised, by whatever path: a recording ends.
  bool OnShowWindowMessage(WndMessage& m);
  bool OnSize(WndMessage& m);
  // The recording ends when the window leaves the front, or when its hook
  // asks (then the system gets the chord that ended it).
  bool OnActivate(WndMessage& m);
  bool OnHookEndedRecording(WndMessage& m);
  bool OnMouseMove(WndMessage& m);
  bool OnMouseLeave(WndMessage& m);
  bool OnLeftButtonDown(WndMessage& m);
  bool OnLeftButtonUp(WndMessage& m);
  // The page test switch, handled once the window is up; unanswered without
  // the switch.
  static constexpr UINT kTestPageMessage = WM_APP + 0x54;
  bool OnTestPage(WndMessage& m);
  static const MessageEntry<CNUV_TalvDlg> kMessageTable[];

  ShutdownSeams CloseSeams();
  SkinSources Sources();

  // MainWindowSteps
  void ClearHandOverFlags() override;
  void StartWorkerThreads() override;
  void AddAboutItemAndIcon() override;
  void SetTitle(const Text& title) override;
  bool LoadPageSkins(const Text& skinFolder, int32_t language) override;
  void ConstructMacroControls() override;
  bool LoadWarningSkin(const Text& skinFolder, int32_t language) override;
  void CreateFonts() override;
  void CutWindowShape(const Text& maskPath) override;
  void LoadMacros(const Text& macroFilePath) override;
  void LoadMenus(int32_t language) override;
  void WatchDevices() override;
  uint8_t SearchDevice() override;
  bool DeviceComplete() override { return context_.core.connection.Complete(); }
  void StartDeviceWait(int milliseconds) override;
  void EndDeviceWait() override;
  void ReportMissingMouse(int32_t language) override;
  void RunCloseSequence() override { Close(); }
  void Wait(int milliseconds) override { Sleep(static_cast<DWORD>(milliseconds)); }
  void ApplyProfile() override;
  Text CommandLine() override;
  void ShowMainWindow() override;
  void StayInTray() override;
  bool WindowGone() override { return hwnd_ == nullptr || !IsWindow(hwnd_); }

  // TrayView
  void AddTrayIcon() override;
  void DeleteTrayIcon() override;
  void ShowWindow(int command) override;
  void ShowTrayMenu() override;
  void BringToFront() override;

  // InputView
  void InvalidateAll() override;
  void DragWindow(int32_t x, int32_t y) override;
  void PostMinimise(int32_t x, int32_t y) override;
  void StartBlinkThread() override;
  void StartColourAnimation() override;
  void InvalidateRepaintRegion() override;
  void UpdateWindow() override;
  void RefillMacroList() override;
  std::optional<ChosenFile> ImportFile(FileDialogKind kind) override;
  SaveOutcome ExportFile(FileDialogKind kind, const ExportContents& contents) override;
  void OpenWebSite() override;
  void SwitchLanguage(int32_t language) override;
  bool FunctionDialogOpen() override;
  void CloseFunctionDialog() override;
  void ChooseButtonFunction(int button, int32_t x, int32_t y) override;
  void ShowMessage(const Text& text) override;
  void EndRecording() override;
  void NewMacro() override;
  void DeleteMacro() override;
  void ToggleRecording() override;
  void TakeRepeatCount() override;
  void ToggleRepeatMode() override;
  void FocusMoved(KeyRef focus, bool pageChanged) override;

  // The keyboard's way over the face: a key-down that no recording took.
  bool OnFocusKey(uint64_t key);
  // The macro editor control that has the system's focus, if one has.
  std::optional<KeyRef> FocusedControl();
  // The keyboard focus follows a control that has the system's focus, and
  // leaves a control that has lost it; true when it moved onto a control.
  bool TakeControlFocus();
  // EVENT_OBJECT_FOCUS for a key (a control raises its own).
  void AnnounceFocus(KeyRef focus);
  Control* ControlOf(KeyRef ref);
  // A screen reader's default action or focus request, carried out here
  // rather than inside its question.
  static constexpr UINT kActivateKeyMessage = WM_APP + 0x55;
  static constexpr UINT kFocusKeyMessage = WM_APP + 0x56;
  // A save failed on some thread: lParam is the file's path (a Text the
  // window deletes).
  static constexpr UINT kSaveFailedMessage = WM_APP + 0x58;
  bool OnSaveFailed(WndMessage& m);
  bool saveFailureShown_ = false;
  bool OnActivateKey(WndMessage& m);
  bool OnControlFocus(WndMessage& m);
  bool OnFocusKeyMessage(WndMessage& m);
  bool OnSetFocus(WndMessage& m);
  bool OnGetObject(WndMessage& m);
  bool OnDestroy(WndMessage& m);
  // Screen readers hear of keys whose name or state a paint shows changed.
  void AnnounceChanges();

  // LanguageSwitchSteps
  bool ReloadSkin(SkinFile file, int32_t language) override;
  void ForgetPictures() override;
  void ReloadMenus(int32_t language) override { LoadMenus(language); }

  PaintInputs Inputs();
  // The window's DPI taken as its scale: canvases, fonts, icons.
  void TakeScale(int32_t dpi);
  bool OnDpiChanged(WndMessage& m);
  // A point of the window's pixels in skin units.
  int32_t Units(int32_t pixels) const { return scale_.ToUnits(pixels); }

  AppContext& context_;
  DisplayScale scale_;
  HICON smallIcon_ = nullptr;
  HICON icon_ = nullptr;  // large, at the window's scale
  // The back buffer, the cached pictures, the two fonts and the one black
  // brush of the control colours; made at the fonts' step of initialisation.
  std::unique_ptr<GdiCanvas> canvas_;
  // The popups' canvas and what they work with; the function popups of the
  // button labels.
  std::unique_ptr<GdiCanvas> popupCanvas_;
  std::unique_ptr<PopupContext> popupContext_;
  std::unique_ptr<FunctionChooser> chooser_;
  bool closed_ = false;
  MainWindowInput input_;
  // The macro editor and recorder of the advanced page, on the controls above.
  MacroEditorState editorState_;
  MacroEditor editor_;
  Win32KeyboardHook keyboardHook_;
  Win32SystemTime systemTime_;
  MacroRecorder recorder_;
  uint64_t paintCount_ = 0;
  bool trackingLeave_ = false;
  TrayIconRetry trayRetry_;
  // The key-down being filtered is the repeat of a held key.
  bool keyRepeat_ = false;
  // Its lParam: the recorder takes only what its hook posted.
  uint64_t keyParam_ = 0;
  // The face as screen readers see it, and what they were last told of its
  // items (names and states, by index).
  PageFace pageFace_;
  AccessibleServer accessible_;
  std::vector<std::pair<Text, uint32_t>> announced_;
  uint8_t announcedPage_ = 255;
  // The close sequence after a C++ exception, from the window's start for as
  // long as this object lives (the destructor removes it first).
  std::optional<FaultCloser> faultCloser_;
  Win32LifecycleNotifications lifecycle_;
};

}  // namespace nuv::win32
