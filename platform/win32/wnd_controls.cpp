#include "platform/win32/wnd_controls.h"

#include <commctrl.h>

#include <vector>

#include "platform/fault_barrier.h"
#include "platform/win32/win32_text.h"

namespace nuv::win32 {
namespace {

constexpr UINT_PTR kSubclassId = 0x4E5556;  // one subclass of ours per control

}  // namespace

Control::~Control() { Destroy(); }

bool Control::Create(const wchar_t* className, DWORD style, const RECT& rect, HWND parent, UINT id,
                     DWORD exStyle) {
  Destroy();
  HWND control = CreateWindowExW(exStyle, className, L"", style, rect.left, rect.top,
                                 rect.right - rect.left, rect.bottom - rect.top, parent,
                                 reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                                 GetModuleHandleW(nullptr), nullptr);
  return control && Subclass(control);
}

bool Control::Subclass(HWND control) {
  if (!control) return false;
  Bind(control);
  if (!SetWindowSubclass(control, SubclassProcedure, kSubclassId,
                         reinterpret_cast<DWORD_PTR>(this))) {
    Unbind();
    return false;
  }
  return true;
}

void Control::Destroy() {
  if (HWND h = hwnd_) {
    RemoveWindowSubclass(h, SubclassProcedure, kSubclassId);
    Unbind();
    if (IsWindow(h)) DestroyWindow(h);
  }
}

void Control::SetFont(HFONT font) {
  if (hwnd_) SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void Control::Enable(bool enabled) {
  if (hwnd_) EnableWindow(hwnd_, enabled ? TRUE : FALSE);
}

Text Control::GetText() const {
  if (!hwnd_) return Text();
  const int length = GetWindowTextLengthW(hwnd_);
  std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
  const int got = GetWindowTextW(hwnd_, buffer.data(), length + 1);
  return FromW(buffer.data(), static_cast<size_t>(got > 0 ? got : 0));
}

void Control::SetText(const Text& text) {
  if (hwnd_) SetWindowTextW(hwnd_, W(text));
}

LRESULT Control::Default(const WndMessage& m) {
  return DefSubclassProc(m.hwnd, m.message, m.wParam, m.lParam);
}

LRESULT CALLBACK Control::SubclassProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                            UINT_PTR, DWORD_PTR data) {
  return FaultBarrier([&] {
    auto* self = reinterpret_cast<Control*>(data);
    WndMessage m{hwnd, message, wParam, lParam, 0};
    if (message == WM_NCDESTROY) {
      // The window goes; the object stays and can create it again.
      RemoveWindowSubclass(hwnd, SubclassProcedure, kSubclassId);
      if (self->hwnd_ == hwnd) self->Unbind();
      return DefSubclassProc(hwnd, message, wParam, lParam);
    }
    if (self->OnMessage(m)) return m.result;
    return DefSubclassProc(hwnd, message, wParam, lParam);
  });
}

int ListBox::AddString(const Text& text) {
  return hwnd_ ? static_cast<int>(
                     SendMessageW(hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(W(text))))
               : LB_ERR;
}

void ListBox::ResetContent() {
  if (hwnd_) SendMessageW(hwnd_, LB_RESETCONTENT, 0, 0);
}

int ListBox::GetCount() const {
  return hwnd_ ? static_cast<int>(SendMessageW(hwnd_, LB_GETCOUNT, 0, 0)) : 0;
}

int ListBox::GetCurSel() const {
  return hwnd_ ? static_cast<int>(SendMessageW(hwnd_, LB_GETCURSEL, 0, 0)) : LB_ERR;
}

void ListBox::SetCurSel(int index) {
  if (hwnd_) SendMessageW(hwnd_, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

Text ListBox::GetItemText(int index) const {
  if (!hwnd_) return Text();
  const LRESULT length = SendMessageW(hwnd_, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == LB_ERR || length < 0) return Text();
  std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
  const LRESULT got = SendMessageW(hwnd_, LB_GETTEXT, static_cast<WPARAM>(index),
                                   reinterpret_cast<LPARAM>(buffer.data()));
  return got == LB_ERR ? Text() : FromW(buffer.data(), static_cast<size_t>(got));
}

void Edit::SetLimitText(int characters) {
  if (hwnd_) SendMessageW(hwnd_, EM_LIMITTEXT, static_cast<WPARAM>(characters), 0);
}

}  // namespace nuv::win32
