// The window framework, part 1: a window object bound to its HWND and a
// message table per class.
//
// A class handles messages through a table of entries. Each entry names a
// message (for WM_COMMAND also a range of command identifiers and, if wanted,
// one notification code) and a member function `bool Handler(WndMessage&)`.
// A handler returns true when it has answered the message (the answer goes into
// WndMessage::result); false lets the next table up the class chain, and in the
// end the system's default handling, see the message. So "do something, then
// the default handling" is a handler that acts and returns false.
//
//   class MyDialog : public Dialog {
//     bool OnPower(WndMessage& m);
//     static const MessageEntry<MyDialog> kTable[];
//     bool OnMessage(WndMessage& m) override {
//       return DispatchTable(*this, kTable, m) || Dialog::OnMessage(m);
//     }
//   };
//   const MessageEntry<MyDialog> MyDialog::kTable[] = {
//       OnMessageEntry(WM_POWERBROADCAST, &MyDialog::OnPower),
//       OnCommandEntry(32800, 32800, &MyDialog::OnExit),
//   };
#pragma once

#include <windows.h>

#include <cstddef>

namespace nuv::win32 {

struct WndMessage {
  HWND hwnd = nullptr;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  LRESULT result = 0;
};

// Stands for all the WM_CTLCOLOR* messages in a table entry.
constexpr UINT kAnyCtlColor = 0xFFFF0001;
// Any notification code of a command entry.
constexpr UINT kAnyNotifyCode = 0xFFFFFFFF;

template <class T>
struct MessageEntry {
  UINT message;
  UINT firstId;  // WM_COMMAND only: command identifiers firstId..lastId
  UINT lastId;
  UINT notifyCode;  // WM_COMMAND only: notification code, or kAnyNotifyCode
  bool (T::*handler)(WndMessage&);
};

template <class T>
constexpr MessageEntry<T> OnMessageEntry(UINT message, bool (T::*handler)(WndMessage&)) {
  return {message, 0, 0, kAnyNotifyCode, handler};
}
template <class T>
constexpr MessageEntry<T> OnCommandEntry(UINT first, UINT last, bool (T::*handler)(WndMessage&)) {
  return {WM_COMMAND, first, last, kAnyNotifyCode, handler};
}
template <class T>
constexpr MessageEntry<T> OnNotifyCodeEntry(UINT id, UINT code, bool (T::*handler)(WndMessage&)) {
  return {WM_COMMAND, id, id, code, handler};
}

bool EntryMatches(UINT message, UINT firstId, UINT lastId, UINT notifyCode, const WndMessage& m);

// Runs the first entry of `table` that matches; false when none matches or the
// handler passes the message on.
template <class T, size_t N>
bool DispatchTable(T& self, const MessageEntry<T> (&table)[N], WndMessage& m) {
  for (const MessageEntry<T>& e : table) {
    if (EntryMatches(e.message, e.firstId, e.lastId, e.notifyCode, m)) {
      return (self.*e.handler)(m);
    }
  }
  return false;
}

// A window object. The object is bound to its HWND from creation (or
// subclassing) until WM_NCDESTROY; Wnd::FromHandle finds it from the handle.
class Wnd {
 public:
  Wnd() = default;
  virtual ~Wnd();
  Wnd(const Wnd&) = delete;
  Wnd& operator=(const Wnd&) = delete;

  HWND hwnd() const { return hwnd_; }
  bool IsCreated() const { return hwnd_ != nullptr && IsWindow(hwnd_); }
  static Wnd* FromHandle(HWND hwnd);

  // The class's message tables; false: not answered here.
  virtual bool OnMessage(WndMessage&) { return false; }
  // Called by the framework's message loops before a message for this window
  // or one of its children is translated and dispatched; true consumes it.
  virtual bool PreTranslateMessage(MSG&) { return false; }
  // Owner-drawn items reflected from the parent (controls with an identifier
  // other than 0). False: not drawn here.
  virtual bool DrawItem(DRAWITEMSTRUCT&) { return false; }
  virtual bool MeasureItem(MEASUREITEMSTRUCT&) { return false; }
  // Messages about this control that its parent received, offered here before
  // the parent's own table: WM_COMMAND notifications and WM_CTLCOLOR*. True
  // answers them (the answer in WndMessage::result, a brush for the colours);
  // false leaves them to the parent. So a control can own its behaviour.
  virtual bool OnReflected(WndMessage&) { return false; }

  // The control that a parent's message is about, when it is a WM_COMMAND
  // notification or a WM_CTLCOLOR* of a control bound to an object other than
  // `parent`; null otherwise.
  static Wnd* ReflectionTarget(const Wnd& parent, const WndMessage& m);

  // Offers a message to the window it is meant for and to its parents in turn,
  // as far as the top-level window; true when one of them consumed it.
  static bool PreTranslateChain(MSG& msg);

 protected:
  void Bind(HWND hwnd);
  void Unbind();
  // After WM_NCDESTROY, when the handle is gone.
  virtual void OnFinalDestroy() {}

  HWND hwnd_ = nullptr;
};

}  // namespace nuv::win32
