#include "platform/win32/wnd_base.h"

namespace nuv::win32 {
namespace {

// The property under which a window's object is kept.
constexpr wchar_t kObjectProperty[] = L"NUV_Talv.Wnd";

}  // namespace

bool EntryMatches(UINT message, UINT firstId, UINT lastId, UINT notifyCode, const WndMessage& m) {
  if (message == kAnyCtlColor) {
    return m.message >= WM_CTLCOLORMSGBOX && m.message <= WM_CTLCOLORSTATIC;
  }
  if (message != m.message) return false;
  if (message != WM_COMMAND) return true;
  const UINT id = LOWORD(m.wParam);
  if (id < firstId || id > lastId) return false;
  return notifyCode == kAnyNotifyCode || HIWORD(m.wParam) == notifyCode;
}

Wnd::~Wnd() {
  // An object that dies before its window leaves no dangling pointer behind.
  if (hwnd_ && IsWindow(hwnd_)) RemovePropW(hwnd_, kObjectProperty);
}

Wnd* Wnd::FromHandle(HWND hwnd) {
  if (!hwnd) return nullptr;
  return static_cast<Wnd*>(GetPropW(hwnd, kObjectProperty));
}

void Wnd::Bind(HWND hwnd) {
  hwnd_ = hwnd;
  SetPropW(hwnd, kObjectProperty, this);
}

void Wnd::Unbind() {
  if (hwnd_) RemovePropW(hwnd_, kObjectProperty);
  hwnd_ = nullptr;
}

Wnd* Wnd::ReflectionTarget(const Wnd& parent, const WndMessage& m) {
  const bool notification = m.message == WM_COMMAND && m.lParam != 0;
  // The dialog's and message box's own colours are not about a control.
  const bool colour =
      m.message >= WM_CTLCOLOREDIT && m.message <= WM_CTLCOLORSTATIC && m.message != WM_CTLCOLORDLG;
  if (!notification && !colour) return nullptr;
  Wnd* control = FromHandle(reinterpret_cast<HWND>(m.lParam));
  return control != &parent ? control : nullptr;
}

bool Wnd::PreTranslateChain(MSG& msg) {
  for (HWND h = msg.hwnd; h; h = GetAncestor(h, GA_PARENT)) {
    if (h == GetDesktopWindow()) break;
    if (Wnd* w = FromHandle(h); w && w->PreTranslateMessage(msg)) return true;
    if (!(GetWindowLongPtrW(h, GWL_STYLE) & WS_CHILD)) break;  // top level reached
  }
  return false;
}

}  // namespace nuv::win32
