// The windows that give a mouse button its function: the warning before the
// only primary click is given away (WarningDlg) and the two levels of
// function popups (CMenuDlg, CSubMenuDlg). Thin: what they decide is in
// settings/function_menu.h and ui/warning_dialog.h.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "macro/macro_store.h"
#include "platform/atomic_field.h"
#include "platform/picture_port.h"
#include "platform/win32/win32_accessible.h"
#include "platform/win32/win32_canvas.h"
#include "platform/win32/wnd_dialog.h"
#include "settings/function_menu.h"
#include "ui/warning_dialog.h"

namespace nuv::win32 {

// A screen reader's default action (lParam 0) or focus request (lParam 1)
// on row or choice wParam, carried out by the popup after the question.
constexpr UINT kPopupItemMessage = WM_APP + 0x60;

// What the popups draw with and change. One canvas serves them all: they
// paint one at a time on the window thread.
struct PopupContext {
  PicturePort& pictures;
  const Text& skinFolder;
  GdiCanvas& canvas;
  MouseProfile& profile;
  const MacroStore& macros;
  const FunctionNameTable& functionNames;
  const WarningSkinTable& warningTable;
  const AtomicField<int32_t>& uiLanguage;
  // The main window's display scale: the popups draw and hit-test at it.
  const DisplayScale& scale;
};

class WarningDlg : public Dialog {
 public:
  // Placed with its top-left corner at the screen point (left, top).
  WarningDlg(const PopupContext& context, int32_t left, int32_t top);
  bool OnMessage(WndMessage& m) override;
  // The arrow keys, Tab, Return and Space choose (Escape cancels through the
  // dialog's own handling).
  bool PreTranslateMessage(MSG& msg) override;
  int hover() const { return hover_; }
  void SetHover(int hover);

 protected:
  BOOL OnInitDialog() override;
  // Return does not close the warning; Escape gives the cancel result, 2.
  void OnOK() override {}

 private:
  bool OnEraseBackground(WndMessage& m);
  bool OnPaint(WndMessage& m);
  bool OnMouseMove(WndMessage& m);
  bool OnLeftButtonUp(WndMessage& m);
  bool OnItemMessage(WndMessage& m);
  bool OnGetObject(WndMessage& m) { return accessible_.OnGetObject(m); }
  bool OnDestroy(WndMessage&);
  static const MessageEntry<WarningDlg> kMessageTable[];

  // The message and the two choices, for screen readers.
  class Face : public AccessibleFace {
   public:
    explicit Face(WarningDlg& dialog) : dialog_(dialog) {}
    Text FaceName() const override {
      return dialog_.context_.uiLanguage != 0 ? u"Warning" : u"Aviso";
    }
    size_t ItemCount() const override { return kWarningItems; }
    AccessibleItem Item(size_t index) const override;
    std::optional<size_t> FocusedItem() const override;
    void DoDefaultAction(size_t index) override;
    void TakeFocus(size_t index) override;

   private:
    WarningDlg& dialog_;
  };

  const PopupContext& context_;
  int32_t left_;
  int32_t top_;
  int32_t width_ = 0;
  int32_t height_ = 0;
  int hover_ = kWarningNoHover;
  Face face_{*this};
  AccessibleServer accessible_;
};

class FunctionChooser;

class CMenuDlg : public Dialog {
 public:
  explicit CMenuDlg(FunctionChooser& chooser);
  bool OnMessage(WndMessage& m) override;
  // The keyboard of both levels: the first level has it, the second is
  // shown without taking it.
  bool PreTranslateMessage(MSG& msg) override;
  const MenuGeometry& geometry() const { return geometry_; }

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override {}

 private:
  bool OnEraseBackground(WndMessage& m);
  bool OnPaint(WndMessage& m);
  bool OnMouseMove(WndMessage& m);
  bool OnLeftButtonDown(WndMessage& m);
  bool OnLeftButtonUp(WndMessage& m);
  bool OnItemMessage(WndMessage& m);
  bool OnGetObject(WndMessage& m) { return accessible_.OnGetObject(m); }
  bool OnDestroy(WndMessage&);
  static const MessageEntry<CMenuDlg> kMessageTable[];

  FunctionChooser& chooser_;
  MenuGeometry geometry_;
  MenuLevelFace face_;
  AccessibleServer accessible_;
};

class CSubMenuDlg : public Dialog {
 public:
  // The second level of first-level row `group` (7..10).
  CSubMenuDlg(FunctionChooser& chooser, int group);
  bool OnMessage(WndMessage& m) override;
  int group() const { return group_; }
  bool PreTranslateMessage(MSG& msg) override;
  int rows() const { return rows_; }
  int hoveredRow() const { return hoveredRow_; }
  void HoverRow(int row);
  // Row `row`'s function for the edited button; both levels close.
  bool ChooseRow(int row);

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override {}

 private:
  bool OnEraseBackground(WndMessage& m);
  bool OnPaint(WndMessage& m);
  bool OnMouseMove(WndMessage& m);
  bool OnLeftButtonDown(WndMessage& m);
  bool OnLeftButtonUp(WndMessage& m);
  bool OnItemMessage(WndMessage& m);
  bool OnGetObject(WndMessage& m) { return accessible_.OnGetObject(m); }
  bool OnDestroy(WndMessage&);
  static const MessageEntry<CSubMenuDlg> kMessageTable[];

  FunctionChooser& chooser_;
  int group_;
  int rows_ = 0;
  MenuGeometry geometry_;
  int hoveredRow_ = kNoRow;
  int lastHoveredRow_ = kNoRow;
  bool pressed_ = false;
  MenuLevelFace face_;
  AccessibleServer accessible_;
};

// Opens and closes the popups of the main page's button labels and holds
// their shared state. Window objects are released once their windows are
// gone, at points where none of them is handling a message.
class FunctionChooser {
 public:
  FunctionChooser(const PopupContext& context, HWND mainWindow)
      : context_(context), mainWindow_(mainWindow) {}
  ~FunctionChooser();

  // Button 1..7, its label's screen point: the warning when the button holds
  // the only primary click, then the first level.
  void Open(int button, int32_t x, int32_t y);
  bool IsOpen() const;
  // The main window's next press: both levels closed.
  void Close();
  // The main window's paint: a second-level choice was made; the first
  // level's window goes.
  void TakeChoiceMade();
  // Dialog objects held, windows alive or not.
  size_t LiveObjects() const;
  // A key in the popups (the first level has the keyboard).
  void OnKey(MenuKey key);
  // A level's pre-translation: a key-down of the popups' keys for `level`
  // goes to OnKey; true when it was taken.
  bool TakeKey(HWND level, const MSG& msg);

 private:
  friend class CMenuDlg;
  friend class CSubMenuDlg;

  // A choice of `code` for the edited button, then the primary-click rule.
  void Choose(int32_t code);
  // The first level's paint rebuilds the second level for a hovered group row.
  void RebuildSecondLevel(int hoveredRow);
  void DestroySecondLevel();
  // The first level's row `row` under the keyboard (or a screen reader).
  void HoverFirstRow(int row);
  // First-level row 1..6 taken; the level closes.
  void ChooseFirstRow(int row);
  // The popups went by the keyboard: the main window has the focus again,
  // on the label they came from.
  void CloseByKeyboard();
  void FocusMainWindow();
  // The main window, repainted at once (its labels show the choice).
  void RepaintMainWindow();
  void ReleaseRetired();

  const PopupContext& context_;
  HWND mainWindow_;
  std::unique_ptr<CMenuDlg> first_;
  std::unique_ptr<CSubMenuDlg> second_;
  // Objects whose windows are gone (or going) while one of them may still be
  // on the call stack.
  std::vector<std::unique_ptr<Dialog>> retired_;
  bool firstOpen_ = false;
  int editedButton_ = 0;
  int hoveredRow_ = kNoRow;
  int lastHoveredRow_ = kNoRow;
  bool firstPressed_ = false;
  bool choiceMade_ = false;
  // The keyboard moves over the second level's rows.
  bool inSecond_ = false;
};

// The popup key of a virtual key, if it is one.
std::optional<MenuKey> MenuKeyOf(WPARAM virtualKey);

}  // namespace nuv::win32
