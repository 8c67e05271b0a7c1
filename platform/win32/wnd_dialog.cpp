#include "platform/win32/wnd_dialog.h"

#include "platform/fault_barrier.h"

namespace nuv::win32 {
namespace {

// Messages whose answer a dialog procedure returns itself instead of through
// DWLP_MSGRESULT.
bool ReturnsDirectly(UINT message) {
  switch (message) {
    case WM_INITDIALOG:
    case WM_QUERYDRAGICON:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
      return true;
    default:
      return false;
  }
}

}  // namespace

Dialog::~Dialog() {
  // Unbound first: the derived parts are gone and must not see the last messages.
  if (HWND h = hwnd_) {
    Unbind();
    if (IsWindow(h)) DestroyWindow(h);
  }
}

INT_PTR Dialog::DoModal(HWND owner) {
  modal_ = true;
  ending_ = false;
  result_ = IDCANCEL;
  const bool ownerWasEnabled = owner && IsWindowEnabled(owner);
  if (ownerWasEnabled) EnableWindow(owner, FALSE);
  HWND created = CreateFromTemplate(owner);
  if (!created && !ending_) result_ = -1;
  // The window may already be gone: the initialisation can end the program.
  RunMessageLoop([this] { return ending_ || !hwnd_ || !IsWindow(hwnd_); });
  if (ownerWasEnabled) {
    EnableWindow(owner, TRUE);
    SetActiveWindow(owner);
  }
  if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
  modal_ = false;
  return result_;
}

bool Dialog::CreateModeless(HWND owner) {
  modal_ = false;
  return CreateFromTemplate(owner) != nullptr;
}

HWND Dialog::CreateFromTemplate(HWND owner) {
  const auto self = reinterpret_cast<LPARAM>(this);
  if (inMemory_) {
    return CreateDialogIndirectParamW(GetModuleHandleW(nullptr), inMemory_, owner, Procedure, self);
  }
  return CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId_), owner,
                            Procedure, self);
}

void Dialog::EndModal(INT_PTR result) {
  result_ = result;
  ending_ = true;
  WakeLoop();
}

void Dialog::WakeLoop() {
  // The loop looks at its end only when GetMessage returns, which a message
  // sent from another thread (a device change) never makes it do.
  PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0);
}

void Dialog::Destroy() {
  if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

void Dialog::EndOrDestroy(INT_PTR result) {
  if (modal_) {
    EndModal(result);
  } else {
    Destroy();
  }
}

bool Dialog::PreTranslateMessage(MSG& msg) { return hwnd_ && IsDialogMessageW(hwnd_, &msg); }

bool Dialog::OnMessage(WndMessage& m) {
  switch (m.message) {
    case WM_INITDIALOG:
      m.result = OnInitDialog();
      return true;
    case WM_COMMAND:
      if (LOWORD(m.wParam) == IDOK && HIWORD(m.wParam) == BN_CLICKED) {
        OnOK();
        return true;
      }
      if (LOWORD(m.wParam) == IDCANCEL && HIWORD(m.wParam) == BN_CLICKED) {
        OnCancel();
        return true;
      }
      return false;
    case WM_DRAWITEM:
      return ForwardDrawItem(m);
    case WM_MEASUREITEM:
      return ForwardMeasureItem(m);
    default:
      return false;
  }
}

bool Dialog::ForwardDrawItem(WndMessage& m) {
  auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(m.lParam);
  if (!item) return false;
  bool drawn = false;
  if (item->CtlType == ODT_MENU) {
    drawn = drawMenuItem && drawMenuItem(*item);
  } else if (Wnd* control = FromHandle(item->hwndItem)) {
    drawn = control->DrawItem(*item);
  }
  if (drawn) m.result = TRUE;
  return drawn;
}

bool Dialog::ForwardMeasureItem(WndMessage& m) {
  auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(m.lParam);
  if (!item) return false;
  bool measured = false;
  if (item->CtlType == ODT_MENU) {
    measured = measureMenuItem && measureMenuItem(*item);
  } else if (Wnd* control = FromHandle(GetDlgItem(hwnd_, static_cast<int>(item->CtlID)))) {
    measured = control->MeasureItem(*item);
  }
  if (measured) m.result = TRUE;
  return measured;
}

void Dialog::OnFinalDestroy() {
  // A modal run whose window went away ends with it.
  if (modal_) {
    ending_ = true;
    WakeLoop();
  }
}

INT_PTR CALLBACK Dialog::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return FaultBarrier([&] { return Handle(hwnd, message, wParam, lParam); });
}

INT_PTR Dialog::Handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Dialog* self = nullptr;
  if (message == WM_INITDIALOG) {
    self = reinterpret_cast<Dialog*>(lParam);
    self->Bind(hwnd);
  } else {
    self = static_cast<Dialog*>(FromHandle(hwnd));
  }
  if (!self) return FALSE;
  WndMessage m{hwnd, message, wParam, lParam, 0};
  Wnd* control = ReflectionTarget(*self, m);
  const bool handled = (control && control->OnReflected(m)) || self->OnMessage(m);
  if (message == WM_NCDESTROY) {
    self->Unbind();
    self->OnFinalDestroy();
  }
  if (!handled) return FALSE;
  if (ReturnsDirectly(message)) return static_cast<INT_PTR>(m.result);
  SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, m.result);
  return TRUE;
}

}  // namespace nuv::win32
