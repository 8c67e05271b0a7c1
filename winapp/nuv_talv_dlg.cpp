#include "winapp/nuv_talv_dlg.h"

#include <shellapi.h>

#include <algorithm>
#include <initializer_list>
#include <thread>

#include "app/startup.h"
#include "platform/fault_barrier.h"
#include "platform/win32/file_dialog_helper.h"
#include "platform/win32/win32_dpi.h"
#include "platform/win32/win32_fault_end.h"
#include "platform/win32/win32_hid.h"
#include "platform/win32/win32_shell.h"
#include "platform/win32/win32_text.h"
#include "res/resource.h"
#include "winapp/nuv_menu.h"
#include "winapp/skin_region.h"

namespace nuv::win32 {

CAboutDlg::CAboutDlg() : Dialog(IDD_ABOUTBOX) {}

std::function<void()> RepaintOf(HWND window) {
  return [window] { InvalidateRect(window, nullptr, TRUE); };
}

void StartBlinkThread(AppContext& c) {
  if (!ClaimThreadStart(c.ui.blinkRunning)) return;
  std::thread([&c] {
    FaultBarrier([&c] { RunBlinkThread(c.animation, c.core.attention); });
  }).detach();
}

void StartColourAnimationThread(AppContext& c) {
  if (!ClaimThreadStart(c.ui.colourAnimationRunning)) return;
  std::thread([&c] {
    FaultBarrier([&c] { RunColourAnimation(c.animation, c.core.profile); });
  }).detach();
}

namespace {

// Whether no message number stands twice.
constexpr bool Distinct(std::initializer_list<UINT> messages) {
  for (auto a = messages.begin(); a != messages.end(); ++a) {
    for (auto b = a + 1; b != messages.end(); ++b) {
      if (*a == *b) return false;
    }
  }
  return true;
}

}  // namespace

const MessageEntry<CNUV_TalvDlg> CNUV_TalvDlg::kMessageTable[] = {
    OnMessageEntry(WM_ERASEBKGND, &CNUV_TalvDlg::OnEraseBackground),
    OnMessageEntry(WM_PAINT, &CNUV_TalvDlg::OnPaint),
    OnMessageEntry(WM_SYSCOMMAND, &CNUV_TalvDlg::OnSystemCommand),
    OnMessageEntry(WM_QUERYDRAGICON, &CNUV_TalvDlg::OnQueryDragIcon),
    OnMessageEntry(WM_POWERBROADCAST, &CNUV_TalvDlg::OnPowerBroadcast),
    OnMessageEntry(WM_QUERYENDSESSION, &CNUV_TalvDlg::OnQueryEndSession),
    OnMessageEntry(WM_ENDSESSION, &CNUV_TalvDlg::OnEndSession),
    OnMessageEntry(WM_WTSSESSION_CHANGE, &CNUV_TalvDlg::OnSessionChange),
    OnMessageEntry(kAnyCtlColor, &CNUV_TalvDlg::OnControlColour),
    OnMessageEntry(kTrayCallbackMessage, &CNUV_TalvDlg::OnTrayNotify),
    OnCommandEntry(kCommandShowWindow, kCommandShowWindow, &CNUV_TalvDlg::OnShowWindowCommand),
    OnCommandEntry(kCommandShowWindowSecond, kCommandShowWindowSecond,
                   &CNUV_TalvDlg::OnShowWindowCommand),
    OnCommandEntry(kCommandExitDriver, kCommandExitDriver, &CNUV_TalvDlg::OnExitCommand),
    OnCommandEntry(kCommandExitDriverSecond, kCommandExitDriverSecond,
                   &CNUV_TalvDlg::OnExitCommand),
    OnMessageEntry(WM_CLOSE, &CNUV_TalvDlg::OnClose),
    OnMessageEntry(WM_DEVICECHANGE, &CNUV_TalvDlg::OnDeviceChange),
    OnMessageEntry(WM_TIMER, &CNUV_TalvDlg::OnTimer),
    OnMessageEntry(kDeviceArrivedMessage, &CNUV_TalvDlg::OnDeviceArrived),
    OnMessageEntry(kTestPageMessage, &CNUV_TalvDlg::OnTestPage),
    OnMessageEntry(kSaveFailedMessage, &CNUV_TalvDlg::OnSaveFailed),
    OnNotifyCodeEntry(kMacroNameListId, LBN_SELCHANGE, &CNUV_TalvDlg::OnMacroSelected),
    OnNotifyCodeEntry(kMacroNameEditId, EN_CHANGE, &CNUV_TalvDlg::OnMacroNameChanged),
    // A control that takes the focus by any path (a click, the editor's New)
    // carries the keyboard focus and its mark.
    OnNotifyCodeEntry(kMacroNameEditId, EN_SETFOCUS, &CNUV_TalvDlg::OnControlFocus),
    OnNotifyCodeEntry(kRepeatCountEditId, EN_SETFOCUS, &CNUV_TalvDlg::OnControlFocus),
    OnNotifyCodeEntry(kMacroNameListId, LBN_SETFOCUS, &CNUV_TalvDlg::OnControlFocus),
    OnNotifyCodeEntry(kMacroEventListId, LBN_SETFOCUS, &CNUV_TalvDlg::OnControlFocus),
    // The event list's context menu in either language (after the tray
    // commands, whose identifiers lie in the same range).
    OnCommandEntry(32780, 32836, &CNUV_TalvDlg::OnMacroMenuCommand),
    OnMessageEntry(kEditEndedMessage, &CNUV_TalvDlg::OnDelayEdited),
    OnMessageEntry(WM_SHOWWINDOW, &CNUV_TalvDlg::OnShowWindowMessage),
    OnMessageEntry(WM_DPICHANGED, &CNUV_TalvDlg::OnDpiChanged),
    OnMessageEntry(WM_SIZE, &CNUV_TalvDlg::OnSize),
    OnMessageEntry(WM_ACTIVATE, &CNUV_TalvDlg::OnActivate),
    OnMessageEntry(Win32KeyboardHook::kEndRecordingMessage, &CNUV_TalvDlg::OnHookEndedRecording),
    OnMessageEntry(WM_MOUSEMOVE, &CNUV_TalvDlg::OnMouseMove),
    OnMessageEntry(WM_MOUSELEAVE, &CNUV_TalvDlg::OnMouseLeave),
    OnMessageEntry(WM_LBUTTONDOWN, &CNUV_TalvDlg::OnLeftButtonDown),
    // The second press of a double click is a press like the first.
    OnMessageEntry(WM_LBUTTONDBLCLK, &CNUV_TalvDlg::OnLeftButtonDown),
    OnMessageEntry(WM_LBUTTONUP, &CNUV_TalvDlg::OnLeftButtonUp),
    OnMessageEntry(kActivateKeyMessage, &CNUV_TalvDlg::OnActivateKey),
    OnMessageEntry(kFocusKeyMessage, &CNUV_TalvDlg::OnFocusKeyMessage),
    OnMessageEntry(WM_SETFOCUS, &CNUV_TalvDlg::OnSetFocus),
    OnMessageEntry(WM_GETOBJECT, &CNUV_TalvDlg::OnGetObject),
    OnMessageEntry(WM_DESTROY, &CNUV_TalvDlg::OnDestroy),
};

CNUV_TalvDlg::CNUV_TalvDlg(AppContext& context)
    : Dialog(IDD_NUV_TALV_DIALOG),
      context_(context),
      input_({context.ui, skin, context.session, context.core.profile, context.core.store,
              context.macroFiles},
             *this),
      editor_(context.core.macros, editorState_,
              {macroNameList, macroEventList, macroNameEdit, repeatCountEdit}, context.messages),
      recorder_(editor_, keyboardHook_, systemTime_),
      pageFace_({[this] { return Inputs(); }, [this] { return FocusOf(context_.ui); },
                 [this](KeyRef key) {
                   PostMessageW(hwnd_, kActivateKeyMessage, static_cast<WPARAM>(key.table),
                                static_cast<LPARAM>(key.key));
                 },
                 [this](KeyRef key) {
                   PostMessageW(hwnd_, kFocusKeyMessage, static_cast<WPARAM>(key.table),
                                static_cast<LPARAM>(key.key));
                 }}),
      accessible_(
          pageFace_, [this] { return scale_; }, AccessibleWindowRole::kDialog) {
  icon_ = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
}

CNUV_TalvDlg::~CNUV_TalvDlg() {
  // From here on a fault in a worker thread ends without this object.
  faultCloser_.reset();
}

HFONT CNUV_TalvDlg::TextFont() const {
  return canvas_ ? canvas_->FontFor(context_.session.uiLanguage) : nullptr;
}

namespace {

// Broadcast by Explorer when it has made a new taskbar: at logon after the
// start task has run us, or after Explorer was restarted. Icons added before
// are gone with the old taskbar.
UINT TaskbarCreatedMessage() {
  static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
  return message;
}

}  // namespace

bool CNUV_TalvDlg::OnMessage(WndMessage& m) {
  if (m.message == TaskbarCreatedMessage()) {
    // Only a window hidden in the tray has (and needs) an icon.
    if (!IsWindowVisible(hwnd_)) AddTrayIcon();
    return true;
  }
  // Read-only, for the hover benchmark in another process; only with its
  // test switch.
  static const UINT paintCountMessage = RegisterWindowMessageW(L"NUV_Talv.PaintCount");
  if (m.message == paintCountMessage && context_.switches.testPaintCount) {
    m.result = static_cast<LRESULT>(paintCount_);
    return true;
  }
  static const UINT secondCopyMessage = RegisterWindowMessageW(W(kShowFromSecondCopyMessage));
  if (m.message == secondCopyMessage) {
    if (context_.session.awaitingDevice) {
      ContinueDeviceWait(context_.session, *this, DeviceWaitEvent::kUserAsked);
      return true;
    }
    ShowForSecondCopy(*this);
    return true;
  }
  static const UINT testFaultMessage = RegisterWindowMessageW(L"NUV_Talv.TestFault");
  if (m.message == testFaultMessage && context_.switches.testFault) {
    RaiseTestFault(static_cast<unsigned>(m.wParam));
  }
  return DispatchTable(*this, kMessageTable, m) || Dialog::OnMessage(m);
}

bool CNUV_TalvDlg::PreTranslateMessage(MSG& msg) {
  const auto& seams = context_.seams;
  const bool recording = seams.recording && seams.recording();
  const bool advancedPage = context_.ui.page == kAdvancedPage;
  keyRepeat_ = msg.message == WM_KEYDOWN && (msg.lParam & (LPARAM{1} << 30)) != 0;
  keyParam_ = static_cast<uint64_t>(msg.lParam);
  if (FilterKeyboardMessage(msg.message, msg.wParam, recording, advancedPage,
                            seams.keyboardHooks)) {
    return true;
  }
  return Dialog::PreTranslateMessage(msg);
}

BOOL CNUV_TalvDlg::OnInitDialog() {
  Dialog::OnInitDialog();
  if (WinApp* app = WinApp::Current()) app->SetMainWindow(hwnd_);
  // We run elevated and Explorer does not: without this the system drops its
  // broadcast before it reaches us.
  ChangeWindowMessageFilterEx(hwnd_, TaskbarCreatedMessage(), MSGFLT_ALLOW, nullptr);
  // Seams that worker threads may call (the executor applies and loads
  // profiles) hold only the window handle and the process's objects, never
  // this dialog object.
  AppContext& c = context_;
  const auto repaint = RepaintOf(hwnd_);
  c.core.applier.seams.repaint = repaint;
  c.core.applier.seams.startBlinker = [&c] { win32::StartBlinkThread(c); };
  c.core.applier.seams.whileWaiting = [] {
    // Answers what was sent to this thread's windows (an apply on another
    // thread broadcasts the system settings it changed), removes nothing.
    MSG pending;
    PeekMessageW(&pending, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  };
  c.animation.repaint = repaint;
  c.core.store.seams.repaint = repaint;
  c.core.store.seams.hideToTray = [this] { HideToTray(); };
  c.core.store.seams.applyProfile = [&c] { c.core.applier.ApplyProfile(); };
  c.core.store.seams.restoreDefaultMacros = [this] { input_.RestoreDefaultMacros(); };
  keyboardHook_.SetTarget(hwnd_);
  // A save may fail on a worker thread (a DPI step of the mouse): the user is
  // told on the window's thread, without holding up the one that saved.
  const HWND window = hwnd_;
  c.ini.saveFailed = [window](const Text& path) {
    auto* kept = new Text(path);
    if (!PostMessageW(window, kSaveFailedMessage, 0, reinterpret_cast<LPARAM>(kept))) delete kept;
  };
  // After a C++ exception the safe part of the close sequence runs, the
  // window left to the end of the process.
  faultCloser_.emplace([this] {
    context_.core.executor.ReleaseHeldKeys();
    keyboardHook_.RemoveKeyboardHook();
    ShutdownSeams seams = CloseSeams();
    seams.destroyWindow = nullptr;
    nuv::RunCloseSequence(context_.input, context_.system, seams);
  });
  editor_.caption = ApplicationName();
  editor_.invalidateMainWindow = [this] { InvalidateAll(); };
  c.seams.setEditorStart = [this] {
    editor_.uiLanguage = context_.session.uiLanguage;
    editor_.SetStartLine();
  };
  c.seams.recording = [this] { return recorder_.Recording(); };
  c.seams.keyboardHooks.toRecording = [this](uint32_t message, uint64_t key) {
    const bool taken = recorder_.TakeKeyMessage(message, key, keyParam_);
    if (!recorder_.Recording()) Repaint();  // full: the record key's caption and state
    return taken;
  };
  c.seams.keyboardHooks.macroContextMenu = [this] { OpenMacroContextMenu(); };
  c.seams.keyboardHooks.toFocus = [this](uint64_t key) { return OnFocusKey(key); };
  // Before the first apply and the workers: a copy started in a session away
  // from the console leaves the mouse to the copy at the screen.
  lifecycle_.Register(hwnd_);
  c.core.session.Start(Win32LifecycleNotifications::AttachedToConsole());
  if (InitialiseMainWindow(context_.session, context_.core.store, *this) != InitOutcome::kRunning) {
    return TRUE;
  }
  // Test switch -TESTPAGE= of the command line: another page at start (README).
  // The change comes once the window is up, as a click on a tab would.
  if (auto page = context_.switches.testPage) {
    PostMessageW(hwnd_, kTestPageMessage, static_cast<WPARAM>(*page), 0);
  }
  return TRUE;
}

// ---- Initialisation steps ----

void CNUV_TalvDlg::ClearHandOverFlags() { context_.core.handover.Finish(); }

void CNUV_TalvDlg::StartWorkerThreads() {
  // Never joined: the workers run until the process ends. Each raises its own
  // priority to the highest when it starts.
  ProgramCore& core = context_.core;
  core.reader.repaint = RepaintOf(hwnd_);
  core.executor.repaint = RepaintOf(hwnd_);
  std::thread([&core] { FaultBarrier([&core] { core.reader.Run(); }); }).detach();
  std::thread([&core] { FaultBarrier([&core] { core.executor.Run(); }); }).detach();
  win32::StartBlinkThread(context_);
}

void CNUV_TalvDlg::AddAboutItemAndIcon() {
  if (HMENU systemMenu = GetSystemMenu(hwnd_, FALSE)) {
    wchar_t text[256] = {};
    if (LoadStringW(GetModuleHandleW(nullptr), IDS_ABOUTBOX, text, 255) > 0 && text[0]) {
      AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
      AppendMenuW(systemMenu, MF_STRING, IDM_ABOUTBOX, text);
    }
  }
  SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
}

void CNUV_TalvDlg::SetTitle(const Text& title) { SetWindowTextW(hwnd_, W(title)); }

SkinSources CNUV_TalvDlg::Sources() {
  return SkinSources{context_.ini, context_.messages, ApplicationName(),
                     [](const Text& path) { return FileExists(path); }, [this] { Close(); }};
}

bool CNUV_TalvDlg::LoadPageSkins(const Text& skinFolder, int32_t language) {
  return LoadPageSkin(Sources(), skinFolder, language, skin);
}

void CNUV_TalvDlg::ConstructMacroControls() {
  // The four control objects are members, built with the dialog; their
  // windows are made when the advanced page opens.
}

bool CNUV_TalvDlg::LoadWarningSkin(const Text& skinFolder, int32_t language) {
  return nuv::LoadWarningSkin(Sources(), skinFolder, language, warningTable);
}

void CNUV_TalvDlg::CreateFonts() {
  canvas_ = std::make_unique<GdiCanvas>(context_.pictures);
  canvas_->SetSkinFolder(context_.session.skinFolder);
  popupCanvas_ = std::make_unique<GdiCanvas>(context_.pictures);
  popupCanvas_->SetSkinFolder(context_.session.skinFolder);
  popupContext_.reset(new PopupContext{
      context_.pictures, context_.session.skinFolder, *popupCanvas_, context_.core.profile,
      context_.core.macros, skin.functionNames, warningTable, context_.session.uiLanguage, scale_});
  chooser_ = std::make_unique<FunctionChooser>(*popupContext_, hwnd_);
  TakeScale(WindowDpi(hwnd_));
}

void CNUV_TalvDlg::TakeScale(int32_t dpi) {
  scale_ = DisplayScale(dpi);
  if (canvas_) canvas_->SetScale(scale_);
  if (popupCanvas_) popupCanvas_->SetScale(scale_);
  SetMenuScale(scale_);
  // The icons of the caption, the taskbar and the tray at this scale's sizes.
  icon_ = ProgramIconAtDpi(IDR_MAINFRAME, false, scale_.dpi());
  smallIcon_ = ProgramIconAtDpi(IDR_MAINFRAME, true, scale_.dpi());
  if (hwnd_) {
    SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
  }
}

bool CNUV_TalvDlg::OnDpiChanged(WndMessage& m) {
  // Moved to a monitor of another scale: everything at the new scale, in the
  // rectangle the system suggests.
  TakeScale(HIWORD(m.wParam));
  const auto* suggested = reinterpret_cast<const RECT*>(m.lParam);
  if (suggested) {
    SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  CutWindowShape(context_.session.maskPath);
  if (context_.ui.page == kAdvancedPage && macroNameList.IsCreated()) {
    DestroyMacroControls();
    CreateMacroControls();
    RefillMacroList();
  }
  InvalidateAll();
  return true;
}

void CNUV_TalvDlg::CutWindowShape(const Text& maskPath) {
  // The mask at the window's scale: the face's size and shape in its pixels.
  // Without the mask the window keeps its template's size and no shape.
  const Picture mask = LoadPictureAtScale(context_.pictures, maskPath, scale_);
  if (mask.empty()) return;
  drawWidth = mask.width;
  drawHeight = mask.height;
  // The face is the mask's size; the window follows it.
  SetWindowPos(hwnd_, nullptr, 0, 0, drawWidth, drawHeight,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  const PixelRegion shape = WindowShapeFromMask(mask);
  repaintRegion.reset(
      CreateRegionFrom(RepaintRegionFrom(shape, ScaledControls(skin.macroControls, scale_))));
  // The system owns the window's region from here on.
  SetWindowRgn(hwnd_, CreateRegionFrom(shape), TRUE);
}

void CNUV_TalvDlg::LoadMacros(const Text& macroFilePath) {
  context_.macroFiles.workingPath = macroFilePath;
  context_.macroFiles.LoadMacroFile(macroFilePath);
  if (context_.seams.setEditorStart) context_.seams.setEditorStart();
}

void CNUV_TalvDlg::LoadMenus(int32_t language) {
  LoadNuvMenus(language);
  // The tray menu serves the items of both menus: all an item needs is its record.
  drawMenuItem = [](DRAWITEMSTRUCT& item) { return TrayMenu().DrawItem(&item); };
  measureMenuItem = [](MEASUREITEMSTRUCT& item) { return TrayMenu().MeasureItem(&item); };
}

void CNUV_TalvDlg::WatchDevices() {
  context_.core.connection.window = reinterpret_cast<WindowId>(hwnd_);
  ShutdownSeams removal;
  removal.releaseHeld = [this] { context_.core.executor.ReleaseHeldKeys(); };
  removal.deleteTrayIcon = [this] { DeleteTrayIcon(); };
  removal.destroyWindow = [this] {
    if (hwnd_) DestroyWindow(hwnd_);
  };
  context_.core.connection.removalSeams = removal;
  context_.core.connection.WatchInterfaces();
}

uint8_t CNUV_TalvDlg::SearchDevice() {
  context_.core.link.connected = context_.core.connection.Search();
  return context_.core.link.connected;
}

void CNUV_TalvDlg::StartDeviceWait(int milliseconds) {
  SetTimer(hwnd_, kDeviceWaitTimer, static_cast<UINT>(milliseconds), nullptr);
}

void CNUV_TalvDlg::EndDeviceWait() { KillTimer(hwnd_, kDeviceWaitTimer); }

void CNUV_TalvDlg::ReportMissingMouse(int32_t language) {
  nuv::ReportMissingMouse(context_.messages, language, ApplicationName());
}

void CNUV_TalvDlg::ApplyProfile() { context_.core.applier.ApplyProfile(); }

Text CNUV_TalvDlg::CommandLine() { return FromW(GetCommandLineW()); }

void CNUV_TalvDlg::ShowMainWindow() {
  // The template has no WS_VISIBLE, so that a hidden start is never drawn;
  // this is the show the dialog manager would otherwise do.
  ::ShowWindow(hwnd_, SW_SHOWNORMAL);
}

void CNUV_TalvDlg::StayInTray() {
  // A second copy or the tray may have shown the window while the start
  // waited for the mouse: a shown window has no icon.
  if (!IsWindowVisible(hwnd_)) AddTrayIcon();
}

// ---- Macro editor controls ----

namespace {

RECT ToRect(const SkinBox& box) { return RECT{box.left, box.top, box.right, box.bottom}; }

// Child, visible, centred text, wants Return.
constexpr DWORD kMacroEditStyle = 0x50001001;
// Child, visible, vertical scroll bar, notifies.
constexpr DWORD kMacroListStyle = 0x50200001;

}  // namespace

void CNUV_TalvDlg::CreateMacroControls() {
  const MacroControlRects r = ScaledControls(skin.macroControls, scale_);
  repeatCountEdit.Create(kMacroEditStyle, ToRect(r.repeatCountEditBox), hwnd_, kRepeatCountEditId);
  // A name may hold 19 characters of any kind, wider than the box: it
  // scrolls, and the box itself refuses a 20th.
  macroNameEdit.Create(kMacroEditStyle | ES_AUTOHSCROLL, ToRect(r.macroNameEditBox), hwnd_,
                       kMacroNameEditId);
  macroNameEdit.SetLimitText(static_cast<int>(kMacroNameMaxChars));
  macroNameList.Create(kMacroListStyle, ToRect(r.macroNameListBox), hwnd_, kMacroNameListId);
  macroEventList.Create(kMacroListStyle, ToRect(r.macroEventListBox), hwnd_, kMacroEventListId);
  for (Control* control : std::initializer_list<Control*>{&repeatCountEdit, &macroNameEdit,
                                                          &macroNameList, &macroEventList}) {
    control->SetFont(TextFont());
  }
}

void CNUV_TalvDlg::DestroyMacroControls() {
  repeatCountEdit.Destroy();
  macroNameEdit.Destroy();
  macroNameList.Destroy();
  macroEventList.Destroy();
}

// ---- Pages and repaint ----

void CNUV_TalvDlg::Repaint() {
  if (!hwnd_) return;
  if (context_.ui.page == kAdvancedPage && repaintRegion) {
    RedrawWindow(hwnd_, nullptr, repaintRegion.get(), RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  } else {
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  }
}

// ---- Pointer ----

namespace {

// The point of a mouse message in window coordinates (signed: a captured
// pointer may lie left of or above the window).
int32_t PointX(LPARAM lParam) { return static_cast<int16_t>(LOWORD(lParam)); }
int32_t PointY(LPARAM lParam) { return static_cast<int16_t>(HIWORD(lParam)); }

}  // namespace

bool CNUV_TalvDlg::OnMouseMove(WndMessage& m) {
  if (!trackingLeave_) {
    // One WM_MOUSELEAVE when the pointer next leaves the window.
    TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, hwnd_, 0};
    trackingLeave_ = TrackMouseEvent(&track) != FALSE;
  }
  input_.OnPointerMove(Units(PointX(m.lParam)), Units(PointY(m.lParam)));
  return false;
}

bool CNUV_TalvDlg::OnMouseLeave(WndMessage&) {
  trackingLeave_ = false;
  input_.OnPointerLeave();
  return false;
}

bool CNUV_TalvDlg::OnLeftButtonDown(WndMessage& m) {
  input_.OnLeftPress(Units(PointX(m.lParam)), Units(PointY(m.lParam)));
  return false;
}

bool CNUV_TalvDlg::OnLeftButtonUp(WndMessage& m) {
  input_.OnLeftRelease(Units(PointX(m.lParam)), Units(PointY(m.lParam)));
  return false;
}

// ---- What the input dispatch asks of the window ----

void CNUV_TalvDlg::InvalidateAll() {
  if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

void CNUV_TalvDlg::DragWindow(int32_t x, int32_t y) {
  // The move loop takes the point of the press in screen coordinates: with
  // window coordinates the window would jump once it no longer sits at the
  // screen's corner.
  POINT p{scale_.ToPixels(x), scale_.ToPixels(y)};
  ClientToScreen(hwnd_, &p);
  PostMessageW(hwnd_, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(p.x, p.y));
}

void CNUV_TalvDlg::PostMinimise(int32_t x, int32_t y) {
  PostMessageW(hwnd_, WM_SYSCOMMAND, SC_MINIMIZE,
               MAKELPARAM(scale_.ToPixels(x), scale_.ToPixels(y)));
}

void CNUV_TalvDlg::StartBlinkThread() { win32::StartBlinkThread(context_); }

void CNUV_TalvDlg::StartColourAnimation() { StartColourAnimationThread(context_); }

void CNUV_TalvDlg::InvalidateRepaintRegion() { InvalidateRgn(hwnd_, repaintRegion.get(), TRUE); }

void CNUV_TalvDlg::UpdateWindow() { ::UpdateWindow(hwnd_); }

void CNUV_TalvDlg::RefillMacroList() {
  if (macroNameList.IsCreated()) editor_.RefillMacroList();
}

namespace {

DialogRequest HelperRequest(FileDialogKind kind, const Text& applicationFolder) {
  const FileDialogSetup setup = FileDialogFor(kind);
  return DialogRequest{setup.save, setup.filter, setup.defaultExtension, applicationFolder};
}

}  // namespace

// The dialogs are shown, and the chosen files read and written, by the
// helper beside the program, as the desktop's user: an elevated file dialog
// would run the user's shell extensions, and an elevated write would follow
// any link the user planted, with administrator rights.
std::optional<ChosenFile> CNUV_TalvDlg::ImportFile(FileDialogKind kind) {
  return win32::OpenThroughHelper(context_.applicationFolder + u"\\" + win32::kFileDialogHelperName,
                                  hwnd_, HelperRequest(kind, context_.applicationFolder));
}

SaveOutcome CNUV_TalvDlg::ExportFile(FileDialogKind kind, const ExportContents& contents) {
  return win32::SaveThroughHelper(context_.applicationFolder + u"\\" + win32::kFileDialogHelperName,
                                  hwnd_, HelperRequest(kind, context_.applicationFolder), contents);
}

void CNUV_TalvDlg::OpenWebSite() {
  // Not elevated: a browser with administrator rights would hand them to
  // every page it shows.
  win32::OpenAsDesktopUser(Text(kWebSiteAddress));
}

void CNUV_TalvDlg::SwitchLanguage(int32_t language) {
  // The new language's macros replace the recorded one's list.
  EndRecording();
  const bool advanced = context_.ui.page == kAdvancedPage;
  if (!nuv::SwitchLanguage(
          language,
          LanguageSwitchTargets{context_.session.uiLanguage, context_.core.store,
                                context_.macroFiles, context_.applicationFolder, advanced},
          *this)) {
    return;  // a skin file was missing: the window is gone
  }
  editor_.uiLanguage = context_.session.uiLanguage;
  if (advanced) {
    // The controls stay where they are, in the new language's font.
    for (Control* control : std::initializer_list<Control*>{&repeatCountEdit, &macroNameEdit,
                                                            &macroNameList, &macroEventList}) {
      control->SetFont(TextFont());
    }
  }
}

bool CNUV_TalvDlg::ReloadSkin(SkinFile file, int32_t language) {
  const Text& folder = context_.session.skinFolder;
  switch (file) {
    case SkinFile::kMain:
      return LoadMainSkin(Sources(), folder, language, skin.main, skin.functionNames);
    case SkinFile::kColour:
      return LoadColourSkin(Sources(), folder, language, skin.colour);
    case SkinFile::kAdvanced:
      return LoadAdvancedSkin(Sources(), folder, language, skin.advanced, skin.macroControls);
    case SkinFile::kWarning:
      return nuv::LoadWarningSkin(Sources(), folder, language, warningTable);
  }
  return false;
}

void CNUV_TalvDlg::ForgetPictures() {
  if (canvas_) canvas_->ForgetPictures();
  if (popupCanvas_) popupCanvas_->ForgetPictures();
}

bool CNUV_TalvDlg::FunctionDialogOpen() { return chooser_ && chooser_->IsOpen(); }

void CNUV_TalvDlg::CloseFunctionDialog() {
  if (chooser_) chooser_->Close();
}

void CNUV_TalvDlg::ChooseButtonFunction(int button, int32_t x, int32_t y) {
  POINT p{scale_.ToPixels(x), scale_.ToPixels(y)};
  ClientToScreen(hwnd_, &p);
  if (chooser_) chooser_->Open(button, p.x, p.y);
}

void CNUV_TalvDlg::ShowMessage(const Text& text) {
  context_.messages.Show(text, ApplicationName());
}

void CNUV_TalvDlg::EndRecording() {
  const bool wasRecording = recorder_.Recording();
  recorder_.EndRecording();     // the hook goes in any case
  if (wasRecording) Repaint();  // the record key's caption and state
}

void CNUV_TalvDlg::NewMacro() { editor_.NewMacro(); }
void CNUV_TalvDlg::DeleteMacro() {
  // Before the records move: the recording's events stay with their macro.
  EndRecording();
  editor_.DeleteMacro();
}
void CNUV_TalvDlg::TakeRepeatCount() { editor_.TakeRepeatCount(); }
void CNUV_TalvDlg::ToggleRepeatMode() { editor_.ToggleRepeatMode(); }

void CNUV_TalvDlg::ToggleRecording() {
  recorder_.ToggleRecording();
  Repaint();  // the record key's caption and state
}

bool CNUV_TalvDlg::OnMacroSelected(WndMessage&) {
  editor_.MacroSelected();
  return true;
}

bool CNUV_TalvDlg::OnMacroNameChanged(WndMessage&) {
  editor_.NameBoxChanged();
  return true;
}

bool CNUV_TalvDlg::OnMacroMenuCommand(WndMessage& m) {
  return editor_.RunMenuCommand(LOWORD(m.wParam));
}

bool CNUV_TalvDlg::OnDelayEdited(WndMessage&) {
  editor_.DelayEdited();
  return true;
}

void CNUV_TalvDlg::OpenMacroContextMenu() {
  HWND list = macroEventList.hwnd();
  if (!list || !IsWindow(list)) return;
  RECT r{};
  GetClientRect(list, &r);
  MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&r), 2);
  POINT cursor{};
  GetCursorPos(&cursor);
  ListClick click;
  click.left = r.left;
  click.top = r.top;
  click.right = r.right;
  click.bottom = r.bottom;
  click.scrollPosition = static_cast<int>(SendMessageW(list, LB_GETTOPINDEX, 0, 0));
  const LRESULT height = SendMessageW(list, LB_GETITEMHEIGHT, 0, 0);
  click.lineHeight = height == LB_ERR ? 0 : static_cast<int>(height);
  click.x = cursor.x;
  click.y = cursor.y;
  if (editor_.EventListRightClick(click)) MacroContextMenu().TrackAtCursorForContext(hwnd_);
}

// ---- Close ----

ShutdownSeams CNUV_TalvDlg::CloseSeams() {
  ShutdownSeams seams;
  seams.releaseHeld = [this] { context_.core.executor.ReleaseHeldKeys(); };
  seams.deleteTrayIcon = [this] { DeleteTrayIcon(); };
  seams.sendExitCommand = [this] { context_.core.applier.EndApplies(); };
  seams.destroyWindow = [this] {
    if (hwnd_) DestroyWindow(hwnd_);
  };
  return seams;
}

void CNUV_TalvDlg::Close() {
  // One close per window: a missing skin file may ask again while loading.
  if (closed_) return;
  closed_ = true;
  recorder_.EndRecording();
  nuv::RunCloseSequence(context_.input, context_.system, CloseSeams());
}

// ---- Tray ----

namespace {

bool AddIcon(HWND window, HICON icon) {
  return win32::AddTrayIcon(
      TrayIconRecord{window, kTrayIconId, kTrayCallbackMessage, icon, Text(kMainWindowTitle)});
}

}  // namespace

void CNUV_TalvDlg::AddTrayIcon() {
  if (!hwnd_) return;
  if (trayRetry_.Begin(AddIcon(hwnd_, smallIcon_ ? smallIcon_ : icon_))) {
    SetTimer(hwnd_, kTrayRetryTimer, kTrayRetryIntervalMs, nullptr);
  } else {
    KillTimer(hwnd_, kTrayRetryTimer);
  }
}

void CNUV_TalvDlg::DeleteTrayIcon() {
  // Also from the close sequence after a fault, on another thread: the
  // retries stop, and the timer (the window's thread's) finds nothing to do.
  trayRetry_.Stop();
  if (hwnd_) win32::DeleteTrayIcon(hwnd_, kTrayIconId);
}

void CNUV_TalvDlg::ShowWindow(int command) {
  if (hwnd_) ::ShowWindow(hwnd_, command);
}

void CNUV_TalvDlg::BringToFront() {
  if (hwnd_) SetForegroundWindow(hwnd_);
}

void CNUV_TalvDlg::ShowTrayMenu() {
  // At the cursor, the window brought to the front first.
  TrayMenu().TrackAtCursorFromTray(hwnd_);
}

// ---- The keyboard's way over the face ----

Control* CNUV_TalvDlg::ControlOf(KeyRef ref) {
  if (ref.table != KeyTable::kControl) return nullptr;
  switch (ref.key) {
    case control_key::kRepeatCount:
      return &repeatCountEdit;
    case control_key::kMacroName:
      return &macroNameEdit;
    case control_key::kMacroList:
      return &macroNameList;
    case control_key::kEventList:
      return &macroEventList;
    default:
      return nullptr;
  }
}

std::optional<KeyRef> CNUV_TalvDlg::FocusedControl() {
  const HWND focus = GetFocus();
  if (!focus || focus == hwnd_) return std::nullopt;
  for (uint32_t key = control_key::kRepeatCount; key <= control_key::kEventList; ++key) {
    Control* control = ControlOf({KeyTable::kControl, key});
    if (control && control->IsCreated() && control->hwnd() == focus) {
      return KeyRef{KeyTable::kControl, key};
    }
  }
  return std::nullopt;
}

bool CNUV_TalvDlg::TakeControlFocus() {
  const auto control = FocusedControl();
  const auto known = FocusOf(context_.ui);
  if (control && known != control) {
    SetFocusOf(context_.ui, *control);
    return true;
  }
  if (!control && known && known->table == KeyTable::kControl) {
    // The control went (or the window took the focus back): a key again.
    context_.ui.focusKey = kNoSkinHit;
  }
  return false;
}

void CNUV_TalvDlg::AnnounceFocus(KeyRef focus) {
  // A control tells of its own focus.
  if (focus.table == KeyTable::kControl) return;
  if (const auto index = pageFace_.IndexOf(focus)) NotifyFocus(hwnd_, *index);
}

namespace {

// The key a posted activation or focus request names.
KeyRef KeyOfMessage(const WndMessage& m) {
  const auto table = std::min<WPARAM>(m.wParam, static_cast<WPARAM>(KeyTable::kControl));
  return {static_cast<KeyTable>(table), static_cast<uint32_t>(m.lParam)};
}

}  // namespace

bool CNUV_TalvDlg::OnFocusKey(uint64_t key) {
  // Only what is meant for this window or its controls (not a popup's keys).
  const HWND focus = GetFocus();
  if (focus != hwnd_ && !(focus && IsChild(hwnd_, focus))) return false;
  // A control that took the focus by itself: Tab goes on from it.
  TakeControlFocus();
  const bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
  return input_.OnKeyDown(static_cast<uint32_t>(key), shift, keyRepeat_, Inputs());
}

void CNUV_TalvDlg::FocusMoved(KeyRef focus, bool pageChanged) {
  Control* control = ControlOf(focus);
  if (control && control->IsCreated()) {
    ::SetFocus(control->hwnd());
    // As in any dialog: a box reached by Tab has its text selected, so that
    // typing replaces it.
    if (focus.key <= control_key::kMacroName) SendMessageW(control->hwnd(), EM_SETSEL, 0, -1);
  } else if (GetFocus() != hwnd_ && (GetFocus() == nullptr || IsChild(hwnd_, GetFocus()))) {
    ::SetFocus(hwnd_);
  }
  if (pageChanged) NotifyReorder(hwnd_);
  if (GetFocus() == hwnd_) AnnounceFocus(focus);
  InvalidateAll();
}

bool CNUV_TalvDlg::OnControlFocus(WndMessage&) {
  if (TakeControlFocus()) InvalidateAll();
  return false;
}

bool CNUV_TalvDlg::OnActivateKey(WndMessage& m) {
  input_.Activate(KeyOfMessage(m));
  return true;
}

bool CNUV_TalvDlg::OnFocusKeyMessage(WndMessage& m) {
  input_.TakeFocus(KeyOfMessage(m), true);
  return true;
}

bool CNUV_TalvDlg::OnSetFocus(WndMessage&) {
  // The dialog's own handling would hand the focus on to the control that
  // last had it; the keyboard focus decides instead. Back from a popup, the
  // warning or another program, the key it is on is announced again (the
  // label a popup came from).
  const auto focus = FocusOf(context_.ui);
  if (Control* control = focus ? ControlOf(*focus) : nullptr; control && control->IsCreated()) {
    ::SetFocus(control->hwnd());
  } else if (focus) {
    AnnounceFocus(*focus);
  }
  return true;
}

bool CNUV_TalvDlg::OnGetObject(WndMessage& m) { return accessible_.OnGetObject(m); }

bool CNUV_TalvDlg::OnDestroy(WndMessage&) {
  accessible_.Disconnect();
  lifecycle_.Unregister();
  return false;
}

void CNUV_TalvDlg::AnnounceChanges() {
  const PaintInputs face = Inputs();
  const std::vector<FocusStop> order = FocusOrder(skin, face.ui.page);
  std::vector<std::pair<Text, uint32_t>> now;
  now.reserve(order.size());
  for (const FocusStop& stop : order) {
    const AccessibleItem item = DescribeKey(face, stop.ref, stop.rect);
    now.emplace_back(item.name, item.state);
  }
  // Another page's items were announced by the reorder.
  if (announcedPage_ == face.ui.page && now.size() == announced_.size()) {
    for (size_t i = 0; i < now.size(); ++i) {
      if (now[i].first != announced_[i].first) NotifyNameChange(hwnd_, i);
      if (now[i].second != announced_[i].second) NotifyStateChange(hwnd_, i);
    }
  }
  announced_ = std::move(now);
  announcedPage_ = face.ui.page;
}

// ---- Messages ----

bool CNUV_TalvDlg::OnEraseBackground(WndMessage& m) {
  m.result = TRUE;  // the paint covers the whole face
  return true;
}

PaintInputs CNUV_TalvDlg::Inputs() {
  ProgramCore& core = context_.core;
  return PaintInputs{
      context_.ui,   skin,        context_.session.uiLanguage, core.store.currentConfig,
      core.profile,  core.macros, recorder_.Recording(),       editorState_.counters,
      core.attention};
}

bool CNUV_TalvDlg::OnPaint(WndMessage&) {
  ++paintCount_;
  // A function was chosen in the second level: the first level goes.
  if (chooser_) chooser_->TakeChoiceMade();
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd_, &ps);
  RECT client;
  GetClientRect(hwnd_, &client);
  if (IsIconic(hwnd_)) {
    DrawMinimisedIcon(dc, icon_, client);
  } else if (canvas_) {
    // Without a mask picture the face is as large as the window.
    const int width = drawWidth > 0 ? drawWidth : client.right;
    const int height = drawHeight > 0 ? drawHeight : client.bottom;
    PaintMainWindow(dc, *canvas_, Inputs(), width, height);
  }
  EndPaint(hwnd_, &ps);
  AnnounceChanges();
  return true;
}

bool CNUV_TalvDlg::OnSystemCommand(WndMessage& m) {
  switch (ClassifySystemCommand(m.wParam)) {
    case SystemCommandAction::kAbout: {
      CAboutDlg about;
      about.DoModal(hwnd_);
      return true;
    }
    case SystemCommandAction::kMinimize:
      ::ShowWindow(hwnd_, SW_MINIMIZE);
      return true;
    case SystemCommandAction::kDefault:
      return false;
  }
  return false;
}

bool CNUV_TalvDlg::OnQueryDragIcon(WndMessage& m) {
  m.result = reinterpret_cast<LRESULT>(icon_);
  return true;
}

bool CNUV_TalvDlg::OnPowerBroadcast(WndMessage& m) {
  // The mouse may have lost its settings over sleep: it gets again what it
  // was told, once per resume. Battery and AC changes come many times an
  // hour on a laptop and change nothing of the mouse.
  if (context_.core.resume.IsNewResume(static_cast<uint32_t>(m.wParam))) {
    context_.core.applier.ResendLastApplied();
  }
  return false;
}

bool CNUV_TalvDlg::OnQueryEndSession(WndMessage& m) {
  m.result = TRUE;
  return true;
}

bool CNUV_TalvDlg::OnEndSession(WndMessage& m) {
  // Windows ends the process once this returns: the close sequence runs now,
  // hidden as the window may be. A session end that was called off changes
  // nothing.
  if (m.wParam) Close();
  m.result = 0;
  return true;
}

bool CNUV_TalvDlg::OnSessionChange(WndMessage& m) {
  ProgramCore& core = context_.core;
  switch (core.session.OnSessionChange(static_cast<uint32_t>(m.wParam))) {
    case SessionStep::kBecamePassive:
      core.executor.ReleaseHeldKeys();
      break;
    case SessionStep::kResendLastApplied:
      core.applier.ResendLastApplied();
      break;
    case SessionStep::kNone:
      break;
  }
  return false;
}

bool CNUV_TalvDlg::OnControlColour(WndMessage& m) {
  if (!canvas_) return false;
  m.result = reinterpret_cast<LRESULT>(
      canvas_->PrepareControlColours(reinterpret_cast<HDC>(m.wParam), context_.session.uiLanguage));
  return true;
}

bool CNUV_TalvDlg::OnTrayNotify(WndMessage& m) {
  m.result =
      static_cast<LRESULT>(nuv::OnTrayNotify(*this, m.wParam, static_cast<uint64_t>(m.lParam)));
  return true;
}

bool CNUV_TalvDlg::OnShowWindowCommand(WndMessage&) {
  ShowFromTray();
  return true;
}

bool CNUV_TalvDlg::OnExitCommand(WndMessage&) {
  Close();
  return true;
}

bool CNUV_TalvDlg::OnClose(WndMessage&) {
  Close();
  return true;
}

bool CNUV_TalvDlg::OnShowWindowMessage(WndMessage& m) {
  if (!m.wParam) EndRecording();
  return false;
}

bool CNUV_TalvDlg::OnSize(WndMessage& m) {
  if (m.wParam == SIZE_MINIMIZED) EndRecording();
  return false;
}

bool CNUV_TalvDlg::OnActivate(WndMessage& m) {
  if (LOWORD(m.wParam) == WA_INACTIVE) EndRecording();
  return false;
}

bool CNUV_TalvDlg::OnHookEndedRecording(WndMessage&) {
  EndRecording();  // the hook goes first
  keyboardHook_.ReplayChord();
  return true;
}

bool CNUV_TalvDlg::OnTestPage(WndMessage&) {
  // Only the page that the command line named, whatever the message carries.
  const std::optional<int> page = context_.switches.testPage;
  if (!page) return false;
  GoToPage(*page);
  return true;
}

bool CNUV_TalvDlg::OnSaveFailed(WndMessage& m) {
  // The main window's own messages each have a number of their own: the
  // message table takes the first entry of a number, so a second message of
  // that number would reach this handler (a hook's end of a recording did).
  static_assert(Distinct({kTestPageMessage, kActivateKeyMessage, kFocusKeyMessage,
                          kSaveFailedMessage, Win32KeyboardHook::kEndRecordingMessage,
                          kPopupItemMessage, kDeviceArrivedMessage}));
  const std::unique_ptr<Text> path(reinterpret_cast<Text*>(m.lParam));
  // One box at a time: a read-only file fails every DPI step of the mouse.
  if (!path || saveFailureShown_) return true;
  saveFailureShown_ = true;
  ShowMessage(SaveFailedText(*path, context_.session.uiLanguage != 0));
  saveFailureShown_ = false;
  return true;
}

bool CNUV_TalvDlg::OnTimer(WndMessage& m) {
  if (m.wParam == kTrayRetryTimer) {
    // A window shown meanwhile wants no icon.
    if (IsWindowVisible(hwnd_)) trayRetry_.Stop();
    if (!trayRetry_.Pending() ||
        !trayRetry_.Retried(AddIcon(hwnd_, smallIcon_ ? smallIcon_ : icon_))) {
      KillTimer(hwnd_, kTrayRetryTimer);
    }
    return true;
  }
  if (m.wParam == kDeviceWaitTimer) {
    ContinueDeviceWait(context_.session, *this, DeviceWaitEvent::kTimeUp);
    return true;
  }
  return false;
}

bool CNUV_TalvDlg::OnDeviceArrived(WndMessage&) {
  // Several arrivals may be queued: those after the mouse was found find no wait.
  ContinueDeviceWait(context_.session, *this, DeviceWaitEvent::kArrival);
  return true;
}

bool CNUV_TalvDlg::OnDeviceChange(WndMessage& m) {
  const auto event = static_cast<uint32_t>(m.wParam);
  // A hidden start waiting for the mouse searches at every HID arrival: the
  // path of a mouse never seen is not known.
  if (context_.session.awaitingDevice && event == kDeviceArrival) {
    PostMessageW(hwnd_, kDeviceArrivedMessage, 0, 0);
    m.result = TRUE;
    return true;
  }
  // Only arrival and removal carry the record the handler looks at; other
  // events may have no record at all.
  std::optional<DeviceBroadcast> broadcast;
  if (event == kDeviceArrival || event == kDeviceRemoveComplete) {
    broadcast = DecodeDeviceChange(m.lParam);
  }
  m.result = context_.core.connection.OnDeviceChange(event, broadcast ? &*broadcast : nullptr)
                 ? TRUE
                 : FALSE;
  return true;
}

}  // namespace nuv::win32
