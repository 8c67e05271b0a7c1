#include "winapp/macro_controls.h"

#include "platform/win32/win32_text.h"

namespace nuv::win32 {

bool CEditHelper::OnMessage(WndMessage& m) {
  HWND list = GetParent(hwnd_);
  if (m.message == WM_KEYUP && (m.wParam == VK_RETURN || m.wParam == VK_ESCAPE)) {
    if (m.wParam == VK_RETURN && ignoreReturnRelease_) {
      ignoreReturnRelease_ = false;
      return true;
    }
    SendMessageW(list, kEndEditMessage, m.wParam == VK_RETURN ? 1 : 0, 0);
    return true;
  }
  if (m.message == WM_KILLFOCUS) {
    m.result = Default(m);
    SendMessageW(list, kEndEditMessage, 1, 0);
    return true;
  }
  return false;
}

void CEditableListBox::BeginEdit() {
  const int line = GetCurSel();
  if (!hwnd_ || line == LB_ERR || edit_.IsCreated()) return;
  RECT r{};
  SendMessageW(hwnd_, LB_GETITEMRECT, static_cast<WPARAM>(line), reinterpret_cast<LPARAM>(&r));
  r.top -= 2;
  r.bottom += 2;
  if (!edit_.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, r, hwnd_, 1)) return;
  SetWindowLongPtrW(edit_.hwnd(), GWL_EXSTYLE,
                    GetWindowLongPtrW(edit_.hwnd(), GWL_EXSTYLE) | WS_EX_CLIENTEDGE);
  SetWindowPos(edit_.hwnd(), nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
  edit_.SetFont(reinterpret_cast<HFONT>(SendMessageW(hwnd_, WM_GETFONT, 0, 0)));
  edit_.SetText(GetItemText(line));
  // The whole text selected, the caret not scrolled into view.
  SendMessageW(edit_.hwnd(), EM_SETSEL, 0, -1);
  if (GetKeyState(VK_RETURN) < 0) edit_.IgnoreNextReturnRelease();
  SetFocus(edit_.hwnd());
  editedLine_ = line;
}

void CEditableListBox::EndEdit(bool keep) {
  // Destroying the edit takes its focus away, which asks for an end again.
  if (!edit_.IsCreated() || ending_) return;
  ending_ = true;
  if (keep && editedLine_ != -1) {
    const Text before = GetItemText(editedLine_);
    const Text after = edit_.GetText();
    if (before != after) {
      SendMessageW(hwnd_, LB_DELETESTRING, static_cast<WPARAM>(editedLine_), 0);
      const auto style = GetWindowLongPtrW(hwnd_, GWL_STYLE);
      const UINT insert = (style & LBS_SORT) ? LB_ADDSTRING : LB_INSERTSTRING;
      const LRESULT at = SendMessageW(hwnd_, insert, static_cast<WPARAM>(editedLine_),
                                      reinterpret_cast<LPARAM>(W(after)));
      if (at != LB_ERR && at != LB_ERRSPACE) editedLine_ = static_cast<int>(at);
      SetCurSel(editedLine_);
      if (style & LBS_NOTIFY) {
        SendMessageW(GetParent(hwnd_), kLineChangedMessage, static_cast<WPARAM>(editedLine_),
                     reinterpret_cast<LPARAM>(W(before)));
      }
    }
  }
  editedLine_ = -1;
  edit_.Destroy();
  ending_ = false;
  SendMessageW(GetParent(hwnd_), kEditEndedMessage, 0, 0);
}

bool CEditableListBox::OnMessage(WndMessage& m) {
  switch (m.message) {
    case WM_CHAR:
      // Character 1 opens the edit; every character then goes on to the list.
      if (m.wParam == 1) BeginEdit();
      return false;
    case kEndEditMessage:
      EndEdit(m.wParam != 0);
      return true;
    case WM_SIZE:
      m.result = Default(m);
      EndEdit(true);
      return true;
    case WM_VSCROLL:
    case WM_HSCROLL:
      EndEdit(true);
      return false;
    default:
      return false;
  }
}

}  // namespace nuv::win32
