// The window framework, part 3: child controls whose messages pass through a
// C++ object (subclassing), with a list box and an edit box on top.
//
// A derived control answers messages in its own table (OnMessage); what it
// leaves goes to the control's original window procedure. Objects can be
// constructed long before their windows exist and outlive them: Create and
// Destroy may run many times (the macro editor's controls come and go with the
// advanced page).
#pragma once

#include "platform/text.h"
#include "platform/win32/wnd_base.h"

namespace nuv::win32 {

class Control : public Wnd {
 public:
  ~Control() override;

  // Creates a child window of `className` and subclasses it.
  bool Create(const wchar_t* className, DWORD style, const RECT& rect, HWND parent, UINT id,
              DWORD exStyle = 0);
  // Takes over an existing control (e.g. one from a dialog template).
  bool Subclass(HWND control);
  void Destroy();

  UINT id() const { return hwnd_ ? static_cast<UINT>(GetDlgCtrlID(hwnd_)) : 0; }
  void SetFont(HFONT font);
  void Enable(bool enabled);
  Text GetText() const;
  void SetText(const Text& text);

 protected:
  // The original window procedure.
  LRESULT Default(const WndMessage& m);

 private:
  static LRESULT CALLBACK SubclassProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                            UINT_PTR id, DWORD_PTR data);
};

class ListBox : public Control {
 public:
  bool Create(DWORD style, const RECT& rect, HWND parent, UINT id) {
    return Control::Create(L"LISTBOX", style, rect, parent, id);
  }
  int AddString(const Text& text);
  void ResetContent();
  int GetCount() const;
  int GetCurSel() const;
  void SetCurSel(int index);
  Text GetItemText(int index) const;
};

class Edit : public Control {
 public:
  bool Create(DWORD style, const RECT& rect, HWND parent, UINT id) {
    return Control::Create(L"EDIT", style, rect, parent, id);
  }
  void SetLimitText(int characters);
};

}  // namespace nuv::win32
