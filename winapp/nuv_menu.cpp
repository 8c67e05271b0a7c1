#include "winapp/nuv_menu.h"

#include <ole2.h>
#include <oleacc.h>

#include <cstddef>
#include <type_traits>

#include "platform/win32/gdi_handle.h"

#include "platform/win32/win32_text.h"

namespace nuv::win32 {

// The system reads an owner-drawn item's accessible name from the start of its
// data, in the layout of MSAAMENUINFO.
static_assert(kMenuAccessibleSignature == static_cast<uint32_t>(MSAA_MENU_SIG));
static_assert(sizeof(MenuAccessibleName) == sizeof(MSAAMENUINFO) &&
              offsetof(MenuAccessibleName, signature) == offsetof(MSAAMENUINFO, dwMSAASignature) &&
              offsetof(MenuAccessibleName, textLength) == offsetof(MSAAMENUINFO, cchWText) &&
              offsetof(MenuAccessibleName, text) == offsetof(MSAAMENUINFO, pszWText));
static_assert(std::is_standard_layout_v<MenuItemRecord> &&
              offsetof(MenuItemRecord, accessibleName) == 0);

namespace {

MenuHandle ToHandle(HMENU menu) { return reinterpret_cast<MenuHandle>(menu); }
HMENU ToMenu(MenuHandle handle) { return reinterpret_cast<HMENU>(handle); }

// The system's menus as the conversion sees them.
class SystemMenuTree final : public MenuTree {
 public:
  int32_t ItemCount(MenuHandle menu) const override {
    const int count = GetMenuItemCount(ToMenu(menu));
    return count < 0 ? 0 : count;
  }

  Text ItemText(MenuHandle menu, int32_t position) const override {
    wchar_t buffer[kMenuTextCapacity + 1] = {};
    const int length = GetMenuStringW(ToMenu(menu), static_cast<UINT>(position), buffer,
                                      static_cast<int>(kMenuTextCapacity + 1), MF_BYPOSITION);
    return length > 0 ? FromW(buffer, static_cast<size_t>(length)) : Text();
  }

  int32_t ItemId(MenuHandle menu, int32_t position) const override {
    return static_cast<int32_t>(GetMenuItemID(ToMenu(menu), position));
  }

  MenuHandle SubMenu(MenuHandle menu, int32_t position) const override {
    return ToHandle(::GetSubMenu(ToMenu(menu), position));
  }

  void MakeOwnerDrawn(MenuHandle menu, int32_t position, const MenuItemRecord& record) override {
    // Only the type and the data change: the identifier and the sub-menu stay,
    // and a separator stays one (owner-drawn, but never selectable).
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE;
    if (!GetMenuItemInfoW(ToMenu(menu), static_cast<UINT>(position), TRUE, &info)) return;
    info.fMask = MIIM_FTYPE | MIIM_DATA;
    info.fType = (info.fType & ~(MFT_BITMAP)) | MFT_OWNERDRAW;
    info.dwItemData = reinterpret_cast<ULONG_PTR>(&record);
    SetMenuItemInfoW(ToMenu(menu), static_cast<UINT>(position), TRUE, &info);
  }
};

COLORREF ToColorref(MenuRgb c) { return RGB(c.red, c.green, c.blue); }

RECT ToRect(const MenuRect& r) { return {r.left, r.top, r.right, r.bottom}; }

void FillSolid(HDC dc, const RECT& rect, COLORREF colour) {
  // ExtTextOut's opaque fill needs no brush and leaves the context as it was.
  const COLORREF old = SetBkColor(dc, colour);
  ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
  SetBkColor(dc, old);
}

}  // namespace

CNuvMenu* CNuvMenu::first_ = nullptr;

CNuvMenu::CNuvMenu() : next_(first_) { first_ = this; }

CNuvMenu::~CNuvMenu() {
  for (CNuvMenu** link = &first_; *link; link = &(*link)->next_) {
    if (*link == this) {
      *link = next_;
      break;
    }
  }
  DestroyMenu();
}

bool CNuvMenu::LoadMenu(UINT resourceId, HINSTANCE module) {
  DestroyMenu();
  records_.Reset();
  menu_ = ::LoadMenuW(module ? module : GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resourceId));
  if (!menu_) return false;
  // The outer pop-ups only hold the menus that are shown; their own items are
  // never drawn, so the records go to what the user sees.
  const int holders = GetMenuItemCount(menu_);
  for (int i = 0; i < holders; ++i) {
    if (HMENU shown = ::GetSubMenu(menu_, i)) Convert(shown);
  }
  return true;
}

bool CNuvMenu::LoadForLanguage(MenuRole role, int32_t uiLanguage, HINSTANCE module) {
  return LoadMenu(MenuResourceId(role, uiLanguage), module);
}

size_t CNuvMenu::Convert(HMENU menu) {
  SystemMenuTree tree;
  return records_.Convert(tree, ToHandle(menu));
}

HMENU CNuvMenu::Detach() {
  HMENU menu = menu_;
  menu_ = nullptr;
  return menu;
}

void CNuvMenu::DestroyMenu() {
  if (menu_) ::DestroyMenu(menu_);
  menu_ = nullptr;
}

HMENU CNuvMenu::GetSubMenu(int position) const {
  return menu_ ? ::GetSubMenu(menu_, position) : nullptr;
}

BOOL CNuvMenu::TrackPopup(HWND owner, POINT screen, UINT flags) const {
  HMENU shown = GetSubMenu(0);
  if (!shown) return FALSE;
  return TrackPopupMenu(shown, flags, screen.x, screen.y, 0, owner, nullptr);
}

BOOL CNuvMenu::TrackAtCursorFromTray(HWND owner) const {
  POINT cursor{};
  GetCursorPos(&cursor);
  SetForegroundWindow(owner);
  const BOOL shown = TrackPopup(owner, cursor, TPM_LEFTALIGN | TPM_LEFTBUTTON);
  // A menu opened from the tray does not close when the user clicks elsewhere
  // unless the owner receives a message after it.
  PostMessageW(owner, WM_NULL, 0, 0);
  return shown;
}

BOOL CNuvMenu::TrackAtCursorForContext(HWND owner) const {
  POINT cursor{};
  GetCursorPos(&cursor);
  return TrackPopup(owner, cursor, TPM_LEFTALIGN | TPM_RIGHTBUTTON);
}

const MenuItemRecord* CNuvMenu::RecordFromItemData(ULONG_PTR data) {
  const auto* candidate = reinterpret_cast<const void*>(data);
  if (!candidate) return nullptr;
  for (const CNuvMenu* menu = first_; menu; menu = menu->next_) {
    if (menu->records_.Owns(candidate)) return static_cast<const MenuItemRecord*>(candidate);
  }
  return nullptr;
}

namespace {
// Set and read on the window thread only, as the menus are.
DisplayScale g_menuScale;
}  // namespace

void SetMenuScale(const DisplayScale& scale) { g_menuScale = scale; }

bool CNuvMenu::MeasureItem(LPMEASUREITEMSTRUCT measure) const {
  if (!measure || measure->CtlType != ODT_MENU) return false;
  const MenuItemRecord* record = RecordFromItemData(measure->itemData);
  if (!record) return false;
  const MenuItemSize size = MeasureMenuItem(*record);
  measure->itemWidth = static_cast<UINT>(g_menuScale.ToPixels(static_cast<int32_t>(size.width)));
  measure->itemHeight = static_cast<UINT>(g_menuScale.ToPixels(static_cast<int32_t>(size.height)));
  return true;
}

bool CNuvMenu::DrawItem(LPDRAWITEMSTRUCT draw) const {
  if (!draw || draw->CtlType != ODT_MENU || !draw->hDC) return false;
  const MenuItemRecord* record = RecordFromItemData(draw->itemData);
  if (!record) return false;
  const RECT& r = draw->rcItem;
  std::vector<MenuDrawOp> plan = PlanMenuItem(*record, {r.left, r.top, r.right, r.bottom},
                                              (draw->itemState & ODS_SELECTED) != 0);
  // The text's indent is in skin units, like the item's size.
  for (MenuDrawOp& op : plan) {
    if (op.kind == MenuDrawOp::Kind::Text)
      op.rect.left = r.left + g_menuScale.ToPixels(kMenuTextIndent);
  }
  ExecuteMenuPlan(draw->hDC, plan);
  return true;
}

CNuvMenu& MacroContextMenu() {
  static CNuvMenu menu;
  return menu;
}

CNuvMenu& TrayMenu() {
  static CNuvMenu menu;
  return menu;
}

bool LoadNuvMenus(int32_t uiLanguage, HINSTANCE module) {
  const bool context =
      MacroContextMenu().LoadForLanguage(MenuRole::MacroContext, uiLanguage, module);
  const bool tray = TrayMenu().LoadForLanguage(MenuRole::Tray, uiLanguage, module);
  return context && tray;
}

void ExecuteMenuPlan(HDC dc, const std::vector<MenuDrawOp>& plan) {
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  const COLORREF oldText = SetTextColor(dc, RGB(255, 255, 255));
  for (const MenuDrawOp& op : plan) {
    RECT rect = ToRect(op.rect);
    switch (op.kind) {
      case MenuDrawOp::Kind::Fill:
        FillSolid(dc, rect, ToColorref(op.colour));
        break;
      case MenuDrawOp::Kind::Frame: {
        const BrushHandle brush(CreateSolidBrush(ToColorref(op.colour)));
        FrameRect(dc, &rect, brush.get());
        break;
      }
      case MenuDrawOp::Kind::Text:
        SetTextColor(dc, ToColorref(op.colour));
        DrawTextW(dc, W(op.text), static_cast<int>(op.text.size()), &rect,
                  DT_SINGLELINE | DT_VCENTER | DT_LEFT);
        break;
    }
  }
  SetTextColor(dc, oldText);
  SetBkMode(dc, oldMode);
}

}  // namespace nuv::win32
