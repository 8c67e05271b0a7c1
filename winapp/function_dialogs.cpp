#include "winapp/function_dialogs.h"

#include <algorithm>

#include "platform/win32/win32_text.h"
#include "res/resource.h"
#include "ui/skin_shape.h"
#include "winapp/skin_region.h"

namespace nuv::win32 {

namespace {

// The point of a mouse message in the popup's skin units.
int32_t PointX(const PopupContext& c, LPARAM lParam) {
  return c.scale.ToUnits(static_cast<int16_t>(LOWORD(lParam)));
}
int32_t PointY(const PopupContext& c, LPARAM lParam) {
  return c.scale.ToUnits(static_cast<int16_t>(HIWORD(lParam)));
}

// The size of a skin picture (0 by 0 when it is missing or unreadable).
Picture LoadSkinPicture(const PopupContext& c, const char16_t* name) {
  Picture picture;
  if (!c.pictures.Load(c.skinFolder + name, picture)) picture = Picture{};
  return picture;
}

// Paints a popup's face (`width` by `height` skin units) through the shared
// canvas, at the main window's scale, and shows it.
template <typename Compose>
void PaintPopup(HWND window, const PopupContext& c, int32_t unitsWide, int32_t unitsHigh,
                Compose compose) {
  const int32_t width = c.scale.ToPixels(unitsWide);
  const int32_t height = c.scale.ToPixels(unitsHigh);
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  if (width > 0 && height > 0 && c.canvas.PrepareBackBuffer(width, height)) {
    compose(c.canvas);
    c.canvas.Present(dc, width, height);
  }
  EndPaint(window, &ps);
}

bool Erased(WndMessage& m) {
  m.result = TRUE;  // the paint covers the whole face
  return true;
}

}  // namespace

// ---- WarningDlg ----

const MessageEntry<WarningDlg> WarningDlg::kMessageTable[] = {
    OnMessageEntry(WM_ERASEBKGND, &WarningDlg::OnEraseBackground),
    OnMessageEntry(WM_PAINT, &WarningDlg::OnPaint),
    OnMessageEntry(WM_MOUSEMOVE, &WarningDlg::OnMouseMove),
    OnMessageEntry(WM_LBUTTONUP, &WarningDlg::OnLeftButtonUp),
    OnMessageEntry(kPopupItemMessage, &WarningDlg::OnItemMessage),
    OnMessageEntry(WM_GETOBJECT, &WarningDlg::OnGetObject),
    OnMessageEntry(WM_DESTROY, &WarningDlg::OnDestroy),
};

WarningDlg::WarningDlg(const PopupContext& context, int32_t left, int32_t top)
    : Dialog(IDD_WARNING_DIALOG),
      context_(context),
      left_(left),
      top_(top),
      accessible_(
          face_, [&context] { return context.scale; }, AccessibleWindowRole::kDialog) {}

AccessibleItem WarningDlg::Face::Item(size_t index) const {
  return DescribeWarningItem(dialog_.context_.warningTable, index, dialog_.hover_,
                             dialog_.context_.uiLanguage);
}

std::optional<size_t> WarningDlg::Face::FocusedItem() const {
  if (dialog_.hover_ != kWarningContinue && dialog_.hover_ != kWarningCancel) return std::nullopt;
  return static_cast<size_t>(dialog_.hover_);
}

void WarningDlg::Face::DoDefaultAction(size_t index) {
  PostMessageW(dialog_.hwnd_, kPopupItemMessage, index, 0);
}

void WarningDlg::Face::TakeFocus(size_t index) {
  PostMessageW(dialog_.hwnd_, kPopupItemMessage, index, 1);
}

bool WarningDlg::OnItemMessage(WndMessage& m) {
  const int choice = static_cast<int>(std::min<WPARAM>(m.wParam, kWarningNoHover));
  if (m.lParam == 0) {
    if (const auto result = WarningResultOfRelease(choice)) EndModal(*result);
  } else if (WarningResultOfRelease(choice)) {
    SetHover(choice);
  }
  return true;
}

bool WarningDlg::OnDestroy(WndMessage&) {
  accessible_.Disconnect();
  return false;
}

void WarningDlg::SetHover(int hover) {
  hover_ = hover;
  InvalidateRect(hwnd_, nullptr, TRUE);
  // The choices are items 1 and 2, after the message.
  if (WarningResultOfRelease(hover)) NotifyFocus(hwnd_, static_cast<size_t>(hover));
}

bool WarningDlg::OnMessage(WndMessage& m) {
  return DispatchTable(*this, kMessageTable, m) || Dialog::OnMessage(m);
}

BOOL WarningDlg::OnInitDialog() {
  Dialog::OnInitDialog();
  // The window is the mask's size and shape (nothing of it without a mask),
  // in skin units for the face and in pixels at the main window's scale.
  const Picture mask = LoadSkinPicture(context_, u"\\warning_mask.jpg");
  width_ = mask.width;
  height_ = mask.height;
  const Picture scaled =
      context_.scale.IsBase()
          ? mask
          : LoadPictureAtScale(context_.pictures, context_.skinFolder + u"\\warning_mask.jpg",
                               context_.scale);
  SetWindowRgn(hwnd_, CreateRegionFrom(WindowShapeFromMask(scaled)), TRUE);
  SetWindowPos(hwnd_, nullptr, left_, top_, scaled.width, scaled.height, SWP_NOZORDER);
  hover_ = kWarningNoHover;
  return TRUE;
}

bool WarningDlg::OnEraseBackground(WndMessage& m) { return Erased(m); }

bool WarningDlg::OnPaint(WndMessage&) {
  PaintPopup(hwnd_, context_, width_, height_, [this](CanvasPort& canvas) {
    PaintWarning(canvas, context_.warningTable, hover_, context_.uiLanguage);
  });
  return true;
}

bool WarningDlg::OnMouseMove(WndMessage& m) {
  const int hover =
      WarningHoverAt(context_.warningTable, PointX(context_, m.lParam), PointY(context_, m.lParam));
  if (hover != hover_) {
    hover_ = hover;
    InvalidateRect(hwnd_, nullptr, TRUE);
  }
  return false;
}

bool WarningDlg::PreTranslateMessage(MSG& msg) {
  if (msg.message == WM_KEYDOWN && msg.hwnd == hwnd_) {
    switch (msg.wParam) {
      case VK_LEFT:
      case VK_UP:
      case VK_RIGHT:
      case VK_DOWN:
      case VK_TAB: {
        const bool forward = msg.wParam == VK_RIGHT || msg.wParam == VK_DOWN ||
                             (msg.wParam == VK_TAB && (GetKeyState(VK_SHIFT) & 0x8000) == 0);
        SetHover(WarningHoverAfterKey(hover_, forward));
        return true;
      }
      case VK_RETURN:
      case VK_SPACE:
        if (const auto result = WarningResultOfRelease(hover_)) EndModal(*result);
        return true;
      default:
        break;
    }
  }
  return Dialog::PreTranslateMessage(msg);
}

bool WarningDlg::OnLeftButtonUp(WndMessage&) {
  if (const auto result = WarningResultOfRelease(hover_)) EndModal(*result);
  return false;
}

// ---- CMenuDlg: the first level ----

const MessageEntry<CMenuDlg> CMenuDlg::kMessageTable[] = {
    OnMessageEntry(WM_ERASEBKGND, &CMenuDlg::OnEraseBackground),
    OnMessageEntry(WM_PAINT, &CMenuDlg::OnPaint),
    OnMessageEntry(WM_MOUSEMOVE, &CMenuDlg::OnMouseMove),
    OnMessageEntry(WM_LBUTTONDOWN, &CMenuDlg::OnLeftButtonDown),
    OnMessageEntry(WM_LBUTTONUP, &CMenuDlg::OnLeftButtonUp),
    OnMessageEntry(kPopupItemMessage, &CMenuDlg::OnItemMessage),
    OnMessageEntry(WM_GETOBJECT, &CMenuDlg::OnGetObject),
    OnMessageEntry(WM_DESTROY, &CMenuDlg::OnDestroy),
};

namespace {

// The hooks of a level's face that only post: the popup acts after the
// screen reader's question.
void PostItem(HWND window, int row, bool focusOnly) {
  PostMessageW(window, kPopupItemMessage, static_cast<WPARAM>(row), focusOnly ? 1 : 0);
}

}  // namespace

CMenuDlg::CMenuDlg(FunctionChooser& chooser)
    : Dialog(IDD_MENU_DIALOG),
      chooser_(chooser),
      face_({[this] {
               const bool english = chooser_.context_.uiLanguage != 0;
               return (english ? Text(u"Functions of button ") : Text(u"Funções do botão ")) +
                      FormatInt(chooser_.editedButton_);
             },
             [] { return kFirstLevelRows; },
             [this](int row) { return FunctionName(chooser_.context_.functionNames, row); },
             [](int row) { return IsGroupRow(row); }, [this] { return geometry_; },
             [this] { return chooser_.hoveredRow_; },
             [this] { return int32_t{chooser_.context_.uiLanguage}; },
             [this](int row) { PostItem(hwnd_, row, false); },
             [this](int row) { PostItem(hwnd_, row, true); }}),
      accessible_(
          face_, [this] { return chooser_.context_.scale; }, AccessibleWindowRole::kMenuPopup) {}

bool CMenuDlg::OnItemMessage(WndMessage& m) {
  const int row = static_cast<int>(std::min<WPARAM>(m.wParam, kNoRow));
  if (m.lParam != 0 || IsGroupRow(row)) {
    chooser_.HoverFirstRow(row);
  } else {
    chooser_.ChooseFirstRow(row);
  }
  return true;
}

bool CMenuDlg::OnDestroy(WndMessage&) {
  accessible_.Disconnect();
  return false;
}

bool CMenuDlg::OnMessage(WndMessage& m) {
  return DispatchTable(*this, kMessageTable, m) || Dialog::OnMessage(m);
}

BOOL CMenuDlg::OnInitDialog() {
  Dialog::OnInitDialog();
  // The second level finds the first by this title.
  SetWindowTextW(hwnd_, W(Text(kFirstLevelTitle)));
  const Picture mask = LoadSkinPicture(chooser_.context_, u"\\menu_mask.jpg");
  geometry_ = FirstLevelGeometry(mask.width, mask.height);
  const DisplayScale& scale = chooser_.context_.scale;
  SetWindowRgn(
      hwnd_,
      CreateRectRgn(0, 0, scale.ToPixels(geometry_.width), scale.ToPixels(geometry_.regionHeight)),
      TRUE);
  chooser_.hoveredRow_ = kNoRow;
  chooser_.lastHoveredRow_ = kNoRow;
  chooser_.firstPressed_ = false;
  return TRUE;
}

bool CMenuDlg::OnEraseBackground(WndMessage& m) { return Erased(m); }

bool CMenuDlg::OnPaint(WndMessage&) {
  FunctionChooser& c = chooser_;
  const PopupContext& context = c.context_;
  PaintPopup(hwnd_, context, geometry_.width, geometry_.regionHeight, [&](CanvasPort& canvas) {
    PaintMenuLevel(
        canvas, kFirstLevelPictures, geometry_, kFirstLevelRows,
        [&](int row) { return FunctionName(context.functionNames, row); }, c.hoveredRow_,
        c.firstPressed_, context.uiLanguage);
  });
  c.RebuildSecondLevel(c.hoveredRow_);
  return true;
}

bool CMenuDlg::OnMouseMove(WndMessage& m) {
  FunctionChooser& c = chooser_;
  c.hoveredRow_ = MenuRowAt(geometry_, PointX(c.context_, m.lParam), PointY(c.context_, m.lParam));
  if (c.hoveredRow_ != c.lastHoveredRow_) {
    c.lastHoveredRow_ = c.hoveredRow_;
    InvalidateRect(hwnd_, nullptr, TRUE);
  }
  return false;
}

bool CMenuDlg::OnLeftButtonDown(WndMessage&) {
  chooser_.firstPressed_ = true;
  InvalidateRect(hwnd_, nullptr, TRUE);
  return false;
}

bool CMenuDlg::OnLeftButtonUp(WndMessage&) {
  FunctionChooser& c = chooser_;
  c.firstPressed_ = false;
  InvalidateRect(hwnd_, nullptr, TRUE);
  c.ChooseFirstRow(c.hoveredRow_);
  return false;
}

bool CSubMenuDlg::PreTranslateMessage(MSG& msg) {
  // Should the system give this level the keyboard after all, its keys still
  // go where the first level's go.
  return chooser_.TakeKey(hwnd_, msg) || Dialog::PreTranslateMessage(msg);
}

bool CMenuDlg::PreTranslateMessage(MSG& msg) {
  return chooser_.TakeKey(hwnd_, msg) || Dialog::PreTranslateMessage(msg);
}

// ---- CSubMenuDlg: the second level ----

const MessageEntry<CSubMenuDlg> CSubMenuDlg::kMessageTable[] = {
    OnMessageEntry(WM_ERASEBKGND, &CSubMenuDlg::OnEraseBackground),
    OnMessageEntry(WM_PAINT, &CSubMenuDlg::OnPaint),
    OnMessageEntry(WM_MOUSEMOVE, &CSubMenuDlg::OnMouseMove),
    OnMessageEntry(WM_LBUTTONDOWN, &CSubMenuDlg::OnLeftButtonDown),
    OnMessageEntry(WM_LBUTTONUP, &CSubMenuDlg::OnLeftButtonUp),
    OnMessageEntry(kPopupItemMessage, &CSubMenuDlg::OnItemMessage),
    OnMessageEntry(WM_GETOBJECT, &CSubMenuDlg::OnGetObject),
    OnMessageEntry(WM_DESTROY, &CSubMenuDlg::OnDestroy),
};

CSubMenuDlg::CSubMenuDlg(FunctionChooser& chooser, int group)
    : Dialog(IDD_SUBMENU_DIALOG),
      chooser_(chooser),
      group_(group),
      face_({[this] { return FunctionName(chooser_.context_.functionNames, group_); },
             [this] { return rows_; },
             [this](int row) {
               const PopupContext& c = chooser_.context_;
               return GroupRowText(group_, row, c.functionNames, c.macros);
             },
             [](int) { return false; }, [this] { return geometry_; },
             [this] { return hoveredRow_; },
             [this] { return int32_t{chooser_.context_.uiLanguage}; },
             [this](int row) { PostItem(hwnd_, row, false); },
             [this](int row) { PostItem(hwnd_, row, true); }}),
      accessible_(
          face_, [this] { return chooser_.context_.scale; }, AccessibleWindowRole::kMenuPopup) {}

bool CSubMenuDlg::OnItemMessage(WndMessage& m) {
  const int row = static_cast<int>(std::min<WPARAM>(m.wParam, kNoRow));
  if (m.lParam != 0) {
    HoverRow(row);
  } else {
    ChooseRow(row);
  }
  return true;
}

bool CSubMenuDlg::OnDestroy(WndMessage&) {
  accessible_.Disconnect();
  return false;
}

bool CSubMenuDlg::OnMessage(WndMessage& m) {
  return DispatchTable(*this, kMessageTable, m) || Dialog::OnMessage(m);
}

BOOL CSubMenuDlg::OnInitDialog() {
  Dialog::OnInitDialog();
  const PopupContext& context = chooser_.context_;
  const Picture mask = LoadSkinPicture(context, u"\\advanced menu_mask.jpg");
  rows_ = GroupRowCount(group_, context.macros.Count());
  geometry_ = SecondLevelGeometry(mask.width, mask.height, rows_);
  SetWindowRgn(hwnd_,
               CreateRectRgn(0, 0, context.scale.ToPixels(geometry_.width),
                             context.scale.ToPixels(geometry_.regionHeight)),
               TRUE);
  hoveredRow_ = kNoRow;
  pressed_ = false;
  chooser_.choiceMade_ = false;
  // The first level keeps the keyboard: a dialog without controls would
  // otherwise take the focus itself when it is made.
  return FALSE;
}

bool CSubMenuDlg::OnEraseBackground(WndMessage& m) { return Erased(m); }

bool CSubMenuDlg::OnPaint(WndMessage&) {
  const PopupContext& context = chooser_.context_;
  PaintPopup(hwnd_, context, geometry_.width, geometry_.regionHeight, [&](CanvasPort& canvas) {
    PaintMenuLevel(
        canvas, kSecondLevelPictures, geometry_, rows_,
        [&](int row) { return GroupRowText(group_, row, context.functionNames, context.macros); },
        hoveredRow_, pressed_, context.uiLanguage);
  });
  return true;
}

bool CSubMenuDlg::OnMouseMove(WndMessage& m) {
  const PopupContext& context = chooser_.context_;
  const int row = MenuRowAt(geometry_, PointX(context, m.lParam), PointY(context, m.lParam));
  // Rows beyond the group are not rows of this level.
  hoveredRow_ = row <= rows_ ? row : kNoRow;
  if (hoveredRow_ != lastHoveredRow_) {
    lastHoveredRow_ = hoveredRow_;
    InvalidateRect(hwnd_, nullptr, TRUE);
  }
  return false;
}

bool CSubMenuDlg::OnLeftButtonDown(WndMessage&) {
  pressed_ = true;
  InvalidateRect(hwnd_, nullptr, TRUE);
  return false;
}

bool CSubMenuDlg::OnLeftButtonUp(WndMessage&) {
  pressed_ = false;
  return ChooseRow(hoveredRow_);
}

void CSubMenuDlg::HoverRow(int row) {
  hoveredRow_ = lastHoveredRow_ = row;
  InvalidateRect(hwnd_, nullptr, TRUE);
  if (row >= 1 && row <= rows_) NotifyFocus(hwnd_, static_cast<size_t>(row - 1));
}

bool CSubMenuDlg::ChooseRow(int row) {
  const auto code = GroupRowCode(group_, row, chooser_.context_.macros.Count());
  if (!code) return false;
  FunctionChooser& c = chooser_;
  c.Choose(*code);
  c.choiceMade_ = true;
  InvalidateRect(hwnd_, nullptr, TRUE);
  // Closing the first level takes this window with it (the first level owns
  // it); the objects stay until the chooser releases them. The levels know
  // each other's handles: a search by title could find another program's
  // window of that title.
  const HWND self = hwnd_;
  if (c.first_ && c.first_->IsCreated()) SendMessageW(c.first_->hwnd(), WM_CLOSE, 0, 0);
  c.RepaintMainWindow();
  Sleep(10);
  if (IsWindow(self)) DestroyWindow(self);
  return true;
}

// ---- FunctionChooser ----

FunctionChooser::~FunctionChooser() {
  // Owned windows before their owner.
  second_.reset();
  first_.reset();
}

void FunctionChooser::Open(int button, int32_t x, int32_t y) {
  Close();
  editedButton_ = button;
  if (NeedsPrimaryClickWarning(context_.profile, button)) {
    WarningDlg warning(context_, x, y);
    if (warning.DoModal(mainWindow_) == kWarningCancel) return;
  }
  first_ = std::make_unique<CMenuDlg>(*this);
  if (!first_->CreateModeless(mainWindow_)) {
    first_.reset();
    return;
  }
  firstOpen_ = true;
  const int32_t size = context_.scale.ToPixels(kFirstLevelSize);
  SetWindowPos(first_->hwnd(), nullptr, x, y, size, size, SWP_NOZORDER);
  ::ShowWindow(first_->hwnd(), SW_SHOW);
  ::UpdateWindow(first_->hwnd());
}

bool FunctionChooser::IsOpen() const { return firstOpen_ && first_ && first_->IsCreated(); }

void FunctionChooser::Close() {
  firstOpen_ = false;
  choiceMade_ = false;
  second_.reset();
  first_.reset();
  ReleaseRetired();
}

void FunctionChooser::TakeChoiceMade() {
  if (!choiceMade_) return;
  choiceMade_ = false;
  firstOpen_ = false;
  // Only the windows: the second level's handler may be on the call stack.
  if (second_) second_->Destroy();
  if (first_) first_->Destroy();
}

size_t FunctionChooser::LiveObjects() const {
  return (first_ ? 1 : 0) + (second_ ? 1 : 0) + retired_.size();
}

void FunctionChooser::Choose(int32_t code) {
  SetButtonFunction(context_.profile, editedButton_, code);
}

void FunctionChooser::RebuildSecondLevel(int hoveredRow) {
  // The level of the group already shown stays: destroying it uncovers the
  // first level, whose repaint would build it again, without end.
  if (second_ && second_->IsCreated() && second_->group() == hoveredRow) return;
  DestroySecondLevel();
  ReleaseRetired();
  if (!IsGroupRow(hoveredRow) || !first_ || !first_->IsCreated()) return;
  second_ = std::make_unique<CSubMenuDlg>(*this, hoveredRow);
  if (!second_->CreateModeless(first_->hwnd())) {
    second_.reset();
    return;
  }
  RECT firstRect{};
  GetWindowRect(first_->hwnd(), &firstRect);
  const MenuGeometry& g = first_->geometry();
  // Placed in skin units from the first level's corner, then in pixels.
  const DisplayScale& scale = context_.scale;
  const int32_t top = firstRect.top + scale.ToPixels(SecondLevelTop(0, g.rowHeight, hoveredRow,
                                                                    context_.macros.Count()));
  SetWindowPos(second_->hwnd(), nullptr, firstRect.left + scale.ToPixels(g.width), top,
               scale.ToPixels(kSecondLevelWidth), scale.ToPixels(kSecondLevelHeight),
               SWP_NOZORDER | SWP_NOACTIVATE);
  // Shown without taking the activation from the first level.
  ::ShowWindow(second_->hwnd(), SW_SHOWNOACTIVATE);
}

std::optional<MenuKey> MenuKeyOf(WPARAM virtualKey) {
  switch (virtualKey) {
    case VK_UP:
      return MenuKey::kUp;
    case VK_DOWN:
      return MenuKey::kDown;
    case VK_LEFT:
      return MenuKey::kLeft;
    case VK_RIGHT:
      return MenuKey::kRight;
    case VK_RETURN:
    case VK_SPACE:
      return MenuKey::kChoose;
    case VK_ESCAPE:
      return MenuKey::kEscape;
    default:
      return std::nullopt;
  }
}

bool FunctionChooser::TakeKey(HWND level, const MSG& msg) {
  if (msg.message != WM_KEYDOWN || msg.hwnd != level) return false;
  const auto key = MenuKeyOf(msg.wParam);
  if (key) OnKey(*key);
  return key.has_value();
}

void FunctionChooser::FocusMainWindow() {
  if (!mainWindow_) return;
  SetActiveWindow(mainWindow_);
  ::SetFocus(mainWindow_);
}

void FunctionChooser::HoverFirstRow(int row) {
  hoveredRow_ = lastHoveredRow_ = row;
  if (first_ && first_->IsCreated()) {
    InvalidateRect(first_->hwnd(), nullptr, TRUE);
    if (row >= 1 && row <= kFirstLevelRows) {
      NotifyFocus(first_->hwnd(), static_cast<size_t>(row - 1));
    }
    // The paint builds the second level of a group row.
    ::UpdateWindow(first_->hwnd());
  }
}

void FunctionChooser::ChooseFirstRow(int row) {
  const auto code = FirstLevelChoice(row);
  if (!code || !first_) return;
  Choose(*code);
  firstOpen_ = false;
  first_->Destroy();
  RepaintMainWindow();
}

void FunctionChooser::CloseByKeyboard() {
  firstOpen_ = false;
  inSecond_ = false;
  DestroySecondLevel();
  if (first_) {
    first_->Destroy();
    retired_.push_back(std::move(first_));
  }
  FocusMainWindow();
}

void FunctionChooser::OnKey(MenuKey key) {
  if (inSecond_ && second_ && second_->IsCreated()) {
    const MenuKeyResult r = SecondLevelKey(second_->hoveredRow(), second_->rows(), key);
    switch (r.action) {
      case MenuKeyAction::kMove:
        second_->HoverRow(r.row);
        break;
      case MenuKeyAction::kChoose:
        inSecond_ = false;
        if (second_->ChooseRow(r.row)) FocusMainWindow();
        break;
      case MenuKeyAction::kBack:
        inSecond_ = false;
        second_->HoverRow(kNoRow);
        break;
      default:
        break;
    }
    return;
  }
  inSecond_ = false;
  const MenuKeyResult r = FirstLevelKey(hoveredRow_, key);
  switch (r.action) {
    case MenuKeyAction::kMove:
      HoverFirstRow(r.row);
      break;
    case MenuKeyAction::kOpenLevel:
      HoverFirstRow(r.row);
      if (second_ && second_->IsCreated() && second_->rows() > 0) {
        inSecond_ = true;
        second_->HoverRow(1);
      }
      break;
    case MenuKeyAction::kChoose:
      ChooseFirstRow(r.row);
      FocusMainWindow();
      break;
    case MenuKeyAction::kClose:
      CloseByKeyboard();
      break;
    default:
      break;
  }
}

void FunctionChooser::DestroySecondLevel() {
  if (!second_) return;
  second_->Destroy();
  retired_.push_back(std::move(second_));
}

void FunctionChooser::RepaintMainWindow() {
  if (mainWindow_)
    RedrawWindow(mainWindow_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void FunctionChooser::ReleaseRetired() { retired_.clear(); }

}  // namespace nuv::win32
