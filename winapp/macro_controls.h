// The macro editor's controls on the advanced page: the macro list, the name
// and repeat-count boxes, and the event list with its in-place edit of a
// pause (CEditableListBox with CEditHelper). Thin: they implement the views
// that macro/macro_editor.h drives. The objects live as long as the main
// window; their windows come and go with the page, and without a window a
// view does nothing.
#pragma once

#include <windows.h>

#include "macro/macro_editor.h"
#include "platform/win32/wnd_controls.h"

namespace nuv::win32 {

// The in-place edit's end (wParam 1 keeps the text), the line-changed and
// the edit-ended messages.
constexpr UINT kEndEditMessage = 0x8841;
constexpr UINT kLineChangedMessage = 0x8840;
constexpr UINT kEditEndedMessage = WM_USER + 10;

// A list box as the editor sees it.
template <class View>
class ViewListBox : public ListBox, public View {
 public:
  void AddLine(const Text& text) override { AddString(text); }
  void DeleteAllLines() override { ResetContent(); }
  int LineCount() const override { return GetCount(); }
  void SelectLine(int line) override { SetCurSel(line); }
  int Selection() const override {
    const int selection = GetCurSel();
    return selection == LB_ERR ? -1 : selection;
  }
  Text LineText(int line) const override {
    return line >= 0 && line < GetCount() ? GetItemText(line) : Text();
  }
  void DeleteLine(int line) override {
    if (hwnd_) SendMessageW(hwnd_, LB_DELETESTRING, static_cast<WPARAM>(line), 0);
  }
  void Focus() override {
    if (hwnd_) SetFocus(hwnd_);
  }
};

using MacroNameList = ViewListBox<LineListView>;

class MacroTextBox : public Edit, public TextBoxView {
 public:
  Text GetText() const override { return Edit::GetText(); }
  void SetText(const Text& text) override { Edit::SetText(text); }
  void SetEnabled(bool enabled) override { Enable(enabled); }
};

// The edit over a line: Return keeps the text, Escape drops it, and so does
// nothing else: losing the focus keeps it.
class CEditHelper : public Edit {
 public:
  bool OnMessage(WndMessage& m) override;
  // The edit opened while Return was down (Return chose "Modify Delay" in
  // the menu): the release of that Return must not close it at once.
  void IgnoreNextReturnRelease() { ignoreReturnRelease_ = true; }

 private:
  bool ignoreReturnRelease_ = false;
};

class CEditableListBox : public ViewListBox<EditableListView> {
 public:
  // Opens the edit over the selected line, with its text selected.
  void BeginEdit() override;
  // Closes it; `keep` puts its text into the line when it differs. Tells the
  // parent (the edit-ended message) either way.
  void EndEdit(bool keep);
  bool OnMessage(WndMessage& m) override;

 private:
  CEditHelper edit_;
  int editedLine_ = -1;
  bool ending_ = false;
};

}  // namespace nuv::win32
