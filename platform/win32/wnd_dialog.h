// The window framework, part 2: dialogs from templates, modal with a message
// loop of our own or modeless.
//
// The modal loop is ours and not the system's DialogBox, so that every message
// of the dialog and its controls passes PreTranslateMessage (the window's own
// keyboard filter, then IsDialogMessage) before it is dispatched. A modal run
// ends when EndModal is called or when the dialog window is destroyed, which is
// how the main window ends the program.
#pragma once

#include <functional>

#include "platform/win32/wnd_base.h"

namespace nuv::win32 {

class Dialog : public Wnd {
 public:
  explicit Dialog(UINT templateId) : templateId_(templateId) {}
  // A template in memory (kept alive by the caller), e.g. for dialogs built
  // at run time.
  explicit Dialog(const DLGTEMPLATE* inMemory) : inMemory_(inMemory) {}
  ~Dialog() override;

  // Creates the dialog (owned by `owner`, which is disabled meanwhile), runs
  // the loop until EndModal or destruction, destroys the window if it still
  // exists, and returns the EndModal result (IDCANCEL when the window was
  // destroyed, -1 when it could not be created).
  INT_PTR DoModal(HWND owner = nullptr);
  // A modeless dialog; its messages go through the same PreTranslateMessage
  // chain in whichever of our loops runs. False when it could not be created.
  bool CreateModeless(HWND owner);
  void EndModal(INT_PTR result);
  void Destroy();

  bool OnMessage(WndMessage& m) override;
  // IsDialogMessage for this dialog: Tab, arrows, default buttons.
  bool PreTranslateMessage(MSG& msg) override;

  // Owner-drawn menu items: WM_DRAWITEM and WM_MEASUREITEM of menu items go
  // here by default; true when the item was drawn (measured).
  std::function<bool(DRAWITEMSTRUCT&)> drawMenuItem;
  std::function<bool(MEASUREITEMSTRUCT&)> measureMenuItem;

 protected:
  // WM_INITDIALOG; the value is what the dialog procedure returns.
  virtual BOOL OnInitDialog() { return TRUE; }
  // IDOK and IDCANCEL (also Return and Escape when nothing filters them).
  virtual void OnOK() { EndOrDestroy(IDOK); }
  virtual void OnCancel() { EndOrDestroy(IDCANCEL); }

  // WM_DRAWITEM / WM_MEASUREITEM default: items of a control go to the
  // control's object, menu items to the owner-draw menu.
  bool ForwardDrawItem(WndMessage& m);
  bool ForwardMeasureItem(WndMessage& m);

  void OnFinalDestroy() override;

 private:
  // Every message of every dialog passes the fault barrier here.
  static INT_PTR CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static INT_PTR Handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  HWND CreateFromTemplate(HWND owner);
  static void WakeLoop();
  void EndOrDestroy(INT_PTR result);

  UINT templateId_ = 0;
  const DLGTEMPLATE* inMemory_ = nullptr;
  bool modal_ = false;
  bool ending_ = false;
  INT_PTR result_ = IDCANCEL;
};

// Runs the thread's messages through the PreTranslateMessage chain until
// `done` returns true or WM_QUIT arrives (which is posted again for the loop
// outside). Used by the modal run; exposed for tests.
template <class Done>
void RunMessageLoop(Done done) {
  MSG msg;
  while (!done()) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {
      if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    if (Wnd::PreTranslateChain(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

}  // namespace nuv::win32
